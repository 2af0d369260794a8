#pragma once
// What a run hands the indexer (SF_Man::addPath / setExcludeListInfo), built from the
// settings when the run starts: the excluded folders (the user's, in list order, then each
// preset whose flag is set, in the order cookies, history, Internet cache, temporary,
// cache folder, system, when its folder exists), the excluded types (the user's) and
// whether archives are looked into ("ppdebIndexCompressed" nonzero). Folders are passed in
// stored form (no trailing '/'). Pure function of its inputs plus the existence of folders.
#include <string>
#include <vector>

struct ExcludeList;
struct ExcludePresetFolders;

struct IndexerArguments {
    std::vector<std::string> folders;
    std::vector<std::string> types;
    bool archives = true;

    static IndexerArguments build(const ExcludeList& exclude, const ExcludePresetFolders& presets);
};
