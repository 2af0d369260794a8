#include "search/Search_ScannerPool.h"

#include <fcntl.h>

#include "content/Search_CT.h"
#include "platform/AsciiCase.h"
#include "platform/DirEnumerator.h"
#include "platform/Event.h"
#include "platform/FileStat.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"

Search_ScannerPool::Search_ScannerPool(unsigned threads, const Search_Rule& rule, ISearchResultReciever* out,
                                       const Event* stop, PdfTextCache* pdfCache)
    : m_rule(rule), m_out(out), m_stop(stop), m_pdfCache(pdfCache), m_statusPrefix(Tool_Resource::loadString(2)) {
    if (threads < 1)
        threads = 1;
    // Enough waiting jobs that a slow file (a PDF being converted) does not leave the
    // other scanners idle, few enough that the output never lags far behind the walk.
    m_limit = size_t(threads) * 16;
    m_threads.reserve(threads);
    for (unsigned i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { scannerMain(); });
}

Search_ScannerPool::~Search_ScannerPool() {
    finish();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_work.notify_all();
    for (std::thread& t : m_threads)
        t.join();
}

void Search_ScannerPool::submit(std::unique_ptr<Data_FileItem> item, std::shared_ptr<const UniqueFd> folder,
                                int attempts, bool statusLines, bool lateMetadata) {
    if (!m_gathering) {
        m_gathering = std::make_unique<Job>();
        m_gathering->tests.reserve(kBatchTests);
    }
    Test& test = m_gathering->tests.emplace_back();
    test.item = std::move(item);
    test.folder = std::move(folder);
    test.attempts = attempts < 1 ? 1 : attempts;
    test.statusLines = statusLines;
    test.lateMetadata = lateMetadata;
    // A PDF may take a converter's run: it ends its batch, so that the files after it go to
    // another scanner instead of waiting behind it.
    if (m_gathering->tests.size() >= kBatchTests || AsciiCase::equalFolded(test.item->m_strExt, "pdf"))
        queueGathered();
}

void Search_ScannerPool::queueGathered() {
    if (!m_gathering)
        return;
    std::unique_ptr<Job> job = std::move(m_gathering);
    Job* raw = job.get();
    bool wake = false;
    for (;;) {
        deliver();
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_jobsQueued < m_limit) {
            Slot slot;
            slot.kind = Slot::Kind::Test;
            slot.job = std::move(job);
            m_slots.push_back(std::move(slot));
            m_todo.push_back(raw);
            ++m_jobsQueued;
            wake = m_idle > 0;
            break;
        }
        // Full: the oldest entry of the queue is an unfinished job (deliver took the rest).
        waitForOldest(lock);
    }
    // A busy scanner takes the job when it is done: no wake-up (and no system call) then.
    if (wake)
        m_work.notify_one();
}

void Search_ScannerPool::wakeScanners() {
    if (!m_gathering)
        return;
    bool idle;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        idle = m_idle > 0;
    }
    if (idle)
        queueGathered();
}

void Search_ScannerPool::waitForOldest(std::unique_lock<std::mutex>& lock) {
    if (!m_todo.empty() && m_idle > 0)
        m_work.notify_all();
    m_walkWaiting = true;
    m_done.wait(lock, [this] { return m_slots.front().kind != Slot::Kind::Test || m_slots.front().job->done; });
    m_walkWaiting = false;
}

void Search_ScannerPool::deliver() {
    std::vector<Slot> ready;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        while (!m_slots.empty()) {
            Slot& front = m_slots.front();
            if (front.kind == Slot::Kind::Test) {
                if (!front.job->done)
                    break;
                --m_jobsQueued;
            }
            ready.push_back(std::move(front));
            m_slots.pop_front();
        }
    }
    for (Slot& slot : ready)
        emit(slot);
}

void Search_ScannerPool::finish() {
    queueGathered();
    for (;;) {
        deliver();
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_slots.empty())
            return;
        waitForOldest(lock);
    }
}

void Search_ScannerPool::push(Slot slot) {
    queueGathered();   // the tests gathered so far come first
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_slots.empty()) {
            m_slots.push_back(std::move(slot));
            return;
        }
    }
    emit(slot);   // nothing waits ahead of it
}

void Search_ScannerPool::emit(Slot& slot) {
    // A single-threaded walk reports nothing once it sees the stop, whatever it had done.
    if (!m_cut && m_stop && m_stop->isSet())
        m_cut = true;
    if (m_cut)
        return;
    switch (slot.kind) {
    case Slot::Kind::Result:
        if (m_out)
            m_out->addResult(*slot.rule, std::move(slot.item), slot.updateNow);
        break;
    case Slot::Kind::Message:
        if (m_out)
            m_out->showMessage(std::move(slot.message));
        break;
    case Slot::Kind::Unreadable:
        if (m_out)
            m_out->entryUnreadable(slot.path, slot.error);
        break;
    case Slot::Kind::Test:
        emitJob(*slot.job);
        break;
    }
}

