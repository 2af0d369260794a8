// The data columns: titles, extensions, folders and archive members, each with its
// offset column.
#include <cstring>

#include "index/IndexIncludeFolder.h"
#include "index/SF_ArchiveSaver.h"
#include "index/SF_ExtSaver.h"
#include "index/SF_FileFind.h"
#include "index/SF_FolderSaver.h"
#include "index/SF_TitleSaver.h"
#include "records/Data_FileItem.h"
#include "records/FileNameGroup.h"
#include "tools/FileNameSplit.h"
#include "records/FileNameGroupMatch.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"
#include "tools/Tool_WCComp.h"

namespace {
bool isAllPattern(const std::string& p) { return p == "*"; }

// `folder` is a search folder as the rule gives it; its length without trailing '/'s
// ("/" counts as 0: every absolute folder lies below it).
size_t trimmedLength(const std::string& folder) {
    size_t n = folder.size();
    while (n > 0 && folder[n - 1] == '/')
        --n;
    return n;
}
}  // namespace

// ---- common data-column part ------------------------------------------------------------

bool SF_DataSaver::rename(const std::string& root, int stage) {
    const bool own = SF_SingleSaver::rename(root, stage);
    const bool partner = m_offsets.rename(root, stage);
    return own && partner;
}

bool SF_DataSaver::deleteLive(const std::string& root) {
    const bool own = SF_SingleSaver::deleteLive(root);
    const bool partner = m_offsets.deleteLive(root);
    return own && partner;
}

void SF_DataSaver::discardTemporary(const std::string& root) {
    SF_SingleSaver::discardTemporary(root);
    m_offsets.discardTemporary(root);
}

bool SF_DataSaver::openRead(const std::string& root) {
    if (!SF_SingleSaver::openRead(root))
        return false;
    if (!m_offsets.openRead(root)) {
        SF_SingleSaver::closeRead();
        return false;
    }
    return true;
}

void SF_DataSaver::closeRead() {
    SF_SingleSaver::closeRead();
    m_offsets.closeRead();
}

bool SF_DataSaver::openWrite(const std::string& root) {
    m_offset = 0;
    m_hasPrevious = false;
    m_previous.clear();
    return SF_SingleSaver::openWrite(root) && m_offsets.openWrite(root);
}

bool SF_DataSaver::closeWrite() {
    const bool own = SF_SingleSaver::closeWrite();
    const bool partner = m_offsets.closeWrite();
    return own && partner;
}

void SF_DataSaver::fileTags(std::vector<std::string>& out) const {
    SF_SingleSaver::fileTags(out);
    m_offsets.fileTags(out);
}

bool SF_DataSaver::describeWritten(IndexGeneration& generation, const std::string& root) const {
    return SF_SingleSaver::describeWritten(generation, root) && m_offsets.describeWritten(generation, root);
}

bool SF_DataSaver::isOfGeneration(const IndexGeneration& generation) const {
    return SF_SingleSaver::isOfGeneration(generation) && m_offsets.isOfGeneration(generation);
}

bool SF_DataSaver::readString(uint32_t entry, std::string_view& out) const {
    uint32_t offset;
    return m_offsets.readRecord(entry, offset) && parseString(m_view, m_viewSize, offset, out);
}

bool SF_DataSaver::pointAt(uint64_t offset) {
    if (offset > UINT32_MAX) {
        m_writer.fail();   // the column cannot address this record: the run must not commit
        return false;
    }
    return m_offsets.writeOffset(static_cast<uint32_t>(offset));
}

bool SF_DataSaver::appendRecordAt(uint64_t size) {
    const bool ok = pointAt(m_offset);
    m_offset += size;
    return ok;
}

bool SF_DataSaver::appendString(std::string_view s, bool share) {
    if (share && m_hasPrevious && s.size() == m_previous.size() &&
        (s.empty() || std::memcmp(s.data(), m_previous.data(), s.size()) == 0))
        return pointAt(m_previousOffset);
    if (share) {   // only a sharing column looks back at the previous record
        m_previousOffset = m_offset;
        m_previous.assign(s.data(), s.size());
        m_hasPrevious = true;
    }
    const bool ok = writeString(s);
    return appendRecordAt(stringRecordSize(s.size())) && ok;
}

// ---- "fn" -------------------------------------------------------------------------------

bool SF_TitleSaver::isNeeded(const IndexIncludeFolder&, const GroupList& groups, const Search_Rule&) const {
    // Terms that are all a plain "*" accept every title; a negated "*" or an XOR with one
    // changes the outcome and needs the column after all.
    for (const auto& group : groups)
        for (const auto& term : group->terms)
            if (!isAllPattern(term->strTitlePattern) || term->bNegate || term->op == NamePatternTerm::OP_XOR)
                return true;
    return false;
}

