#pragma once
// What an indexing run leaves out.
//
// A folder is excluded when it is an excluded folder or lies below one, compared by whole
// path components and case-sensitively: excluding /data/Temp excludes /data/Temp/x but
// not /data/Temp2. A type (extension) is excluded when it equals an excluded type, ASCII
// letters compared without case.
#include <string>
#include <string_view>
#include <vector>

struct SF_ExcludeInfo {
    std::vector<std::string> excludedFolders;   // without trailing '/' ("/" stays "/")
    std::vector<std::string> excludedTypes;     // as given
    bool bIndexArchives = false;                // also record the members of archives

    bool isExcludedFolder(std::string_view path) const;
    bool isExcludedType(std::string_view extension) const;
};
