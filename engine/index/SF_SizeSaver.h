#pragma once
// The "fs" column: u64 size of every entry; for a folder the total size of all files
// below it at any depth (excluded ones included).
#include "index/SF_SingleSaver.h"

class SF_SizeSaver : public SF_SingleSaver {
public:
    bool isNeeded(const IndexIncludeFolder& x, const GroupList& groups, const Search_Rule& rule) const override;
    bool fillItem(uint32_t entry, Data_FileItem& item) const override;
    bool writeItem(const Data_FileItem& item) override;
    bool writeFound(const SF_FileFind& found) override;
    bool matches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule,
                 const IndexIncludeFolder& x) override;
    const char* tag() const override { return "fs"; }
    uint32_t recordWidth() const override { return 8; }
    bool readSize(uint32_t entry, uint64_t& out) const { return readU64At(uint64_t(entry) * 8, out); }
};
