#pragma once
// Decides when the indexer runs, runs it on its own thread, reports its progress and its
// end, and writes the index log. Owned by the main window; user-interface thread only
// (the indexing thread calls only the two receiver operations, which only post).
//
// One run at a time. A run: SF_Man::init, the roots, the cache folder ("IndexCacheLocation",
// created when missing), the exclusions (IndexerArguments), the cancel event reset, then a
// std::thread that makes itself idle (IndexThreadPriority), takes the effective speed (10
// while "FirstRun" is set, else "iIndexPriority") and calls SF_Man::startIndex. While it
// runs, every second status pane 3 shows text 170 and pane 2 the indexer's activity text.
// The end of a run (indexFinished, posted to this thread, or stop()): pane 2 = label (68 or
// 71) + time text, pane 3 = summary (171), one log line, and for a finished run the time
// text stored as "strLastIndexTime". A stopped run keeps the roots committed before the stop.
// Committed caches are pending; the next quick search makes them live (SearchController).
//
// Schedule (scheduleCheck, called by the schedule timer about every 100 ms): nothing while a
// run exists; with force, a run over every indexed path; else by "Index Time Option": 1
// starts a run when the clock's hour and minute equal the set ones and its seconds are
// less than 30 from the set seconds, 2 starts one whenever none is going on, 0 nothing.
// A scheduled check with no indexed paths starts nothing and says nothing (a forced one
// asks for text 72 through noIndexedPaths()).
//
// The clock is injectable for tests (local time). Destruction stops a running run.
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <atomic>
#include <functional>
#include <thread>

#include "index/IIndexResultReceiver.h"
#include "index/SF_Man.h"
#include "indexing/IndexLog.h"

class AppSettings;
class QTimer;
class SearchController;

class CIndexManager : public QObject, public IIndexResultReceiver {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    explicit CIndexManager(AppSettings& settings, QObject* parent = nullptr);
    ~CIndexManager() override;

    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setLog(IndexLog log) { m_log = std::move(log); }
    const IndexLog& log() const { return m_log; }
    // The search side whose searchers are released before caches are deleted or moved.
    void setSearchController(SearchController* search) { m_search = search; }
    SearchController* searchController() const { return m_search; }

    // Start-up: pane 2 = text 70, a forced check when "AutoIndex" is not 0, the schedule timer.
    void startUp();
    // True while a run's thread exists and has not ended; an ended run is cleaned up here.
    bool isRunning();
    void scheduleCheck(bool force);
    void indexAll();
    // A run over `paths` (stored form); an empty list does nothing; a running run is stopped.
    void indexPaths(const QStringList& paths);
    // Signals the cancel event, waits for the thread, ends the run as stopped.
    void stop();
    // The stop command: stop(), then "Index Time Option" 2 becomes 1.
    void stopCommand();
    // Passes a speed (0..10) to a running run.
    void setPriority(int speed);
    int effectiveSpeed() const;
    // Runs started since construction (for the command state and tests).
    int runsStarted() const { return m_runsStarted; }
    const SF_Man& man() const { return m_man; }

    // IIndexResultReceiver (called on the indexing thread; they only post).
    void showIndexMessage(std::unique_ptr<std::string> message) override;
    void indexFinished() override;

signals:
    void paneText(int pane, const QString& text);
    void runningChanged(bool running);
    // A run ended; `logLine` is the line appended to the log (without its line end).
    void runEnded(bool stopped, const QString& logLine);
    // A forced run found no indexed paths: the owner shows text 72.
    void noIndexedPaths();

private:
    void startRun(const QStringList& roots);
    void endRun(bool stopped);
    void joinThread();
    void showProgress();
    void onFinishedPosted();

    AppSettings& m_settings;
    SF_Man m_man;
    std::thread m_thread;
    std::atomic<bool> m_threadEnded{false};
    std::atomic<bool> m_finished{false};   // the indexer said the run ended uncancelled
    bool m_runOpen = false;                // the end of the current run is not handled yet
    int m_runsStarted = 0;
    Clock m_clock;
    IndexLog m_log;
    QTimer* m_progressTimer = nullptr;
    QTimer* m_scheduleTimer = nullptr;
    SearchController* m_search = nullptr;
};
