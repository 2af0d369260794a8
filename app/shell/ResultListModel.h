#pragma once
// The result list's data: the found items in the order shown, as an owner-data table model
// (columns as ResultCellText numbers them), the engine's result receiver, and the access
// the file operations use (IResultListAccess).
//
// Storage: `items` (owned; a null entry is an index-cache hit not read yet) and the parallel
// `indexHits` (searcher and record of such a hit; a null searcher for items passed whole).
// A pending row costs one pointer and one hit (16 bytes); it is read with
// Search_CachePathSearcher::readFileInfo when it is first shown, sorted or used. The
// searchers must stay open while pending rows exist: call materializeAll() before closing them.
//
// Threads: the ISearchResultReciever calls arrive on the search thread and only append
// under the lock; everything else is user-interface thread. The views learn of new rows in
// batches: while a search runs (beginSearch .. endSearch) a timer announces the appended
// rows at most every kBatchMilliseconds, never one signal per result. Status lines posted by
// the search thread are owned by the model; the newest one is shown at each batch, the
// others are freed; discardPending() frees all still queued. Posted notifications carry the
// search's generation, so nothing of a stopped search arrives later.
#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "records/Data_FileItem.h"
#include "records/ISearchResultReciever.h"
#include "shell/IResultListAccess.h"
#include "shell/ResultDisplayOptions.h"
#include "shell/ResultItemRelease.h"

class QItemSelectionModel;
class Search_CachePathSearcher;

class ResultListModel : public QAbstractTableModel, public IResultListAccess, public ISearchResultReciever {
    Q_OBJECT
public:
    static constexpr int kBatchMilliseconds = 75;
    static constexpr size_t kReservedRows = 300000;

    explicit ResultListModel(QObject* parent = nullptr);
    ~ResultListModel() override;

    // ---- QAbstractTableModel -----------------------------------------------------------
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The name cell of a file on disk is editable while a rename handler is set and no
    // search runs; setData() on it hands the typed text to the handler (which renames the
    // file, refusing an archive member, and announces the row), and returns what the handler
    // returns. flags() never reads a pending row (the view asks it of every row): such a
    // row's name cell counts as editable until the row is read.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    using QAbstractTableModel::removeRows;

    // ---- IResultListAccess ----------------------------------------------------------------
    int rowCount() const override;
    std::vector<int> selectedRows() const override;
    Data_FileItem& itemAt(int row) override;
    void rowChanged(int row) override;
    void removeRows(std::vector<int> rows) override;
    void replaceAll(std::vector<std::unique_ptr<Data_FileItem>> items) override;
    bool isSearching() const override { return m_searching; }

    // ---- ISearchResultReciever (search thread) ------------------------------------------
    void addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher) override;
    void addResult(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item, bool updateNow) override;
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) override;
    void searchFinished(uint32_t elapsedMilliseconds, const Search_Rule& rule) override;
    void showMessage(std::unique_ptr<std::string> message) override;
    // A status line is wanted at most once per kMessageGapMilliseconds (any thread): only
    // the newest line of a batch is shown, so the engine need not build one per entry.
    bool wantsMessages() const override;
    static constexpr int kMessageGapMilliseconds = 10;

    // ---- the search's life (user-interface thread) ----------------------------------------
    // Empties the list and destroys every item (a large list on a helper thread, see
    // ResultItemRelease).
    void clear();
    // Empties the list and hands its items (all read) over, in row order.
    std::vector<std::unique_ptr<Data_FileItem>> takeAll();
    // A search starts filling the list: duplicates = the rule groups duplicates (no row
    // counts are announced until the groups arrive).
    void beginSearch(bool duplicates);
    // The search thread has ended (joined): announces every appended row and stops
    // batching. `stopped`: the queued status lines are freed unshown and a finish
    // notification still queued is ignored; otherwise the newest status line is shown.
    void endSearch(bool stopped);
    // Frees every queued status line without showing it. Returns how many were queued.
    size_t discardPending();
    size_t pendingMessageCount() const;
    // The rows appended by the search thread but not announced yet.
    int unannouncedRows() const;

    // ---- rows --------------------------------------------------------------------------
    // Reads every pending index hit (under a wait cursor and on two threads when there are
    // many).
    void materializeAll();
    // Rows still pending (not read from their cache).
    int pendingRows() const;
    // Sorts every row by a logical column, direction +1 ascending / -1 descending
    // (ResultItemComparator), pending rows read first. Not while a search runs.
    void sortRows(int column, int direction);
    // Elapsed milliseconds of the last finished search.
    uint32_t lastElapsed() const { return m_lastElapsed; }
    bool rowHasSnippets(int row);

    void setSelectionModel(QItemSelectionModel* selection) { m_selection = selection; }
    // Renames the row's file to the typed text; false when refused or failed.
    using RenameHandler = std::function<bool(int row, const QString& text)>;
    void setRenameHandler(RenameHandler handler) { m_renameHandler = std::move(handler); }
    void setDisplayOptions(const ResultDisplayOptions& options);
    const ResultDisplayOptions& displayOptions() const { return m_options; }

