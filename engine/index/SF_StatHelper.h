#pragma once
// Reads the metadata of a walk's entries on a second thread while the walking thread
// reads folders and writes columns; reading metadata is most of an index run's time.
//
// The walking thread lists a folder completely into an SF_StatJob, hands it over with
// push(), and then asks for the entries IN ORDER with take(). It stats an entry itself
// when the helper has not claimed it yet; the helper claims entries from the far end of
// the deepest job (the folder the walk is in), then of the jobs above it. Each entry is
// stat'ed exactly once, by whichever thread claims it first, so the results do not
// depend on the timing. pop() withdraws a job (finished or not) and returns once the
// helper no longer touches it; the job's folder descriptor must stay open until then.
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

#include "platform/FileStat.h"

struct SF_StatJob {
    int dirFd = -1;
    std::string names;              // the entry names, each followed by a NUL
    std::vector<uint32_t> nameAt;   // start of entry i's name in `names`
    std::vector<FileStat> stats;    // entry i's metadata once its state is kDone
    std::unique_ptr<std::atomic<uint8_t>[]> state;
    size_t helperEnd = 0;           // the helper's cursor: entries below it are not its (helper only)

    static constexpr uint8_t kFree = 0, kClaimed = 1, kDone = 2, kFailed = 3;

    size_t count() const { return nameAt.size(); }
    const char* name(size_t i) const { return names.data() + nameAt[i]; }
    std::string_view nameView(size_t i) const {
        const size_t end = (i + 1 < nameAt.size() ? nameAt[i + 1] : names.size()) - 1;
        return std::string_view(names.data() + nameAt[i], end - nameAt[i]);
    }
    // clear() empties the names; prepare() makes every listed entry free to claim.
    void clear();
    void prepare();
};

class SF_StatHelper {
public:
    SF_StatHelper();
    ~SF_StatHelper();
    SF_StatHelper(const SF_StatHelper&) = delete;
    SF_StatHelper& operator=(const SF_StatHelper&) = delete;

    void push(SF_StatJob& job);
    void pop(SF_StatJob& job);
    // Entry i's metadata; false when it could not be read (vanished). Entries are taken
    // in increasing order. Works without a helper too (job never pushed).
    static bool take(SF_StatJob& job, size_t i);

private:
    void run();
    SF_StatJob* pickJob();   // under m_mutex

    std::mutex m_mutex;
    std::condition_variable m_wake;       // helper: a job came, or stop
    std::condition_variable m_released;   // walker: the helper left a job
    std::vector<SF_StatJob*> m_stack;
    SF_StatJob* m_current = nullptr;      // the job the helper works on
    bool m_sleeping = false;
    bool m_stop = false;
    std::atomic<uint32_t> m_generation{0};   // bumped by push/pop: the helper re-picks
    std::thread m_thread;
};
