#pragma once
// The content tests of one folder walk, run on a few scanner threads while the walk goes
// on, with the walk's output kept in the order a single-threaded walk gives it.
//
// The walk hands every entry whose content must be tested to submit() and sends all its
// other output (results, status lines, unreadable entries) to this object, which is an
// ISearchResultReciever itself. Output waits in one queue in walk order; a content test
// holds its place in it until a scanner has finished it. deliver() passes the finished
// head of the queue to the real receiver, so the receiver is only ever called on the
// walk's thread, in exactly the order and with exactly the excerpts, status lines and
// unreadable reports of the single-threaded walk.
//
// Tests travel in batches: consecutive tests are gathered into one job (up to kBatchTests,
// fewer when other output comes between them, when a PDF is among them, or at the end of a
// folder while a scanner is idle) and one scanner runs the whole job in order. A thread
// wake-up costs far more than opening and reading a small file, so the scanners and the
// walk wake each other once per batch, not once per file.
//
// Stop: each scanner polls the stop event once per read (and a PDF converter it runs is
// killed), and a test not yet begun is not begun. The first test that a stop cut short or
// skipped ends the output: it and everything queued after it are dropped, so what the
// receiver got is exactly what a single-threaded walk would have reported up to some
// moment.
//
// Threads: submit(), deliver(), finish() and the receiver calls come from the walk's
// thread only; the scanners are owned and joined by the pool (the destructor finishes).
// At most queueLimit() jobs wait or run at a time: queuing one more then waits for the
// oldest.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/UniqueFd.h"
#include "records/ISearchResultReciever.h"

class Event;
class PdfTextCache;
struct Search_Rule;

class Search_ScannerPool final : public ISearchResultReciever {
public:
    // `threads` scanners (at least 1). `rule` must outlive the pool; each scanner works on
    // its own copy of its content terms. `out` (may be null) gets the output; `stop` (may be
    // null) stops the tests; `pdfCache` (may be null) serves and keeps converted PDF text.
    Search_ScannerPool(unsigned threads, const Search_Rule& rule, ISearchResultReciever* out, const Event* stop,
                       PdfTextCache* pdfCache);
    ~Search_ScannerPool() override;
    Search_ScannerPool(const Search_ScannerPool&) = delete;
    Search_ScannerPool& operator=(const Search_ScannerPool&) = delete;

    // Queues the content test of `item` (the pool owns it; on a match it becomes the
    // result). `folder`, when it holds a descriptor, is the item's open folder: the file
    // is opened and, with `lateMetadata`, its size and times read relative to it after a
    // match (an entry gone by then is not reported). `attempts` (>= 1): how often the
    // walk tests this content (once per name group whose names match); a match reports one
    // status line and the result, no match `attempts` times the status line and, for a
    // file that could not be opened, its unreadable report. `statusLines`: whether status
    // lines are reported at all.
    void submit(std::unique_ptr<Data_FileItem> item, std::shared_ptr<const UniqueFd> folder, int attempts,
                bool statusLines, bool lateMetadata);
    // Passes everything whose turn has come to the receiver.
    void deliver();
    // The walk calls it after each folder: while a scanner is idle, the tests gathered so
    // far are handed over, so a match never waits long for more candidates.
    void wakeScanners();
    // Waits for every queued test and delivers the rest.
    void finish();
    // True once a stop cut the output short.
    bool cut() const { return m_cut; }

    size_t queueLimit() const { return m_limit; }
    // Most tests in one job.
    static constexpr size_t kBatchTests = 32;

    // ---- ISearchResultReciever: the walk's own output, queued in order ----------------
    void addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher) override;
    void addResult(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item, bool updateNow) override;
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) override;
    void searchFinished(uint32_t elapsedMilliseconds, const Search_Rule& rule) override;
    void showMessage(std::unique_ptr<std::string> message) override;
    bool wantsMessages() const override;
    void entryUnreadable(const std::string& path, int errorNumber) override;

private:
    // One content test. The scanner writes the outcome; the walk reads it once the job is done.
    struct Test {
        std::unique_ptr<Data_FileItem> item;
        std::shared_ptr<const UniqueFd> folder;
        int attempts = 1;
        bool statusLines = false;
        bool lateMetadata = false;
        bool matched = false;
        bool stopped = false;   // begun, then cut short by a stop
        bool skipped = false;   // not begun: the stop came first
        bool vanished = false;  // matched, but gone before its metadata was read
        int error = 0;          // errno of a file that could not be opened, else 0
    };
    // Consecutive tests run by one scanner in order; `done` is set under m_mutex.
    struct Job {
        std::vector<Test> tests;
        bool done = false;
    };
    // One piece of output in walk order.
    struct Slot {
        enum class Kind { Result, Message, Unreadable, Test } kind = Kind::Message;
        const Search_Rule* rule = nullptr;
        std::unique_ptr<Data_FileItem> item;
        bool updateNow = false;
        std::unique_ptr<std::string> message;
        std::string path;
        int error = 0;
        std::unique_ptr<Job> job;
    };

    void scannerMain();
    // Waits (m_mutex held through `lock`) until the oldest queued entry is finished.
    void waitForOldest(std::unique_lock<std::mutex>& lock);
    void runJob(Job& job, class Search_CT& ct, const Search_Rule& terms);
    void runTest(Test& test, class Search_CT& ct, const Search_Rule& terms);
    // Queues the job being gathered (if any), waiting first while the queue is full.
    void queueGathered();
    // Appends a finished piece of output (or passes it on at once when nothing waits).
    void push(Slot slot);
    void emit(Slot& slot);
    void emitJob(Job& job);
    // Sets m_cut when the test was stopped or skipped.
    void emitTest(Test& test);

    const Search_Rule& m_rule;
    ISearchResultReciever* m_out;
    const Event* m_stop;
    PdfTextCache* m_pdfCache;
    std::string m_statusPrefix;
    size_t m_limit;

    std::mutex m_mutex;
    std::condition_variable m_work;   // a job was queued, or the pool ends
    std::condition_variable m_done;   // a job was finished
    std::deque<Slot> m_slots;         // output in walk order, not delivered yet
    std::deque<Job*> m_todo;          // jobs no scanner has taken yet (owned by m_slots)
    std::unique_ptr<Job> m_gathering; // walk thread only: tests not queued yet
    size_t m_jobsQueued = 0;          // jobs in m_slots
    unsigned m_idle = 0;              // scanners waiting for a job
    bool m_walkWaiting = false;       // the walk's thread waits on m_done
    bool m_quit = false;
    bool m_cut = false;               // walk thread only
    std::vector<std::thread> m_threads;
};
