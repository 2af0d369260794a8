// Search_Man: the breadth-first walk of one root folder.
//
// Folders are opened relative to a descriptor of the root, so no full path is resolved per
// folder, and at any depth (paths past PATH_MAX are opened piece by piece); entries are typed from the directory read itself and stat'ed only when the rule's
// tests or a match need their size, times or attributes.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DirEnumerator.h"
#include "platform/FileSystemKind.h"
#include "platform/LongPath.h"
#include "platform/UniqueFd.h"
#include "records/Data_FileItem.h"
#include "records/ISearchResultReciever.h"
#include "search/Search_FolderQueue.h"
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

std::string_view withoutTrailingSlashes(std::string_view path) {
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

// A folder that is gone, or is no folder any more (O_NOFOLLOW met a link), since it was listed.
bool isVanished(int error) { return error == ENOENT || error == ENOTDIR || error == ELOOP; }

bool isExcluded(std::string_view folder, const std::vector<std::string>& excluded) {
    for (const std::string& entry : excluded)
        if (withoutTrailingSlashes(entry) == folder)
            return true;
    return false;
}

}  // namespace

// Reads the metadata of the enumerator's current entry into an item on demand.
class Search_FolderWalk final : public Search_Man::MetadataSource {
public:
    explicit Search_FolderWalk(const DirEnumerator& dir) : m_dir(dir) {}
    bool fill(Data_FileItem& item) override {
        FileStat st;
        if (!m_dir.stat(st))
            return false;   // vanished since it was listed
        fillFromStat(item, st, m_dir.name());
        return true;
    }

private:
    const DirEnumerator& m_dir;
};

bool Search_Man::searchInFolder(const Groups& groups, const Search_Rule& rule, const std::string& folder,
                                ISearchResultReciever* receiver, const std::vector<std::string>& excluded) {
    setCurrentRootFolder(folder);
    // "/a/b/" and "/a/b" are the same root; "/" becomes "" so that its entries get "/x".
    const std::string root(withoutTrailingSlashes(folder));
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

    struct stat rootStat{};
    const dev_t rootDev = ::fstat(rootFd.get(), &rootStat) == 0 ? rootStat.st_dev : 0;

    const bool metadataFirst = needsMetadata(rule);
    Search_FolderQueue queue;
    queue.push(std::string());
    Data_FileItem scratch;
    DirEnumerator dir;
    Search_FolderWalk lateMetadata(dir);
    std::string relative;
    std::string folderPath;   // root + "/" + relative + "/"
    std::string childRelative;
    bool stopped = false;

    while (!stopped && queue.pop(relative)) {
        folderPath.assign(root).push_back('/');
        if (!relative.empty())
            folderPath.append(relative).push_back('/');
        if (!excluded.empty() && isExcluded(withoutTrailingSlashes(folderPath), excluded))
            continue;
        m_poolFolder.reset();
        if (!dir.openAt(rootFd.get(), relative.empty() ? std::string(".") : relative)) {
            // Unreadable, vanished, or replaced by a link: contributes nothing. Only the
            // unreadable ones are worth telling the user about.
            if (receiver && !isVanished(dir.error()))
                receiver->entryUnreadable(std::string(withoutTrailingSlashes(folderPath)), dir.error());
            continue;
        }
        if (!relative.empty()) {
            // A folder on another file system may be a kernel interface (/proc, /sys, /dev).
            struct stat st{};
            if (::fstat(dir.fd(), &st) == 0 && st.st_dev != rootDev && FileSystemKind::isPseudoFileSystem(dir.fd()))
                continue;
        }
        while (dir.next()) {
            if (m_run.stopped()) {
                stopped = true;
                break;
            }
            const std::string_view name = dir.name();
            const DirEnumerator::EntryType type = dir.type();
            if (type == DirEnumerator::EntryType::Folder && rule.bIncludeSubDir) {
                childRelative.assign(relative);
                if (!childRelative.empty())
                    childRelative.push_back('/');
                childRelative.append(name);
                if (!queue.push(std::move(childRelative))) {
                    // Too many folders waiting: this root's walk ends here.
                    queue.clear();
                    dir.close();
                    return true;
                }
            }
            scratch.setFileName(name);
            scratch.m_strPath.assign(folderPath);
            scratch.m_dwAttributes = provisionalAttributes(type, name);
            scratch.m_nSize = 0;
            if (metadataFirst && !lateMetadata.fill(scratch)) {
                scratch.reset();
                continue;   // vanished between listing and stat
            }
            checkAndAdd(scratch, rule, groups, receiver, false, metadataFirst ? nullptr : &lateMetadata, dir.fd());
            // Only regular files are opened as archives: a FIFO or device would block or
            // misbehave, a link may lead anywhere.
            if (rule.bSearchInCompressed && type == DirEnumerator::EntryType::File &&
                !searchWithinArchiveInNormalWay(scratch, rule, groups, receiver, dir.fd()))
                stopped = true;
            scratch.reset();
            if (pool)
                pool->deliver();
        }
        dir.close();
        if (pool)
            pool->wakeScanners();
    }
    if (pool) {
        pool->finish();
        stopped = stopped || pool->cut();
    }
    return !stopped;
}
