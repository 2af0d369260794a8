#pragma once
// The "ft" column: u32 attribute bits of every entry (0x10 tells folders from files).
#include "index/SF_SingleSaver.h"

class SF_AttributeSaver : public SF_SingleSaver {
public:
    bool isNeeded(const IndexIncludeFolder& x, const GroupList& groups, const Search_Rule& rule) const override;
    bool fillItem(uint32_t entry, Data_FileItem& item) const override;
    bool writeItem(const Data_FileItem& item) override;
    bool writeFound(const SF_FileFind& found) override;
    bool matches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule,
                 const IndexIncludeFolder& x) override;
    const char* tag() const override { return "ft"; }
    uint32_t recordWidth() const override { return 4; }
};
