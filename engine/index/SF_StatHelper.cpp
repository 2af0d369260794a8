#include "index/SF_StatHelper.h"

#include <algorithm>
#include <sys/resource.h>
#include <sys/stat.h>

#include "platform/DirEnumerator.h"

namespace {
void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Waits until the other thread has finished with a claimed entry; returns its final state.
uint8_t waitWhileClaimed(const std::atomic<uint8_t>& s) {
    uint8_t v;
    for (unsigned spins = 0; (v = s.load(std::memory_order_acquire)) == SF_StatJob::kClaimed; ++spins) {
        if (spins < 4096)
            cpuRelax();
        else
            std::this_thread::yield();
    }
    return v;
}

bool statEntry(SF_StatJob& job, size_t i) {
    return DirEnumerator::statAt(job.dirFd, job.name(i), job.stats[i]);
}
}  // namespace

SF_StatJob::SF_StatJob() = default;
SF_StatJob::~SF_StatJob() = default;
SF_StatJob::SF_StatJob(SF_StatJob&&) noexcept = default;
SF_StatJob& SF_StatJob::operator=(SF_StatJob&&) noexcept = default;

void SF_StatJob::clear() {
    names.clear();
    nameAt.clear();
    prefetched.clear();
    helperEnd = 0;
    prefetchEnd = 0;
    walkerNext = 0;
}

void SF_StatJob::prepare() {
    const size_t n = count();
    if (stats.size() < n)
        stats.resize(n);
    state = std::make_unique<std::atomic<uint8_t>[]>(n);   // value-initialised: kFree
    folderState = std::make_unique<std::atomic<uint8_t>[]>(n);
    prefetched.clear();
    prefetched.resize(n);
    helperEnd = n;
    prefetchEnd = n;
    walkerNext = 0;
}

void SF_StatJob::listFrom(DirEnumerator& dir, size_t maxEntries, bool& ended) {
    while (count() < maxEntries && !ended) {
        if (!dir.next()) {
            ended = true;
            break;
        }
        nameAt.push_back(static_cast<uint32_t>(names.size()));
        names += dir.name();
        names += '\0';
    }
    dirFd = dir.fd();
}

SF_PrefetchedFolder::~SF_PrefetchedFolder() {
    if (owner) {
        owner->m_prefetchedFolders.fetch_sub(1, std::memory_order_relaxed);
        owner->m_prefetchedEntries.fetch_sub(entries, std::memory_order_relaxed);
    }
}

size_t SF_StatHelper::folderDescriptorBudget(size_t most) {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        most = std::min<size_t>(most, limit.rlim_cur / 4);
    return most;
}

SF_StatHelper::SF_StatHelper(bool readFoldersAhead) : m_readFoldersAhead(readFoldersAhead) {
    m_maxPrefetchedFolders = folderDescriptorBudget(kMaxPrefetchedFolders);
    m_thread = std::thread([this] { run(); });
}

SF_StatHelper::~SF_StatHelper() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void SF_StatHelper::push(SF_StatJob& job) {
    bool wake;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stack.push_back(&job);
        m_generation.fetch_add(1, std::memory_order_relaxed);
        wake = m_sleeping;
    }
    if (wake)
        m_wake.notify_one();
}

void SF_StatHelper::pop(SF_StatJob& job) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto it = std::find(m_stack.rbegin(), m_stack.rend(), &job);
    if (it == m_stack.rend())
        return;
    m_stack.erase(std::next(it).base());
    m_generation.fetch_add(1, std::memory_order_relaxed);
    m_released.wait(lock, [&] { return m_current != &job; });
}

bool SF_StatHelper::take(SF_StatJob& job, size_t i) {
    std::atomic<uint8_t>& s = job.state[i];
    uint8_t expected = SF_StatJob::kFree;
    if (s.compare_exchange_strong(expected, SF_StatJob::kClaimed, std::memory_order_acq_rel)) {
        const bool ok = statEntry(job, i);
        // Released: the helper reads the metadata when it looks for folders to read ahead.
        s.store(ok ? SF_StatJob::kDone : SF_StatJob::kFailed, std::memory_order_release);
        return ok;
    }
    // The helper is reading this entry right now (one stat call): wait for it.
    return waitWhileClaimed(s) == SF_StatJob::kDone;
}

std::unique_ptr<SF_PrefetchedFolder> SF_StatHelper::claimFolder(SF_StatJob& job, size_t i) {
    if (!job.folderState)
        return nullptr;
    std::atomic<uint8_t>& s = job.folderState[i];
    uint8_t expected = SF_StatJob::kFree;
    if (s.compare_exchange_strong(expected, SF_StatJob::kFailed, std::memory_order_acq_rel))
        return nullptr;   // not read ahead: the walk's own from now on
    // The helper is reading this folder right now (one slice): wait for it.
    if (waitWhileClaimed(s) != SF_StatJob::kDone)
        return nullptr;
    return std::move(job.prefetched[i]);
}

