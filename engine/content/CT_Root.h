#pragma once
// The base content searcher: opens one file and scans its bytes for all content terms of
// a rule in one pass, then evaluates the terms left to right.
//
// Lifecycle: one object per file: open(), scanTerms(), close(). The destructor closes too.
//
// The scan, in terms of the file's bytes (positions are file offsets):
//  * Scan positions start at 0 and advance by one byte, or by the length of a complete
//    UTF-8 sequence (lead byte 0xC2-0xDF, 0xE0-0xEF, 0xF0-0xF4 followed by all its
//    continuation bytes 0x80-0xBF) starting there. Every term is tried at every scan
//    position where it fits in the file, whatever the length of the other terms, so a
//    short term in the file's last bytes is found and a file shorter than the longest term
//    is still searched for the shorter ones (an empty file: no term is found) and the
//    expression evaluated as usual. A term matches at the first scan position where it fits:
//    UTF-16 text terms only at even offsets; whole-word terms need a non-word character at
//    the position and start right after it (one scan step further, two bytes for UTF-16),
//    followed by a non-word character. The start and the end of the file are boundaries:
//    a whole word may begin at offset 0 and end at the last byte.
//    Case-insensitive terms fold only the ASCII letters.
//  * For every term found, the first match leaves an excerpt in the term's snippet
//    strings (see ContentExcerpt); contexts are measured in the file, never cut by reads.
//  * Only the file's size at open() is scanned; a file that shrinks while it is read ends
//    the scan at its new end (the terms found so far count).
//  * The stop event given to setStopEvent is polled once per read; set, the scan returns
//    false. A read error returns false.
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/UniqueFd.h"

class Event;
struct Search_Rule;

class CT_Root {
public:
    CT_Root() = default;
    virtual ~CT_Root();
    CT_Root(const CT_Root&) = delete;
    CT_Root& operator=(const CT_Root&) = delete;

    // Bytes asked for per read.
    static constexpr size_t READ_SIZE = 256 * 1024;

    // Where the file to open is. `fullName` is always given (converters hand it on, and
    // it is opened when no folder is known). With folderFd >= 0 the file is opened as
    // `nameInFolder`, a bare name in that open folder, which spares the kernel the lookup of
    // every folder above it. The strings are NUL-terminated and only read during open().
    struct Location {
        const char* fullName = "";
        int folderFd = -1;
        const char* nameInFolder = nullptr;
    };

    // Opens an existing regular file for reading and notes its size. False when it cannot
    // be opened or is no regular file (a folder, a pipe, a device). `firstTermIsHex` is
    // unused here; searchers that convert files use it.
    virtual bool open(const Location& file, bool firstTermIsHex);
    // The same by full path (no folder descriptor).
    bool open(const std::string& fileName, bool firstTermIsHex) {
        return open(Location{fileName.c_str()}, firstTermIsHex);
    }
    virtual void close();

    // Scans the open file for rule.containText (must not be empty) and evaluates the terms.
    // The second form reuses the caller's buffer between files (it is grown as needed).
    bool scanTerms(const Search_Rule& rule);
    bool scanTerms(const Search_Rule& rule, std::vector<uint8_t>& buffer);

    // After scanTerms: which terms were found (in term order), NOT flags not applied.
    const std::vector<bool>& foundTerms() const { return m_found; }

    // The event that stops this searcher's scan (and a converter it runs); not owned, it
    // must outlive the searcher. Null (the default): never stopped. Set before open().
    void setStopEvent(const Event* stop) { m_stop = stop; }

    bool isOpen() const { return m_hFile.valid(); }
    uint64_t fileSize() const { return m_fileSize; }

protected:
    bool stopRequested() const;
    const Event* stopEvent() const { return m_stop; }
    // One read at the current file position: the number of bytes read, 0 at the end of the
    // file, -1 on an error.
    virtual ssize_t readBlock(uint8_t* into, size_t length);

    UniqueFd m_hFile;
    uint64_t m_fileSize = 0;
    const Event* m_stop = nullptr;
    std::vector<bool> m_found;
};
