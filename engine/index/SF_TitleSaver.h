#pragma once
// The "fn" column: the title of every entry (name up to its last dot), one record each.
#include "index/SF_DataSaver.h"

class SF_TitleSaver : public SF_DataSaver {
public:
    SF_TitleSaver() : SF_DataSaver("idfn") {}

    bool isNeeded(const IndexIncludeFolder& x, const GroupList& groups, const Search_Rule& rule) const override;
    bool fillItem(uint32_t entry, Data_FileItem& item) const override;
    bool writeItem(const Data_FileItem& item) override;
    bool writeFound(const SF_FileFind& found) override;
    // The group's title terms accept the stored title (evaluated for every group).
    bool matches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule,
                 const IndexIncludeFolder& x) override;
    const char* tag() const override { return "fn"; }
    // The column of the same cache that holds the entries' extensions: a group whose extension
    // pattern has dots tests a name divided anew (FileNameSplit), which needs both parts.
    // Not owned; null: names are tested as stored.
    void setNamePartner(const SF_DataSaver* column) { m_namePartner = column; }

private:
    const SF_DataSaver* m_namePartner = nullptr;
    std::string m_nameScratch;
};
