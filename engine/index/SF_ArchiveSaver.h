#pragma once
// The "fa" column: for an archive member a record of u32 flag 1, u32 member index, the
// archive's file name and the member's folder inside the archive; every run of
// consecutive plain entries shares one 4-byte record holding 0.
#include "index/SF_DataSaver.h"

class SF_ArchiveSaver : public SF_DataSaver {
public:
    SF_ArchiveSaver() : SF_DataSaver("idfa") {}

    bool isNeeded(const IndexIncludeFolder& x, const GroupList& groups, const Search_Rule& rule) const override;
    bool openRead(const std::string& root) override;
    bool fillItem(uint32_t entry, Data_FileItem& item) const override;
    bool openWrite(const std::string& root) override;
    bool writeItem(const Data_FileItem& item) override;
    bool writeFound(const SF_FileFind& found) override;
    // The entry is not an archive member.
    bool matches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule,
                 const IndexIncludeFolder& x) override;
    const char* tag() const override { return "fa"; }

    // The member flag of entry i; false when its record cannot be read.
    bool readFlag(uint32_t entry, uint32_t& flag) const;

private:
    bool writePlain();
    bool m_lastWasZero = false;   // the last record written is a zero record
    // Reader's memory of the last record read, so that runs of plain entries sharing one
    // zero record do not touch the mapping again.
    mutable uint32_t m_lastReadOffset = UINT32_MAX;
    mutable uint32_t m_lastReadFlag = 0;
};
