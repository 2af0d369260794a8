// MainToolBar: buttons, drop-downs and the button-style toggle.
#include "shell/MainToolBar.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QToolButton>

#include "shell/CommandIds.h"
#include "shell/CommandProxy.h"
#include "shell/CommandRegistry.h"
#include "shell/FileTypeInfo.h"
#include "shell/IndexPathMenu.h"
#include "shell/LanguageText.h"

using namespace CommandIds;

namespace {
constexpr int kButtons[] = {OpenResult, SaveResult, Execute, CopyPaths, CopyFiles, DeleteToTrash,
                            Options, RebuildLocalPaths, SearchImages, SearchMusic, SearchVideos,
                            SearchSpecifiedType, 0 /* separator */, About};
constexpr unsigned kToolbarName = 410;
constexpr unsigned kRebuildAllText = 76;
constexpr unsigned kCopyNamesText = 11;
constexpr unsigned kCopyFullPathsText = 12;
constexpr unsigned kLargeButtonsText = 197;
constexpr unsigned kSmallButtonsText = 198;
constexpr int kLargeImage = 44, kSmallImage = 24;
const QSize kLargeButton(51, 50), kSmallButton(31, 30);
}  // namespace

MainToolBar::MainToolBar(CommandRegistry& registry, QWidget* parent)
    : QToolBar(LanguageText::plain(kToolbarName), parent)
    , m_registry(registry)
{
    setObjectName(QStringLiteral("mainToolBar"));
    setAccessibleName(LanguageText::plain(kToolbarName));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);

    m_rebuildMenu = new QMenu(registry.action(RebuildLocalPaths)->text(), this);
    m_rebuildMenu->addAction(CommandProxy::make(registry.action(RebuildAllIndexes), LanguageText::get(kRebuildAllText), m_rebuildMenu));
    m_rebuildMenu->addMenu(new IndexPathMenu(registry, m_rebuildMenu));

    m_copyPathMenu = new QMenu(registry.action(CopyPaths)->text(), this);
    m_copyPathMenu->addAction(CommandProxy::make(registry.action(CopyNames), LanguageText::get(kCopyNamesText), m_copyPathMenu));
    m_copyPathMenu->addAction(CommandProxy::make(registry.action(CopyFullPaths), LanguageText::get(kCopyFullPathsText), m_copyPathMenu));

    m_typeMenu = new QMenu(registry.action(SearchSpecifiedType)->text(), this);
    for (QMenu* menu : {m_rebuildMenu, m_copyPathMenu, m_typeMenu})
        menu->setAccessibleName(LanguageText::withoutMnemonic(menu->title()));
    connect(registry.action(SearchSpecifiedType), &QAction::changed, this, &MainToolBar::updateTypeEntries);

    for (int id : kButtons) {
        if (id == 0) {
            addSeparator();
            continue;
        }
        addAction(registry.action(id));
        if (QToolButton* button = buttonFor(id))
            button->setAccessibleName(LanguageText::withoutMnemonic(registry.action(id)->text()));
    }
    addDropDown(RebuildLocalPaths, m_rebuildMenu);
    addDropDown(CopyPaths, m_copyPathMenu);
    addDropDown(SearchSpecifiedType, m_typeMenu);
    setLargeButtons(true);
}

void MainToolBar::addDropDown(int commandId, QMenu* menu)
{
    if (QToolButton* button = buttonFor(commandId)) {
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

QToolButton* MainToolBar::buttonFor(int commandId) const
{
    return qobject_cast<QToolButton*>(widgetForAction(m_registry.action(commandId)));
}

void MainToolBar::setLargeButtons(bool large)
{
    m_large = large;
    const int image = large ? kLargeImage : kSmallImage;
    setIconSize(QSize(image, image));
    for (QAction* action : actions()) {
        if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action))) {
            // A drop-down button is wider by its arrow; the others are exactly the size.
            const QSize size = large ? kLargeButton : kSmallButton;
            if (button->popupMode() == QToolButton::MenuButtonPopup)
                button->setMinimumSize(size);
            else
                button->setFixedSize(size);
        }
    }
}

void MainToolBar::setPatternExtensions(const QStringList& extensions)
{
    m_typeMenu->clear();
    for (const QString& ext : extensions) {
        const QString text = QStringLiteral("(*.%1) %2").arg(ext, FileTypeInfo::typeName(ext));
        QAction* entry = m_typeMenu->addAction(FileTypeInfo::icon(ext), text.trimmed());
        connect(entry, &QAction::triggered, this, [this, ext] { emit specifiedTypeChosen(ext); });
    }
    updateTypeEntries();
}

void MainToolBar::updateTypeEntries()
{
    const bool enabled = m_registry.action(SearchSpecifiedType)->isEnabled();
    for (QAction* entry : m_typeMenu->actions())
        entry->setEnabled(enabled);
}

void MainToolBar::showButtonStyleMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    QAction* toggle = menu.addAction(LanguageText::get(m_large ? kSmallButtonsText : kLargeButtonsText));
    if (menu.exec(globalPos) == toggle) {
        setLargeButtons(!m_large);
        emit buttonStyleToggled(m_large);
    }
}

void MainToolBar::contextMenuEvent(QContextMenuEvent* event)
{
    showButtonStyleMenu(event->globalPos());
    event->accept();
}