bool SF_TitleSaver::fillItem(uint32_t entry, Data_FileItem& item) const {
    std::string_view s;
    if (!readString(entry, s))
        return false;
    item.m_strTitle.assign(s.data(), s.size());
    return true;
}

bool SF_TitleSaver::writeItem(const Data_FileItem& item) { return appendString(item.m_strTitle, false); }

bool SF_TitleSaver::writeFound(const SF_FileFind& found) { return appendString(found.getFileTitle(), false); }

bool SF_TitleSaver::matches(uint32_t entry, const FileNameGroup& group, const Search_Rule&, const IndexIncludeFolder&) {
    std::string_view s;
    if (!readString(entry, s))
        return false;
    const size_t dots = FileNameSplit::dotsIn(group.strExtPattern);
    if (dots > 0 && m_namePartner) {
        std::string_view ext;
        if (!m_namePartner->readString(entry, ext))
            return false;
        FileNameSplit::forPattern(s, ext, dots, m_nameScratch);
    }
    return FileNameGroupMatch::compareFileGroup(&group, s.data(), s.size(), false);
}

// ---- "fe" -------------------------------------------------------------------------------

bool SF_ExtSaver::isNeeded(const IndexIncludeFolder&, const GroupList& groups, const Search_Rule&) const {
    for (const auto& group : groups) {
        const std::string& p = group->strExtPattern;
        if (!(p.size() == 1 && p[0] == '*'))
            return true;
    }
    return false;
}

bool SF_ExtSaver::fillItem(uint32_t entry, Data_FileItem& item) const {
    std::string_view s;
    if (!readString(entry, s))
        return false;
    item.m_strExt.assign(s.data(), s.size());
    return true;
}

bool SF_ExtSaver::writeItem(const Data_FileItem& item) { return appendString(item.m_strExt, true); }

bool SF_ExtSaver::writeFound(const SF_FileFind& found) { return appendString(found.getFileExt(), true); }

bool SF_ExtSaver::matches(uint32_t entry, const FileNameGroup& group, const Search_Rule&, const IndexIncludeFolder&) {
    std::string_view s;
    if (!readString(entry, s))
        return false;
    const std::string& p = group.strExtPattern;
    const size_t dots = FileNameSplit::dotsIn(p);
    if (dots > 0 && m_namePartner) {
        std::string_view title;
        if (!m_namePartner->readString(entry, title))
            return false;
        FileNameSplit::forPattern(title, s, dots, m_nameScratch);
    }
    const int textLength = s.size() > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(s.size());
    return Tool_WCComp::comparePattenString(p.data(), static_cast<int>(p.size()), s.data(), textLength, false) == 0;
}

// ---- "fp" -------------------------------------------------------------------------------

bool SF_FolderSaver::isNeeded(const IndexIncludeFolder& x, const GroupList&, const Search_Rule& rule) const {
    if (!rule.bIncludeSubDir || rule.bMatchPath)
        return true;
    // Not needed only when the whole cache is searched: some search folder is the root.
    const size_t rootLength = trimmedLength(x.indexPath);
    for (const auto& f : x.folders) {
        const size_t n = trimmedLength(f);
        if (n == rootLength && f.compare(0, n, x.indexPath, 0, n) == 0)
            return false;
    }
    return true;
}

bool SF_FolderSaver::openRead(const std::string& root) {
    m_loadedEntry = m_loadedOffset = UINT32_MAX;
    m_searchFolderLength = -2;
    return SF_DataSaver::openRead(root);
}

bool SF_FolderSaver::loadFolder(uint32_t entry) {
    if (entry == m_loadedEntry)
        return true;
    uint32_t offset;
    if (!m_offsets.readRecord(entry, offset))
        return false;
    if (offset != m_loadedOffset) {
        std::string_view s;
        if (!parseString(m_view, m_viewSize, offset, s))
            return false;
        m_folder.assign(s.data(), s.size());
        m_folder += '/';
        m_loadedOffset = offset;
        m_searchFolderLength = -2;   // not looked up yet for this folder
    }
    m_loadedEntry = entry;
    return true;
}

long SF_FolderSaver::findSearchFolder(std::string_view folder, const Search_Rule& rule, const IndexIncludeFolder& x) {
    for (const auto& f : x.folders) {
        const size_t n = trimmedLength(f);
        // Whole components: the entry's folder (ending in '/') starts with f + '/'.
        if (folder.size() < n + 1 || folder.compare(0, n, f, 0, n) != 0 || folder[n] != '/')
            continue;
        if (!rule.bIncludeSubDir && folder.size() != n + 1)
            continue;
        return static_cast<long>(n);
    }
    return -1;
}

