#pragma once
// One index cache that serves part of a quick search: an indexed root and the search
// folders that lie within it (or the root itself).
#include <string>
#include <vector>

struct IndexIncludeFolder {
    std::string indexPath;
    std::vector<std::string> folders;
};
