#pragma once
// A read-only mapping of a whole regular file. An empty file gives an empty range without
// mapping anything. Opening something that is not a regular file (folder, FIFO, device)
// fails with EISDIR or EINVAL instead of blocking or mapping garbage.
//
// Failure: open() returns false with errno set and leaves the object closed.
// The mapping is private and stays valid after the file is renamed or deleted; a file
// truncated by another process while mapped makes reads past its new end fault (SIGBUS),
// so map only files this program does not expect to shrink (caches, result files).
// The identity of the file that was mapped (inode, modification time) is kept, so a
// caller can tell later whether a name still denotes the file it mapped.
// RAII: the destructor unmaps. Movable, not copyable.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>

class MemoryMap {
public:
    MemoryMap() = default;
    ~MemoryMap();
    MemoryMap(MemoryMap&& other) noexcept;
    MemoryMap& operator=(MemoryMap&& other) noexcept;
    MemoryMap(const MemoryMap&) = delete;
    MemoryMap& operator=(const MemoryMap&) = delete;

    // Maps `path` (a previous mapping is released first).
    bool open(const std::string& path);
    void close();

    bool isOpen() const { return m_open; }
    // Start of the bytes; null for an empty or closed map.
    const uint8_t* data() const { return m_data; }
    size_t size() const { return m_size; }
    std::span<const uint8_t> bytes() const { return {m_data, m_size}; }
    // Inode and modification time of the mapped file (0 when closed).
    uint64_t inode() const { return m_inode; }
    const timespec& modified() const { return m_modified; }

private:
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    bool m_open = false;
    uint64_t m_inode = 0;
    timespec m_modified{};
};
