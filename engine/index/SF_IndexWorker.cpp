#include "index/SF_IndexWorker.h"

#include <cerrno>
#include <chrono>
#include <exception>
#include <sys/stat.h>
#include <thread>

#include "archive/CExtractMgr.h"
#include "index/IIndexResultReceiver.h"
#include "index/SF_FileFind.h"
#include "index/SF_Man.h"
#include "index/SF_StatHelper.h"
#include "platform/FileSystemKind.h"
#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr uint64_t kLargeArchive = 36'700'160;   // 35 MiB: opening takes a while, say so
constexpr uint32_t kSumBatch = 1024;             // entries counted locally between hand-overs

FILETIME localTimeOf(IMyArchiveItem* view, bool (IMyArchiveItem::*get)(ArchiveFileTime&)) {
    ArchiveFileTime time;
    if (!(view->*get)(time) || time.ticks == 0)
        return FILETIME{};
    return SF_FileFind::localTimeOf(
        timespec{static_cast<time_t>(time.unixSeconds()), static_cast<long>(time.unixNanoseconds())});
}
}  // namespace

SF_IndexWorker::SF_IndexWorker(SF_Man& man, IIndexResultReceiver* receiver, const SF_ExcludeInfo& exclude)
    : m_man(man), m_receiver(receiver), m_exclude(exclude), m_extractMgr(std::make_unique<CExtractMgr>()) {}

SF_IndexWorker::~SF_IndexWorker() { flushSums(); }

bool SF_IndexWorker::cancelled() const { return m_man.cancelRequested(); }

void SF_IndexWorker::throttle() const {
    const int p = m_man.getIndexThreadPriority();
    if (p < 10)
        std::this_thread::sleep_for(std::chrono::milliseconds((10 - p) * (10 - p)));
}

void SF_IndexWorker::count(uint64_t bytes) {
    m_pendingBytes += bytes;
    if (++m_pendingEntries >= kSumBatch)
        flushSums();
}

void SF_IndexWorker::flushSums() {
    if (m_pendingEntries || m_pendingBytes)
        m_man.addSumValues(m_pendingBytes, m_pendingEntries);
    m_pendingBytes = 0;
    m_pendingEntries = 0;
}

SF_IndexOutcome SF_IndexWorker::indexRoot(const std::string& rootGiven) {
    SF_IndexOutcome outcome;
    outcome.root = Tool_Resource::normalizePath(rootGiven);
    const std::string& root = outcome.root;
    auto fail = [&](SF_IndexOutcome::Kind kind, int error) {
        outcome.kind = kind;
        outcome.error = error;
        return outcome;
    };
    if (cancelled())
        return fail(SF_IndexOutcome::Cancelled, 0);
    // Only a folder that can be listed gets a cache: a missing root, a file or an
    // unreadable folder would commit an empty cache that answers searches with nothing.
    struct stat st{};
    if (root.empty() || ::stat(root.c_str(), &st) != 0)
        return fail(SF_IndexOutcome::NotAFolder, root.empty() ? ENOENT : errno);
    if (!S_ISDIR(st.st_mode))
        return fail(SF_IndexOutcome::NotAFolder, ENOTDIR);
    if (m_exclude.isExcludedFolder(root))
        return fail(SF_IndexOutcome::Excluded, 0);   // no cache at all, not even an empty one
    // Stat'ing runs ahead on a second thread when the run allows it and there is a second
    // processor: only then does it shorten the run.
    try {
        if (m_man.getParallelStat() && m_man.getIndexThreadPriority() == 10 &&
            std::thread::hardware_concurrency() > 1 && !m_statHelper)
            m_statHelper = std::make_unique<SF_StatHelper>();
    } catch (const std::exception&) {
        m_statHelper.reset();   // no thread to spare: the walk stats on its own
    }
    SF_FileFind find(m_statHelper.get());
    if (!find.findFile(root))
        return fail(SF_IndexOutcome::NotAFolder, errno);
    if (!m_savers.openWrite(root))
        return errno == EBUSY ? fail(SF_IndexOutcome::Busy, EBUSY)
                              : fail(SF_IndexOutcome::CannotWrite, errno);   // live and pending caches stay as they are
    bool completed = false;
    try {
        uint64_t total = 0;
        completed = walk(find, true, total);
    } catch (const std::exception&) {
        m_writeFailed = true;   // out of memory and the like: this root is not committed
    }
    flushSums();
    const bool written = m_savers.closeWrite() && !m_writeFailed;
    const int writeError = errno;
    if (!completed || !written) {
        m_savers.discardTemporary(root);
        return !completed ? fail(SF_IndexOutcome::Cancelled, 0) : fail(SF_IndexOutcome::WriteFailed, writeError);
    }
    std::lock_guard<std::mutex> lock(SF_Man::s_renameCS);
    if (!m_savers.commit(root))
        return fail(SF_IndexOutcome::WriteFailed, errno);
    SF_Man::s_bNewIndexCache = true;
    return outcome;
}

