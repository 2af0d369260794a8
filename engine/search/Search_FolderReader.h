#pragma once
// The reading half of Search_Man's walk of one root: opens the folders breadth first
// (relative to a descriptor of the root, paths of any length), lists their entries and,
// when asked, reads each entry's metadata, handing everything over as Search_FolderSlice
// pieces in walk order. The matching half tests the entries; it may run on another thread
// (Search_FolderReadAhead) or call read() itself between slices; the pieces are the same.
//
// Rules, as the walk has them: a folder equal to an excluded path (trailing '/' ignored)
// is not opened; a folder that cannot be opened gives an Unreadable slice unless it has
// vanished or was replaced by a symbolic link since it was listed (those are skipped
// silently); links are never followed below the root; a folder on another file system
// than the root that is a kernel interface (/proc, /sys, ...) is skipped; subfolders are
// queued (Search_FolderQueue) only with `includeSubfolders`, and when the queue is full
// the slice in hand is the last (endsRoot) and the entry that did not fit is not listed.
//
// Stop: the stop event and cancel() are polled before each entry; read() then returns
// what it has and after that false, and stopped() tells that it ended early. Not
// copyable; read() from one thread at a time, cancel() and stopped() from any thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/Search_FolderQueue.h"
#include "search/Search_FolderSlice.h"

class Event;

class Search_FolderReader {
public:
    struct Options {
        bool includeSubfolders = true;
        bool withMetadata = false;                        // read every entry's metadata
        const std::vector<std::string>* excluded = nullptr;
        const Event* stop = nullptr;
    };
    // `rootFd` (not taken over) is the open root; `root` its path without trailing '/'
    // ("" for the file system root).
    Search_FolderReader(int rootFd, std::string root, const Options& options);
    Search_FolderReader(const Search_FolderReader&) = delete;
    Search_FolderReader& operator=(const Search_FolderReader&) = delete;

    // Fills `slice` (cleared first) with the next piece; false when nothing follows.
    bool read(Search_FolderSlice& slice);
    // Asks read() to end as if the stop event were set.
    void cancel() { m_cancel.store(true, std::memory_order_relaxed); }
    // Whether read() ended because of the stop event or cancel() (not at the walk's end).
    bool stopped() const { return m_stopped.load(std::memory_order_acquire); }

    // "/a/b//" -> "/a/b"; "/" -> "".
    static std::string_view withoutTrailingSlashes(std::string_view path);

private:
    bool stopRequested() const;
    bool openNextFolder(Search_FolderSlice& slice, bool& unreadable);

    int m_rootFd;
    std::string m_root;
    Options m_options;
    uint64_t m_rootDev = 0;
    Search_FolderQueue m_queue;
    std::shared_ptr<DirEnumerator> m_dir;   // the folder being listed, null between folders
    std::string m_relative;                 // its path relative to the root
    std::string m_folderPath;               // root + "/" + relative + "/"
    std::string m_childRelative;
    bool m_firstSlice = false;
    bool m_ended = false;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_stopped{false};
};
