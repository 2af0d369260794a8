#pragma once
// Fills the main window's menu bar from the command registry: File, Edit, View, Search,
// Index, Tools and Help, each command in its group (groups split by separators), with the
// submenus of the open-with programs, the indexed paths and the macros. Entries are the
// registry's own actions, so enabling and shortcuts follow the registry.
#include <QObject>

class CommandRegistry;
class IndexPathMenu;
class QMenu;
class QMenuBar;

class MainMenuBar : public QObject {
    Q_OBJECT
public:
    MainMenuBar(CommandRegistry& registry, QMenuBar* bar);

    // The submenus with range commands; refilled from the registry when they show.
    QMenu* openWithMenu() const { return m_openWith; }
    QMenu* macroMenu() const { return m_macros; }
    IndexPathMenu* indexPathMenu() const { return m_indexPaths; }
    QMenu* menu(int which) const;  // by CommandRegistry::Menu value

private:
    void fillRangeMenu(QMenu* menu, int first, int last, unsigned emptyText, int leadingCommand);

    CommandRegistry& m_registry;
    QList<QMenu*> m_menus;
    QMenu* m_openWith = nullptr;
    QMenu* m_macros = nullptr;
    IndexPathMenu* m_indexPaths = nullptr;
};
