#pragma once
// Reads the metadata of a walk's entries on a second thread while the walking thread
// reads folders and writes columns; reading metadata is most of an index run's time.
//
// The walking thread lists a folder (a slice of it) into an SF_StatJob, hands it over with
// push(), and then asks for the entries IN ORDER with take(). It stats an entry itself
// when the helper has not claimed it yet; the helper claims entries from the far end of
// the deepest job (the folder the walk is in), then of the jobs above it. Each entry is
// stat'ed exactly once, by whichever thread claims it first, so the results do not
// depend on the timing. pop() withdraws a job (finished or not) and returns once the
// helper no longer touches it; the job's folder descriptor must stay open until then.
//
// When no entry is left to stat, the helper reads ahead whole subfolders the walk has not
// reached yet, from the far end of the deepest job: it opens the subfolder, lists its
// first slice and stats every entry of it (an SF_PrefetchedFolder). Before the walk opens
// a subfolder it asks claimFolder(): either it gets the folder read ahead (waiting if the
// helper is reading it right then) or the subfolder is from then on its own to read. A
// subfolder on another file system than its parent is never read ahead. The folders read
// ahead and waiting for the walk are bounded in number (each holds a descriptor) and in
// entries.
//
// Jobs are pushed and popped in depth-first order by one walking thread. Not copyable.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/DirEnumerator.h"
#include "platform/FileStat.h"

struct SF_PrefetchedFolder;
class SF_StatHelper;

struct SF_StatJob {
    int dirFd = -1;
    uint64_t folderDev = 0;         // the device of the listed folder
    std::string names;              // the entry names, each followed by a NUL
    std::vector<uint32_t> nameAt;   // start of entry i's name in `names`
    std::vector<FileStat> stats;    // entry i's metadata once its state is kDone
    std::unique_ptr<std::atomic<uint8_t>[]> state;
    size_t helperEnd = 0;           // the helper's cursor: entries below it are not its (helper only)
    // Reading ahead: per entry, whether its subfolder is free, being read by the helper
    // (kClaimed), read ahead into `prefetched` (kDone), or the walk's own (kFailed).
    std::unique_ptr<std::atomic<uint8_t>[]> folderState;
    std::vector<std::unique_ptr<SF_PrefetchedFolder>> prefetched;
    size_t prefetchEnd = 0;         // the helper's read-ahead cursor (helper only)
    size_t walkerNext = 0;          // the next entry the walk takes (written by the walk through atomic_ref)

    static constexpr uint8_t kFree = 0, kClaimed = 1, kDone = 2, kFailed = 3;

    SF_StatJob();
    ~SF_StatJob();
    SF_StatJob(SF_StatJob&&) noexcept;
    SF_StatJob& operator=(SF_StatJob&&) noexcept;

    size_t count() const { return nameAt.size(); }
    const char* name(size_t i) const { return names.data() + nameAt[i]; }
    std::string_view nameView(size_t i) const {
        const size_t end = (i + 1 < nameAt.size() ? nameAt[i + 1] : names.size()) - 1;
        return std::string_view(names.data() + nameAt[i], end - nameAt[i]);
    }
    // clear() empties the names (and drops subfolders read ahead); prepare() makes every
    // listed entry free to claim.
    void clear();
    void prepare();
    // Lists up to `maxEntries` more entries of `dir` after clear(); sets `ended` when the
    // folder has no more (or cannot be read further).
    void listFrom(DirEnumerator& dir, size_t maxEntries, bool& ended);
};

// A subfolder the helper opened, listed (first slice) and stat'ed ahead of the walk.
struct SF_PrefetchedFolder {
    DirEnumerator dir;
    SF_StatJob job;        // every entry stat'ed (kDone or kFailed)
    bool listEnded = false;
    SF_StatHelper* owner = nullptr;   // whose read-ahead budget this folder counts against
    size_t entries = 0;               // what it counts (the job may be taken over meanwhile)
    SF_PrefetchedFolder() = default;
    SF_PrefetchedFolder(const SF_PrefetchedFolder&) = delete;
    SF_PrefetchedFolder& operator=(const SF_PrefetchedFolder&) = delete;
    ~SF_PrefetchedFolder();
};

class SF_StatHelper {
public:
    // Without `readFoldersAhead` the helper only stats the entries of the pushed jobs
    // (claimFolder then always leaves the subfolder to the walk): for walks that do not
    // open a folder's subfolders next (a breadth-first walk).
    explicit SF_StatHelper(bool readFoldersAhead = true);
    ~SF_StatHelper();
    SF_StatHelper(const SF_StatHelper&) = delete;
    SF_StatHelper& operator=(const SF_StatHelper&) = delete;

    void push(SF_StatJob& job);
    void pop(SF_StatJob& job);
    // Entry i's metadata; false when it could not be read (vanished). Entries are taken
    // in increasing order. Works without a helper too (job never pushed).
    static bool take(SF_StatJob& job, size_t i);
    // Before the walk opens entry i of `job` as a folder: the folder read ahead, or null
    // when the walk reads it itself (not read ahead, or reading it ahead failed).
    static std::unique_ptr<SF_PrefetchedFolder> claimFolder(SF_StatJob& job, size_t i);

    // Folders read ahead and not yet dropped, with their entries; and all folders read
    // ahead so far. For diagnostics and tests.
    size_t prefetchedFolders() const { return m_prefetchedFolders.load(std::memory_order_relaxed); }
    size_t prefetchedEntries() const { return m_prefetchedEntries.load(std::memory_order_relaxed); }
    size_t foldersReadAhead() const { return m_foldersReadAhead.load(std::memory_order_relaxed); }

    // How many folders a helper may hold open ahead of its walk: `most`, or a quarter of
    // the descriptor limit when that is lower (the walk and the rest of the program need
    // theirs).
    static size_t folderDescriptorBudget(size_t most);

    // Entries listed (and stat'ed ahead) at a time.
    static constexpr size_t kSliceEntries = 4096;
    // Read ahead and waiting for the walk at most: folders (each holds a descriptor; fewer
    // when the descriptor limit is low) and their entries in all.
    static constexpr size_t kMaxPrefetchedFolders = 256;
    static constexpr size_t kMaxPrefetchedEntries = size_t{64} * 1024;

private:
    void run();
    SF_StatJob* pickJob();   // under m_mutex
    SF_StatJob* pickFolder(size_t& entry);   // under m_mutex; claims the entry's subfolder
    void prefetch(SF_StatJob& job, size_t entry);

    std::mutex m_mutex;
    std::condition_variable m_wake;       // helper: a job came, or stop
    std::condition_variable m_released;   // walker: the helper left a job
    std::vector<SF_StatJob*> m_stack;
    SF_StatJob* m_current = nullptr;      // the job the helper works on
    bool m_sleeping = false;
    bool m_stop = false;
    std::atomic<uint32_t> m_generation{0};   // bumped by push/pop: the helper re-picks
    friend struct SF_PrefetchedFolder;
    // Folders read ahead and not yet dropped, and their entries.
    std::atomic<size_t> m_prefetchedFolders{0};
    std::atomic<size_t> m_prefetchedEntries{0};
    std::atomic<size_t> m_foldersReadAhead{0};
    size_t m_maxPrefetchedFolders = kMaxPrefetchedFolders;
    bool m_readFoldersAhead = true;
    std::thread m_thread;
};
