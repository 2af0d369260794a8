#pragma once
// File-content questions of the duplicate finder: are two files byte-equal, a fast hash of
// a file's first bytes or of all of them, and the item checksums with their caches.
// Files are read in large blocks through bounded buffers; nothing is mapped or loaded whole.
// Every function answers "no" / false for a file that cannot be opened or read. Where an
// `error` pointer is given, it receives the errno of the open or read that failed, and 0
// on success or for any other failure (not a regular file, a set stop event).
#include <cstdint>
#include <string>

class Data_FileItem;
class Event;

class Duplicate_FileContent {
public:
    // Bytes read per block by the comparison and the hashes.
    static constexpr size_t kBlockSize = size_t{256} * 1024;

    // True when both files can be read to their end and hold the same bytes. The lengths
    // reported for the open files must agree, and both must end exactly there: a file that
    // grows or shrinks while it is read never compares equal. A set `stop` event ends the
    // comparison early with false.
    static bool equalFiles(const std::string& a, const std::string& b, const Event* stop = nullptr);

    // A 64-bit hash of the first `limit` bytes of the file (all of it when it is shorter).
    // Equal files give equal hashes; false when the file cannot be read.
    static bool hashFile(const std::string& file, uint64_t limit, uint64_t& hash, const Event* stop = nullptr,
                         int* error = nullptr);

    // The MD5 digest of the whole file. False when it cannot be read or `stop` is set.
    // Touches nothing but the file and `digest`: safe to call from several threads at once.
    static bool fileMD5(const std::string& file, uint8_t digest[16], const Event* stop = nullptr,
                        int* error = nullptr);

    // The CRC-32 of the whole file. False when it cannot be read or `stop` is set. Safe to
    // call from several threads at once.
    static bool fileCRC32(const std::string& file, uint32_t& crc, const Event* stop = nullptr, int* error = nullptr);

    // The item's CRC-32: the cached m_dwCRC32 when it is nonzero, else read from the file
    // and cached. False when the file cannot be read (the item is left unchanged).
    static bool itemCRC32(Data_FileItem& item, uint32_t& crc);
    // The item's MD5 digest: the cached m_md5 when its first byte is nonzero, else read from
    // the file and cached. False when the file cannot be read (the item is left unchanged).
    static bool itemMD5(Data_FileItem& item, uint8_t digest[16]);
};
