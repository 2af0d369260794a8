#pragma once
// Helpers for the index tests: a cache folder in a temporary folder, and caches written
// straight from items.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "index/IndexGeneration.h"
#include "index/SF_SaverSet.h"
#include "records/Data_FileItem.h"
#include "tools/Tool_Resource.h"

namespace IndexTest {

inline Data_FileItem item(const std::string& folder, const std::string& name, int64_t size = 0, uint32_t attrs = 0) {
    Data_FileItem it;
    it.m_strPath = folder;
    it.setFileName(name);
    it.m_nSize = size;
    it.m_dwAttributes = attrs;
    it.m_ftCreation = FILETIME::fromU64(130000000000000000ull);
    it.m_ftLastWrite = FILETIME::fromU64(131000000000000000ull);
    it.m_ftLastAccess = FILETIME::fromU64(132000000000000000ull);
    return it;
}

inline Data_FileItem member(const std::string& folder, const std::string& archive, int index,
                            const std::string& inner, const std::string& name) {
    Data_FileItem it = item(folder, name, 10);
    it.m_bInArchive = 1;
    it.m_nArchiveIndex = index;
    it.m_strArchiveName = archive;
    it.m_strInnerPath = inner;
    return it;
}

// Writes the items as the pending cache of `root`, then makes it live.
inline bool writeLiveCache(const std::string& root, const std::vector<Data_FileItem>& items) {
    SF_SaverSet set;
    if (!set.openWrite(root))
        return false;
    bool ok = true;
    for (const auto& it : items)
        ok = set.writeItem(it) && ok;
    ok = set.closeWrite() && ok;
    return ok && set.commit(root) && SF_SaverSet::makeLive(root);
}

inline std::string columnFile(const std::string& tag, const std::string& root, int stage = 1) {
    return Tool_Resource::getIndexCachePath() + tag + Tool_Resource::convertToIndexFileName(root, stage);
}

// Rewrites the live generation record of `root` so that it names the live columns as
// they are now: a damaged column that the record vouches for, as a faulty writer would
// leave it, reaches the reader's own checks.
inline bool resealLiveRecord(const std::string& root) {
    IndexGeneration old;
    if (!old.read(root, Tool_Resource::INDEX_STAGE_LIVE))
        return false;
    IndexGeneration g = IndexGeneration::fresh(old.entries());
    for (const auto& c : old.columns()) {
        const std::string path =
            Tool_Resource::getIndexCachePath() + c.tag + Tool_Resource::convertToIndexFileName(root, 1);
        uint32_t crc;
        struct stat st{};
        if (!Tool_Resource::checkFileCRC32(path, crc) || ::stat(path.c_str(), &st) != 0 ||
            !g.addColumn(c.tag, path, crc, static_cast<uint64_t>(st.st_size)))
            return false;
    }
    return g.write(root, Tool_Resource::INDEX_STAGE_LIVE);
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string u32(uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

}  // namespace IndexTest

#include <set>

#include "index/IIndexResultReceiver.h"
#include "index/SF_Man.h"
#include "index/Search_CachePathSearcher.h"
#include "records/ISearchResultReciever.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"

namespace IndexTest {

struct FinishCounter : IIndexResultReceiver {
    int finished = 0;
    void showIndexMessage(std::unique_ptr<std::string>) override {}
    void indexFinished() override { ++finished; }
};

// Indexes the roots (pending caches) and makes them live.
inline void indexRoots(const std::vector<std::string>& roots, const std::vector<std::string>& excludedFolders = {},
                       const std::vector<std::string>& excludedTypes = {}, bool archives = false) {
    SF_Man man;
    man.init();
    man.addPath(roots);
    man.setExcludeListInfo(excludedFolders, excludedTypes, archives);
    man.setIndexThreadPriority(10);
    SF_Man::s_hCancelEvent.reset();
    FinishCounter receiver;
    man.startIndex(&receiver);
    man.reset();
    for (const auto& r : roots)
        SF_SaverSet::makeLive(r);
}

// Collects full paths of what a search reports; index hits are read back at once. Counts
// how often each path came, to catch double reports.
struct PathCollector : ISearchResultReciever {
    std::multiset<std::string> paths;
    int unreadable = 0;
    void addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher) override {
        Data_FileItem it;
        if (!searcher->readFileInfo(position, it)) {
            ++unreadable;
            return;
        }
        paths.insert(it.getFullFileName());
    }
    void addResult(const Search_Rule&, std::unique_ptr<Data_FileItem> item, bool) override {
        paths.insert(item->getFullFileName());
    }
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>&) override {}
    void searchFinished(uint32_t, const Search_Rule&) override {}
    void showMessage(std::unique_ptr<std::string>) override {}
    bool wantsMessages() const override { return false; }
    std::set<std::string> unique() const { return {paths.begin(), paths.end()}; }
};

// Every entry of a root's live cache as full paths.
inline std::set<std::string> cachedPaths(const std::string& root) {
    Search_CachePathSearcher s;
    std::set<std::string> out;
    if (!s.initSearcher(root))
        return out;
    for (uint32_t i = 0;; ++i) {
        Data_FileItem it;
        if (!s.readFileInfo(i, it))
            break;
        out.insert(it.getFullFileName());
    }
    return out;
}

}  // namespace IndexTest
