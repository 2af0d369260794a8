// MainMenuBar: the menus of the main window.
#include "shell/MainMenuBar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/IndexPathMenu.h"
#include "shell/LanguageText.h"

using namespace CommandIds;
using Menu = CommandRegistry::Menu;

namespace {
constexpr unsigned kOpenWithText = 412;
constexpr unsigned kMacrosText = 413;
constexpr unsigned kNoneText = 414;
constexpr int kMenuCount = int(Menu::Help) + 1;
}  // namespace

MainMenuBar::MainMenuBar(CommandRegistry& registry, QMenuBar* bar)
    : QObject(bar)
    , m_registry(registry)
{
    for (int m = 0; m < kMenuCount; ++m) {
        const unsigned title = CommandRegistry::menuTitleText(Menu(m));
        QMenu* menu = bar->addMenu(LanguageText::get(title));
        menu->setObjectName(QStringLiteral("menu%1").arg(m));
        menu->setAccessibleName(LanguageText::plain(title));
        m_menus.append(menu);
    }
    m_openWith = new QMenu(LanguageText::get(kOpenWithText), m_menus[int(Menu::File)]);
    m_macros = new QMenu(LanguageText::get(kMacrosText), m_menus[int(Menu::Tools)]);
    m_indexPaths = new IndexPathMenu(registry, m_menus[int(Menu::Index)]);
    for (QMenu* sub : {m_openWith, m_macros, static_cast<QMenu*>(m_indexPaths)})
        sub->setAccessibleName(LanguageText::withoutMnemonic(sub->title()));
    connect(m_openWith, &QMenu::aboutToShow, this,
            [this] { fillRangeMenu(m_openWith, OpenWithFirst, OpenWithLast, kNoneText, ConfigureOpenWith); });
    connect(m_macros, &QMenu::aboutToShow, this,
            [this] { fillRangeMenu(m_macros, MacroFirst, MacroLast, kNoneText, 0); });
    fillRangeMenu(m_openWith, OpenWithFirst, OpenWithLast, kNoneText, ConfigureOpenWith);
    fillRangeMenu(m_macros, MacroFirst, MacroLast, kNoneText, 0);

    QList<int> lastGroup(kMenuCount, -1);
    for (int id : registry.ids()) {
        const CommandRegistry::Placement place = registry.placement(id);
        QMenu* menu = m_menus[int(place.menu)];
        if (lastGroup[int(place.menu)] != -1 && lastGroup[int(place.menu)] != place.group)
            menu->addSeparator();
        lastGroup[int(place.menu)] = place.group;
        menu->addAction(registry.action(id));
        if (id == Execute)
            menu->addMenu(m_openWith);
        else if (id == RebuildLocalPaths)
            menu->addMenu(m_indexPaths);
        else if (id == ManageMacros)
            menu->addMenu(m_macros);
    }
}

QMenu* MainMenuBar::menu(int which) const
{
    return which >= 0 && which < m_menus.size() ? m_menus[which] : nullptr;
}

void MainMenuBar::fillRangeMenu(QMenu* menu, int first, int last, unsigned emptyText, int leadingCommand)
{
    menu->clear();
    const QList<QAction*> entries = m_registry.rangeActions(first, last);
    menu->addActions(entries);
    if (entries.isEmpty()) {
        QAction* none = menu->addAction(LanguageText::get(emptyText));
        none->setEnabled(false);
    }
    if (leadingCommand != 0) {
        menu->addSeparator();
        menu->addAction(m_registry.action(leadingCommand));
    }
}
