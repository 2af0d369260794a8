#pragma once
// The "Index one path" submenu, shown by the Index menu, the toolbar's rebuild drop-down
// and the tray menu: one entry per indexed path (the registry's range commands from
// CommandIds::IndexPathFirst), or one disabled "(No indexed paths)" entry. The menu is
// refilled each time it is about to show, so that it follows the registry.
#include <QMenu>

class CommandRegistry;

class IndexPathMenu : public QMenu {
    Q_OBJECT
public:
    IndexPathMenu(CommandRegistry& registry, QWidget* parent = nullptr);
    void refill();

private:
    CommandRegistry& m_registry;
};
