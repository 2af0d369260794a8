// CommandRegistry: the command table of the main window.
#include "shell/CommandRegistry.h"

#include <QAction>
#include <QKeySequence>

#include "shell/CommandEnabling.h"
#include "shell/CommandIds.h"
#include "shell/CommandState.h"
#include "shell/LanguageText.h"
#include "shell/ThemedIcon.h"

using namespace CommandIds;

namespace {

using Menu = CommandRegistry::Menu;

struct CommandRow {
    int id;
    Menu menu;
    int group;
    const char* keys;  // QKeySequence portable text, shortcuts separated by "; "
    const char* icon;  // freedesktop icon name, or empty
    bool listScoped;
};

// The menus in table order. Texts are language strings numbered like the commands.
constexpr CommandRow kCommands[] = {
    {OpenResult, Menu::File, 0, "Ctrl+O", "document-open", false},
    {SaveResult, Menu::File, 0, "Ctrl+S", "document-save", false},
    {ExportFileList, Menu::File, 0, "", "", false},
    {ExportCsv, Menu::File, 0, "", "", false},
    {OpenOptions, Menu::File, 1, "Ctrl+Alt+O", "", false},
    {SaveOptions, Menu::File, 1, "Ctrl+Alt+S", "", false},
    {Execute, Menu::File, 2, "Return; Enter", "system-run", true},
    {OpenContainingFolder, Menu::File, 2, "Ctrl+Return; Ctrl+Enter", "folder-open", true},
    {Statistics, Menu::File, 3, "", "", false},
    {PrintPreview, Menu::File, 4, "Ctrl+Alt+P", "document-print-preview", false},
    {PrintSetup, Menu::File, 4, "", "", false},
    {Print, Menu::File, 4, "Ctrl+P", "document-print", false},
    {Exit, Menu::File, 5, "", "application-exit", false},

    {CopyNames, Menu::Edit, 0, "Ctrl+N", "", true},
    {CopyPaths, Menu::Edit, 0, "Ctrl+D", "edit-copy-path", true},
    {CopyFullPaths, Menu::Edit, 0, "Ctrl+F", "", true},
    {CopyFiles, Menu::Edit, 1, "Ctrl+C", "edit-copy", true},
    {MoveFiles, Menu::Edit, 1, "Ctrl+Alt+M", "", true},
    {RenameUpper, Menu::Edit, 2, "", "", true},
    {RenameLower, Menu::Edit, 2, "", "", true},
    {Rename, Menu::Edit, 2, "Ctrl+R", "", true},
    {DeleteToTrash, Menu::Edit, 3, "Del", "edit-delete", true},
    {DeletePermanently, Menu::Edit, 3, "Shift+Del", "", true},
    {RemoveSelected, Menu::Edit, 4, "F4", "", true},
    {RemoveAll, Menu::Edit, 4, "F3", "", false},
    {SelectAll, Menu::Edit, 5, "Ctrl+A", "edit-select-all", true},
    {InvertSelection, Menu::Edit, 5, "Ctrl+I", "", true},

    {OpenPanel1, Menu::View, 0, "Ctrl+Alt+1", "", false},
    {OpenPanel1 + 1, Menu::View, 0, "Ctrl+Alt+2", "", false},
    {OpenPanel1 + 2, Menu::View, 0, "Ctrl+Alt+3", "", false},
    {OpenPanel1 + 3, Menu::View, 0, "Ctrl+Alt+4", "", false},
    {OpenPanel5, Menu::View, 0, "Ctrl+Alt+5", "", false},
    {OpenAllPanels, Menu::View, 0, "Ctrl+Alt+0", "", false},
    {FocusResultList, Menu::View, 1, "Ctrl+Right", "", false},
    {FocusOptionSide, Menu::View, 1, "Ctrl+Left", "", false},

    {SearchOrStop, Menu::Search, 0, "Alt+S", "system-search", false},
    {NewSearch, Menu::Search, 0, "Alt+N", "document-new", false},
    {SearchImages, Menu::Search, 1, "Ctrl+Shift+I", "image-x-generic", false},
    {SearchMusic, Menu::Search, 1, "Ctrl+Shift+M", "audio-x-generic", false},
    {SearchVideos, Menu::Search, 1, "Ctrl+Shift+V", "video-x-generic", false},
    {SearchSpecifiedType, Menu::Search, 1, "Ctrl+Shift+T", "text-x-generic", false},

    {RebuildAllIndexes, Menu::Index, 0, "F6", "", false},
    {RebuildLocalPaths, Menu::Index, 0, "F5", "view-refresh", false},
    {StopIndexing, Menu::Index, 1, "F7", "process-stop", false},
    {ViewIndexLog, Menu::Index, 2, "", "", false},

    {SaveMacro, Menu::Tools, 0, "Ctrl+Shift+S", "", false},
    {ManageMacros, Menu::Tools, 0, "Ctrl+M", "", false},
    {ConfigureOpenWith, Menu::Tools, 1, "", "", false},
    {Options, Menu::Tools, 2, "F12", "preferences-system", false},

    {Help, Menu::Help, 0, "F1", "help-contents", false},
    {About, Menu::Help, 0, "", "help-about", false},
};

}  // namespace

