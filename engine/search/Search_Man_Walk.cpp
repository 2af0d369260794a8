// Search_Man: the breadth-first walk of one root folder.
//
// Search_FolderReader opens the folders relative to a descriptor of the root (no full path
// is resolved per folder, paths past PATH_MAX are opened piece by piece) and lists them,
// on a helper thread ahead of the tests or between them; entries are typed from the
// directory read itself and stat'ed only when the rule's tests or a match need their
// size, times or attributes.
#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/DirEnumerator.h"
#include "platform/LongPath.h"
#include "platform/UniqueFd.h"
#include "index/SF_StatHelper.h"
#include "records/Data_FileItem.h"
#include "records/ISearchResultReciever.h"
#include "search/Search_FolderReadAhead.h"
#include "search/Search_FolderReader.h"
#include "search/Search_FolderSlice.h"
#include "search/Search_ScannerPool.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"

namespace {

// The attributes that the entry type and the name alone tell (read-only needs a stat).
uint32_t provisionalAttributes(DirEnumerator::EntryType type, std::string_view name) {
    using T = DirEnumerator::EntryType;
    uint32_t attrs = 0;
    switch (type) {
    case T::Folder: attrs = Data_FileItem::ATTR_DIRECTORY; break;
    case T::Symlink: attrs = Data_FileItem::ATTR_REPARSE_POINT; break;
    case T::Fifo:
    case T::Socket:
    case T::CharDevice:
    case T::BlockDevice: attrs = Data_FileItem::ATTR_SYSTEM; break;
    default: break;
    }
    if (!name.empty() && name.front() == '.')
        attrs |= Data_FileItem::ATTR_HIDDEN;
    return attrs;
}

void fillFromStat(Data_FileItem& item, const FileStat& st, std::string_view name) {
    item.m_nSize = static_cast<int64_t>(DirEnumerator::walkSizeOf(st));
    item.m_dwAttributes = DirEnumerator::attributesOf(st, name);
    DirEnumerator::fileTimesOf(st, item.m_ftCreation, item.m_ftLastAccess, item.m_ftLastWrite);
}

}  // namespace

// Reads the metadata of one listed entry into an item on demand.
class Search_FolderWalk final : public Search_Man::MetadataSource {
public:
    void point(int dirFd, const char* name) {
        m_dirFd = dirFd;
        m_name = name;
    }
    bool fill(Data_FileItem& item) override {
        FileStat st;
        if (!DirEnumerator::statAt(m_dirFd, m_name, st))
            return false;   // vanished since it was listed
        fillFromStat(item, st, m_name);
        return true;
    }

private:
    int m_dirFd = -1;
    const char* m_name = "";
};

namespace {
// Whether a processor is free for a helper thread: there is a second one, and over the
// last minute fewer threads were runnable on average than there are processors.
bool processorToSpare() {
    const unsigned processors = std::thread::hardware_concurrency();
    double load = 0;
    return processors >= 2 && getloadavg(&load, 1) == 1 && load < double(processors);
}
}  // namespace

bool Search_Man::useFolderReadAhead(const Search_Rule& rule) const {
    if (m_folderReadAhead != FolderReadAhead::Automatic)
        return m_folderReadAhead == FolderReadAhead::Always;
    // A name search reads the next folders on the helper while this thread matches; on a
    // quiet two-core machine that took 0.72-0.83 of the time. On a busy one every hand-over
    // waited for a processor and it took longer than one thread: then it is not used. A
    // size or date search shares its metadata reads with a stat helper instead, a content
    // search has its scanners.
    return rule.containText.empty() && !needsMetadata(rule) && processorToSpare();
}

