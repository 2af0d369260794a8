#include "index/SF_StatHelper.h"

#include <algorithm>

#include "platform/DirEnumerator.h"

namespace {
void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

bool statEntry(SF_StatJob& job, size_t i) {
    return DirEnumerator::statAt(job.dirFd, job.name(i), job.stats[i]);
}
}  // namespace

void SF_StatJob::clear() {
    names.clear();
    nameAt.clear();
    helperEnd = 0;
}

void SF_StatJob::prepare() {
    const size_t n = count();
    if (stats.size() < n)
        stats.resize(n);
    state = std::make_unique<std::atomic<uint8_t>[]>(n);   // value-initialised: kFree
    helperEnd = n;
}

SF_StatHelper::SF_StatHelper() : m_thread([this] { run(); }) {}

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
        s.store(ok ? SF_StatJob::kDone : SF_StatJob::kFailed, std::memory_order_relaxed);
        return ok;
    }
    // The helper is reading this entry right now (one stat call): wait for it.
    uint8_t v;
    for (unsigned spins = 0; (v = s.load(std::memory_order_acquire)) == SF_StatJob::kClaimed; ++spins) {
        if (spins < 4096)
            cpuRelax();
        else
            std::this_thread::yield();
    }
    return v == SF_StatJob::kDone;
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
