// ResultListModel: the result list's rows, the engine's receiver and the file operations' access.
#include "shell/ResultListModel.h"

#include <QApplication>
#include <QCursor>
#include <QFileIconProvider>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMimeDatabase>
#include <algorithm>
#include <chrono>
#include <thread>

#include "duplicate/Duplicate_Man.h"
#include "search/Search_Man.h"
#include "index/Search_CachePathSearcher.h"
#include "records/Search_Rule.h"
#include "shell/LanguageFormat.h"
#include "shell/LanguageText.h"
#include "shell/ResultCellText.h"
#include "shell/ResultItemComparator.h"
#include "shell/SettingsRecords.h"

namespace {
constexpr unsigned kFilesFoundText = 119;
constexpr unsigned kDuplicatesFoundText = 115;
constexpr int kDefaultIcon = 0;
// More pending rows than this are read under a wait cursor.
constexpr int kWaitCursorRows = 20000;

QString fromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
}  // namespace

ResultListModel::ResultListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    m_items.reserve(kReservedRows);
    m_indexHits.reserve(kReservedRows);
    m_icons.push_back(QFileIconProvider().icon(QFileIconProvider::File));
    m_batchTimer.setInterval(kBatchMilliseconds);
    connect(&m_batchTimer, &QTimer::timeout, this, [this] {
        announce();
        drainMessages(true);
    });
}

ResultListModel::~ResultListModel() = default;

// ---- QAbstractTableModel -------------------------------------------------------------------

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int ResultListModel::rowCount() const
{
    return m_shown;
}

int ResultListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ResultCellText::kColumnCount;
}

std::unique_ptr<Data_FileItem> ResultListModel::readHit(size_t row) const
{
    auto item = std::make_unique<Data_FileItem>();
    const IndexHit& hit = m_indexHits[row];
    if (hit.searcherSlot != 0 && hit.searcherSlot < m_searchers.size())
        m_searchers[hit.searcherSlot]->readFileInfo(hit.record, *item);
    if (item->m_bInArchive) {
        item->m_strPath += item->m_strArchiveName + '/' + item->m_strInnerPath;
        item->emptySpeedCache();
        m_archiveMembers.store(true, std::memory_order_relaxed);
    }
    item->m_nIconIndex = kDefaultIcon;
    return item;
}

Data_FileItem* ResultListModel::itemLocked(int row) const
{
    std::unique_ptr<Data_FileItem>& slot = m_items[size_t(row)];
    if (!slot)
        slot = readHit(size_t(row));
    return slot.get();
}

void ResultListModel::fillDisplayFields(Data_FileItem& item) const
{
    // Type name and icon from the MIME database by name alone (no disk access, so an
    // archive member and a file on disk are treated alike); icons are kept once per name.
    if (item.isFullFilled())
        return;
    static const QMimeDatabase mimes;
    const QMimeType type = item.isDirectory()
                               ? mimes.mimeTypeForName(QStringLiteral("inode/directory"))
                               : mimes.mimeTypeForFile(fromUtf8(item.getFileName()), QMimeDatabase::MatchExtension);
    item.m_strTypeName = type.comment().toStdString();
    const QString iconName = type.iconName();
    auto found = m_iconIndexByName.constFind(iconName);
    if (found == m_iconIndexByName.constEnd()) {
        QIcon icon = QIcon::fromTheme(iconName, QIcon::fromTheme(type.genericIconName()));
        if (icon.isNull())
            icon = QFileIconProvider().icon(item.isDirectory() ? QFileIconProvider::Folder : QFileIconProvider::File);
        m_icons.push_back(icon);
        found = m_iconIndexByName.insert(iconName, int(m_icons.size() - 1));
    }
    item.m_nIconIndex = *found;
    item.setFullFilled();
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown || index.column() >= ResultCellText::kColumnCount)
        return {};
    std::lock_guard guard(m_lock);
    Data_FileItem& item = *itemLocked(index.row());
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == ResultCellText::kType)
            fillDisplayFields(item);
        return ResultCellText::text(item, index.column(), m_options);
    case Qt::DecorationRole:
        if (index.column() != ResultCellText::kName)
            return {};
        fillDisplayFields(item);
        return item.m_nIconIndex >= 0 && item.m_nIconIndex < int(m_icons.size()) ? m_icons[size_t(item.m_nIconIndex)]
                                                                                 : QIcon();
    case Qt::TextAlignmentRole:
        return index.column() == ResultCellText::kSize ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                                                       : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::ToolTipRole:
        return index.column() == ResultCellText::kName ? fromUtf8(item.getFullFileName()) : QVariant();
    case Qt::EditRole:
        return index.column() == ResultCellText::kName ? fromUtf8(item.getFileName()) : QVariant();
    default: return {};
    }
}