SF_StatJob* SF_StatHelper::pickFolder(size_t& entry) {
    if (!m_readFoldersAhead)
        return nullptr;
    if (m_prefetchedFolders.load(std::memory_order_relaxed) >= m_maxPrefetchedFolders ||
        m_prefetchedEntries.load(std::memory_order_relaxed) >= kMaxPrefetchedEntries)
        return nullptr;
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
        SF_StatJob* job = *it;
        const size_t walker = std::atomic_ref<size_t>(job->walkerNext).load(std::memory_order_relaxed);
        while (job->prefetchEnd > walker) {
            const size_t j = job->prefetchEnd - 1;
            const uint8_t st = job->state[j].load(std::memory_order_acquire);
            if (st == SF_StatJob::kFree || st == SF_StatJob::kClaimed)
                break;   // not stat'ed yet: whether it is a folder is not known
            job->prefetchEnd = j;
            const FileStat& meta = job->stats[j];
            if (st != SF_StatJob::kDone || !S_ISDIR(meta.mode) || meta.dev != job->folderDev)
                continue;
            uint8_t expected = SF_StatJob::kFree;
            if (job->folderState[j].compare_exchange_strong(expected, SF_StatJob::kClaimed,
                                                             std::memory_order_acq_rel)) {
                entry = j;
                return job;
            }
            job->prefetchEnd = 0;   // the walk has come this far: the rest is its own
        }
    }
    return nullptr;
}

void SF_StatHelper::prefetch(SF_StatJob& job, size_t entry) {
    bool ok = false;
    try {
        auto folder = std::make_unique<SF_PrefetchedFolder>();
        struct stat st {};
        if (folder->dir.openAt(job.dirFd, job.name(entry)) && ::fstat(folder->dir.fd(), &st) == 0) {
            SF_StatJob& sub = folder->job;
            sub.listFrom(folder->dir, kSliceEntries, folder->listEnded);
            sub.folderDev = st.st_dev;
            sub.prepare();
            for (size_t i = 0; i < sub.count(); ++i)
                sub.state[i].store(statEntry(sub, i) ? SF_StatJob::kDone : SF_StatJob::kFailed,
                                   std::memory_order_relaxed);
            folder->owner = this;
            folder->entries = sub.count();
            m_prefetchedFolders.fetch_add(1, std::memory_order_relaxed);
            m_prefetchedEntries.fetch_add(sub.count(), std::memory_order_relaxed);
            m_foldersReadAhead.fetch_add(1, std::memory_order_relaxed);
            job.prefetched[entry] = std::move(folder);
            ok = true;
        }
    } catch (const std::exception&) {
        ok = false;   // out of memory: the walk reads it itself
    }
    job.folderState[entry].store(ok ? SF_StatJob::kDone : SF_StatJob::kFailed, std::memory_order_release);
}

SF_StatJob* SF_StatHelper::pickJob() {
    // The deepest folder first: the walk needs its entries soonest.
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
        SF_StatJob* job = *it;
        if (job->helperEnd > 0 &&
            job->state[job->helperEnd - 1].load(std::memory_order_relaxed) == SF_StatJob::kFree)
            return job;
    }
    return nullptr;
}

void SF_StatHelper::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        SF_StatJob* job = pickJob();
        if (!job) {
            size_t entry = 0;
            if (SF_StatJob* parent = pickFolder(entry)) {
                m_current = parent;
                lock.unlock();
                prefetch(*parent, entry);
                lock.lock();
                m_current = nullptr;
                m_released.notify_all();
                continue;
            }
            m_sleeping = true;
            m_wake.wait(lock);
            m_sleeping = false;
            continue;
        }
        m_current = job;
        const uint32_t generation = m_generation.load(std::memory_order_relaxed);
        lock.unlock();
        while (job->helperEnd > 0) {
            const size_t j = job->helperEnd - 1;
            uint8_t expected = SF_StatJob::kFree;
            if (!job->state[j].compare_exchange_strong(expected, SF_StatJob::kClaimed, std::memory_order_acq_rel)) {
                job->helperEnd = 0;   // the walker has come this far: the rest is its own
                break;
            }
            job->helperEnd = j;
            const bool ok = statEntry(*job, j);
            job->state[j].store(ok ? SF_StatJob::kDone : SF_StatJob::kFailed, std::memory_order_release);
            if (m_generation.load(std::memory_order_relaxed) != generation)
                break;   // a deeper folder came (or this one went): choose again
        }
        lock.lock();
        m_current = nullptr;
        m_released.notify_all();
    }
}
