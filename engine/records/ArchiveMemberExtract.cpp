#include "records/ArchiveMemberExtract.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/CExtractMgr.h"
#include "archive/SafeMemberName.h"
#include "records/Data_FileItem.h"
#include "tools/Tool_Resource.h"

namespace {
// <temp>/~QD~<archive name>, private to the user. An existing entry is used only when it is
// a real folder (not a link) owned by this user; anything else in a shared temporary folder
// could be another user's trap.
bool preparePrivateFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0700) == 0)
        return true;
    if (errno != EEXIST)
        return false;
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    return (st.st_mode & 0777) == 0700 || ::chmod(folder.c_str(), 0700) == 0;
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Windows-style bits only; a POSIX mode the archive keeps in the high half (flag 0x8000)
// becomes the bits this platform maps it to.
uint32_t attributesOf(uint32_t archived) {
    uint32_t attributes = archived & 0x7FFF;
    if (archived & 0x8000) {
        const uint32_t mode = archived >> 16;
        if ((mode & 0222) == 0)
            attributes |= Data_FileItem::ATTR_READONLY;
        if (S_ISDIR(mode))
            attributes |= Data_FileItem::ATTR_DIRECTORY;
    }
    return attributes;
}

std::string temporaryFolderFor(const std::string& archivePath) {
    const std::string name = fileNameOf(archivePath);
    if (name.empty())
        return {};
    return Tool_Resource::getTempPath(true) + "~QD~" + name;
}
}  // namespace

std::string ArchiveMemberExtract::extractFileToTemporaryFolder(Data_FileItem& member) {
    if (member.m_nArchiveIndex < 0)
        return {};
    const std::string archivePath = member.getFullNameIncludeArchivePath();
    CExtractMgr mgr;
    if (!mgr.setArchiveFullFile(archivePath) || !mgr.getIMyArchive())
        return {};
    const std::string folder = temporaryFolderFor(archivePath);
    if (folder.empty() || !preparePrivateFolder(folder))
        return {};
    if (!mgr.getIMyArchive()->extractItem(static_cast<unsigned>(member.m_nArchiveIndex), folder))
        return {};
    return folder + "/";
}

std::unique_ptr<Data_FileItem> ArchiveMemberExtract::convertArchiveFileToTempFile(Data_FileItem& member) {
    const std::string folder = extractFileToTemporaryFolder(member);
    if (folder.empty())
        return nullptr;
    const std::string archivePath = member.getFullNameIncludeArchivePath();
    CExtractMgr mgr;
    if (!mgr.setArchiveFullFile(archivePath) || !mgr.getIMyArchive())
        return nullptr;
    IMyArchiveItem* entry = mgr.getIMyArchive()->getItem(static_cast<unsigned>(member.m_nArchiveIndex));
    if (!entry || entry->isFolder())
        return nullptr;
    auto item = std::make_unique<Data_FileItem>();
    item->m_dwAttributes = attributesOf(entry->getAttributes());
    item->m_nSize = static_cast<int64_t>(entry->getSize());
    item->m_strTitle = member.m_strTitle;
    item->m_strExt = member.m_strExt;
    // The file carries the name extraction gave it; when the member's own name could not be
    // used as a file name, describe the file that is really there.
    std::string innerPath;
    entry->getPath(innerPath);
    const std::string written =
        crateview::SafeMemberName::leafName(innerPath, crateview::SafeMemberName::defaultNameFor(archivePath));
    if (!written.empty() && written != member.getFileName())
        item->setFileName(written);
    item->m_ftCreation = member.m_ftCreation;
    item->m_ftLastAccess = member.m_ftLastAccess;
    item->m_ftLastWrite = member.m_ftLastWrite;
    item->m_strPath = folder;
    item->m_bInArchive = 0;
    return item;
}