Qt::ItemFlags ResultListModel::flags(const QModelIndex& index) const
{
    // The view asks this of every row when it lays them out: it must not read pending rows.
    if (!index.isValid() || index.row() >= m_shown || index.column() >= ResultCellText::kColumnCount)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (index.column() != ResultCellText::kName || !m_renameHandler || m_searching)
        return f;
    // Without archive members in the list no row needs looking at.
    if (!m_archiveMembers.load(std::memory_order_relaxed))
        return f | Qt::ItemIsEditable;
    std::lock_guard guard(m_lock);
    const Data_FileItem* item = m_items[size_t(index.row())].get();
    if (!item || !item->m_bInArchive)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ResultListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != ResultCellText::kName || !m_renameHandler ||
        m_searching || index.row() >= m_shown)
        return false;
    return m_renameHandler(index.row(), value.toString());
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ResultCellText::kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return LanguageText::plain(ColumnFlags::kCaptionIds[size_t(section)]);
    if (role == Qt::TextAlignmentRole)
        return section == ResultCellText::kSize ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                : int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

// ---- IResultListAccess -----------------------------------------------------------------------

std::vector<int> ResultListModel::selectedRows() const
{
    std::vector<int> rows;
    if (!m_selection)
        return rows;
    for (const QModelIndex& index : m_selection->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

Data_FileItem& ResultListModel::itemAt(int row)
{
    std::lock_guard guard(m_lock);
    return *itemLocked(row);
}

bool ResultListModel::rowHasSnippets(int row)
{
    return !itemAt(row).m_vecSnippets.empty();
}

void ResultListModel::rowChanged(int row)
{
    if (row < 0 || row >= m_shown)
        return;
    {
        std::lock_guard guard(m_lock);
        Data_FileItem* item = itemLocked(row);
        m_nameRank.clear();  // the name may have changed
        item->emptySpeedCache();
        item->clearFullFilled();
    }
    emit dataChanged(index(row, 0), index(row, ResultCellText::kColumnCount - 1));
}

void ResultListModel::removeRows(std::vector<int> rows)
{
    if (m_searching)
        return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= m_shown; }), rows.end());
    // Contiguous runs from the bottom up, so the earlier row numbers stay valid.
    size_t end = rows.size();
    while (end > 0) {
        size_t begin = end - 1;
        while (begin > 0 && rows[begin - 1] == rows[begin] - 1)
            --begin;
        const int first = rows[begin];
        const int last = rows[end - 1];
        beginRemoveRows(QModelIndex(), first, last);
        {
            std::lock_guard guard(m_lock);
            m_items.erase(m_items.begin() + first, m_items.begin() + last + 1);
            m_indexHits.erase(m_indexHits.begin() + first, m_indexHits.begin() + last + 1);
            if (m_nameRank.size() > size_t(last))
                m_nameRank.erase(m_nameRank.begin() + first, m_nameRank.begin() + last + 1);
            m_shown -= last - first + 1;
        }
        endRemoveRows();
        end = begin;
    }
}

void ResultListModel::replaceAll(std::vector<std::unique_ptr<Data_FileItem>> items)
{
    if (m_searching)
        return;
    beginResetModel();
    {
        std::lock_guard guard(m_lock);
        m_items = std::move(items);
        m_items.erase(std::remove(m_items.begin(), m_items.end(), nullptr), m_items.end());
        m_archiveMembers = std::any_of(m_items.begin(), m_items.end(), [](const auto& item) { return item->m_bInArchive != 0; });
        m_indexHits.assign(m_items.size(), IndexHit{});
        m_nameRank.clear();
        m_shown = int(m_items.size());
    }
    endResetModel();
    emit viewModeSuggested(m_shown > 0 && !m_items.front()->m_vecSnippets.empty() ? 1 : 0);
}

// ---- ISearchResultReciever (search thread) -----------------------------------------------------

uint32_t ResultListModel::slotOf(Search_CachePathSearcher* searcher)
{
    if (!searcher)
        return 0;
    // A search has a few searchers: the last one used is nearly always the one asked for.
    for (size_t k = m_searchers.size(); k-- > 1;)
        if (m_searchers[k] == searcher)
            return uint32_t(k);
    m_searchers.push_back(searcher);
    return uint32_t(m_searchers.size() - 1);
}

void ResultListModel::addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher)
{
    std::lock_guard guard(m_lock);
    m_items.emplace_back();
    m_indexHits.push_back(IndexHit{slotOf(searcher), position});
}

