#include "platform/RegularFile.h"

#include "platform/LongPath.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int RegularFile::openForReading(const std::string& path, uint64_t* size) {
    return openForReadingAt(AT_FDCWD, path.c_str(), size);
}

int RegularFile::openForReadingAt(int folderFd, const char* name, uint64_t* size) {
    if (folderFd < 0)
        folderFd = AT_FDCWD;
    // Non-blocking so that a FIFO nobody writes to cannot hang us before the check. The flag
    // stays: clearing it would cost two calls per file and regular files ignore it.
    UniqueFd fd(LongPath::openAt(folderFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return -1;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        fd.reset();
        errno = error;
        return -1;
    }
    if (static_cast<uint64_t>(st.st_size) >= SEQUENTIAL_HINT_FROM)
        ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    if (size)
        *size = static_cast<uint64_t>(st.st_size);
    return fd.release();
}