bool SF_FolderSaver::fillItem(uint32_t entry, Data_FileItem& item) const {
    std::string_view s;
    if (!readString(entry, s))
        return false;
    item.m_strPath.assign(s.data(), s.size());
    item.m_strPath += '/';
    return true;
}

bool SF_FolderSaver::writeItem(const Data_FileItem& item) {
    std::string_view folder = item.m_strPath;
    while (!folder.empty() && folder.back() == '/')
        folder.remove_suffix(1);
    return appendString(folder, true);
}

bool SF_FolderSaver::writeFound(const SF_FileFind& found) { return appendString(found.getFolder(), true); }

bool SF_FolderSaver::matches(uint32_t entry, const FileNameGroup&, const Search_Rule& rule, const IndexIncludeFolder& x) {
    if (m_matchCache)
        return true;
    if (!loadFolder(entry))
        return false;
    if (m_searchFolderLength == -2)
        m_searchFolderLength = findSearchFolder(m_folder, rule, x);
    const bool ok = m_searchFolderLength >= 0;
    m_matchCache = ok;
    return ok;
}

bool SF_FolderSaver::relativePathMatches(uint32_t entry, const FileNameGroup& group, const IndexIncludeFolder&) {
    if (!loadFolder(entry) || m_searchFolderLength < 0)
        return false;
    const size_t n = static_cast<size_t>(m_searchFolderLength);
    return FileNameGroupMatch::compareFileGroup(&group, m_folder.data() + n, m_folder.size() - n, true);
}

// ---- "fa" -------------------------------------------------------------------------------

bool SF_ArchiveSaver::isNeeded(const IndexIncludeFolder&, const GroupList&, const Search_Rule& rule) const {
    return !rule.bSearchInCompressed;
}

bool SF_ArchiveSaver::openWrite(const std::string& root) {
    m_lastWasZero = false;
    return SF_DataSaver::openWrite(root);
}

bool SF_ArchiveSaver::openRead(const std::string& root) {
    m_lastReadOffset = UINT32_MAX;
    return SF_DataSaver::openRead(root);
}

bool SF_ArchiveSaver::readFlag(uint32_t entry, uint32_t& flag) const {
    uint32_t offset;
    if (!m_offsets.readRecord(entry, offset))
        return false;
    if (offset == m_lastReadOffset) {
        flag = m_lastReadFlag;
        return true;
    }
    if (!readU32At(offset, flag))
        return false;
    m_lastReadOffset = offset;
    m_lastReadFlag = flag;
    return true;
}

bool SF_ArchiveSaver::fillItem(uint32_t entry, Data_FileItem& item) const {
    uint32_t offset, flag;
    if (!m_offsets.readRecord(entry, offset) || !readU32At(offset, flag))
        return false;
    item.m_bInArchive = flag != 0;
    if (!flag) {
        item.m_nArchiveIndex = 0;
        item.m_strArchiveName.clear();
        item.m_strInnerPath.clear();
        return true;
    }
    uint32_t index;
    std::string_view name, inner;
    if (!readU32At(uint64_t(offset) + 4, index) || !parseString(m_view, m_viewSize, uint64_t(offset) + 8, name) ||
        !parseString(m_view, m_viewSize, uint64_t(offset) + 8 + stringRecordSize(name.size()), inner))
        return false;
    item.m_nArchiveIndex = static_cast<int32_t>(index);
    item.m_strArchiveName.assign(name.data(), name.size());
    item.m_strInnerPath.assign(inner.data(), inner.size());
    return true;
}

bool SF_ArchiveSaver::writePlain() {
    if (m_lastWasZero)
        return pointAt(m_offset - 4);
    m_lastWasZero = true;
    const bool ok = m_writer.writeU32(0);
    return appendRecordAt(4) && ok;
}

bool SF_ArchiveSaver::writeItem(const Data_FileItem& item) {
    if (!item.m_bInArchive)
        return writePlain();
    m_lastWasZero = false;
    bool ok = m_writer.writeU32(1) && m_writer.writeU32(static_cast<uint32_t>(item.m_nArchiveIndex));
    ok = writeString(item.m_strArchiveName) && ok;
    ok = writeString(item.m_strInnerPath) && ok;
    const uint64_t size = 8 + stringRecordSize(item.m_strArchiveName.size()) + stringRecordSize(item.m_strInnerPath.size());
    return appendRecordAt(size) && ok;
}

bool SF_ArchiveSaver::writeFound(const SF_FileFind&) { return writePlain(); }

bool SF_ArchiveSaver::matches(uint32_t entry, const FileNameGroup&, const Search_Rule&, const IndexIncludeFolder&) {
    if (m_matchCache)
        return true;
    uint32_t flag;
    const bool ok = readFlag(entry, flag) && flag == 0;
    m_matchCache = ok;
    return ok;
}
