// Search_Man: the members of an archive met during a walk, tested like files.
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

#include "archive/CExtractMgr.h"
#include "records/Data_FileItem.h"
#include "records/ISearchResultReciever.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "platform/FileTimeConvert.h"
#include "platform/UniqueFd.h"

namespace {
// Archives keep UTC times; items hold local ones. A time the archive does not record is 0.
FILETIME localTimeOf(IMyArchiveItem* view, bool (IMyArchiveItem::*get)(ArchiveFileTime&)) {
    ArchiveFileTime time;
    if (!(view->*get)(time) || time.ticks == 0)
        return FILETIME{};
    return FileTimeConvert::fromTimespec(
        timespec{static_cast<time_t>(time.unixSeconds()), static_cast<long>(time.unixNanoseconds())});
}

// Why an archive the handler would not open cannot be read: the errno of opening it, or 0
// when it opens (then it is just not an archive the handler understands) or has vanished.
int openError(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    const int error = errno;
    if (fd.valid())
        return 0;
    return error == ENOENT || error == ENOTDIR ? 0 : error;
}
}  // namespace

bool Search_Man::searchWithinArchiveInNormalWay(Data_FileItem& item, const Search_Rule& rule, const Groups& groups,
                                                ISearchResultReciever* receiver, int folderFd) {
    const std::string archivePath = item.getFullFileName();
    if (!m_extractMgr->isSupportedType(archivePath))
        return true;
    m_extractMgr->reset();
    // The archive library opens files by name, which the kernel refuses from PATH_MAX
    // bytes on; the folder's descriptor gives a short name for the same file.
    const std::string openPath = archivePath.size() >= PATH_MAX && folderFd >= 0
                                     ? "/proc/self/fd/" + std::to_string(folderFd) + "/" + item.getFileName()
                                     : archivePath;
    if (!m_extractMgr->setArchiveFullFile(openPath))
        return true;
    IMyArchive* archive = m_extractMgr->getIMyArchive();
    if (!archive) {
        m_extractMgr->reset();
        // A known extension that the handler cannot open is an ordinary file, unless the
        // file itself could not be opened.
        if (receiver) {
            if (const int error = openError(openPath); error != 0)
                receiver->entryUnreadable(archivePath, error);
        }
        return true;
    }

    const std::string archiveName = item.getFileName();
    Data_FileItem member;
    std::string innerPath;
    bool stopped = false;
    const int count = archive->getItemCount();
    for (int i = 0; i < count; ++i) {
        if (m_run.stopped()) {
            stopped = true;
            break;
        }
        IMyArchiveItem* view = archive->getItem(static_cast<unsigned>(i));
        if (!view || view->isFolder())
            continue;
        innerPath.clear();
        view->getPath(innerPath);
        // Absolute member names must not make "archive//x".
        size_t start = 0;
        while (start < innerPath.size() && innerPath[start] == '/')
            ++start;
        if (start >= innerPath.size())
            continue;
        const size_t slash = innerPath.rfind('/');
        const size_t nameStart = slash == std::string::npos || slash < start ? start : slash + 1;
        if (nameStart >= innerPath.size())
            continue;   // "dir/" names a folder

        member.m_dwAttributes = view->getAttributes() & ~Data_FileItem::ATTR_DIRECTORY;
        member.m_nSize = static_cast<int64_t>(view->getSize());
        const std::string_view name(innerPath.data() + nameStart, innerPath.size() - nameStart);
        member.setFileName(name);
        member.m_ftCreation = localTimeOf(view, &IMyArchiveItem::getCreationTime);
        member.m_ftLastWrite = localTimeOf(view, &IMyArchiveItem::getLastWriteTime);
        member.m_ftLastAccess = localTimeOf(view, &IMyArchiveItem::getLastAccessTime);
        member.m_strPath.assign(archivePath).push_back('/');
        if (nameStart > start)
            member.m_strPath.append(innerPath, start, nameStart - start);
        member.m_bInArchive = 1;
        member.m_nArchiveIndex = i;
        member.m_strArchiveName = archiveName;
        // The archive's own path is known here; deriving it later from m_strPath is
        // ambiguous when a folder on the way has the archive's name.
        member.m_strArchiveFullCache = archivePath;
        checkAndAdd(member, rule, groups, receiver, false, nullptr);
        member.reset();
    }
    m_extractMgr->reset();
    return !stopped;
}
