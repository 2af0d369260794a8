#pragma once
// Common part of the three time columns ("ct", "at", "mt"): one u64 local FILETIME per
// entry (low half first). Times are already local when they reach the writer (the
// enumerator and the archive reader convert them), so they are stored unchanged.
#include "index/SF_SingleSaver.h"
#include <ctime>

#include "platform/FILETIME.h"

class SF_TimeSaver : public SF_SingleSaver {
public:
    enum class Kind { LastWrite = 0, Creation = 1, LastAccess = 2 };
    explicit SF_TimeSaver(Kind kind) : m_kind(kind) {}

    bool isNeeded(const IndexIncludeFolder& x, const GroupList& groups, const Search_Rule& rule) const override;
    bool fillItem(uint32_t entry, Data_FileItem& item) const override;
    bool writeItem(const Data_FileItem& item) override;
    bool writeFound(const SF_FileFind& found) override;
    bool matches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule,
                 const IndexIncludeFolder& x) override;
    void setSearchTime(uint64_t nowTicks) override { m_nowTicks = nowTicks; }
    uint32_t recordWidth() const override { return 8; }
    // The stored time of entry i; false past the end.
    bool readTime(uint32_t entry, FILETIME& out) const;

private:
    Kind m_kind;
    // The "between" bounds as local ticks, converted on first use per pair of bounds.
    bool m_boundsValid = false;
    std::time_t m_boundsFrom = 0, m_boundsTo = 0;
    uint64_t m_lower = 0, m_upper = 0;
    uint64_t m_nowTicks = 0;
};