void Search_ScannerPool::emitJob(Job& job) {
    for (Test& test : job.tests) {
        if (!m_cut && m_stop && m_stop->isSet())
            m_cut = true;
        if (m_cut)
            return;
        emitTest(test);
    }
}

void Search_ScannerPool::emitTest(Test& test) {
    if (test.skipped) {
        m_cut = true;
        return;
    }
    const std::string& fullName = test.item->getFullFileName();
    auto statusLine = [&] {
        if (test.statusLines && m_out)
            m_out->showMessage(std::make_unique<std::string>(m_statusPrefix + fullName));
    };
    if (test.stopped) {
        statusLine();   // the test had begun, as a single-threaded walk would have shown
        m_cut = true;
        return;
    }
    if (test.matched) {
        statusLine();
        if (!test.vanished && m_out)
            m_out->addResult(m_rule, std::move(test.item), true);
        return;
    }
    for (int i = 0; i < test.attempts; ++i) {
        statusLine();
        if (test.error != 0 && m_out)
            m_out->entryUnreadable(fullName, test.error);
    }
}

void Search_ScannerPool::scannerMain() {
    Search_CT ct;
    ct.setStopEvent(m_stop);
    ct.setPdfTextCache(m_pdfCache);
    // The terms carry the scanner's scratch excerpts: each scanner has its own copies.
    Search_Rule terms;
    for (const auto& term : m_rule.containText)
        terms.containText.push_back(std::make_unique<ContainTextItem>(*term));
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            ++m_idle;
            m_work.wait(lock, [this] { return m_quit || !m_todo.empty(); });
            --m_idle;
            if (m_todo.empty())
                return;
            job = m_todo.front();
            m_todo.pop_front();
        }
        runJob(*job, ct, terms);
        bool wake;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            job->done = true;
            // The walk only sleeps when the queue is full or at the end, and then waits for
            // the oldest job.
            wake = m_walkWaiting && m_slots.front().job.get() == job;
        }
        if (wake)
            m_done.notify_one();
    }
}

void Search_ScannerPool::runJob(Job& job, Search_CT& ct, const Search_Rule& terms) {
    for (Test& test : job.tests)
        runTest(test, ct, terms);
}

void Search_ScannerPool::runTest(Test& test, Search_CT& ct, const Search_Rule& terms) {
    if (m_stop && m_stop->isSet()) {
        test.skipped = true;
        return;
    }
    const int folderFd = test.folder && test.folder->valid() ? test.folder->get() : -1;
    Data_FileItem& item = *test.item;
    test.matched = ct.searchContainText(item, terms, folderFd);
    test.error = ct.unreadableError();
    if (!test.matched) {
        test.stopped = m_stop && m_stop->isSet();
        return;
    }
    if (!test.lateMetadata)
        return;
    FileStat st;
    const bool known = folderFd >= 0 ? DirEnumerator::statAt(folderFd, item.getFileName().c_str(), st)
                                     : DirEnumerator::statAt(AT_FDCWD, item.getFullFileName().c_str(), st);
    if (!known) {
        test.vanished = true;
        return;
    }
    item.m_nSize = static_cast<int64_t>(DirEnumerator::walkSizeOf(st));
    item.m_dwAttributes = DirEnumerator::attributesOf(st, item.getFileName());
    DirEnumerator::fileTimesOf(st, item.m_ftCreation, item.m_ftLastAccess, item.m_ftLastWrite);
}

// ---- the walk's own output ----------------------------------------------------------

void Search_ScannerPool::addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher) {
    finish();   // never part of a folder walk; kept in order all the same
    if (!m_cut && m_out)
        m_out->addIndexedResult(position, searcher);
}

void Search_ScannerPool::addResult(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item, bool updateNow) {
    Slot slot;
    slot.kind = Slot::Kind::Result;
    slot.rule = &rule;
    slot.item = std::move(item);
    slot.updateNow = updateNow;
    push(std::move(slot));
}

void Search_ScannerPool::addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) {
    finish();
    if (!m_cut && m_out)
        m_out->addResultGroup(group);
}

void Search_ScannerPool::searchFinished(uint32_t elapsedMilliseconds, const Search_Rule& rule) {
    finish();
    if (m_out)
        m_out->searchFinished(elapsedMilliseconds, rule);
}

void Search_ScannerPool::showMessage(std::unique_ptr<std::string> message) {
    Slot slot;
    slot.kind = Slot::Kind::Message;
    slot.message = std::move(message);
    push(std::move(slot));
}

bool Search_ScannerPool::wantsMessages() const { return m_out && m_out->wantsMessages(); }

void Search_ScannerPool::entryUnreadable(const std::string& path, int errorNumber) {
    Slot slot;
    slot.kind = Slot::Kind::Unreadable;
    slot.path = path;
    slot.error = errorNumber;
    push(std::move(slot));
}
