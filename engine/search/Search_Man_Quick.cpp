// Search_Man: the quick search, answered from the index caches where they cover the
// search folders, and the upkeep of the cache searchers.
#include <mutex>

#include "index/FolderIncludeIndex.h"
#include "index/IndexIncludeFolder.h"
#include "index/SF_Man.h"
#include "index/SF_SaverSet.h"
#include "index/Search_CachePathSearcher.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"

namespace {
// Index roots are keyed by their one normal form, however a caller spells them.
std::string rootKey(const std::string& path) { return Tool_Resource::normalizePath(path); }
}  // namespace

void Search_Man::addIndexedFilePathName(const std::string& root) { m_indexFiles.push_back(rootKey(root)); }

void Search_Man::addIndexedFilePathName(const std::vector<std::string>& roots) {
    for (const std::string& root : roots)
        addIndexedFilePathName(root);
}

bool Search_Man::initSearcher(const std::vector<std::string>& roots) {
    for (const std::string& root : roots) {
        auto searcher = std::make_unique<Search_CachePathSearcher>();
        if (searcher->initSearcher(rootKey(root)))
            m_searchers.push_back(std::move(searcher));
    }
    return true;
}

void Search_Man::uninitSearcher() { m_searchers.clear(); }

Search_CachePathSearcher* Search_Man::findSearcher(const std::string& root) const {
    const std::string wanted = rootKey(root);
    for (const auto& searcher : m_searchers)
        if (searcher->getIndexPath() == wanted)
            return searcher.get();
    return nullptr;
}

void Search_Man::refreshNewIndexCacheFile(const std::vector<std::string>& roots) {
    // Under the commit lock: an indexer running meanwhile cannot commit a root while it is
    // made live, and the flag it sets for a later commit is not cleared here unseen.
    std::lock_guard<std::mutex> lock(SF_Man::s_renameCS);
    for (const std::string& root : roots)
        SF_SaverSet::makeLive(rootKey(root));
    SF_Man::s_bNewIndexCache = false;
}

void Search_Man::deleteIndexCacheFiles(const std::vector<std::string>& roots) {
    for (const std::string& root : roots)
        SF_SaverSet::deleteLive(rootKey(root));
}

bool Search_Man::addToIIF(const std::string& folder, std::vector<IndexIncludeFolder>& iif) const {
    for (const std::string& root : m_indexFiles) {
        if (!Tool_Resource::isPathIncludePath(root, folder))
            continue;
        for (auto& x : iif) {
            if (x.indexPath == root) {
                x.folders.push_back(folder);
                return true;
            }
        }
        iif.push_back(IndexIncludeFolder{root, {folder}});
        return true;
    }
    return false;
}

bool Search_Man::addToFII(const std::string& folder, std::vector<FolderIncludeIndex>& fii) const {
    bool found = false;
    for (const std::string& root : m_indexFiles) {
        if (!Tool_Resource::isPathIncludePath(folder, root))
            continue;
        FolderIncludeIndex* y = nullptr;
        for (auto& candidate : fii)
            if (candidate.folder == folder)
                y = &candidate;
        if (!y) {
            fii.push_back(FolderIncludeIndex{folder, {}});
            y = &fii.back();
        }
        y->indexPaths.push_back(root);
        found = true;
    }
    return found;
}

void Search_Man::reGroupRelationOfFolderAndCache(const std::vector<std::string>& folders,
                                                 std::vector<IndexIncludeFolder>& iif,
                                                 std::vector<FolderIncludeIndex>& fii,
                                                 std::vector<std::string>& rest) const {
    for (const std::string& folder : folders) {
        if (addToIIF(folder, iif))
            continue;
        if (addToFII(folder, fii))
            continue;
        rest.push_back(folder);
    }
}

void Search_Man::doSearch(const IndexIncludeFolder& x, const Groups& groups, const Search_Rule& rule,
                          ISearchResultReciever* receiver) {
    Search_CachePathSearcher* searcher = findSearcher(x.indexPath);
    if (!searcher) {
        if (rule.bAutoNormalSearch)
            searchNormalWay(groups, rule, x.folders, receiver);
        return;
    }
    searcher->setContentTest([this](Data_FileItem& item, const Search_Rule& r, ISearchResultReciever* to) {
        return isContainText(item, r, to);
    });
    searcher->chooseCompareItems(x, groups, rule);
    searcher->search(groups, rule, x, receiver, m_run);
}

void Search_Man::doSearch(const FolderIncludeIndex& y, const Groups& groups, const Search_Rule& rule,
                          ISearchResultReciever* receiver) {
    for (const std::string& root : y.indexPaths) {
        if (m_run.stopped())
            return;
        doSearch(IndexIncludeFolder{root, {root}}, groups, rule, receiver);
    }
    if (rule.bAutoNormalSearch && !m_run.stopped())
        searchInFolder(groups, rule, y.folder, receiver, y.indexPaths);
}

void Search_Man::searchQuick(const Groups& groups, const Search_Rule& rule, ISearchResultReciever* receiver) {
    std::vector<IndexIncludeFolder> iif;
    std::vector<FolderIncludeIndex> fii;
    std::vector<std::string> rest;
    reGroupRelationOfFolderAndCache(rule.folders, iif, fii, rest);
    {
        // The indexer cannot commit a new cache while the caches are being read.
        std::lock_guard<std::mutex> lock(SF_Man::s_renameCS);
        for (const auto& x : iif) {
            if (m_run.stopped())
                break;
            doSearch(x, groups, rule, receiver);
        }
        for (const auto& y : fii) {
            if (m_run.stopped())
                break;
            doSearch(y, groups, rule, receiver);
        }
    }
    searchNormalWay(groups, rule, rest, receiver);
}