signals:
    // Status text for a pane of the main window's status bar.
    void statusText(int pane, const QString& text);
    // A search without duplicate grouping finished by itself: the reference count and the
    // elapsed milliseconds (after the rows were announced).
    void searchCompleted(int resultCount, uint32_t elapsedMilliseconds);
    // replaceAll() suggests the view for the new rows: 1 web-page style when the first row
    // has excerpts, else 0.
    void viewModeSuggested(int mode);

private:
    void announce();
    void drainMessages(bool show);
    void onFinished(quint64 generation, int count, uint32_t elapsed);
    Data_FileItem* itemLocked(int row) const;
    // A new item read from the row's index hit (an empty one when the row has none). Reads
    // only the hits and the searchers: rows may be read on several threads at once.
    std::unique_ptr<Data_FileItem> readHit(size_t row) const;
    // Type name and icon index of an item about to be shown (user-interface thread).
    void fillDisplayFields(Data_FileItem& item) const;

    // 8 bytes: the searcher is kept as its slot in m_searchers (0: the item was passed whole).
    struct IndexHit {
        uint32_t searcherSlot = 0;
        uint32_t record = 0;
    };
    uint32_t slotOf(Search_CachePathSearcher* searcher);  // under m_lock

    mutable std::mutex m_lock;
    mutable std::vector<std::unique_ptr<Data_FileItem>> m_items;
    ResultItemRelease m_release;   // frees the items of an emptied list
    std::vector<IndexHit> m_indexHits;
    std::vector<Search_CachePathSearcher*> m_searchers{nullptr};  // slot 0: none
    // After a sort by name: each row's place in the ascending name order, kept in step with
    // the rows through later sorts and removals, so that their name tie-breaks need no
    // collation. Empty when unknown.
    std::vector<int> m_nameRank;
    // Set once an archive member is in the list (read or passed whole); cleared when the
    // list is emptied or replaced.
    mutable std::atomic<bool> m_archiveMembers{false};
    std::vector<std::unique_ptr<std::string>> m_messages;  // queued status lines
    mutable std::atomic<int64_t> m_lastMessageWanted{INT64_MIN / 2};  // steady clock, ns
    bool m_countDirty = false;                               // guarded by m_lock

    int m_shown = 0;  // rows announced to the views
    std::atomic<quint64> m_generation{0};
    bool m_searching = false;
    bool m_duplicates = false;
    uint32_t m_lastElapsed = 0;
    QTimer m_batchTimer;
    QItemSelectionModel* m_selection = nullptr;
    ResultDisplayOptions m_options;
    // The icons of the rows, by the items' m_nIconIndex; entry 0 is the default file icon.
    mutable std::vector<QIcon> m_icons;
    mutable QHash<QString, int> m_iconIndexByName;
    RenameHandler m_renameHandler;
};
