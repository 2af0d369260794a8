#pragma once
// Runs a Search_FolderReader on a helper thread, ahead of the thread that tests the
// entries, so that the kernel's folder reads (and the metadata reads of size and date
// searches) overlap with matching. take() hands the slices over in exactly the order the
// reader made them, so the walk sees what it would see calling read() itself; only the
// moment each folder is read moves earlier (a change to the tree during the walk may be
// seen at another point, as with any walk that is not atomic).
//
// Bounded: at most kMaxSlices slices (each may hold a folder's descriptor; fewer when the
// descriptor limit is low) and kMaxEntries entries wait at a time; the helper sleeps
// until the walk has taken half of them. The helper also ends when the reader sees the
// stop event. The destructor cancels the reader and joins the helper, whatever is left.
//
// take() from one thread (the walk's); the reader is the helper's alone until take()
// returned false or the object is gone. Not copyable.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "search/Search_FolderSlice.h"

class Search_FolderReader;

class Search_FolderReadAhead {
public:
    static constexpr size_t kMaxSlices = 256;
    static constexpr size_t kMaxEntries = size_t{64} * 1024;

    explicit Search_FolderReadAhead(Search_FolderReader& reader);
    ~Search_FolderReadAhead();
    Search_FolderReadAhead(const Search_FolderReadAhead&) = delete;
    Search_FolderReadAhead& operator=(const Search_FolderReadAhead&) = delete;

    // The next slice, waiting for the helper when none is ready; false when the reader has
    // nothing more. A slice passed in (the previous one) is given back for reuse.
    bool take(std::unique_ptr<Search_FolderSlice>& slice);

    // Slices read ahead so far (diagnostics and tests).
    size_t slicesRead() const;

private:
    void run();
    bool hasRoom() const;   // under m_mutex

    Search_FolderReader& m_reader;
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;   // walk: slices came, or the helper ended
    std::condition_variable m_room;    // helper: the walk took slices, or cancel
    std::deque<std::unique_ptr<Search_FolderSlice>> m_slices;
    std::vector<std::unique_ptr<Search_FolderSlice>> m_spare;
    size_t m_entries = 0;              // entries in m_slices
    size_t m_maxSlices = kMaxSlices;
    size_t m_slicesRead = 0;
    bool m_walkWaiting = false;
    bool m_helperWaiting = false;
    bool m_done = false;
    bool m_cancel = false;
    std::thread m_thread;
};
