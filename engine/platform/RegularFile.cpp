#include "platform/RegularFile.h"

#include "platform/LongPath.h"

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
    const int fd = LongPath::openAt(folderFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errno = error;
        return -1;
    }
    if (static_cast<uint64_t>(st.st_size) >= SEQUENTIAL_HINT_FROM)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    if (size)
        *size = static_cast<uint64_t>(st.st_size);
    return fd;
}