CommandRegistry::CommandRegistry(QObject* parent)
    : QObject(parent)
{
    for (const CommandRow& row : kCommands) {
        QAction* action = makeAction(row.id, LanguageText::get(unsigned(row.id)));
        const QList<QKeySequence> keys = QKeySequence::listFromString(QString::fromLatin1(row.keys));
        action->setShortcuts(keys);
        if (!keys.isEmpty())
            action->setToolTip(QStringLiteral("%1 (%2)").arg(action->toolTip(), keys.first().toString(QKeySequence::NativeText)));
        if (row.icon[0] != '\0')
            action->setIcon(ThemedIcon::get(QString::fromLatin1(row.icon)));
        if (row.listScoped) {
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            m_listScoped.insert(row.id, true);
        }
        m_ids.append(row.id);
        m_placement.insert(row.id, {row.menu, row.group});
    }
    // Ctrl+Insert copies files like Ctrl+C; one action answers both ids.
    QAction* copy = m_actions.value(CopyFiles);
    copy->setShortcuts({QKeySequence(QStringLiteral("Ctrl+C")), QKeySequence(QStringLiteral("Ctrl+Ins"))});
    m_aliases.insert(CopyFilesAlt, CopyFiles);
}

QAction* CommandRegistry::makeAction(int id, const QString& text)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    const QString plain = LanguageText::withoutMnemonic(text);
    action->setToolTip(plain);
    action->setStatusTip(plain);
    connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    m_actions.insert(id, action);
    return action;
}

unsigned CommandRegistry::menuTitleText(Menu menu)
{
    return 400u + unsigned(menu);  // 400 File ... 406 Help
}

QAction* CommandRegistry::action(int id) const
{
    return m_actions.value(m_aliases.value(id, id), nullptr);
}

QAction* CommandRegistry::setRangeCommand(int id, const QString& text)
{
    if (QAction* existing = m_actions.value(id)) {
        existing->setText(text);
        existing->setToolTip(LanguageText::withoutMnemonic(text));
        return existing;
    }
    return makeAction(id, text);
}

void CommandRegistry::removeRangeCommands(int first, int last)
{
    for (auto it = m_actions.begin(); it != m_actions.end();) {
        if (it.key() >= first && it.key() <= last) {
            delete it.value();
            it = m_actions.erase(it);
        } else {
            ++it;
        }
    }
}

QList<QAction*> CommandRegistry::rangeActions(int first, int last) const
{
    QList<QAction*> out;
    for (int id = first; id <= last; ++id)
        if (QAction* a = m_actions.value(id))
            out.append(a);
    return out;
}

void CommandRegistry::applyEnabling(const CommandState& state)
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(CommandEnabling::isEnabled(it.key(), state));
}
