#pragma once
// The metadata of one directory entry, as DirEnumerator::stat fills it. Times are UTC
// instants; the entry itself is described, never the target of a symbolic link.
#include <cstdint>
#include <ctime>

struct FileStat {
    uint64_t size = 0;        // bytes (st_size)
    timespec lastWrite{};     // mtime
    timespec lastAccess{};    // atime
    timespec creation{};      // birth time when the file system reports it, else ctime
    bool hasBirthTime = false;
    uint32_t mode = 0;        // st_mode: type and permission bits
    uint64_t dev = 0;         // device of the file system holding the entry
    uint64_t ino = 0;
};
