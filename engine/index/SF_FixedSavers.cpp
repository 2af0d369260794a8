// The fixed-width columns: times, size and attributes.
#include "index/IndexIncludeFolder.h"
#include "index/SF_AttributeSaver.h"
#include "index/SF_FileFind.h"
#include "index/SF_SizeSaver.h"
#include "index/SF_TimeSaver.h"
#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"
#include "records/Rule_Compare.h"
#include "records/Search_Rule.h"

// ---- times --------------------------------------------------------------------------

bool SF_TimeSaver::isNeeded(const IndexIncludeFolder&, const GroupList&, const Search_Rule& rule) const {
    // Mirrors the date test: "any" passes everything; "within" reads the last-write time;
    // "between" reads the time its kind names (last write for an unknown kind); a rule with
    // no flag set fails everything, which the last-write column then does.
    const auto& date = rule.date;
    if (date.bAny)
        return false;
    Kind tested = Kind::LastWrite;
    if (!date.bWithin && date.bSpecify) {
        if (date.specifyDate.wTimeKind == 1)
            tested = Kind::Creation;
        else if (date.specifyDate.wTimeKind == 2)
            tested = Kind::LastAccess;
    }
    return tested == m_kind;
}

bool SF_TimeSaver::readTime(uint32_t entry, FILETIME& out) const {
    uint64_t v;
    if (!readU64At(uint64_t(entry) * 8, v))
        return false;
    out = FILETIME::fromU64(v);
    return true;
}

bool SF_TimeSaver::fillItem(uint32_t entry, Data_FileItem& item) const {
    FILETIME t;
    if (!readTime(entry, t))
        return false;
    switch (m_kind) {
    case Kind::LastWrite: item.m_ftLastWrite = t; break;
    case Kind::Creation: item.m_ftCreation = t; break;
    case Kind::LastAccess: item.m_ftLastAccess = t; break;
    }
    return true;
}

bool SF_TimeSaver::writeItem(const Data_FileItem& item) {
    const FILETIME& t = m_kind == Kind::LastWrite  ? item.m_ftLastWrite
                        : m_kind == Kind::Creation ? item.m_ftCreation
                                                   : item.m_ftLastAccess;
    return m_writer.writeU64(t.toU64());
}

bool SF_TimeSaver::writeFound(const SF_FileFind& found) {
    const FILETIME& t = m_kind == Kind::LastWrite  ? found.getLastWriteTime()
                        : m_kind == Kind::Creation ? found.getCreationTime()
                                                   : found.getLastAccessTime();
    return m_writer.writeU64(t.toU64());
}

bool SF_TimeSaver::matches(uint32_t entry, const FileNameGroup&, const Search_Rule& rule, const IndexIncludeFolder&) {
    if (m_matchCache)
        return true;
    FILETIME t;
    if (!readTime(entry, t))
        return false;
    bool ok;
    const auto& date = rule.date;
    if (!date.bAny && !date.bWithin && date.bSpecify) {
        // The bounds are converted once per search rather than once per entry.
        if (!m_boundsValid || m_boundsFrom != date.specifyDate.tFrom || m_boundsTo != date.specifyDate.tTo) {
            m_boundsFrom = date.specifyDate.tFrom;
            m_boundsTo = date.specifyDate.tTo;
            m_lower = Rule_Compare::specifyDateFirstTick(date.specifyDate);
            m_upper = Rule_Compare::specifyDateLastTick(date.specifyDate);
            m_boundsValid = true;
        }
        ok = m_lower <= t.toU64() && t.toU64() <= m_upper;
    } else {
        // The date test reads the time its kind selects; this column holds that time.
        ok = Rule_Compare::compareDate(t, t, t, rule.date, m_nowTicks);
    }
    m_matchCache = ok;
    return ok;
}

// ---- size -----------------------------------------------------------------------------

bool SF_SizeSaver::isNeeded(const IndexIncludeFolder&, const GroupList&, const Search_Rule& rule) const {
    return rule.bLargerOn || rule.bSmallerOn;
}

bool SF_SizeSaver::fillItem(uint32_t entry, Data_FileItem& item) const {
    uint64_t size;
    if (!readSize(entry, size))
        return false;
    item.m_nSize = static_cast<int64_t>(size);
    return true;
}

bool SF_SizeSaver::writeItem(const Data_FileItem& item) { return m_writer.writeU64(static_cast<uint64_t>(item.m_nSize)); }

bool SF_SizeSaver::writeFound(const SF_FileFind& found) { return m_writer.writeU64(found.getLength()); }

bool SF_SizeSaver::matches(uint32_t entry, const FileNameGroup&, const Search_Rule& rule, const IndexIncludeFolder&) {
    if (m_matchCache)
        return true;
    uint64_t size;
    if (!readSize(entry, size))
        return false;
    const bool ok = Rule_Compare::compareSize(static_cast<int64_t>(size), rule);
    m_matchCache = ok;
    return ok;
}

// ---- attributes -------------------------------------------------------------------------

bool SF_AttributeSaver::isNeeded(const IndexIncludeFolder&, const GroupList&, const Search_Rule& rule) const {
    return rule.iTargetOption != 2;
}

bool SF_AttributeSaver::fillItem(uint32_t entry, Data_FileItem& item) const {
    uint32_t attributes;
    if (!readRecord(entry, attributes))
        return false;
    item.m_dwAttributes = attributes;
    return true;
}

bool SF_AttributeSaver::writeItem(const Data_FileItem& item) { return m_writer.writeU32(item.m_dwAttributes); }

bool SF_AttributeSaver::writeFound(const SF_FileFind& found) { return m_writer.writeU32(found.getAttributes()); }

bool SF_AttributeSaver::matches(uint32_t entry, const FileNameGroup&, const Search_Rule& rule,
                                const IndexIncludeFolder&) {
    if (m_matchCache)
        return true;
    uint32_t attributes;
    if (!readRecord(entry, attributes))
        return false;
    const bool isFolder = (attributes & Data_FileItem::ATTR_DIRECTORY) != 0;
    const bool ok = rule.iTargetOption == 0 ? !isFolder : rule.iTargetOption == 1 ? isFolder : true;
    m_matchCache = ok;
    return ok;
}
