#pragma once
// The "fp" column: the folder that holds every entry, without a trailing '/' ("" for an
// entry of "/"); for an archive member the folder that holds the archive. Consecutive
// entries of the same folder (byte-equal: paths are case-sensitive) share one record.
//
// Its test: the entry's folder lies under one of the search folders, compared by whole
// path components (the folder /data/Temp does not take in /data/Temp2); without
// subfolders it must be that folder itself. With path matching on, it also tells whether
// the group's path patterns accept the folder relative to that search folder.
#include "index/SF_DataSaver.h"

class SF_FolderSaver : public SF_DataSaver {
public:
    SF_FolderSaver() : SF_DataSaver("idfp") {}

    bool isNeeded(const IndexIncludeFolder& x, const GroupList& groups, const Search_Rule& rule) const override;
    bool openRead(const std::string& root) override;
    bool fillItem(uint32_t entry, Data_FileItem& item) const override;
    bool writeItem(const Data_FileItem& item) override;
    bool writeFound(const SF_FileFind& found) override;
    bool matches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule,
                 const IndexIncludeFolder& x) override;
    const char* tag() const override { return "fp"; }

    // Whether the group's path patterns accept the entry's folder relative to the search
    // folder it lies in. Valid after matches() succeeded for the same entry; computed for
    // the group asked (a later group is not judged by an earlier group's patterns).
    bool relativePathMatches(uint32_t entry, const FileNameGroup& group, const IndexIncludeFolder& x);
    // Forgets what was worked out for the previous search (folders, rule).
    void beginSearch() { m_loadedEntry = m_loadedOffset = UINT32_MAX; m_searchFolderLength = -2; }

private:
    // Search folder of x that holds the folder `folder` (with its trailing '/'); its
    // length without a trailing '/', or -1 when none.
    long findSearchFolder(std::string_view folderWithSlash, const Search_Rule& rule, const IndexIncludeFolder& x);
    bool loadFolder(uint32_t entry);

    uint32_t m_loadedEntry = UINT32_MAX;   // entry whose folder m_folder holds
    uint32_t m_loadedOffset = UINT32_MAX;
    std::string m_folder;                  // stored folder + '/'
    long m_searchFolderLength = -2;        // -2 unknown, -1 none, else search-folder length
};
