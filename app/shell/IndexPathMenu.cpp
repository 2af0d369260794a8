// IndexPathMenu: the indexed paths as menu entries.
#include "shell/IndexPathMenu.h"

#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kSubmenuText = 79;
constexpr unsigned kNoPathText = 78;
}  // namespace

IndexPathMenu::IndexPathMenu(CommandRegistry& registry, QWidget* parent)
    : QMenu(LanguageText::get(kSubmenuText), parent)
    , m_registry(registry)
{
    menuAction()->setToolTip(LanguageText::plain(kSubmenuText));
    connect(this, &QMenu::aboutToShow, this, &IndexPathMenu::refill);
    refill();
}

void IndexPathMenu::refill()
{
    clear();
    const QList<QAction*> paths = m_registry.rangeActions(CommandIds::IndexPathFirst, CommandIds::IndexPathLast);
    if (paths.isEmpty()) {
        QAction* none = addAction(LanguageText::get(kNoPathText));
        none->setEnabled(false);
        return;
    }
    addActions(paths);
}
