#include "platform/LongPath.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

#include "platform/UniqueFd.h"

int LongPath::openAt(int dirFd, std::string_view path, int flags, mode_t mode) {
    if (dirFd < 0)
        dirFd = AT_FDCWD;
    if (path.size() < PATH_MAX)
        return ::openat(dirFd, std::string(path).c_str(), flags, mode);

    UniqueFd owned;            // an intermediate folder of ours, when there is one
    std::string piece;
    size_t at = 0;
    if (path.front() == '/') {
        owned.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!owned.valid())
            return -1;
        while (at < path.size() && path[at] == '/')
            ++at;
    }
    for (;;) {
        const int base = owned.valid() ? owned.get() : dirFd;   // the folder the next piece is opened in
        const std::string_view rest = path.substr(at);
        const bool last = rest.size() < PATH_MAX;
        size_t length = rest.size();
        if (!last) {
            // The longest run of whole components that fits; a single component longer
            // than that cannot exist on any file system.
            length = rest.rfind('/', PATH_MAX - 1);
            if (length == std::string_view::npos || length == 0) {
                owned.reset();
                errno = ENAMETOOLONG;
                return -1;
            }
        }
        piece.assign(rest.substr(0, length));
        UniqueFd fd(last ? ::openat(base, piece.c_str(), flags, mode)
                         : ::openat(base, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        const int error = errno;
        owned.reset();
        if (!fd.valid() || last) {
            errno = error;
            return fd.valid() ? fd.release() : -1;
        }
        owned = std::move(fd);
        at += length;
        while (at < path.size() && path[at] == '/')
            ++at;
        if (at >= path.size()) {
            // The path ended in slashes: it names the folder just reached.
            piece.assign(".");
            const int self = ::openat(owned.get(), piece.c_str(), flags, mode);
            const int selfError = errno;
            owned.reset();
            errno = selfError;
            return self;
        }
    }
}
