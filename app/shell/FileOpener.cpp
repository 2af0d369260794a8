// FileOpener: the desktop's default application and the file manager.
#include "shell/FileOpener.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QStringList>

#include <set>

#include "shell/LocalFileUrl.h"

bool FileOpener::open(const std::string& path)
{
    return QDesktopServices::openUrl(LocalFileUrl::fromPath(path));
}

std::string FileOpener::folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("/") : path.substr(0, slash + 1);
}

void FileOpener::openFolders(const std::vector<std::string>& paths)
{
    std::set<std::string> seen;
    for (const std::string& p : paths) {
        const std::string folder = folderOf(p);
        if (seen.insert(folder).second)
            QDesktopServices::openUrl(LocalFileUrl::fromPath(folder));
    }
}

void FileOpener::showItems(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolders(paths);
        return;
    }
    QStringList uris;
    for (const std::string& p : paths)
        uris << QString::fromLatin1(LocalFileUrl::encoded(p));
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("/org/freedesktop/FileManager1"),
                                                       QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("ShowItems"));
    call << uris << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [paths](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<> reply = *w;
        if (reply.isError())
            openFolders(paths);
        w->deleteLater();
    });
}
