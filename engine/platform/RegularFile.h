#pragma once
// Opening a file for reading when only regular files make sense (checksums, content scans,
// byte comparison): a FIFO, device or folder is refused instead of blocking or failing later.
#include <cstdint>
#include <string>

class RegularFile {
public:
    // Files from this size on are hinted for sequential reading (a larger read-ahead);
    // smaller ones are read in one or a few reads and the hint would only cost a call.
    static constexpr uint64_t SEQUENTIAL_HINT_FROM = 1024 * 1024;

    // Opens `path` read-only (close-on-exec) and checks that it is a regular file; returns
    // the descriptor (the caller closes it) and its size in bytes, or -1 with errno set
    // (EISDIR for a folder, EINVAL for any other kind of file).
    // The descriptor keeps O_NONBLOCK, with which it was opened so that a FIFO cannot hang
    // the open: reads of regular files ignore it. Callers may still retry on EAGAIN.
    static int openForReading(const std::string& path, uint64_t* size = nullptr);

    // The same for `name` relative to the open folder `folderFd` (a bare name spares the
    // kernel the lookup of every folder above it); folderFd -1 or AT_FDCWD takes `name` as
    // a path of its own, relative to the working folder unless absolute. Paths of any
    // length (LongPath).
    static int openForReadingAt(int folderFd, const char* name, uint64_t* size = nullptr);
};
