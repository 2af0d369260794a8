#pragma once
// The "fe" column: the extension of every entry, without the dot, possibly empty. An
// entry whose extension is byte-equal to the previous entry's points at that record.
// (Sharing is exact, not case-folded: a.txt after b.TXT must read back as a.txt.)
#include "index/SF_DataSaver.h"

class SF_ExtSaver : public SF_DataSaver {
public:
    SF_ExtSaver() : SF_DataSaver("idfe") {}

    bool isNeeded(const IndexIncludeFolder& x, const GroupList& groups, const Search_Rule& rule) const override;
    bool fillItem(uint32_t entry, Data_FileItem& item) const override;
    bool writeItem(const Data_FileItem& item) override;
    bool writeFound(const SF_FileFind& found) override;
    // The group's extension pattern matches the stored extension (evaluated per group).
    bool matches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule,
                 const IndexIncludeFolder& x) override;
    const char* tag() const override { return "fe"; }
    // The column of the same cache that holds the entries' titles: a group whose extension
    // pattern has dots tests a name divided anew (FileNameSplit), which needs both parts.
    // Not owned; null: names are tested as stored.
    void setNamePartner(const SF_DataSaver* column) { m_namePartner = column; }

private:
    const SF_DataSaver* m_namePartner = nullptr;
    std::string m_nameScratch;
};
