#pragma once
// Every command of the main window, registered once under its numeric id (CommandIds.h):
// a QAction with the command's text from the language file (the text number is the
// command id), its accelerators, its icon and its place in the menus. Menus, the toolbar
// and the tray menu take the actions from here by id; nothing else creates a command.
//
// The registry owns its actions (children of the registry). Triggering an action emits
// commandTriggered(id). Range commands (open-with entries, indexed paths, macros) are made
// and removed as their lists change. Lives on the user-interface thread.
#include <QHash>
#include <QList>
#include <QObject>

class QAction;
struct CommandState;

class CommandRegistry : public QObject {
    Q_OBJECT
public:
    enum class Menu { File, Edit, View, Search, Index, Tools, Help };

    // Where a command sits: its menu and its group there (groups are split by separators).
    struct Placement {
        Menu menu = Menu::File;
        int group = 0;
    };

    explicit CommandRegistry(QObject* parent = nullptr);

    // The action of a command (an alias id gives the action it stands for); null when the
    // id is not registered.
    QAction* action(int id) const;
    // The ids of the fixed commands in table order (aliases not included).
    const QList<int>& ids() const { return m_ids; }
    // Ids that trigger another command's action (Ctrl+Insert copy): alias -> command.
    const QHash<int, int>& aliases() const { return m_aliases; }
    Placement placement(int id) const { return m_placement.value(id); }
    // The language-string number of a menu's title.
    static unsigned menuTitleText(Menu menu);
    // True for commands whose accelerators act only inside the result list (Enter,
    // Delete, Ctrl+C...), so that they do not take keys from the option panels' fields.
    bool isListScoped(int id) const { return m_listScoped.contains(id); }

    // Range commands: makes (or renames) the action of `id`; removes all of [first, last].
    QAction* setRangeCommand(int id, const QString& text);
    void removeRangeCommands(int first, int last);
    QList<QAction*> rangeActions(int first, int last) const;

    // Enables or disables every registered action (range commands included) from `state`.
    void applyEnabling(const CommandState& state);

signals:
    void commandTriggered(int id);

private:
    QAction* makeAction(int id, const QString& text);

    QList<int> m_ids;
    QHash<int, QAction*> m_actions;
    QHash<int, int> m_aliases;
    QHash<int, Placement> m_placement;
    QHash<int, bool> m_listScoped;
};
