// IndexLog: appending to, reading and clearing the index log.
#include "indexing/IndexLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

IndexLog::IndexLog(QString path)
    : m_path(std::move(path))
{
}

QString IndexLog::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Quendrel/QDIndex.log");
}

bool IndexLog::append(const QString& line) const
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = line.toUtf8();
    const bool ok = file.write(bytes) == bytes.size();
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

QString IndexLog::readAll() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool IndexLog::clear() const
{
    QFile file(m_path);
    if (!file.exists())
        return true;
    return file.resize(0);
}