bool Search_Man::searchInFolder(const Groups& groups, const Search_Rule& rule, const std::string& folder,
                                ISearchResultReciever* receiver, const std::vector<std::string>& excluded) {
    setCurrentRootFolder(folder);
    // "/a/b/" and "/a/b" are the same root; "/" becomes "" so that its entries get "/x".
    const std::string root(Search_FolderReader::withoutTrailingSlashes(folder));
    if (root.empty() && folder.empty())
        return true;

    // The root itself may be a symbolic link: the user chose it, so it is followed.
    const UniqueFd rootFd(LongPath::openAt(AT_FDCWD, root.empty() ? std::string_view("/") : std::string_view(root),
                                           O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!rootFd.valid()) {   // missing or unreadable: contributes nothing
        if (receiver)
            receiver->entryUnreadable(root.empty() ? std::string("/") : root, errno);
        return true;
    }
    // Content tests run on the scanner threads; all output of this walk goes through the
    // pool so that it keeps the walk's order.
    std::unique_ptr<Search_ScannerPool> pool;
    if (!rule.containText.empty() && scannerThreads() > 1) {
        pool = std::make_unique<Search_ScannerPool>(scannerThreads(), rule, receiver, m_run.stop, m_pdfCache.get());
        receiver = pool.get();
    }
    struct PoolScope {
        Search_Man& man;
        explicit PoolScope(Search_Man& m, Search_ScannerPool* p) : man(m) { man.m_pool = p; }
        ~PoolScope() {
            man.m_pool = nullptr;
            man.m_poolFolder.reset();
        }
    } poolScope(*this, pool.get());

    const bool metadataFirst = needsMetadata(rule);
    // Folders are read on a helper thread ahead of the tests, or here between them; or,
    // for size and date tests, here with the metadata read from both ends of each slice,
    // by this thread and a stat helper.
    const bool readAhead = useFolderReadAhead(rule);
    const bool shareStats = metadataFirst && !readAhead && m_folderReadAhead == FolderReadAhead::Automatic;
    Search_FolderReader::Options readOptions;
    readOptions.includeSubfolders = rule.bIncludeSubDir;
    readOptions.withMetadata = metadataFirst && !shareStats;
    readOptions.excluded = &excluded;
    readOptions.stop = stopEvent();
    Search_FolderReader reader(rootFd.get(), root, readOptions);
    std::unique_ptr<Search_FolderReadAhead> ahead;
    if (readAhead)
        ahead = std::make_unique<Search_FolderReadAhead>(reader);
    std::unique_ptr<SF_StatHelper> statHelper;
    SF_StatJob statJob;
    if (shareStats)
        statHelper = std::make_unique<SF_StatHelper>(false);
    struct StatJobScope {   // the helper leaves the slice's job before the slice goes
        SF_StatHelper* helper;
        SF_StatJob& job;
        bool pushed = false;
        void push() {
            helper->push(job);
            pushed = true;
        }
        void pop() {
            if (pushed)
                helper->pop(job);
            pushed = false;
        }
        ~StatJobScope() { pop(); }
    } statScope{statHelper.get(), statJob};
    auto slice = std::make_unique<Search_FolderSlice>();
    Data_FileItem scratch;
    Search_FolderWalk lateMetadata;
    bool stopped = false;

    while (!stopped && (ahead ? ahead->take(slice) : reader.read(*slice))) {
        const Search_FolderSlice& part = *slice;
        if (part.kind == Search_FolderSlice::Kind::Unreadable) {
            // Unreadable (not vanished, not replaced by a link): contributes nothing.
            if (receiver)
                receiver->entryUnreadable(part.folderPath, part.error);
            continue;
        }
        if (part.firstOfFolder)
            m_poolFolder.reset();
        if (statHelper) {
            statJob.clear();
            statJob.names = part.names;
            statJob.nameAt = part.nameAt;
            statJob.dirFd = part.dirFd;
            statJob.prepare();
            statScope.push();
        }
        for (size_t i = 0; i < part.count(); ++i) {
            if (m_run.stopped()) {
                stopped = true;
                break;
            }
            const std::string_view name = part.name(i);
            const DirEnumerator::EntryType type = part.types[i];
            scratch.setFileName(name);
            scratch.m_strPath.assign(part.folderPath);
            scratch.m_dwAttributes = provisionalAttributes(type, name);
            scratch.m_nSize = 0;
            if (metadataFirst) {
                if (statHelper ? !SF_StatHelper::take(statJob, i) : !part.statOk[i]) {
                    scratch.reset();
                    continue;   // vanished between listing and stat
                }
                fillFromStat(scratch, statHelper ? statJob.stats[i] : part.stats[i], name);
            } else {
                lateMetadata.point(part.dirFd, part.nameCStr(i));
            }
            checkAndAdd(scratch, rule, groups, receiver, false, metadataFirst ? nullptr : &lateMetadata, part.dirFd);
            // Only regular files are opened as archives: a FIFO or device would block or
            // misbehave, a link may lead anywhere.
            if (rule.bSearchInCompressed && type == DirEnumerator::EntryType::File &&
                !searchWithinArchiveInNormalWay(scratch, rule, groups, receiver, part.dirFd))
                stopped = true;
            scratch.reset();
            if (pool)
                pool->deliver();
        }
        statScope.pop();
        if (part.endsRoot && !stopped)
            return true;   // too many folders waiting: this root's walk ends here
        if (pool && (part.lastOfFolder || stopped))
            pool->wakeScanners();
    }
    // The reader saw the stop event before an entry it would have listed.
    stopped = stopped || reader.stopped();
    if (pool) {
        pool->finish();
        stopped = stopped || pool->cut();
    }
    return !stopped;
}
