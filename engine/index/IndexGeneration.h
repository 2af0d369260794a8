#pragma once
// The generation record of one root's index cache at one stage. It is written after the
// thirteen column files of a run are complete and synced, and moves with them from stage
// to stage, last; it names the generation (a random id) and, for each column file, its
// size, inode, modification time and CRC-32. A reader maps the columns first and checks
// every one of them against the record afterwards: a column that is not the one the record
// names (left by a commit that was interrupted, or replaced meanwhile by a commit in
// another thread or process) makes the whole set unusable, so a reader sees one complete
// generation or refuses the root, never a mix.
//
// A column is the one the record names when inode, size and modification time are equal
// (the common case: no data is read), or else when size and CRC-32 are equal (a cache
// folder that was copied or restored keeps working).
//
// File: <cache folder>"gn"<encoded root><stage suffix>, written crash-safely
// (AtomicFileWriter). Layout, little-endian: "QDGN", u32 version (1), u64 generation id,
// u32 entry count, u32 column count, then per column: tag (one length byte and the bytes),
// u64 size, u64 inode, i64 modification seconds, u32 nanoseconds, u32 CRC-32; last a
// u32 CRC-32 of all bytes before it. A record that is short, long or fails its CRC is not
// read. Plain value type; no I/O except the named operations, which report false on failure.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

class MemoryMap;

class IndexGeneration {
public:
    struct Column {
        std::string tag;
        uint64_t size = 0;
        uint64_t inode = 0;
        timespec modified{};
        uint32_t crc = 0;
    };

    // A new generation with a fresh random id and no columns.
    static IndexGeneration fresh(uint32_t entries);

    // Full path of the record of `root` at `stage` in the current cache folder.
    static std::string fileName(const std::string& root, int stage);

    // Adds the column file `path` (written with `crc` over `bytes` bytes); false when the
    // file cannot be stat'ed or its size is not `bytes`.
    bool addColumn(const std::string& tag, const std::string& path, uint32_t crc, uint64_t bytes);

    // Writes the record of `root` at `stage` crash-safely.
    bool write(const std::string& root, int stage) const;
    // Reads the record of `root` at `stage`; false when it is missing or damaged.
    bool read(const std::string& root, int stage);

    std::string serialize() const;
    bool parse(std::string_view bytes);

    // Whether the mapped file is the column `tag` of this generation.
    bool describes(const std::string& tag, const MemoryMap& map) const;
    // Whether the file at `path` is the column `tag` of this generation (stat, and when
    // the identity differs, the file's CRC-32).
    bool describesFile(const std::string& tag, const std::string& path) const;

    const Column* column(const std::string& tag) const;
    uint64_t id() const { return m_id; }
    uint32_t entries() const { return m_entries; }
    void setEntries(uint32_t entries) { m_entries = entries; }
    const std::vector<Column>& columns() const { return m_columns; }

private:
    uint64_t m_id = 0;
    uint32_t m_entries = 0;
    std::vector<Column> m_columns;
};