void ResultListModel::addResult(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item, bool updateNow)
{
    if (!item)
        return;
    item->m_nIconIndex = kDefaultIcon;
    if (item->m_bInArchive)
        m_archiveMembers.store(true, std::memory_order_relaxed);
    size_t count = 0;
    {
        std::lock_guard guard(m_lock);
        m_items.push_back(std::move(item));
        m_indexHits.push_back(IndexHit{});
        count = m_items.size();
        if (!rule.duplicate.bEnable && updateNow)
            m_countDirty = true;
    }
    if (rule.duplicate.bEnable && !rule.bQuickSearch)
        showMessage(std::make_unique<std::string>(
            LanguageFormat::format(LanguageText::plain(kFilesFoundText), {qint64(count)}).toStdString()));
}

void ResultListModel::addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group)
{
    std::lock_guard guard(m_lock);
    for (auto& item : group) {
        if (!item)
            continue;
        item->m_nIconIndex = kDefaultIcon;
        if (item->m_bInArchive)
            m_archiveMembers.store(true, std::memory_order_relaxed);
        m_items.push_back(std::move(item));
        m_indexHits.push_back(IndexHit{});
    }
    m_countDirty = true;
}

void ResultListModel::searchFinished(uint32_t elapsedMilliseconds, const Search_Rule& rule)
{
    const quint64 generation = m_generation.load();
    if (!rule.duplicate.bEnable) {
        int count = 0;
        {
            std::lock_guard guard(m_lock);
            count = int(m_items.size());
        }
        QMetaObject::invokeMethod(
            this, [this, generation, count, elapsedMilliseconds] { onFinished(generation, count, elapsedMilliseconds); },
            Qt::QueuedConnection);
        return;
    }
    // Duplicates: the rows collected so far (never announced) become the candidates; the
    // groups come back through addResultGroup. Index hits are read first (the content test
    // of a quick search already delivers whole items).
    std::vector<std::unique_ptr<Data_FileItem>> candidates;
    {
        std::lock_guard guard(m_lock);
        const int first = m_shown;
        for (size_t i = size_t(first); i < m_items.size(); ++i) {
            if (!m_items[i] && m_indexHits[i].searcherSlot == 0)
                continue;
            itemLocked(int(i));
            candidates.push_back(std::move(m_items[i]));
        }
        m_items.resize(size_t(first));
        m_indexHits.resize(size_t(first));
    }
    Duplicate_Man finder;
    finder.setStopEvent(&Search_Man::s_hStopSearchEvent);  // Stop also ends the grouping
    const uint32_t grouped = finder.search(this, rule.duplicate, candidates);
    showMessage(std::make_unique<std::string>(
        LanguageFormat::format(LanguageText::plain(kDuplicatesFoundText), {qint64(grouped)}).toStdString()));
}

bool ResultListModel::wantsMessages() const
{
    const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    if (now - m_lastMessageWanted.load(std::memory_order_relaxed) < int64_t(kMessageGapMilliseconds) * 1000000)
        return false;
    m_lastMessageWanted.store(now, std::memory_order_relaxed);
    return true;
}

void ResultListModel::showMessage(std::unique_ptr<std::string> message)
{
    if (!message)
        return;
    std::lock_guard guard(m_lock);
    m_messages.push_back(std::move(message));
}

// ---- the search's life -------------------------------------------------------------------------

void ResultListModel::clear()
{
    beginResetModel();
    std::vector<std::unique_ptr<Data_FileItem>> emptied;
    {
        std::lock_guard guard(m_lock);
        emptied.swap(m_items);
        m_indexHits.clear();
        m_nameRank.clear();
        m_searchers.resize(1);
        m_archiveMembers = false;
        m_items.reserve(kReservedRows);
        m_indexHits.reserve(kReservedRows);
        m_shown = 0;
        m_countDirty = false;
    }
    endResetModel();
    m_release.release(std::move(emptied));
}

std::vector<std::unique_ptr<Data_FileItem>> ResultListModel::takeAll()
{
    materializeAll();
    std::vector<std::unique_ptr<Data_FileItem>> out;
    beginResetModel();
    {
        std::lock_guard guard(m_lock);
        out = std::move(m_items);
        m_items.clear();
        m_indexHits.clear();
        m_nameRank.clear();
        m_searchers.resize(1);
        m_archiveMembers = false;
        m_items.reserve(kReservedRows);
        m_shown = 0;
    }
    endResetModel();
    return out;
}

void ResultListModel::beginSearch(bool duplicates)
{
    ++m_generation;
    m_searching = true;
    m_duplicates = duplicates;
    m_batchTimer.start();
}