bool SF_IndexWorker::walk(SF_FileFind& find, bool record, uint64_t& total) {
    for (;;) {
        if (cancelled())
            return false;
        throttle();
        if (!find.findNextFile())
            break;
        if (find.isDirectory()) {
            const std::string path = find.getFilePath();
            uint64_t below = 0;
            SF_FileFind child;
            if (child.findChild(find, find.getFileName(), path)) {
                // A file system mounted here that only shows kernel state is not walked.
                const bool pseudo = child.getFolderDevice() != find.getFolderDevice() &&
                                    FileSystemKind::isPseudoFileSystem(child.enumerator().fd());
                if (!pseudo && !walk(child, record && !m_exclude.isExcludedFolder(path), below))
                    return false;
            }
            find.setLengthOverride(static_cast<int64_t>(below));
        } else {
            find.setLengthOverride(static_cast<int64_t>(find.getRealLength()));
        }
        if (record) {
            const bool isFolder = find.isDirectory();
            if (isFolder || !m_exclude.isExcludedType(find.getFileExt())) {
                if (!m_savers.writeFound(find))
                    m_writeFailed = true;
                count(isFolder ? 0 : find.getRealLength());
                if (!isFolder && m_exclude.bIndexArchives &&
                    (find.getAttributes() & (Data_FileItem::ATTR_REPARSE_POINT | Data_FileItem::ATTR_SYSTEM)) == 0 &&
                    !indexArchive(find.getFilePath(), find.getFolder(), find.getRealLength()))
                    return false;
            }
        }
        total += find.getLength();
        find.setLengthOverride(-1);
    }
    return true;
}

bool SF_IndexWorker::indexArchive(const std::string& fullPath, const std::string& folder, uint64_t length) {
    m_extractMgr->reset();
    if (!m_extractMgr->isSupportedType(fullPath))
        return true;
    bool textChanged = false;
    if (length > kLargeArchive) {
        if (m_largeArchiveText.empty())
            m_largeArchiveText = Tool_Resource::loadString(191);
        m_man.setIndexInfo(m_largeArchiveText + "[" + fullPath + "]");
        textChanged = true;
    }
    const bool opened = m_extractMgr->setArchiveFullFile(fullPath);
    if (textChanged)
        m_man.setIndexInfo(m_man.getCurrentRootText());
    IMyArchive* archive = opened ? m_extractMgr->getIMyArchive() : nullptr;
    if (!archive) {
        m_extractMgr->reset();
        return true;   // recorded as a plain file without members
    }
    Data_FileItem member;
    member.m_strPath = folder;
    member.m_strArchiveName = fullPath.substr(folder.size() + 1);
    member.m_bInArchive = 1;
    const int members = archive->getItemCount();
    std::string path, drive, innerFolder, title, ext;
    for (int i = 0; i < members; ++i) {
        if (cancelled()) {
            m_extractMgr->reset();
            return false;
        }
        IMyArchiveItem* view = archive->getItem(static_cast<unsigned>(i));
        if (!view || view->isFolder())
            continue;
        member.m_dwAttributes = view->getAttributes();
        member.m_nSize = static_cast<int64_t>(view->getSize());
        view->getPath(path);
        if (path.empty())
            continue;
        Tool_Resource::splitFileFullPath(path, drive, innerFolder, title, ext);
        size_t dots = 0;
        while (dots < ext.size() && ext[dots] == '.')
            ++dots;
        member.m_strExt = ext.substr(dots);
        member.m_strTitle = title;
        member.m_strInnerPath = drive + innerFolder;
        member.m_ftCreation = localTimeOf(view, &IMyArchiveItem::getCreationTime);
        member.m_ftLastWrite = localTimeOf(view, &IMyArchiveItem::getLastWriteTime);
        member.m_ftLastAccess = localTimeOf(view, &IMyArchiveItem::getLastAccessTime);
        member.m_nArchiveIndex = i;
        if (!m_savers.writeItem(member))
            m_writeFailed = true;
        count((member.m_dwAttributes & Data_FileItem::ATTR_DIRECTORY) ? 0 : static_cast<uint64_t>(member.m_nSize));
    }
    m_extractMgr->reset();
    return true;
}
