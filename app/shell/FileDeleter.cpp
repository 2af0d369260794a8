// FileDeleter: trash and permanent delete.
#include "shell/FileDeleter.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <mutex>

#include "shell/LocalFileUrl.h"

namespace {

int g_firstError = 0;  // nftw offers no user pointer; guarded by the mutex below

int removeEntry(const char* path, const struct stat*, int type, struct FTW*)
{
    const int rc = (type == FTW_DP) ? ::rmdir(path) : ::unlink(path);
    if (rc != 0 && g_firstError == 0)
        g_firstError = errno;
    return 0;  // go on: remove as much as can be removed
}

}  // namespace

int FileDeleter::moveToTrash(const std::string& path)
{
    if (!LocalFileUrl::isRepresentable(path))
        return moveToHomeTrash(path);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno;
    QFile file(LocalFileUrl::displayPath(path));
    if (file.moveToTrash())
        return 0;
    return EIO;
}

int FileDeleter::removePermanently(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ::unlink(path.c_str()) == 0 ? 0 : errno;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    g_firstError = 0;
    if (::nftw(path.c_str(), removeEntry, 32, FTW_DEPTH | FTW_PHYS) != 0 && g_firstError == 0)
        g_firstError = errno;
    return g_firstError;
}

std::string FileDeleter::homeTrash()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() + "/Trash";
}

int FileDeleter::moveToHomeTrash(const std::string& path)
{
    const std::string trash = homeTrash();
    for (const std::string& dir : {trash, trash + "/files", trash + "/info"})
        if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    struct stat source {}, files {};
    if (::lstat(path.c_str(), &source) != 0)
        return errno;
    if (::stat((trash + "/files").c_str(), &files) != 0)
        return errno;
    if (source.st_dev != files.st_dev)
        return EXDEV;  // the trash of that volume is QFile's business; the file stays
    const std::string leaf = path.substr(path.rfind('/') + 1);
    const QByteArray encoded = LocalFileUrl::encoded(path).mid(7);  // without "file://"
    const QByteArray info = "[Trash Info]\nPath=" + encoded + "\nDeletionDate=" +
                            QDateTime::currentDateTime().toString(Qt::ISODate).left(19).toLatin1() + "\n";
    for (int n = 1; n < 10000; ++n) {
        const std::string name = n == 1 ? leaf : leaf + "." + std::to_string(n);
        const std::string infoPath = trash + "/info/" + name + ".trashinfo";
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        const bool written = ::write(fd, info.constData(), size_t(info.size())) == ssize_t(info.size());
        const bool closed = ::close(fd) == 0;
        if (!written || !closed) {
            ::unlink(infoPath.c_str());
            return EIO;
        }
        const std::string target = trash + "/files/" + name;
        struct stat taken {};
        if (::lstat(target.c_str(), &taken) == 0) {
            ::unlink(infoPath.c_str());
            continue;
        }
        if (::rename(path.c_str(), target.c_str()) != 0) {
            const int err = errno;
            ::unlink(infoPath.c_str());
            return err;
        }
        return 0;
    }
    return EEXIST;
}
