// FileDeleter: trash and permanent delete.
#include "shell/FileDeleter.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

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
        return EILSEQ;
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
