#pragma once
// Result files (".qdr"): a little-endian u32 row count, then one Data_FileItem result
// record (Data_FileItem::serializeAsResult) per row, in row order; nothing after the last.
//
// Saving writes aside and renames over the target (AtomicFileWriter), so a failed save
// leaves the previous file as it was. Loading reads the whole file and checks every
// record; a count that the remaining bytes cannot hold, a truncated record or bytes after
// the last record reject the file before (or instead of) allocating the rows. Paths are
// local file paths as UTF-8 bytes. No widgets; any thread, one call per file at a time.
#include <memory>
#include <string>
#include <vector>

class Data_FileItem;
class IResultListAccess;

class ResultFile {
public:
    // The smallest stored record: the fixed fields of the item (42 bytes with two empty
    // names), an empty folder (1), the duplicate group (4) and a snippet count of 0 (4).
    static constexpr size_t kMinRecordBytes = 51;

    // Writes every row of `list` in row order. False (errno set, target untouched) when
    // the file cannot be written.
    static bool save(const std::string& path, IResultListAccess& list);
    // Same for items given directly.
    static bool save(const std::string& path, const std::vector<Data_FileItem*>& items);

    // Reads a result file into `out` (emptied first). False on any read or format
    // failure; then `out` is empty.
    static bool load(const std::string& path, std::vector<std::unique_ptr<Data_FileItem>>& out);
    // The same for bytes already in memory.
    static bool parse(const uint8_t* data, size_t size, std::vector<std::unique_ptr<Data_FileItem>>& out);
};
