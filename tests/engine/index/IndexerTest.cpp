// The indexer: what a run records, exclusions, cancellation, crash safety.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "IndexTestSupport.h"
#include "archive/CExtractMgr.h"
#include "index/IndexCacheCatalog.h"
#include "index/SF_SizeSaver.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"
#include "support/TestPaths.h"

using namespace IndexTest;

namespace {

bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

class Indexer : public ::testing::Test {
protected:
    void SetUp() override {
        Tool_Resource::setIndexCachePath(cache.path());
        SF_Man::s_hCancelEvent.reset();
    }
    void TearDown() override { SF_Man::s_hCancelEvent.reset(); }
    std::string root(const std::string& rel = "") const { return rel.empty() ? tree.path() : tree / rel; }
    TempDir cache, tree;
};

TEST_F(Indexer, RecordsEveryEntryOnceAndFolderTotals) {
    tree.write("a.txt", "12345");
    tree.write("sub/b.doc", "1234567890");
    tree.write("sub/deeper/c", "123");
    indexRoots({root()});
    const auto paths = cachedPaths(root());
    EXPECT_EQ(paths, (std::set<std::string>{root("a.txt"), root("sub"), root("sub/b.doc"), root("sub/deeper"),
                                            root("sub/deeper/c")}));
    Search_CachePathSearcher s;
    ASSERT_TRUE(s.initSearcher(root()));
    for (uint32_t i = 0; i < 5; ++i) {
        Data_FileItem it;
        ASSERT_TRUE(s.readFileInfo(i, it));
        if (it.getFullFileName() == root("sub")) {
            EXPECT_EQ(it.m_nSize, 13);
        }
        if (it.getFullFileName() == root("sub/deeper")) {
            EXPECT_EQ(it.m_nSize, 3);
            EXPECT_TRUE(it.isDirectory());
        }
    }
}

TEST_F(Indexer, FolderEntryFollowsItsContents) {
    tree.write("sub/x", "1");
    indexRoots({root()});
    Search_CachePathSearcher s;
    ASSERT_TRUE(s.initSearcher(root()));
    Data_FileItem first, second;
    ASSERT_TRUE(s.readFileInfo(0, first));
    ASSERT_TRUE(s.readFileInfo(1, second));
    EXPECT_EQ(first.getFullFileName(), root("sub/x"));
    EXPECT_EQ(second.getFullFileName(), root("sub"));
}

TEST_F(Indexer, ExcludedFolderIsRecordedWithItsSizeButNotItsContents) {
    tree.write("Tmp/inner.txt", "1234");
    tree.write("keep.txt", "1");
    indexRoots({root()}, {root("Tmp") + "/"});
    EXPECT_EQ(cachedPaths(root()), (std::set<std::string>{root("Tmp"), root("keep.txt")}));
}

// Fault: the prefix test excluded /data/Temp2 along with /data/Temp.
TEST_F(Indexer, ExclusionMatchesWholePathComponentsOnly) {
    tree.write("Temp/a", "1");
    tree.write("Temp2/b", "1");
    tree.write("temp/c", "1");   // another folder: paths are case-sensitive
    indexRoots({root()}, {root("Temp")});
    const auto paths = cachedPaths(root());
    EXPECT_FALSE(paths.count(root("Temp/a")));
    EXPECT_TRUE(paths.count(root("Temp2/b")));
    EXPECT_TRUE(paths.count(root("temp/c")));
}

TEST_F(Indexer, ExcludedTypeHidesFilesButNotFolders) {
    tree.write("a.tmp", "1");
    tree.write("b.TMP", "1");
    tree.write("old.tmp/inside.txt", "1");
    tree.write("c.txt", "1");
    indexRoots({root()}, {}, {"tmp"});
    EXPECT_EQ(cachedPaths(root()),
              (std::set<std::string>{root("old.tmp"), root("old.tmp/inside.txt"), root("c.txt")}));
}

TEST_F(Indexer, ExcludedRootGetsNoPendingCache) {
    tree.write("a", "1");
    SF_Man man;
    man.addPath({root()});
    man.setExcludeListInfo({root()}, {}, false);
    man.setIndexThreadPriority(10);
    FinishCounter receiver;
    man.startIndex(&receiver);
    EXPECT_TRUE(IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_PENDING).empty());
    EXPECT_TRUE(IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_TEMPORARY).empty());
    EXPECT_EQ(receiver.finished, 1);
}

