#pragma once
// Builds the index caches of a list of roots: one run walks each root in order (see
// SF_IndexWorker), keeps running sums and an activity text for a progress display, stops
// promptly when its cancel event (s_hCancelEvent unless setCancelEvent gave it one of its
// own) is set, and commits each finished root as a pending cache.
//
// Use per run: init -> addPath -> setExcludeListInfo -> (setIndexThreadPriority) ->
// startIndex on the indexing thread -> reset. getSumValues, setIndexThreadPriority and
// hasNewIndexCache may be called from other threads meanwhile.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "index/SF_ExcludeInfo.h"
#include "index/SF_IndexOutcome.h"
#include "platform/Event.h"

class IIndexResultReceiver;

class SF_Man {
public:
    SF_Man();
    virtual ~SF_Man();
    SF_Man(const SF_Man&) = delete;
    SF_Man& operator=(const SF_Man&) = delete;

    // Set: stop the running indexing run. Front ends reset it before each run.
    static Event s_hCancelEvent;
    // The event that cancels this object's runs instead of s_hCancelEvent (which then no
    // longer stops them); null goes back to s_hCancelEvent. The event must outlive the
    // runs; call between runs.
    void setCancelEvent(const Event* cancel) { m_cancel = cancel; }
    // Whether this object's cancel event is set.
    bool cancelRequested() const { return (m_cancel ? m_cancel : &s_hCancelEvent)->isSet(); }
    // Serialises commits of finished caches with the reading of live caches by a quick
    // search, and guards s_bNewIndexCache.
    static std::mutex s_renameCS;
    // A run committed a pending cache that is not live yet.
    static bool s_bNewIndexCache;

    void init();
    void addPath(const std::vector<std::string>& roots);
    // Replaces the exclusions: folders are stored without trailing '/', types unchanged.
    void setExcludeListInfo(const std::vector<std::string>& folders, const std::vector<std::string>& types,
                            bool indexArchives);
    // 10 runs flat out; below that every entry waits (10 - p)^2 ms. Clamped to 0..10.
    void setIndexThreadPriority(int priority);
    int getIndexThreadPriority() const;
    // On (the default, when the machine has more than one processor): entries are stat'ed
    // partly on a second thread. Off: the walk does everything on its own thread. The
    // caches written are the same either way.
    void setParallelStat(bool on) { m_parallelStat = on; }
    bool getParallelStat() const { return m_parallelStat; }
    // Zeroes the sums and runs the whole run on the calling thread.
    void startIndex(IIndexResultReceiver* receiver);
    // Empties the roots.
    void reset();

    // Bytes of the files recorded, entries recorded and the activity text, as one reading.
    void getSumValues(uint64_t& bytes, uint32_t& entries, std::string& text) const;
    static bool hasNewIndexCache();
    // Forgets that a pending cache waits (after the pending caches were made live).
    static void clearNewIndexCache();

    const std::vector<std::string>& getRoots() const { return m_roots; }
    // How each root of the last run ended, in run order (roots not reached are missing).
    // Read it after the run's thread has ended.
    const std::vector<SF_IndexOutcome>& getOutcomes() const { return m_outcomes; }
    const SF_ExcludeInfo& getExcludeInfo() const { return m_exclude; }

protected:
    friend class SF_IndexWorker;
    void index(IIndexResultReceiver* receiver);
    void addSumValues(uint64_t bytes, uint32_t entries);
    void setIndexInfo(const std::string& text);
    const std::string& getCurrentRootText() const { return m_currentRootText; }

private:
    SF_ExcludeInfo m_exclude;
    std::vector<std::string> m_roots;
    std::vector<SF_IndexOutcome> m_outcomes;
    std::string m_currentRootText;
    mutable std::mutex m_sumLock;
    uint64_t m_bytesIndexed = 0;
    uint32_t m_entriesIndexed = 0;
    std::string m_activityText;
    std::atomic<int> m_priority{9};
    const Event* m_cancel = nullptr;   // setCancelEvent; null: s_hCancelEvent
    bool m_parallelStat = true;
};
