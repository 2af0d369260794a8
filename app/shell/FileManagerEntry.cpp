// FileManagerEntry: the file managers' entry from the main program.
#include "shell/FileManagerEntry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include "FileManagerEntries.h"

namespace {
FileManagerEntries entries(const QString& launcher)
{
    return FileManagerEntries(launcher.toStdString(),
                              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString(),
                              QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString());
}

bool report(bool ok, const std::string& reason, QString* error)
{
    if (!ok && error)
        *error = QString::fromStdString(reason);
    return ok;
}
}  // namespace

QString FileManagerEntry::launcherPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/qdext");
}

FileManagerEntry::FileManagerEntry(QString launcher)
    : m_launcher(std::move(launcher))
{
}

bool FileManagerEntry::isAvailable() const
{
    const QFileInfo info(m_launcher);
    return info.isFile() && info.isExecutable();
}

bool FileManagerEntry::isRegistered() const
{
    return entries(m_launcher).isRegistered();
}

bool FileManagerEntry::anyRegistered() const
{
    return entries(m_launcher).anyRegistered();
}

bool FileManagerEntry::registerEntry(QString* error) const
{
    std::string reason;
    const bool ok = entries(m_launcher).registerAll(&reason);
    return report(ok, reason, error);
}

bool FileManagerEntry::unregisterEntry(QString* error) const
{
    std::string reason;
    const bool ok = entries(m_launcher).unregisterAll(&reason);
    return report(ok, reason, error);
}
