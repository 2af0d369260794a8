// CommandProxy: an entry mirroring a command's enabled state.
#include "shell/CommandProxy.h"

#include <QAction>

QAction* CommandProxy::make(QAction* command, const QString& text, QObject* parent)
{
    auto* proxy = new QAction(text, parent);
    proxy->setIcon(command->icon());
    proxy->setEnabled(command->isEnabled());
    proxy->setData(command->data());
    QObject::connect(command, &QAction::changed, proxy, [proxy, command] { proxy->setEnabled(command->isEnabled()); });
    QObject::connect(proxy, &QAction::triggered, command, [command] { command->trigger(); });
    return proxy;
}
