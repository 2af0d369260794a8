// Feeds arbitrary bytes to the index cache readers: the input is cut into the thirteen
// column files of one root, which a cache searcher then opens, scans and reads back.
// Nothing may read past a mapping, whatever the offsets and length bytes say.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "index/Search_CachePathSearcher.h"
#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"
#include "records/ISearchResultReciever.h"
#include "records/SearchRun.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"

namespace {
struct Sink : ISearchResultReciever {
    void addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher) override {
        Data_FileItem item;
        searcher->readFileInfo(position, item);
    }
    void addResult(const Search_Rule&, std::unique_ptr<Data_FileItem>, bool) override {}
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>&) override {}
    void searchFinished(uint32_t, const Search_Rule&) override {}
    void showMessage(std::unique_ptr<std::string>) override {}
};

const std::string& cacheFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/fuzz-index-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* tags[] = {"fa", "idfa", "fn", "idfn", "fe", "idfe", "fp", "idfp", "fs", "ct", "mt", "at", "ft"};
    Tool_Resource::setIndexCachePath(cacheFolder());
    const std::string root = "/fuzz";
    // The first 13 bytes give each file's share of the rest (in 4-byte units).
    size_t at = size < 13 ? size : 13;
    for (int i = 0; i < 13; ++i) {
        size_t want = i < static_cast<int>(at) ? data[i] * 4u : 0;
        if (want > size - at)
            want = size - at;
        std::ofstream out(cacheFolder() + "/" + tags[i] + Tool_Resource::convertToIndexFileName(root, 1),
                          std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + at), static_cast<std::streamsize>(want));
        at += want;
    }
    Search_CachePathSearcher searcher;
    if (!searcher.initSearcher(root))
        return 0;
    Search_Rule rule;
    rule.names = {"*a*"};
    rule.folders = {root};
    rule.bMatchPath = true;
    rule.iTargetOption = 0;
    rule.bLargerOn = true;
    rule.date.bAny = false;
    rule.date.bWithin = true;
    rule.date.nPrevious = 100000;
    Search_Man::Groups groups;
    Search_Man::divideGroupString(groups, rule);
    IndexIncludeFolder x{root, {root + "/sub"}};
    searcher.chooseCompareItems(x, groups, rule);
    Sink sink;
    SearchRun run;   // never stopped; "within" measured from the clock
    run.nowTicks = FileTimeConvert::now().toU64();
    searcher.search(groups, rule, x, &sink, run);
    Data_FileItem item;
    for (uint32_t i = 0; i < 64; ++i)
        searcher.readFileInfo(i, item);
    return 0;
}
