#pragma once
// One search folder of a quick search that contains indexed roots: the folder and the
// indexed roots that lie within it.
#include <string>
#include <vector>

struct FolderIncludeIndex {
    std::string folder;
    std::vector<std::string> indexPaths;
};
