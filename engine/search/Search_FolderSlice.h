#pragma once
// One piece of the breadth-first walk as Search_FolderReader lists it: either up to
// kEntries entries of one folder, in the order the file system returned them, or a folder
// that could not be opened.
//
// Entries: name and type (from the directory read), and, when the reader was asked for
// metadata, each entry's metadata read right after it was listed (statOk[i] false: it
// vanished in between). The folder's descriptor (dirFd) stays open while the slice holds
// `folder`, also after the reader has moved on. Movable; reused with clear().
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DirEnumerator.h"
#include "platform/FileStat.h"

struct Search_FolderSlice {
    enum class Kind : uint8_t { Entries, Unreadable };
    static constexpr size_t kEntries = 4096;

    Kind kind = Kind::Entries;
    int error = 0;                // Unreadable: errno of the failed open
    bool firstOfFolder = false;   // Entries: the folder's first slice
    bool lastOfFolder = false;    // Entries: nothing more of this folder follows
    bool endsRoot = false;        // the walk of the root ends after these entries (queue full)
    // Entries: root + "/" + relative + "/"; Unreadable: the folder without a trailing '/'.
    std::string folderPath;
    int dirFd = -1;
    std::shared_ptr<const DirEnumerator> folder;   // keeps dirFd open; shared by the folder's slices
    std::string names;                             // each name followed by a NUL
    std::vector<uint32_t> nameAt;                  // start of entry i's name in `names`
    std::vector<DirEnumerator::EntryType> types;
    std::vector<FileStat> stats;                   // with metadata only
    std::vector<uint8_t> statOk;                   // with metadata only

    size_t count() const { return nameAt.size(); }
    const char* nameCStr(size_t i) const { return names.data() + nameAt[i]; }
    std::string_view name(size_t i) const {
        const size_t end = (i + 1 < nameAt.size() ? nameAt[i + 1] : names.size()) - 1;
        return std::string_view(names.data() + nameAt[i], end - nameAt[i]);
    }
    void clear() {
        kind = Kind::Entries;
        error = 0;
        firstOfFolder = lastOfFolder = endsRoot = false;
        folderPath.clear();
        dirFd = -1;
        folder.reset();
        names.clear();
        nameAt.clear();
        types.clear();
        stats.clear();
        statOk.clear();
    }
};
