#include "platform/LongPath.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <unistd.h>

int LongPath::openAt(int dirFd, std::string_view path, int flags, mode_t mode) {
    if (dirFd < 0)
        dirFd = AT_FDCWD;
    if (path.size() < PATH_MAX)
        return ::openat(dirFd, std::string(path).c_str(), flags, mode);

    int base = dirFd;          // the folder the next piece is opened in
    bool ownsBase = false;     // base is an intermediate descriptor of ours
    std::string piece;
    size_t at = 0;
    if (path.front() == '/') {
        base = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (base < 0)
            return -1;
        ownsBase = true;
        while (at < path.size() && path[at] == '/')
            ++at;
    }
    for (;;) {
        const std::string_view rest = path.substr(at);
        const bool last = rest.size() < PATH_MAX;
        size_t length = rest.size();
        if (!last) {
            // The longest run of whole components that fits; a single component longer
            // than that cannot exist on any file system.
            length = rest.rfind('/', PATH_MAX - 1);
            if (length == std::string_view::npos || length == 0) {
                if (ownsBase)
                    ::close(base);
                errno = ENAMETOOLONG;
                return -1;
            }
        }
        piece.assign(rest.substr(0, length));
        const int fd = last ? ::openat(base, piece.c_str(), flags, mode)
                            : ::openat(base, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        if (ownsBase)
            ::close(base);
        if (fd < 0 || last) {
            errno = error;
            return fd;
        }
        base = fd;
        ownsBase = true;
        at += length;
        while (at < path.size() && path[at] == '/')
            ++at;
        if (at >= path.size()) {
            // The path ended in slashes: it names the folder just reached.
            piece.assign(".");
            const int self = ::openat(base, piece.c_str(), flags, mode);
            const int selfError = errno;
            ::close(base);
            errno = selfError;
            return self;
        }
    }
}
