#include "index/Search_CachePathSearcher.h"

#include <algorithm>
#include <thread>

#include "index/IndexCacheCatalog.h"
#include "index/IndexGeneration.h"
#include "index/SF_AccessTimeSaver.h"
#include "index/SF_ArchiveSaver.h"
#include "index/SF_AttributeSaver.h"
#include "index/SF_CreateTimeSaver.h"
#include "index/SF_ExtSaver.h"
#include "index/SF_FolderSaver.h"
#include "index/SF_SizeSaver.h"
#include "index/SF_TitleSaver.h"
#include "index/SF_WriteTimeSaver.h"
#include "records/Data_FileItem.h"
#include "records/FileNameGroup.h"
#include "records/ISearchResultReciever.h"
#include "records/SearchRun.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"

namespace {
// The scan tests group-independent columns first (their result is cached for the entry
// and shared by all groups), the folder before the title (the title test may fall back on
// the folder's relative-path match), and the title last. The entry passes a group only
// when every chosen column accepts it, so this order cannot change which entries pass.
int scanRank(const std::string& tag) {
    static const char* order[] = {"ft", "fa", "fs", "mt", "ct", "at", "fp", "fe", "fn"};
    for (int i = 0; i < 9; ++i)
        if (tag == order[i])
            return i;
    return 9;
}
constexpr int kOpenAttempts = 8;
constexpr uint32_t kStopPollInterval = 1u << 16;   // entries between stop checks of a plain scan
}  // namespace

Search_CachePathSearcher::Search_CachePathSearcher() = default;
Search_CachePathSearcher::~Search_CachePathSearcher() { uninitSearcher(); }

bool Search_CachePathSearcher::initSearcher(const std::string& root) {
    // A set that does not match its record is retried a few times: a commit going on
    // elsewhere replaces the files within microseconds. A set that stays mixed (left by
    // an interrupted commit) is refused.
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        switch (openGeneration(root)) {
        case OpenResult::Opened: return true;
        case OpenResult::Refused: return false;
        case OpenResult::Mixed: break;
        }
        std::this_thread::yield();
    }
    return false;
}

Search_CachePathSearcher::OpenResult Search_CachePathSearcher::openGeneration(const std::string& root) {
    uninitSearcher();
    m_indexPath = Tool_Resource::normalizePath(root);
    if (!IndexCacheCatalog::isRootRecorded(root))
        return OpenResult::Refused;   // a hashed name whose side file names another root
    m_columns.push_back(std::make_unique<SF_ArchiveSaver>());
    m_columns.push_back(std::make_unique<SF_AttributeSaver>());
    m_columns.push_back(std::make_unique<SF_SizeSaver>());
    m_columns.push_back(std::make_unique<SF_AccessTimeSaver>());
    m_columns.push_back(std::make_unique<SF_WriteTimeSaver>());
    m_columns.push_back(std::make_unique<SF_CreateTimeSaver>());
    auto ext = std::make_unique<SF_ExtSaver>();
    SF_ExtSaver* extColumn = ext.get();
    m_columns.push_back(std::move(ext));
    auto folder = std::make_unique<SF_FolderSaver>();
    m_folderColumn = folder.get();
    m_columns.push_back(std::move(folder));
    auto title = std::make_unique<SF_TitleSaver>();
    m_titleColumn = title.get();
    m_columns.push_back(std::move(title));
    extColumn->setNamePartner(m_titleColumn);
    m_titleColumn->setNamePartner(extColumn);
    bool opened = true;
    for (auto& column : m_columns)
        opened = opened && column->openRead(root);
    // The record is read after every column was mapped: a commit that replaced any of
    // them in between shows as a column the record does not name.
    IndexGeneration generation;
    const bool recorded = generation.read(root, Tool_Resource::INDEX_STAGE_LIVE);
    if (!opened || !recorded || generation.entries() == 0) {
        uninitSearcher();
        // A missing column beside a record is a commit half-way (or a damaged cache); a
        // cache without entries answers nothing.
        return recorded && generation.entries() != 0 ? OpenResult::Mixed : OpenResult::Refused;
    }
    m_entryCount = generation.entries();
    for (auto& column : m_columns) {
        if (!column->isOfGeneration(generation) || column->entryCount() != m_entryCount) {
            uninitSearcher();
            return OpenResult::Mixed;
        }
    }
    m_generation = generation.id();
    return OpenResult::Opened;
}

