// Whole searches over real trees: the walk, the order of the tests, stop requests, odd
// names and folders that cannot be read or vanish while the walk runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "RecordingReceiver.h"
#include "records/ContainTextItem.h"
#include "content/ContentTermBuilder.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"
#include "tools/Tool_Resource.h"

namespace {

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

class SearchWalk : public ::testing::Test {
protected:
    void SetUp() override { Search_Man::s_hStopSearchEvent.reset(); }
    void TearDown() override { Search_Man::s_hStopSearchEvent.reset(); }

    // A rule over one folder with a name line as a person types it.
    static std::unique_ptr<Search_Rule> rule(const std::string& folder, const std::string& nameLine = "") {
        auto r = std::make_unique<Search_Rule>();
        NameLinePreparer::prepare(nameLine, false, *r);
        r->folders.push_back(folder);
        return r;
    }
    static void addText(Search_Rule& r, const std::string& text) {
        ContentTermRequest request;
        request.text = text;
        ASSERT_TRUE(ContentTermBuilder::addTerms(r.containText, request).ok);
    }
    std::vector<std::string> run(const Search_Rule& r) {
        Search_Man searcher;
        receiver = RecordingReceiver();
        searcher.search(r, &receiver);
        EXPECT_EQ(receiver.finishedCalls, 1);
        return receiver.paths();
    }

