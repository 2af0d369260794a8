#pragma once
// One column file of an index cache, for one root: its writer (used by the indexer) and
// its reader (used by a cache searcher). An object is either written or read, never both.
//
// File: <cache folder><tag><encoded root><stage suffix> (Tool_Resource::convertToIndexFileName).
// Numbers are little-endian; files have no header. A fixed-width column holds one record
// per entry; a data column ("fn", "fe", "fp", "fa") is reached through its u32 offset
// column and shares records as described in the derived classes.
//
// Strings are stored with the length prefix of result files: one byte for lengths below
// 255, else 0xFF and a u16 length (below 0xFFFE), else 0xFF, 0xFFFF and a u32 length. So a
// long name or a deep folder is kept whole rather than cut or dropped.
//
// Reading maps the live file read-only. Every read is bounds-checked against the mapping:
// an entry number past the count, an offset past the data file or a length running past
// its end makes the read return false; nothing is read beyond a record.
//
// Writing appends to the temporary file through a buffered writer whose errors stick;
// closeWrite() reports them. Whole sets move temporary -> pending -> live through
// SF_SaverSet, which checks them against their generation record (IndexGeneration).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "index/IndexColumnWriter.h"
#include "platform/MemoryMap.h"

class Data_FileItem;
class IndexGeneration;
class SF_FileFind;
struct FileNameGroup;
struct Search_Rule;
struct IndexIncludeFolder;

class SF_SingleSaver {
public:
    using GroupList = std::vector<std::unique_ptr<FileNameGroup>>;

    SF_SingleSaver() = default;
    virtual ~SF_SingleSaver();
    SF_SingleSaver(const SF_SingleSaver&) = delete;
    SF_SingleSaver& operator=(const SF_SingleSaver&) = delete;

    // stage 1: the pending file becomes live; stage 2: the temporary file becomes pending.
    // When the source does not exist nothing happens (true). False when the move failed;
    // the source then stays where it was.
    virtual bool rename(const std::string& root, int stage);
    // Deletes the live file; true when it is gone (or was not there).
    virtual bool deleteLive(const std::string& root);
    // Deletes the temporary file, then closes the writer.
    virtual void discardTemporary(const std::string& root);
    // Whether a search of `x` with these groups and this rule must test this column.
    virtual bool isNeeded(const IndexIncludeFolder& x, const GroupList& groups, const Search_Rule& rule) const;
    // Copies entry `entry`'s value into its field(s) of `item`; false when the entry's
    // record is missing or malformed.
    virtual bool fillItem(uint32_t entry, Data_FileItem& item) const = 0;
    // Maps the live file read-only; false (nothing left open) when it is missing, empty or
    // cannot be mapped.
    virtual bool openRead(const std::string& root);
    virtual void closeRead();
    // Live file size / record width (entries of a truncated last record do not count).
    virtual uint32_t entryCount() const;
    // Creates (truncates) the temporary file.
    virtual bool openWrite(const std::string& root);
    // Flushes and closes; false when any write failed.
    virtual bool closeWrite();
    // Appends the record of an archive member.
    virtual bool writeItem(const Data_FileItem& item);
    // Appends the record of the enumerator's current entry.
    virtual bool writeFound(const SF_FileFind& found);
    // Tests entry `entry` against the rule; a success of a group-independent column is
    // remembered in the match cache until clearMatchCache().
    virtual bool matches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule,
                         const IndexIncludeFolder& x);
    // The instant (local FILETIME ticks) that the "within the last ..." date test of the
    // search about to scan counts back from. Only the time columns use it.
    virtual void setSearchTime(uint64_t /*nowTicks*/) {}
    virtual const char* tag() const = 0;
    virtual uint32_t recordWidth() const = 0;
    // The u32 record of entry i (offset columns and "ft"); data columns return their
    // offset-column record. False past the end.
    virtual bool readRecord(uint32_t entry, uint32_t& out) const;

    // The tags of the files this object writes and reads (its own, then a partner's).
    virtual void fileTags(std::vector<std::string>& out) const { out.emplace_back(tag()); }
    // Adds the temporary file(s) just written for `root` to `generation`; false when a
    // file is not what the writer wrote.
    virtual bool describeWritten(IndexGeneration& generation, const std::string& root) const;
    // Whether the mapped file(s) are the ones `generation` names.
    virtual bool isOfGeneration(const IndexGeneration& generation) const;

    void clearMatchCache() { m_matchCache = 0; }
    bool isOpenForRead() const { return m_view != nullptr; }
    // Full path of this column's file for the root and stage, in the current cache folder.
    std::string fileName(const std::string& root, int stage) const;

    // Size of the stored form of a string of `length` bytes.
    static uint64_t stringRecordSize(size_t length);
    // Reads the string record at `offset` of [data, data+size); false when the prefix or
    // the bytes run past the end.
    static bool parseString(const uint8_t* data, size_t size, uint64_t offset, std::string_view& out);

protected:
    bool writeString(std::string_view s);
    bool readU32At(uint64_t byteOffset, uint32_t& out) const;
    bool readU64At(uint64_t byteOffset, uint64_t& out) const;

    IndexColumnWriter m_writer;
    MemoryMap m_map;
    const uint8_t* m_view = nullptr;
    size_t m_viewSize = 0;
    uint8_t m_matchCache = 0;
};