void Search_CachePathSearcher::uninitSearcher() {
    m_compareColumns.clear();
    m_columns.clear();
    m_folderColumn = nullptr;
    m_titleColumn = nullptr;
    m_entryCount = 0;
    m_generation = 0;
}

bool Search_CachePathSearcher::chooseCompareItems(const IndexIncludeFolder& x, const Groups& groups,
                                                  const Search_Rule& rule) {
    m_compareColumns.clear();
    for (auto& column : m_columns)
        if (column->isNeeded(x, groups, rule))
            m_compareColumns.push_back(column.get());
    std::stable_sort(m_compareColumns.begin(), m_compareColumns.end(),
                     [](SF_SingleSaver* a, SF_SingleSaver* b) { return scanRank(a->tag()) < scanRank(b->tag()); });
    if (m_folderColumn)
        m_folderColumn->beginSearch();
    return true;
}

uint32_t Search_CachePathSearcher::getFileNumber(const IndexIncludeFolder&) const {
    if (!m_compareColumns.empty())
        return m_compareColumns.front()->entryCount();
    return m_columns.empty() ? 0 : m_columns.front()->entryCount();
}

bool Search_CachePathSearcher::entryMatches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule,
                                            const IndexIncludeFolder& x) {
    for (SF_SingleSaver* column : m_compareColumns) {
        if (column->matches(entry, group, rule, x))
            continue;
        // A title that fails may still pass through the path patterns: the group's
        // patterns tried on the folder below the search folder (the folder test ran first).
        if (rule.bMatchPath && column == m_titleColumn && m_folderColumn &&
            m_folderColumn->relativePathMatches(entry, group, x))
            continue;
        return false;
    }
    return true;
}

void Search_CachePathSearcher::search(const Groups& groups, const Search_Rule& rule, const IndexIncludeFolder& x,
                                      ISearchResultReciever* receiver, const SearchRun& run) {
    const uint32_t n = std::min(getFileNumber(x), m_entryCount);
    const bool withContent = !rule.containText.empty();
    for (SF_SingleSaver* column : m_compareColumns)
        column->setSearchTime(run.nowTicks);
    Data_FileItem scratch;
    for (uint32_t i = 0; i < n; ++i) {
        if (!withContent && (i % kStopPollInterval) == kStopPollInterval - 1 && run.stopped())
            break;
        bool passed = false;
        for (const auto& group : groups) {
            if (entryMatches(i, *group, rule, x)) {
                passed = true;
                break;
            }
        }
        for (SF_SingleSaver* column : m_compareColumns)
            column->clearMatchCache();
        if (!passed)
            continue;
        if (!withContent) {
            addFoundedFile(i, receiver);
            continue;
        }
        if (readFileInfo(i, scratch) && isContainText(scratch, rule, receiver))
            addFoundedFile(rule, scratch.clone(), receiver);
        scratch.reset();
        if (run.stopped())
            break;
    }
}

bool Search_CachePathSearcher::readFileInfo(uint32_t entry, Data_FileItem& item) const {
    if (entry >= m_entryCount)
        return false;
    bool ok = true;
    for (const auto& column : m_columns)
        ok = column->fillItem(entry, item) && ok;
    item.emptySpeedCache();
    return ok;
}

void Search_CachePathSearcher::addFoundedFile(uint32_t entry, ISearchResultReciever* receiver) {
    if (receiver)
        receiver->addIndexedResult(entry, this);
}

void Search_CachePathSearcher::addFoundedFile(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item,
                                              ISearchResultReciever* receiver) {
    if (receiver)
        receiver->addResult(rule, std::move(item), true);
}

bool Search_CachePathSearcher::isContainText(Data_FileItem& item, const Search_Rule& rule,
                                             ISearchResultReciever* receiver) {
    if (item.m_bInArchive || !m_contentTest)
        return false;
    return m_contentTest(item, rule, receiver);
}