// Fault: a root that is missing or is a file committed an empty cache, which was then
// listed and answered quick searches with nothing. Such a root is an error now; nothing
// is written for it, and the roots around it are indexed as usual.
TEST_F(Indexer, RootThatIsNoFolderIsAnErrorAndLeavesNothing) {
    tree.write("file.txt", "1");
    tree.write("ok/a", "1");
    SF_Man man;
    man.addPath({root("missing"), root("file.txt"), root("ok")});
    man.setIndexThreadPriority(10);
    FinishCounter receiver;
    man.startIndex(&receiver);
    const auto& outcomes = man.getOutcomes();
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[0].kind, SF_IndexOutcome::NotAFolder);
    EXPECT_EQ(outcomes[0].error, ENOENT);
    EXPECT_EQ(outcomes[1].kind, SF_IndexOutcome::NotAFolder);
    EXPECT_EQ(outcomes[1].error, ENOTDIR);
    EXPECT_EQ(outcomes[2].kind, SF_IndexOutcome::Committed);
    EXPECT_EQ(IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_PENDING), std::vector<std::string>{root("ok")});
    for (const char* rel : {"missing", "file.txt"})
        for (int stage = 1; stage <= 3; ++stage)
            EXPECT_FALSE(exists(columnFile("idfa", root(rel), stage))) << rel << " stage " << stage;
}

TEST_F(Indexer, UnwritableCacheFolderIsReported) {
    tree.write("a", "1");
    Unprivileged::openUp(tree.path());
    ::chmod(cache.path().c_str(), 0555);
    const int result = Unprivileged::run([&] {
        SF_Man man;
        man.addPath({root()});
        man.setIndexThreadPriority(10);
        man.startIndex(nullptr);
        const auto& o = man.getOutcomes();
        return o.size() == 1 && o[0].kind == SF_IndexOutcome::CannotWrite && o[0].error == EACCES ? 0 : 1;
    });
    ::chmod(cache.path().c_str(), 0700);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_PENDING).empty());
}

TEST_F(Indexer, RootSpelledAnyWayIsIndexedUnderItsNormalForm) {
    tree.write("d/a.txt", "1");
    indexRoots({tree.path() + "//d/./../d/"});
    EXPECT_EQ(IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_LIVE), std::vector<std::string>{root("d")});
    EXPECT_EQ(cachedPaths(root("d")), (std::set<std::string>{root("d/a.txt")}));
}

TEST_F(Indexer, LinksToFoldersAreEntriesAndNotFollowed) {
    tree.write("real/f", "1");
    ASSERT_EQ(::symlink(root("real").c_str(), root("link").c_str()), 0);
    indexRoots({root()});
    const auto paths = cachedPaths(root());
    EXPECT_TRUE(paths.count(root("link")));
    EXPECT_FALSE(paths.count(root("link/f")));
    EXPECT_TRUE(paths.count(root("real/f")));
}

TEST_F(Indexer, UnreadableFolderIsRecordedButContributesNothing) {
    tree.write("locked/secret", "123");
    Unprivileged::openUp(tree.path());
    Unprivileged::openUp(cache.path());
    ::chmod(root("locked").c_str(), 0);
    // The child builds the cache; the parent reads what it committed.
    ASSERT_EQ(Unprivileged::run([&] {
                  indexRoots({root()});
                  return 0;
              }),
              0);
    const auto paths = cachedPaths(root());
    EXPECT_TRUE(paths.count(root("locked")));
    EXPECT_FALSE(paths.count(root("locked/secret")));
}

TEST_F(Indexer, OddNamesRoundTrip) {
    const std::string names[] = {"with space.txt", "quote\"s", "new\nline", std::string("bad\xFF\xFE.bin"),
                                 std::string(255, 'n'), ".hidden"};
    for (const auto& n : names)
        tree.write(n, "x");
    indexRoots({root()});
    const auto paths = cachedPaths(root());
    for (const auto& n : names)
        EXPECT_TRUE(paths.count(root(n))) << n;
}

TEST_F(Indexer, SumsCountRecordedEntriesAndFileBytes) {
    tree.write("a", "12345");
    tree.write("d/b", "123");
    SF_Man man;
    man.addPath({root()});
    man.setIndexThreadPriority(10);
    FinishCounter receiver;
    man.startIndex(&receiver);
    uint64_t bytes = 0;
    uint32_t entries = 0;
    std::string text;
    man.getSumValues(bytes, entries, text);
    EXPECT_EQ(bytes, 8u);
    EXPECT_EQ(entries, 3u);
    EXPECT_NE(text.find("[" + root() + "]"), std::string::npos);
}

