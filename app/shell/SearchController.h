#pragma once
// Starts, watches and stops the one search of the main window. The search runs on its own
// thread (Search_Man::search) and reports to the result list model.
//
// start(): fills a fresh rule through the rule filler (none, or a filler answering false:
// nothing starts and the list keeps its rows), copies "bDisableBooleanOpt" and
// "bAutoNormalSearch" in, empties the list (for a search in the current results,
// iSearchIn 3, its items are moved into the rule instead and only the survivors come
// back), hands the indexed roots and the cache folder to the engine, and starts the thread.
// One search at a time: start() while one runs does nothing.
// The end is noticed when the thread reports it (checkFinished(), also called by the
// owner whenever it looks at the state); stop() signals the stop event and waits for the
// thread, then drops every status text still queued. Nothing of a stopped search reaches
// the list afterwards. User-interface thread only; the AppSettings and the model must
// outlive the controller; destruction stops a running search.
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "search/Search_Man.h"
#include "records/Search_Rule.h"

class AppSettings;
class ResultListModel;

class SearchController : public QObject {
    Q_OBJECT
public:
    using RuleFiller = std::function<bool(Search_Rule&)>;

    SearchController(AppSettings& settings, ResultListModel& model, QObject* parent = nullptr);
    ~SearchController() override;

    void setRuleFiller(RuleFiller filler) { m_filler = std::move(filler); }
    // Starts a search; false when none started (one runs, no filler, the filler refused).
    bool start();
    // Stops the running search and waits for its thread. `refresh`: the rows found so far
    // are shown; otherwise status pane 0 is cleared. Does nothing when idle.
    void stop(bool refresh = true);
    // Ends the bookkeeping of a search whose thread has finished by itself. True when it did.
    bool checkFinished();
    bool isRunning() const { return m_thread.joinable(); }
    // The rule of the last search (read-only while one runs).
    const Search_Rule& rule() const { return m_rule; }
    Search_Man& searchMan() { return m_man; }
    // Closes the searchers of the index caches (the rows read from them are read whole
    // first); the next quick search opens them again. For moving or deleting caches.
    void releaseSearchers();
    // Stops a running search, closes the searchers and deletes the live caches of `roots`.
    void deleteLiveCaches(const std::vector<std::string>& roots);
    // The list shows rows of a quick search (rows that may come from the index).
    bool listHoldsIndexResults() const;
    // Stops a running search and empties the result list.
    void clearList();

signals:
    void runningChanged(bool running);
    // A search starts: true when it tests contents (the list shows excerpts).
    void contentSearchStarted(bool hasContentTerms);
    void statusText(int pane, const QString& text);

private:
    void prepareIndexData();
    void useCacheFolder();   // "IndexCacheLocation" becomes the engine's cache folder

    AppSettings& m_settings;
    ResultListModel& m_model;
    RuleFiller m_filler;
    Search_Man m_man;
    Search_Rule m_rule;
    std::thread m_thread;
    std::atomic<bool> m_threadDone{false};
    bool m_searchersOpen = false;
    bool m_pendingChecked = false;   // pending caches of earlier sessions were made live
};
