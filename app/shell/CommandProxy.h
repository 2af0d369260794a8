#pragma once
// A menu entry that stands for a registered command under a text of its own (the tray
// menu's "Rebuild all indexes", the toolbar drop-down's "Copy full paths"): triggering it
// triggers the command, and it is enabled exactly when the command is. The proxy is owned
// by `parent`; it follows the command for as long as both live.
#include <QString>

class QAction;
class QObject;

class CommandProxy {
public:
    static QAction* make(QAction* command, const QString& text, QObject* parent);
};