TEST_F(Indexer, ArchiveMembersFollowTheArchiveEntry) {
    CExtractMgr::init();
    if (CExtractMgr::getHandlerLibraryFor("zip").empty())
        GTEST_SKIP() << "no zip handler";
    tree.write("src/in/one.txt", "1");
    tree.write("src/two.md", "22");
    std::string out;
    ASSERT_EQ(TestPaths::runProgram("/usr/bin/7z", {"a", "-tzip", root("pack.zip"), root("src/in"), root("src/two.md")},
                                    &out),
              0)
        << out;
    indexRoots({root()}, {root("src")}, {}, true);
    Search_CachePathSearcher s;
    ASSERT_TRUE(s.initSearcher(root()));
    std::vector<Data_FileItem> items;
    for (uint32_t i = 0;; ++i) {
        Data_FileItem it;
        if (!s.readFileInfo(i, it))
            break;
        items.push_back(it);
    }
    size_t archiveAt = items.size();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].getFileName() == "pack.zip")
            archiveAt = i;
    ASSERT_LT(archiveAt + 2, items.size());
    std::set<std::string> members;
    for (size_t i = archiveAt + 1; i < items.size() && items[i].m_bInArchive; ++i) {
        EXPECT_EQ(items[i].m_strArchiveName, "pack.zip");
        EXPECT_EQ(items[i].m_strPath, root() + "/");
        members.insert(items[i].m_strInnerPath + items[i].getFileName());
    }
    EXPECT_EQ(members, (std::set<std::string>{"in/one.txt", "two.md"}));
}

// With roots A and B and a cancel during B: A's pending cache exists, B's temporary files
// are gone, B has no pending cache and the run does not report its end.
TEST_F(Indexer, CancelDuringSecondRootKeepsFirstAndDropsSecond) {
    tree.write("A/a", "1");
    for (int i = 0; i < 300; ++i)
        tree.write("B/f" + std::to_string(i), "1");
    SF_Man man;
    man.addPath({root("A"), root("B")});
    man.setIndexThreadPriority(9);   // 1 ms per entry: B takes a while
    FinishCounter receiver;
    std::thread run([&] { man.startIndex(&receiver); });
    const std::string marker = "[" + root("B") + "]";
    for (;;) {
        uint64_t bytes;
        uint32_t entries;
        std::string text;
        man.getSumValues(bytes, entries, text);
        if (text.find(marker) != std::string::npos)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    SF_Man::s_hCancelEvent.set();
    run.join();
    EXPECT_EQ(IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_PENDING), std::vector<std::string>{root("A")});
    EXPECT_TRUE(IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_TEMPORARY).empty());
    EXPECT_FALSE(exists(columnFile("fn", root("B"), 3)));
    EXPECT_EQ(receiver.finished, 0);
}

// A run killed in the middle leaves the live and the pending cache of its root as they were.
TEST_F(Indexer, KillDuringRunLeavesLiveAndPendingIntact) {
    tree.write("old.txt", "1");
    indexRoots({root()});   // live cache
    SF_Man first;
    first.addPath({root()});
    first.setIndexThreadPriority(10);
    FinishCounter receiver;
    first.startIndex(&receiver);   // pending cache (same contents)
    const std::string live = readFile(columnFile("fn", root(), 1));
    const std::string pending = readFile(columnFile("fn", root(), 2));
    for (int i = 0; i < 400; ++i)
        tree.write("new/n" + std::to_string(i), "1");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SF_Man man;
        man.addPath({root()});
        man.setIndexThreadPriority(8);   // 4 ms per entry: still walking when killed
        FinishCounter r;
        man.startIndex(&r);
        ::_exit(0);
    }
    while (!exists(columnFile("fn", root(), 3)))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(readFile(columnFile("fn", root(), 1)), live);
    EXPECT_EQ(readFile(columnFile("fn", root(), 2)), pending);
    EXPECT_EQ(cachedPaths(root()), (std::set<std::string>{root("old.txt")}));
}

TEST(SF_ExcludeInfoTable, FolderAndTypeTests) {
    SF_ExcludeInfo info;
    info.excludedFolders = {"/data/Temp", "/x/y"};
    info.excludedTypes = {"tmp", "Bak"};
    EXPECT_TRUE(info.isExcludedFolder("/data/Temp"));
    EXPECT_TRUE(info.isExcludedFolder("/data/Temp/"));
    EXPECT_TRUE(info.isExcludedFolder("/data/Temp/sub"));
    EXPECT_FALSE(info.isExcludedFolder("/data/Temp2"));
    EXPECT_FALSE(info.isExcludedFolder("/data/temp"));
    EXPECT_FALSE(info.isExcludedFolder("/data"));
    EXPECT_TRUE(info.isExcludedType("TMP"));
    EXPECT_TRUE(info.isExcludedType("bak"));
    EXPECT_FALSE(info.isExcludedType("tmp2"));
    EXPECT_FALSE(info.isExcludedType(""));
}

}  // namespace