    TempDir tmp;
    RecordingReceiver receiver;
};

TEST_F(SearchWalk, FindsFilesAndFoldersBreadthFirst) {
    tmp.write("a.txt", "x");
    tmp.write("sub/b.txt", "x");
    tmp.write("sub/deeper/c.txt", "x");
    tmp.write("z.txt", "x");
    const auto paths = run(*rule(tmp.path()));
    const std::string root = tmp.path() + "/";
    EXPECT_EQ(sorted(paths), sorted({root + "a.txt", root + "sub", root + "z.txt", root + "sub/b.txt",
                                     root + "sub/deeper", root + "sub/deeper/c.txt"}));
    // Every entry of a level comes before any entry of the next.
    auto depth = [&](const std::string& p) { return std::count(p.begin() + root.size(), p.end(), '/'); };
    for (size_t i = 1; i < paths.size(); ++i)
        EXPECT_LE(depth(paths[i - 1]), depth(paths[i])) << paths[i - 1] << " before " << paths[i];
    for (const auto& item : receiver.items) {
        ASSERT_FALSE(item->m_strPath.empty());
        EXPECT_EQ(item->m_strPath.back(), '/');
    }
}

TEST_F(SearchWalk, TrailingSlashOnTheRootChangesNothing) {
    tmp.write("zqa/one.txt", "x");
    tmp.write("zqa/zq/two.txt", "x");
    for (const char* line : {"", "/zq", "one"}) {
        const auto without = run(*rule(tmp.path(), line));
        const auto with = run(*rule(tmp.path() + "/", line));
        const auto withTwo = run(*rule(tmp.path() + "//", line));
        EXPECT_EQ(without, with) << line;
        EXPECT_EQ(without, withTwo) << line;
        for (const auto& p : with)
            EXPECT_EQ(p.find("//"), std::string::npos) << p;
    }
}

TEST_F(SearchWalk, FileSystemRootGivesNoDoubleSlash) {
    auto r = rule("/", "\"tmp\"");
    r->bIncludeSubDir = 0;
    r->iTargetOption = 1;
    const auto paths = run(*r);
    EXPECT_EQ(paths, std::vector<std::string>{"/tmp"});
    ASSERT_EQ(receiver.items.size(), 1u);
    EXPECT_EQ(receiver.items[0]->m_strPath, "/");
}

TEST_F(SearchWalk, WithoutSubfoldersOnlyTheRootsOwnEntries) {
    tmp.write("top.txt", "x");
    tmp.write("sub/inner.txt", "x");
    auto r = rule(tmp.path());
    r->bIncludeSubDir = 0;
    EXPECT_EQ(sorted(run(*r)), sorted({tmp / "sub", tmp / "top.txt"}));
}

struct TargetCase {
    const char* name;
    int32_t target;
    std::vector<std::string> expected;
};

class SearchTarget : public SearchWalk, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(SearchTarget, FoldersMatchThroughTitleAndExtension) {
    tmp.mkdir("photos.2020");
    tmp.write("notes.2020", "x");
    tmp.write("other.txt", "x");
    auto r = rule(tmp.path(), "*.2020");
    r->iTargetOption = GetParam().target;
    std::vector<std::string> expected;
    for (const auto& e : GetParam().expected)
        expected.push_back(tmp / e);
    EXPECT_EQ(sorted(run(*r)), sorted(expected));
}

INSTANTIATE_TEST_SUITE_P(Targets, SearchTarget,
                         ::testing::Values(TargetCase{"FilesOnly", 0, {"notes.2020"}},
                                           TargetCase{"FoldersOnly", 1, {"photos.2020"}},
                                           TargetCase{"Both", 2, {"notes.2020", "photos.2020"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchWalk, SizeBoundsOfOneKilobyteAreInclusive) {
    tmp.write("k1023.bin", std::string(1023, 'a'));
    tmp.write("k1024.bin", std::string(1024, 'a'));
    tmp.write("k1025.bin", std::string(1025, 'a'));
    auto r = rule(tmp.path(), "*.bin");
    r->bLargerOn = true;
    r->fLargerSize = 1;
    r->bSmallerOn = true;
    r->fSmallerSize = 1;
    EXPECT_EQ(run(*r), std::vector<std::string>{tmp / "k1024.bin"});
    EXPECT_EQ(receiver.items[0]->m_nSize, 1024);
}

TEST_F(SearchWalk, WithinOneDayUsesTheLastWriteTime) {
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    tmp.write("recent.txt", "x");
    tmp.setTimes("recent.txt", now - 86'400 + 120);
    tmp.write("old.txt", "x");
    tmp.setTimes("old.txt", now - 86'400 - 120);
    tmp.write("future.txt", "x");
    tmp.setTimes("future.txt", now + 3'600);
    auto r = rule(tmp.path(), "*.txt");
    r->date.bAny = false;
    r->date.bWithin = true;
    r->date.nPrevious = 1;
    r->date.nUnit = 0;
    EXPECT_EQ(run(*r), std::vector<std::string>{tmp / "recent.txt"});
}

TEST_F(SearchWalk, MatchesCarrySizeTimesAndAttributesWithoutASizeOrDateTest) {
    tmp.write("data.bin", std::string(300, 'a'));
    tmp.setTimes("data.bin", 1'600'000'000);
    ::chmod((tmp / "data.bin").c_str(), 0444);
    tmp.write(".hidden", "x");
    run(*rule(tmp.path(), "data.bin"));
    ASSERT_EQ(receiver.items.size(), 1u);
    const Data_FileItem& item = *receiver.items[0];
    EXPECT_EQ(item.m_nSize, 300);
    EXPECT_NE(item.m_ftLastWrite.toU64(), 0u);
    EXPECT_EQ(item.m_dwAttributes & Data_FileItem::ATTR_READONLY, Data_FileItem::ATTR_READONLY);
    run(*rule(tmp.path(), ".hidden"));
    ASSERT_EQ(receiver.items.size(), 1u);
    EXPECT_TRUE(receiver.items[0]->isHidden());
}

TEST_F(SearchWalk, PathPatternsSeeTheFolderBelowTheRootOnly) {
    // The root's own name holds the pattern; only entries whose folder below the root
    // holds it, or whose title does, may match.
    tmp.write("zqroot/a.txt", "x");
    tmp.write("zqroot/inner/zq/b.txt", "x");
    auto r = rule(tmp / "zqroot", "/zq");
    EXPECT_TRUE(r->bMatchPath);
    const std::string root = tmp / "zqroot";
    EXPECT_EQ(sorted(run(*r)), sorted({root + "/inner/zq", root + "/inner/zq/b.txt"}));
}

TEST_F(SearchWalk, NoNameGroupMatchesNothing) {
    tmp.write("a.txt", "x");
    EXPECT_TRUE(run(*rule(tmp.path(), "+")).empty());
}

TEST_F(SearchWalk, StatusMessagesNameEachTestedEntrysFolder) {
    tmp.write("a.txt", "x");
    tmp.write("sub/b.txt", "x");
    run(*rule(tmp.path(), "nomatch"));
    ASSERT_EQ(receiver.messages.size(), 3u);   // a.txt, sub, sub/b.txt
    const std::string& prefix = Tool_Resource::loadString(2);
    EXPECT_EQ(std::count(receiver.messages.begin(), receiver.messages.end(), prefix + tmp.path() + "/"), 2);
    EXPECT_EQ(std::count(receiver.messages.begin(), receiver.messages.end(), prefix + tmp.path() + "/sub/"), 1);
}

TEST_F(SearchWalk, ContentSearchSendsPerFileMessagesOnly) {
    tmp.write("hit.txt", "a needle here");
    tmp.write("miss.txt", "nothing");
    tmp.write("sub/deep.txt", "needle");
    auto r = rule(tmp.path());
    addText(*r, "needle");
    EXPECT_EQ(sorted(run(*r)), sorted({tmp / "hit.txt", tmp / "sub/deep.txt"}));
    const std::string& prefix = Tool_Resource::loadString(2);
    // One message per file that reached the content test, none for folders.
    EXPECT_EQ(sorted(receiver.messages),
              sorted({prefix + tmp / "hit.txt", prefix + tmp / "miss.txt", prefix + tmp / "sub/deep.txt"}));
    ASSERT_EQ(receiver.items.size(), 2u);
    EXPECT_EQ(receiver.items[0]->m_vecSnippets.size(), 1u);
}

TEST_F(SearchWalk, GroupWhoseContentFailsPassesToTheNextGroup) {
    tmp.write("a.txt", "needle");
    auto r = rule(tmp.path(), "*.txt, a");
    addText(*r, "needle");
    run(*r);
    ASSERT_EQ(receiver.items.size(), 1u);   // one result, even though two groups accept the name
}

TEST_F(SearchWalk, StopRequestEndsTheWalkBetweenEntries) {
    for (int i = 0; i < 50; ++i)
        tmp.write("f" + std::to_string(i) + ".txt", "x");
    tmp.write("sub/more.txt", "x");
    receiver.afterResult = [](size_t n) {
        if (n == 5)
            Search_Man::s_hStopSearchEvent.set();
    };
    Search_Man searcher;
    auto r = rule(tmp.path(), "*.txt");
    searcher.search(*r, &receiver);
    EXPECT_EQ(receiver.items.size(), 5u);
    EXPECT_EQ(receiver.finishedCalls, 1);
}

TEST_F(SearchWalk, StopBetweenRootsSkipsTheRest) {
    tmp.write("one/a.txt", "x");
    tmp.write("two/b.txt", "x");
    auto r = rule(tmp / "one", "*.txt");
    r->folders.push_back(tmp / "two");
    receiver.afterResult = [](size_t) { Search_Man::s_hStopSearchEvent.set(); };
    Search_Man searcher;
    searcher.search(*r, &receiver);
    EXPECT_EQ(receiver.paths(), std::vector<std::string>{tmp / "one/a.txt"});
    EXPECT_EQ(receiver.finishedCalls, 1);
}

TEST_F(SearchWalk, MissingRootContributesNothingAndTheNextRootIsSearched) {
    tmp.write("b.txt", "x");
    auto r = rule(tmp / "missing", "*.txt");
    r->folders.push_back(tmp.path());
    EXPECT_EQ(run(*r), std::vector<std::string>{tmp / "b.txt"});
}

TEST_F(SearchWalk, UnreadableFolderIsSkippedAndTheWalkGoesOn) {
    tmp.write("locked/secret.txt", "x");
    tmp.write("open/visible.txt", "x");
    Unprivileged::openUp(tmp.path());
    ::chmod((tmp / "open").c_str(), 0755);
    ::chmod((tmp / "locked").c_str(), 0);
    const int outcome = Unprivileged::run([&] {
        Search_Man searcher;
        RecordingReceiver r;
        searcher.search(*rule(tmp.path(), "*.txt"), &r);
        if (r.finishedCalls != 1)
            return 1;
        return r.paths() == std::vector<std::string>{tmp / "open/visible.txt"} ? 0 : 2;
    });
    EXPECT_EQ(outcome, 0) << "1: searchFinished not called once, 2: wrong results, -1: could not run unprivileged";
}

TEST_F(SearchWalk, FolderVanishingMidWalkIsSkipped) {
    tmp.write("first.txt", "x");
    tmp.write("gone/a.txt", "x");
    tmp.write("gone/sub/b.txt", "x");
    tmp.write("kept/c.txt", "x");
    // The root's entries come first; by then "gone" waits in the queue. Remove it.
    receiver.afterResult = [&](size_t n) {
        if (n == 1)
            std::filesystem::remove_all(tmp / "gone");
    };
    Search_Man searcher;
    auto r = rule(tmp.path(), "*.txt");
    searcher.search(*r, &receiver);
    EXPECT_EQ(sorted(receiver.paths()), sorted({tmp / "first.txt", tmp / "kept/c.txt"}));
    EXPECT_EQ(receiver.finishedCalls, 1);
}

TEST_F(SearchWalk, SymbolicLinkLoopIsAnEntryNotAFolderToEnter) {
    tmp.write("dir/file.txt", "x");
    ASSERT_EQ(::symlink("..", (tmp / "dir/up").c_str()), 0);
    ASSERT_EQ(::symlink(".", (tmp / "dir/self").c_str()), 0);
    const auto paths = run(*rule(tmp.path()));
    EXPECT_EQ(sorted(paths), sorted({tmp / "dir", tmp / "dir/file.txt", tmp / "dir/self", tmp / "dir/up"}));
    for (const auto& item : receiver.items) {
        if (item->getFileName() == "up") {
            EXPECT_EQ(item->m_dwAttributes & Data_FileItem::ATTR_REPARSE_POINT, Data_FileItem::ATTR_REPARSE_POINT);
        }
    }
}

TEST_F(SearchWalk, SymbolicLinkAsRootIsFollowed) {
    tmp.write("real/a.txt", "x");
    ASSERT_EQ(::symlink((tmp / "real").c_str(), (tmp / "link").c_str()), 0);
    EXPECT_EQ(run(*rule(tmp / "link", "*.txt")), std::vector<std::string>{tmp / "link/a.txt"});
}

TEST_F(SearchWalk, FifoNamedLikeAnArchiveDoesNotBlock) {
    ASSERT_EQ(::mkfifo((tmp / "pipe.zip").c_str(), 0600), 0);
    auto r = rule(tmp.path());
    r->bSearchInCompressed = 1;
    const auto paths = run(*r);
    EXPECT_EQ(paths, std::vector<std::string>{tmp / "pipe.zip"});
    EXPECT_EQ(receiver.items[0]->m_dwAttributes & Data_FileItem::ATTR_SYSTEM, Data_FileItem::ATTR_SYSTEM);
}

struct OddName {
    const char* name;
    std::string fileName;
};

class SearchOddNames : public SearchWalk, public ::testing::WithParamInterface<OddName> {};

TEST_P(SearchOddNames, AreFoundWithTheirExactBytes) {
    const std::string& fileName = GetParam().fileName;
    tmp.write("d/" + fileName, "needle");
    auto r = rule(tmp / "d");
    EXPECT_EQ(run(*r), std::vector<std::string>{tmp / "d/" + fileName});
    auto withContent = rule(tmp / "d");
    addText(*withContent, "needle");
    EXPECT_EQ(run(*withContent), std::vector<std::string>{tmp / "d/" + fileName});
}

INSTANTIATE_TEST_SUITE_P(Names, SearchOddNames,
                         ::testing::Values(OddName{"Spaces", "a file with spaces.txt"},
                                           OddName{"Quotes", "say \"hi\" 'there'.txt"},
                                           OddName{"Newline", "line\nbreak.txt"},
                                           OddName{"InvalidUtf8", "bad\xff\xfe name.txt"},
                                           OddName{"Utf8", "\xc3\xa9t\xc3\xa9.txt"},
                                           OddName{"LeadingDash", "-rf.txt"},
                                           OddName{"OnlyDotFirst", ".profile"},
                                           // Regression: "notes." was reported as "notes".
                                           OddName{"TrailingDot", "notes."},
                                           OddName{"LongName255", std::string(251, 'n') + ".txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- search in the previous results -----------------------------------------------------

std::unique_ptr<Data_FileItem> resultItem(const std::string& folder, const std::string& name) {
    auto item = std::make_unique<Data_FileItem>();
    item->m_strPath = folder;
    item->setFileName(name);
    item->setFullFilled();
    return item;
}

TEST_F(SearchWalk, SearchInResultsKeepsOnlyTheSurvivors) {
    auto r = std::make_unique<Search_Rule>();
    NameLinePreparer::prepare("*.txt", false, *r);
    r->previousResults.push_back(resultItem("/x/", "a.txt"));
    r->previousResults.push_back(resultItem("/x/", "b.doc"));
    r->previousResults.push_back(resultItem("/y/", "c.txt"));
    const auto paths = run(*r);
    EXPECT_EQ(paths, (std::vector<std::string>{"/x/a.txt", "/y/c.txt"}));
    EXPECT_TRUE(r->previousResults.empty());
    for (const auto& item : receiver.items)
        EXPECT_FALSE(item->isFullFilled());
    EXPECT_TRUE(receiver.messages.empty());
}

TEST_F(SearchWalk, SearchInResultsPathPatternsSeeTheWholeFolder) {
    // A search in results has no walk root: a previous walk's root must not shift the text.
    tmp.write("zz/a.txt", "x");
    Search_Man searcher;
    RecordingReceiver first;
    searcher.search(*rule(tmp / "zz", "*.txt"), &first);
    auto r = std::make_unique<Search_Rule>();
    NameLinePreparer::prepare("/qqdir", false, *r);
    r->previousResults.push_back(resultItem("/data/qqdir/", "x.bin"));
    r->previousResults.push_back(resultItem("/data/other/", "y.bin"));
    RecordingReceiver second;
    searcher.search(*r, &second);
    EXPECT_EQ(second.paths(), std::vector<std::string>{"/data/qqdir/x.bin"});
}

TEST_F(SearchWalk, SearchInResultsWithContentStopsAndDeletesTheRest) {
    tmp.write("a.txt", "needle");
    tmp.write("b.txt", "needle");
    auto r = std::make_unique<Search_Rule>();
    NameLinePreparer::prepare("", false, *r);
    addText(*r, "needle");
    r->previousResults.push_back(resultItem(tmp.path() + "/", "a.txt"));
    r->previousResults.push_back(resultItem(tmp.path() + "/", "b.txt"));
    receiver.afterResult = [](size_t) { Search_Man::s_hStopSearchEvent.set(); };
    Search_Man searcher;
    searcher.search(*r, &receiver);
    EXPECT_EQ(receiver.paths(), std::vector<std::string>{tmp / "a.txt"});
    EXPECT_TRUE(r->previousResults.empty());
    EXPECT_EQ(receiver.finishedCalls, 1);
    ASSERT_EQ(receiver.updateFlags.size(), 1u);
    EXPECT_TRUE(receiver.updateFlags[0]);
}

TEST_F(SearchWalk, QuickSearchWithoutAutomaticDiskSearchWalksNothing) {
    tmp.write("a.txt", "x");
    auto r = rule(tmp.path());
    r->bQuickSearch = 1;
    r->bAutoNormalSearch = false;
    EXPECT_TRUE(run(*r).empty());
    r->bAutoNormalSearch = true;
    EXPECT_EQ(run(*r), std::vector<std::string>{tmp / "a.txt"});
}

}  // namespace
