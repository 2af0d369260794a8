#pragma once
// Writes a file crash-safely: the bytes go to a uniquely named temporary file in the
// target's folder, and commit() flushes them to disk and renames the temporary over the
// target in one step. Readers see either the old file or the complete new one, never a
// mix; after a crash at most a stray ".<name>.~tmpXXXXXX" file is left behind.
//
// A new target gets mode 0644 less the process umask; an existing target keeps its
// permission bits. When the target is a symbolic link, the link itself is replaced, unless
// open() is told to follow links: then the file the chain of links ends at (relative links
// resolved against their own folder, at most 40 links) is replaced, created if missing, and
// every link stays as it was.
// Destroying the writer (or abandon()) without a successful commit removes the temporary
// and leaves the target untouched.
//
// Failure: open(), write() and commit() return false with errno set. A failed write is
// sticky: later writes and commit() fail too (with the first errno), so a caller may write
// everything and check commit() once. Movable, not copyable.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/UniqueFd.h"

class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    enum class Links { Replace, Follow };

    // Creates the temporary for `targetPath` (an unfinished previous one is abandoned).
    // With Links::Follow, targetPath() is the end of its chain of symbolic links (ELOOP for
    // more than 40 links).
    bool open(const std::string& targetPath, Links links = Links::Replace);
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    // Flushed: the data reaches the disk before the rename, and the folder after it.
    // Renamed: only the rename, no fsync: a killed process still leaves the old or the
    // complete new file, but after a power cut the new file may be empty or partial. Only
    // for files whose readers check them (a checksum) and can do without them (caches).
    enum class Durability { Flushed, Renamed };
    // fsync (Flushed), rename over the target, fsync the folder (Flushed). The writer is
    // closed afterwards whatever the outcome; on failure the temporary is removed.
    bool commit(Durability durability = Durability::Flushed);
    // Removes the temporary; the target is not touched.
    void abandon();

    bool isOpen() const { return m_fd.valid(); }
    const std::string& targetPath() const { return m_target; }
    const std::string& temporaryPath() const { return m_temp; }

private:
    void reset();
    static bool followLinks(const std::string& path, std::string& end);

    UniqueFd m_fd;
    int m_error = 0;
    std::string m_target;
    std::string m_temp;
};
