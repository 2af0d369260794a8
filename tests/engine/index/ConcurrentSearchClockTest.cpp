// Fault: the instant that "within the last ..." date tests count back from was one static
// shared by every search, so a search starting on one thread moved the window of a search
// running on another (and the two raced on it). Each search now has its own "now", in the
// disk walk and in the index scan alike. `./dev.sh test --tsan` runs this under
// ThreadSanitizer.
#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "IndexTestSupport.h"
#include "platform/FileTimeConvert.h"
#include "support/TempDir.h"

using namespace IndexTest;

namespace {

constexpr std::time_t kDay = 86'400;
constexpr std::time_t kFirstNow = 1'700'000'000;          // November 2023
constexpr std::time_t kSecondNow = kFirstNow + 30 * kDay;   // a month later
constexpr int kRounds = 25;

class ConcurrentSearchClocks : public ::testing::Test {
protected:
    void SetUp() override {
        Tool_Resource::setIndexCachePath(cache.path());
        Search_Man::s_hStopSearchEvent.reset();
        oldFile = tree.write("old.txt", "1");
        newFile = tree.write("new.txt", "1");
        setModified(oldFile, kFirstNow - 3'600);    // an hour before the first now
        setModified(newFile, kSecondNow - 3'600);   // an hour before the second now
    }

    static void setModified(const std::string& path, std::time_t seconds) {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
    }

    // "*.txt" modified within the last day, measured from `now`.
    std::set<std::string> searchAt(std::time_t now, bool quick) const {
        Search_Rule rule;
        rule.names = {"*.txt"};
        rule.folders = {tree.path()};
        rule.bQuickSearch = quick;
        rule.bAutoNormalSearch = !quick;   // a quick search answers from the cache only
        rule.date.bAny = false;
        rule.date.bWithin = true;
        rule.date.nPrevious = 1;
        rule.date.nUnit = 0;
        Search_Man man;
        man.setNow(FileTimeConvert::fromTimeT(now).toU64());
        if (quick) {
            man.addIndexedFilePathName(tree.path());
            man.initSearcher({tree.path()});
        }
        PathCollector collector;
        man.search(rule, &collector);
        return collector.unique();
    }

    void searchTogether(bool quick) {
        std::vector<std::set<std::string>> first(kRounds), second(kRounds);
        std::thread a([&] {
            for (auto& result : first)
                result = searchAt(kFirstNow, quick);
        });
        std::thread b([&] {
            for (auto& result : second)
                result = searchAt(kSecondNow, quick);
        });
        a.join();
        b.join();
        for (int i = 0; i < kRounds; ++i) {
            EXPECT_EQ(first[i], std::set<std::string>{oldFile}) << "round " << i;
            EXPECT_EQ(second[i], std::set<std::string>{newFile}) << "round " << i;
        }
    }

    TempDir cache, tree;
    std::string oldFile, newFile;
};

TEST_F(ConcurrentSearchClocks, DiskWalksOnTwoThreadsEachUseTheirOwnNow) { searchTogether(false); }

TEST_F(ConcurrentSearchClocks, IndexScansOnTwoThreadsEachUseTheirOwnNow) {
    indexRoots({tree.path()});
    ASSERT_EQ(cachedPaths(tree.path()).size(), 2u);
    searchTogether(true);
}

}  // namespace
