#pragma once
// The text extracted from PDF documents, kept between searches so that an unchanged
// document is not converted again.
//
// One entry per document, named after its device and inode, in one private folder (by
// default <cacheHome>/Quendrel/pdftext). An entry holds a header (magic, the document's
// key, the text's length and CRC-32) and the text. It is served only when its key equals
// the document's key now (device, inode, size, modification and change times to the
// nanosecond), its length matches the entry file's size and its checksum the text: a
// truncated, corrupt or foreign entry is a miss and is replaced by the next store().
//
// The folder: made and checked at the first lookup() or store() (a search that meets no
// PDF document leaves no trace); created with mode 0700 (missing parents too); an existing one is used only
// when it is a real folder (not a symbolic link) owned by this user, and is set to mode
// 0700 if it was more open. Otherwise the cache is not open and every call is a miss.
//
// Entries are written crash-safely (a temporary renamed over the entry), so a killed
// search leaves at worst a stray temporary, never a half entry. They are not flushed to
// the disk one by one: after a power cut an entry may be empty or partial, which its
// length and checksum show, so it is a miss. A document whose change
// time is less than settleNanoseconds old is not stored: a second change within the file
// system's timestamp granularity could otherwise keep its key.
//
// Size bound: when a store would take the folder's entries past maxBytes, the oldest
// entries (by the time they were written) are deleted first until the total, the new entry
// included, is at most seven eighths of maxBytes. A text larger than an eighth of maxBytes
// is not stored. The total is counted once, at the first store, then kept up to date
// (another process's writes are seen at its next count).
//
// Thread-safe: lookup() and store() may be called from several threads at once. No
// exceptions; failures make misses and unstored texts.
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/stat.h>

#include "platform/UniqueFd.h"

class PdfTextCache {
public:
    static constexpr uint64_t DEFAULT_MAX_BYTES = 256ull * 1024 * 1024;
    static constexpr int64_t DEFAULT_SETTLE_NANOSECONDS = 2'000'000'000;
    // Bytes of an entry before its text.
    static constexpr size_t HEADER_BYTES = 8 + 7 * 8 + 8 + 4;

    struct Key {
        uint64_t device = 0, inode = 0, size = 0;
        int64_t mtimeSeconds = 0, mtimeNanoseconds = 0;
        int64_t ctimeSeconds = 0, ctimeNanoseconds = 0;
        static Key of(const struct stat& st);
        bool operator==(const Key&) const = default;
    };

    struct Options {
        std::string folder;                 // empty: defaultFolder()
        uint64_t maxBytes = DEFAULT_MAX_BYTES;
        int64_t settleNanoseconds = DEFAULT_SETTLE_NANOSECONDS;
    };

    explicit PdfTextCache(const Options& options);
    PdfTextCache(const PdfTextCache&) = delete;
    PdfTextCache& operator=(const PdfTextCache&) = delete;

    // <cacheHome>/Quendrel/pdftext
    static std::string defaultFolder();

    // False when the folder could not be made or was refused; openError() tells why
    // (ELOOP or ENOTDIR: a link or no folder; EPERM: another user's; else mkdir/open's errno).
    bool isOpen() const;
    int openError() const;
    const std::string& folder() const { return m_path; }

    // The stored text of the document with this key; false (text untouched) on a miss.
    bool lookup(const Key& key, std::string& text) const;
    // Keeps `text` for the document with this key, replacing its previous entry. False
    // when nothing was stored (not open, too fresh, too large, a write failed).
    bool store(const Key& key, std::string_view text);

    // The name of the entry of a document (for tests and tidying): 32 hex digits.
    static std::string entryName(const Key& key);

private:
    void openFolder() const;
    uint64_t countEntries() const;
    // Deletes the oldest entries until `incoming` more bytes fit; m_mutex held.
    void makeRoom(uint64_t incoming);

    std::string m_path;
    mutable std::once_flag m_opened;
    mutable UniqueFd m_folder;      // set once, by openFolder
    mutable int m_openError = 0;
    uint64_t m_maxBytes;
    int64_t m_settle;

    std::mutex m_mutex;
    bool m_counted = false;
    uint64_t m_total = 0;   // bytes of the entries, once counted
};