void ResultListModel::endSearch(bool stopped)
{
    if (stopped)
        ++m_generation;  // a finish notification still queued is ignored
    m_batchTimer.stop();
    {
        std::lock_guard guard(m_lock);
        m_countDirty = true;
    }
    m_searching = false;
    announce();
    drainMessages(!stopped);
}

size_t ResultListModel::discardPending()
{
    std::vector<std::unique_ptr<std::string>> dropped;
    {
        std::lock_guard guard(m_lock);
        dropped.swap(m_messages);
    }
    return dropped.size();  // freed here
}

size_t ResultListModel::pendingMessageCount() const
{
    std::lock_guard guard(m_lock);
    return m_messages.size();
}

int ResultListModel::unannouncedRows() const
{
    std::lock_guard guard(m_lock);
    return int(m_items.size()) - m_shown;
}

void ResultListModel::announce()
{
    int total = 0;
    {
        std::lock_guard guard(m_lock);
        if (!m_countDirty)
            return;
        m_countDirty = false;
        total = int(m_items.size());
    }
    if (total <= m_shown)
        return;
    beginInsertRows(QModelIndex(), m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

void ResultListModel::drainMessages(bool show)
{
    std::vector<std::unique_ptr<std::string>> queued;
    {
        std::lock_guard guard(m_lock);
        queued.swap(m_messages);
    }
    if (show && !queued.empty())
        emit statusText(0, fromUtf8(*queued.back()));
}

void ResultListModel::onFinished(quint64 generation, int count, uint32_t elapsed)
{
    if (generation != m_generation.load())
        return;  // a stopped or replaced search
    m_lastElapsed = elapsed;
    // searchFinished is the engine's last call: the list is complete.
    m_batchTimer.stop();
    m_searching = false;
    drainMessages(true);
    {
        std::lock_guard guard(m_lock);
        m_countDirty = true;
    }
    announce();
    emit searchCompleted(count, elapsed);
}

// ---- rows --------------------------------------------------------------------------------------

int ResultListModel::pendingRows() const
{
    std::lock_guard guard(m_lock);
    return int(std::count(m_items.begin(), m_items.begin() + m_shown, nullptr));
}

void ResultListModel::materializeAll()
{
    const bool many = pendingRows() > kWaitCursorRows;
    if (many)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    {
        std::lock_guard guard(m_lock);
        // Each thread fills its own slots; the searchers' reads of the mapped caches are
        // const, so the two never meet.
        const auto fill = [this](size_t from, size_t to) {
            for (size_t row = from; row < to; ++row)
                if (!m_items[row])
                    m_items[row] = readHit(row);
        };
        const size_t count = m_items.size();
        if (many) {
            std::thread helper(fill, count / 2, count);
            fill(0, count / 2);
            helper.join();
        } else {
            fill(0, count);
        }
    }
    if (many)
        QGuiApplication::restoreOverrideCursor();
}

void ResultListModel::sortRows(int column, int direction)
{
    if (m_searching || m_shown < 2)
        return;
    materializeAll();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> newRowOf;
    {
        std::lock_guard guard(m_lock);
        std::vector<Data_FileItem*> rows;
        rows.reserve(m_items.size());
        for (auto& item : m_items)
            rows.push_back(item.get());
        const bool ranked = m_nameRank.size() == m_items.size();
        const std::vector<int> order =
            ResultItemComparator::order(rows, column, direction, ranked ? &m_nameRank : nullptr);
        std::vector<std::unique_ptr<Data_FileItem>> sorted;
        sorted.reserve(std::max(m_items.size(), kReservedRows));
        newRowOf.assign(order.size(), 0);
        std::vector<int> rank(ranked ? order.size() : 0);
        for (size_t k = 0; k < order.size(); ++k) {
            sorted.push_back(std::move(m_items[size_t(order[k])]));
            newRowOf[size_t(order[k])] = int(k);
            if (ranked)
                rank[k] = m_nameRank[size_t(order[k])];
        }
        m_items = std::move(sorted);
        m_indexHits.assign(m_items.size(), IndexHit{});
        if (column == 0) {
            const int n = int(m_items.size());
            m_nameRank.resize(size_t(n));
            for (int r = 0; r < n; ++r)
                m_nameRank[size_t(r)] = direction > 0 ? r : n - 1 - r;
        } else if (ranked) {
            m_nameRank = std::move(rank);
        }
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.push_back(this->index(newRowOf[size_t(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ResultListModel::setDisplayOptions(const ResultDisplayOptions& options)
{
    if (options == m_options)
        return;
    m_options = options;
    if (m_shown > 0)
        emit dataChanged(index(0, 0), index(m_shown - 1, ResultCellText::kColumnCount - 1));
}
