// Fault: every search and every indexing run listened to one process-wide stop event, so
// stopping one search on one thread also stopped a search running on another. A search
// (Search_Man::setStopEvent) and an indexing run (SF_Man::setCancelEvent) can now be given
// their own event: only it stops them, in the disk walk, the content scanners, the index
// scan and the search in results alike. `./dev.sh test --tsan` runs this under
// ThreadSanitizer.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "IndexTestSupport.h"
#include "index/IndexCacheCatalog.h"
#include "platform/Event.h"
#include "records/ContainTextItem.h"
#include "support/TempDir.h"

using namespace IndexTest;

namespace {

constexpr int kFiles = 400;

// Counts results; sets `stopAfterFirst` (when given) at the first one.
struct CountingReceiver : ISearchResultReciever {
    Event* stopAfterFirst = nullptr;
    int results = 0;
    int finished = 0;
    void found() {
        if (++results == 1 && stopAfterFirst)
            stopAfterFirst->set();
    }
    void addIndexedResult(uint32_t, Search_CachePathSearcher*) override { found(); }
    void addResult(const Search_Rule&, std::unique_ptr<Data_FileItem>, bool) override { found(); }
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>&) override {}
    void searchFinished(uint32_t, const Search_Rule&) override { ++finished; }
    void showMessage(std::unique_ptr<std::string>) override {}
    bool wantsMessages() const override { return false; }
};

enum class Mode { WalkNames, WalkContent, QuickContent, InResultsContent };

struct StopCase {
    const char* name;
    Mode mode;
};

class ConcurrentSearchStops : public ::testing::TestWithParam<StopCase> {
protected:
    void SetUp() override {
        Tool_Resource::setIndexCachePath(cache.path());
        SF_Man::s_hCancelEvent.reset();
        for (int i = 0; i < kFiles; ++i)
            tree.write("f" + std::to_string(i) + ".txt", "a needle " + std::to_string(i));
    }
    void TearDown() override { Search_Man::s_hStopSearchEvent.reset(); }

    void fillRule(Search_Rule& r, Mode mode) const {
        r.names = {"*.txt"};
        r.iTargetOption = 0;   // files
        if (mode == Mode::InResultsContent) {
            for (int i = 0; i < kFiles; ++i)
                r.previousResults.push_back(
                    std::make_unique<Data_FileItem>(item(tree.path() + "/", "f" + std::to_string(i) + ".txt")));
        } else {
            r.folders = {tree.path()};
        }
        r.bQuickSearch = mode == Mode::QuickContent;
        r.bAutoNormalSearch = mode != Mode::QuickContent;
        if (mode != Mode::WalkNames) {
            auto term = std::make_unique<ContainTextItem>();
            term->pattern = "needle";
            term->patternLength = static_cast<int32_t>(term->pattern.size());
            r.containText.push_back(std::move(term));
        }
    }

    // One search with its own stop event; `stopAfterFirst` makes it stop itself.
    CountingReceiver searchWith(Event& stop, bool stopAfterFirst) const {
        const Mode mode = GetParam().mode;
        Search_Rule r;
        fillRule(r, mode);
        Search_Man man;
        man.setStopEvent(&stop);
        man.setScannerThreads(2);
        if (mode == Mode::QuickContent) {
            man.addIndexedFilePathName(tree.path());
            man.initSearcher({tree.path()});
        }
        CountingReceiver receiver;
        receiver.stopAfterFirst = stopAfterFirst ? &stop : nullptr;
        man.search(r, &receiver);
        return receiver;
    }

    TempDir cache, tree;
};

TEST_P(ConcurrentSearchStops, EachSearchStopsOnlyOnItsOwnEvent) {
    if (GetParam().mode == Mode::QuickContent) {
        indexRoots({tree.path()});
        ASSERT_EQ(cachedPaths(tree.path()).size(), static_cast<size_t>(kFiles));
    }
    // The shared event is set throughout: searches with events of their own ignore it.
    Search_Man::s_hStopSearchEvent.set();
    for (int round = 0; round < 5; ++round) {
        Event stopsItself, runsOn;
        CountingReceiver stopped, whole;
        std::thread a([&] { stopped = searchWith(stopsItself, true); });
        std::thread b([&] { whole = searchWith(runsOn, false); });
        a.join();
        b.join();
        EXPECT_EQ(whole.results, kFiles) << "round " << round;
        EXPECT_GE(stopped.results, 1) << "round " << round;
        EXPECT_LT(stopped.results, kFiles) << "round " << round;
        EXPECT_EQ(stopped.finished, 1);
        EXPECT_EQ(whole.finished, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ConcurrentSearchStops,
                         ::testing::Values(StopCase{"WalkNames", Mode::WalkNames},
                                           StopCase{"WalkContent", Mode::WalkContent},
                                           StopCase{"QuickContent", Mode::QuickContent},
                                           StopCase{"InResultsContent", Mode::InResultsContent}),
                         [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

// The same for indexing: a run with its own cancel event is stopped by it alone.
TEST(ConcurrentIndexCancel, EachRunStopsOnlyOnItsOwnEvent) {
    TempDir cache, cancelledRoot, finishedRoot;
    Tool_Resource::setIndexCachePath(cache.path());
    cancelledRoot.write("a.txt", "1");
    finishedRoot.write("b.txt", "1");
    SF_Man::s_hCancelEvent.set();   // shared: ignored by both runs below
    Event cancelled, running;
    cancelled.set();
    auto run = [](const std::string& root, const Event& cancel, FinishCounter& receiver) {
        SF_Man man;
        man.addPath({root});
        man.setIndexThreadPriority(10);
        man.setCancelEvent(&cancel);
        man.startIndex(&receiver);
    };
    FinishCounter cancelledReceiver, finishedReceiver;
    std::thread a([&] { run(cancelledRoot.path(), cancelled, cancelledReceiver); });
    std::thread b([&] { run(finishedRoot.path(), running, finishedReceiver); });
    a.join();
    b.join();
    SF_Man::s_hCancelEvent.reset();
    EXPECT_EQ(cancelledReceiver.finished, 0);
    EXPECT_EQ(finishedReceiver.finished, 1);
    EXPECT_EQ(IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_PENDING),
              std::vector<std::string>{finishedRoot.path()});
}

}  // namespace
