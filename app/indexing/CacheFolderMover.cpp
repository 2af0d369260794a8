// CacheFolderMover: copy, flush, then delete.
#include "indexing/CacheFolderMover.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace {
constexpr const char* kTempSuffix = ".qdmove";

bool copyFlushed(const QString& from, const QString& to, bool flushAllowed, QString& error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        error = in.errorString();
        return false;
    }
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = out.errorString();
        return false;
    }
    QByteArray buffer;
    while (!in.atEnd()) {
        buffer = in.read(1 << 20);
        if (buffer.isEmpty() && in.error() != QFileDevice::NoError) {
            error = in.errorString();
            return false;
        }
        if (out.write(buffer) != buffer.size()) {
            error = out.errorString();
            return false;
        }
    }
    if (!flushAllowed || !out.flush() || ::fsync(out.handle()) != 0) {
        error = QStringLiteral("cannot flush %1").arg(to);
        return false;
    }
    out.close();
    return out.error() == QFileDevice::NoError;
}
}  // namespace

CacheFolderMover::Result CacheFolderMover::move(const QString& fromFolder, const QString& toFolder) const
{
    Result r;
    const QDir from(fromFolder), to(toFolder);
    const QStringList names = from.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    QStringList temps;
    const auto undo = [&] {
        for (const QString& t : temps)
            QFile::remove(t);
    };
    for (const QString& name : names) {
        const QString temp = to.filePath(name + QLatin1String(kTempSuffix));
        temps.append(temp);
        if (!allowed(Step::Copy, name)) {
            r.failedFile = name;
            r.error = QStringLiteral("copy refused");
            undo();
            return r;
        }
        if (!copyFlushed(from.filePath(name), temp, allowed(Step::Flush, name), r.error)) {
            r.failedFile = name;
            undo();
            return r;
        }
    }
    for (int i = 0; i < names.size(); ++i) {
        const QString target = to.filePath(names[i]);
        const bool ok = allowed(Step::Rename, names[i]) && ::rename(QFile::encodeName(temps[i]).constData(),
                                                                    QFile::encodeName(target).constData()) == 0;
        if (!ok) {
            r.failedFile = names[i];
            r.error = QStringLiteral("cannot rename into %1").arg(target);
            temps = temps.mid(i);
            undo();
            return r;
        }
    }
    r.newFolderInUse = true;
    r.complete = true;
    for (const QString& name : names) {
        if (!allowed(Step::Delete, name) || !QFile::remove(from.filePath(name))) {
            if (r.complete) {
                r.failedFile = name;
                r.error = QStringLiteral("cannot delete %1").arg(from.filePath(name));
            }
            r.complete = false;
            continue;
        }
        ++r.filesMoved;
    }
    return r;
}
