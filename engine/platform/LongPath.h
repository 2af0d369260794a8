#pragma once
// Opening paths of any length. The kernel refuses a path of PATH_MAX (4,096) bytes or more
// (ENAMETOOLONG), however deep the file system lets folders nest; these functions open such
// a path piece by piece: runs of whole components shorter than PATH_MAX, each opened
// relative to the folder the run before it reached. Shorter paths take one openat call.
//
// The result is what one openat of the whole path would give if the kernel had no length
// limit: symbolic links on the way are followed as usual, and `flags` (O_NOFOLLOW,
// O_DIRECTORY, ...) apply to the last component only. Failure: -1 with errno set, as
// openat sets it for the piece that failed; no descriptor is left open. Thread-safe.
#include <string_view>
#include <sys/types.h>

class LongPath {
public:
    // Opens `path` relative to the folder `dirFd` (AT_FDCWD or any negative value: the
    // working folder; an absolute path ignores it). `dirFd` is not taken over. Returns the
    // new descriptor, which the caller closes.
    static int openAt(int dirFd, std::string_view path, int flags, mode_t mode = 0);
};
