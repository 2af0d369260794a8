#pragma once
// Opening a file for reading when only regular files make sense (checksums, content scans,
// byte comparison): a FIFO, device or folder is refused instead of blocking or failing later.
#include <cstdint>
#include <string>

class RegularFile {
public:
    // Opens `path` read-only (close-on-exec) and checks that it is a regular file; returns
    // the descriptor (the caller closes it) and its size in bytes, or -1 with errno set.
    // The descriptor is blocking and hinted for sequential reading.
    static int openForReading(const std::string& path, uint64_t* size = nullptr);
};
