#include "records/Data_FileItem.h"
#include <algorithm>
#include <sys/stat.h>

#include "platform/CArchive.h"
#include "tools/FileNameSplit.h"

const std::string& Data_FileItem::getFileName() {
    if (m_strNameCache.empty()) {
        m_strNameCache = m_strTitle;
        if (!m_strExt.empty()) {
            m_strNameCache += '.';
            m_strNameCache += m_strExt;
        }
    }
    return m_strNameCache;
}

const std::string& Data_FileItem::getFullFileName() {
    if (m_strFullNameCache.empty())
        m_strFullNameCache = m_strPath + getFileName();
    return m_strFullNameCache;
}

const std::string& Data_FileItem::getFullNameIncludeArchivePath() {
    if (m_strArchiveFullCache.empty()) {
        // m_strPath is <archive path>/<folder inside the archive>/. The archive's name may
        // also stand earlier (a folder of that name on the way) or later (a folder of that
        // name inside the archive), and as a mere part of a longer name. Only whole path
        // components count, and of those the first that is a file on disk is the archive.
        size_t chosen = std::string::npos;
        if (!m_strArchiveName.empty()) {
            for (size_t at = m_strPath.find(m_strArchiveName); at != std::string::npos;
                 at = m_strPath.find(m_strArchiveName, at + 1)) {
                const size_t end = at + m_strArchiveName.size();
                const bool wholeComponent =
                    (at == 0 || m_strPath[at - 1] == '/') && (end == m_strPath.size() || m_strPath[end] == '/');
                if (!wholeComponent)
                    continue;
                if (chosen == std::string::npos)
                    chosen = at;   // fallback when the archive is gone
                struct stat st{};
                if (::stat(m_strPath.substr(0, end).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
                    chosen = at;
                    break;
                }
            }
        }
        m_strArchiveFullCache = (chosen == std::string::npos ? m_strPath : m_strPath.substr(0, chosen)) + m_strArchiveName;
    }
    return m_strArchiveFullCache;
}

void Data_FileItem::emptySpeedCache() {
    m_strNameCache.clear();
    m_strFullNameCache.clear();
}

size_t Data_FileItem::extensionDot(std::string_view name) { return FileNameSplit::extensionDot(name); }

void Data_FileItem::setFileName(std::string_view name) {
    const size_t dot = extensionDot(name);
    if (dot == std::string_view::npos) {
        m_strTitle.assign(name);
        m_strExt.clear();
    } else {
        m_strTitle.assign(name.substr(0, dot));
        m_strExt.assign(name.substr(dot + 1));
    }
}

void Data_FileItem::reset() {
    m_nArchiveIndex = 0;
    m_bInArchive = 0;
    m_dwShellAttributes = 0;
    m_nDupGroup = 0;
    m_dwCRC32 = 0;
    m_md5[0] = 0;
    m_nIconIndex = -1;
    m_strArchiveName.clear();
    m_strArchiveFullCache.clear();
    m_strPath.clear();
    m_strTypeName.clear();
    m_strNameCache.clear();
    m_strFullNameCache.clear();
    m_bFullFilled = false;
    m_vecSnippets.clear();
}

std::unique_ptr<Data_FileItem> Data_FileItem::clone() const {
    auto copy = std::make_unique<Data_FileItem>(*this);
    copy->m_nDupGroup = 0;
    copy->m_dwCRC32 = 0;
    std::fill(std::begin(copy->m_md5), std::end(copy->m_md5), 0);
    copy->m_strInnerPath.clear();
    for (auto& snippet : copy->m_vecSnippets)
        snippet = std::make_shared<const ContentSnippet>(*snippet);
    return copy;
}

namespace {
void storeTime(CArchive& ar, const FILETIME& ft) {
    ar.writeU32(ft.dwLowDateTime);
    ar.writeU32(ft.dwHighDateTime);
}
void loadTime(CArchive& ar, FILETIME& ft) {
    ft.dwLowDateTime = ar.readU32();
    ft.dwHighDateTime = ar.readU32();
}
}  // namespace

bool Data_FileItem::serialize(CArchive& ar) {
    if (ar.isStoring()) {
        ar.writeU32(m_dwAttributes);
        ar.writeU32(static_cast<uint32_t>(static_cast<uint64_t>(m_nSize)));
        ar.writeU32(static_cast<uint32_t>(static_cast<uint64_t>(m_nSize) >> 32));
        ar.writeString(m_strTitle);
        ar.writeString(m_strExt);
        storeTime(ar, m_ftCreation);
        storeTime(ar, m_ftLastAccess);
        storeTime(ar, m_ftLastWrite);
        ar.writeU32(static_cast<uint32_t>(m_bInArchive));
        if (m_bInArchive) {
            ar.writeString(m_strInnerPath);
            ar.writeString(m_strArchiveName);
            ar.writeU32(static_cast<uint32_t>(m_nArchiveIndex));
        }
        return true;
    }
    m_dwAttributes = ar.readU32();
    const uint64_t low = ar.readU32();
    const uint64_t high = ar.readU32();
    m_nSize = static_cast<int64_t>((high << 32) | low);
    m_strTitle = ar.readString();
    m_strExt = ar.readString();
    loadTime(ar, m_ftCreation);
    loadTime(ar, m_ftLastAccess);
    loadTime(ar, m_ftLastWrite);
    m_bInArchive = static_cast<int32_t>(ar.readU32());
    if (m_bInArchive) {
        m_strInnerPath = ar.readString();
        m_strArchiveName = ar.readString();
        m_nArchiveIndex = static_cast<int32_t>(ar.readU32());
    }
    emptySpeedCache();
    return ar.ok();
}

bool Data_FileItem::serializeAsResult(CArchive& ar) {
    if (!serialize(ar))
        return false;
    if (ar.isStoring()) {
        ar.writeString(m_strPath);
        ar.writeU32(static_cast<uint32_t>(m_nDupGroup));
        ar.writeU32(static_cast<uint32_t>(m_vecSnippets.size()));
        for (const auto& snippet : m_vecSnippets) {
            ar.writeString(snippet->before);
            ar.writeString(snippet->match);
            ar.writeString(snippet->after);
        }
        return true;
    }
    m_strPath = ar.readString();
    m_nDupGroup = static_cast<int32_t>(ar.readU32());
    const uint32_t count = ar.readU32();
    // Every stored snippet takes at least three bytes: a count beyond that is corrupt data,
    // not a reason to reserve memory.
    if (!ar.ok() || count > ar.remaining() / 3) {
        ar.fail();
        return false;
    }
    m_vecSnippets.clear();
    for (uint32_t i = 0; i < count; ++i) {
        auto snippet = std::make_shared<ContentSnippet>();
        snippet->before = ar.readString();
        snippet->match = ar.readString();
        snippet->after = ar.readString();
        if (!ar.ok())
            return false;
        m_vecSnippets.push_back(std::move(snippet));
    }
    m_dwShellAttributes = 0;
    m_nIconIndex = -1;
    m_strTypeName.clear();
    m_bFullFilled = false;
    emptySpeedCache();
    return ar.ok();
}
