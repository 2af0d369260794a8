// Fault: a quick search read names of one indexing run with folders of another while the
// same root was being committed (the columns were renamed one by one and readers compared
// only entry counts), and after a kill during the commit it read whatever mix was left.
// A reader must see the old set, the new set, or refuse the root: here against commits
// in another process, after a kill at every step of a commit, and with a column swapped.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "IndexTestSupport.h"
#include "index/IndexCacheCatalog.h"
#include "index/IndexGeneration.h"
#include "support/TempDir.h"

using namespace IndexTest;

namespace {

constexpr int kChildDone = 10;
constexpr int kChildKilled = 11;
constexpr int kChildFailed = 12;
constexpr int kEntries = 24;

class CommitAtomicity : public ::testing::Test {
protected:
    void SetUp() override {
        Tool_Resource::setIndexCachePath(cache.path());
        Search_Man::s_hStopSearchEvent.reset();
        // Same entry count in both generations; names and folders differ, so any mix of
        // the two shows as a path that belongs to neither.
        for (int i = 0; i < kEntries; ++i) {
            const std::string n = std::to_string(i);
            genA.push_back(item(tree / "alpha/", "a-" + n + ".txt"));
            genB.push_back(item(tree / "beta/", "bee-" + n + ".doc"));
        }
        for (auto& it : genA)
            pathsA.insert(it.getFullFileName());
        for (auto& it : genB)
            pathsB.insert(it.getFullFileName());
    }

    // 'A', 'B', '-' (refused), or 'X' (a mix or garbage).
    char classify(const std::set<std::string>& paths) const {
        if (paths.empty())
            return '-';
        return paths == pathsA ? 'A' : paths == pathsB ? 'B' : 'X';
    }

    // One quick search of every entry of the root, as qdsearch --quick runs it.
    char quickRead(std::string* example) const {
        Search_Rule rule;
        rule.names = {"*"};
        rule.folders = {tree.path() + "/"};
        rule.iTargetOption = 2;
        rule.bQuickSearch = 1;
        rule.bAutoNormalSearch = false;
        Search_Man man;
        PathCollector collector;
        man.addIndexedFilePathName(tree.path());
        man.initSearcher({tree.path()});
        man.search(rule, &collector);
        const auto unique = collector.unique();
        char kind = classify(unique);
        if (collector.unreadable != 0 || unique.size() != collector.paths.size())
            kind = 'X';
        if (kind == 'X' && example && example->empty())
            for (const auto& p : unique)
                if (!pathsA.count(p) && !pathsB.count(p))
                    *example = p;
        return kind;
    }

    TempDir cache, tree;
    std::vector<Data_FileItem> genA, genB;
    std::set<std::string> pathsA, pathsB;
};

TEST_F(CommitAtomicity, QuickSearchNeverMixesTwoRunsCommittedMeanwhileByAnotherProcess) {
    ASSERT_TRUE(writeLiveCache(tree.path(), genA));
    int notify[2];
    ASSERT_EQ(::pipe(notify), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        ::close(notify[0]);
        for (unsigned i = 1;; ++i) {
            writeLiveCache(tree.path(), i % 2 ? genB : genA);
            if (::write(notify[1], "c", 1) != 1)
                ::_exit(kChildFailed);
        }
    }
    ::close(notify[1]);
    ::fcntl(notify[0], F_SETFL, O_NONBLOCK);

    int reads = 0, commits = 0, mixed = 0, seenA = 0, seenB = 0, refused = 0;
    std::string example;
    // At least 5,000 reads, spanning commits of both generations.
    while ((reads < 5000 || commits < 10 || !seenA || !seenB) && reads < 100000) {
        const char kind = quickRead(&example);
        ++reads;
        mixed += kind == 'X';
        seenA += kind == 'A';
        seenB += kind == 'B';
        refused += kind == '-';
        char buffer[256];
        ssize_t n;
        while ((n = ::read(notify[0], buffer, sizeof buffer)) > 0)
            commits += static_cast<int>(n);
    }
    ::kill(writer, SIGKILL);   // at whatever step it is in
    int status = 0;
    ::waitpid(writer, &status, 0);
    ::close(notify[0]);
    EXPECT_EQ(mixed, 0) << "e.g. " << example << " (" << reads << " reads, " << commits << " commits)";
    EXPECT_GE(reads, 5000);
    EXPECT_GE(commits, 10);
    EXPECT_GT(seenA, 0);
    EXPECT_GT(seenB, 0);
    // Killed at any instant, the writer still leaves a whole set or a refused one.
    EXPECT_NE(quickRead(&example), 'X') << example;
    RecordProperty("refused", refused);
}

TEST_F(CommitAtomicity, KillAtEveryStepOfTheCommitLeavesTheOldOrTheNewSet) {
    int steps = 0;
    for (int n = 1; n < 200; ++n) {
        // Each round starts from the old generation live and nothing pending.
        ASSERT_TRUE(writeLiveCache(tree.path(), genA)) << "round " << n;
        ASSERT_EQ(classify(cachedPaths(tree.path())), 'A');
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int step = 0;
            SF_SaverSet::setStepHook([&step, n] {
                if (++step == n)
                    ::_exit(kChildKilled);
            });
            ::_exit(writeLiveCache(tree.path(), genB) ? kChildDone : kChildFailed);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        const int code = WEXITSTATUS(status);
        if (code == kChildDone) {
            EXPECT_EQ(classify(cachedPaths(tree.path())), 'B');
            break;
        }
        ASSERT_EQ(code, kChildKilled) << "step " << n;
        ++steps;
        const char direct = classify(cachedPaths(tree.path()));
        EXPECT_NE(direct, 'X') << "killed after step " << n;
        std::string example;
        EXPECT_NE(quickRead(&example), 'X') << "killed after step " << n << ": " << example;
        // What is listed was committed whole.
        for (const auto& c : IndexCacheCatalog::list(Tool_Resource::INDEX_STAGE_LIVE))
            EXPECT_EQ(c.entries, static_cast<uint32_t>(kEntries));
        // The next quick search first makes a pending cache live; that too gives a whole set.
        Search_Man man;
        man.refreshNewIndexCacheFile({tree.path()});
        const char afterRefresh = classify(cachedPaths(tree.path()));
        EXPECT_NE(afterRefresh, 'X') << "killed after step " << n << ", then made live";
        // Once the new set had gone live, it is not lost again.
        if (direct == 'B') {
            EXPECT_EQ(afterRefresh, 'B') << "step " << n;
        }
    }
    // Record, 13 renames, record rename and folder sync, twice (pending, then live).
    EXPECT_GE(steps, 2 * (1 + 13 + 1) + 1);
}

TEST_F(CommitAtomicity, ColumnOfAnotherRunIsRefusedButACopiedCacheIsKept) {
    ASSERT_TRUE(writeLiveCache(tree.path(), genA));
    // Copied file by file (new inodes, same bytes), as a restored backup is: still valid.
    std::vector<std::string> names;
    for (const auto& tag : SF_SaverSet::fileTags())
        names.push_back(columnFile(tag, tree.path()));
    names.push_back(IndexGeneration::fileName(tree.path(), Tool_Resource::INDEX_STAGE_LIVE));
    for (const auto& name : names) {
        const std::string bytes = readFile(name);
        ASSERT_EQ(::unlink(name.c_str()), 0);
        writeFile(name, bytes);
    }
    EXPECT_EQ(classify(cachedPaths(tree.path())), 'A');

    // A pending run of the other generation; one of its columns put in place by hand.
    SF_SaverSet set;
    ASSERT_TRUE(set.openWrite(tree.path()));
    for (const auto& it : genB)
        ASSERT_TRUE(set.writeItem(it));
    ASSERT_TRUE(set.closeWrite());
    ASSERT_TRUE(set.commit(tree.path()));
    for (const char* tag : {"fn", "idfn", "fp", "mt"}) {
        const std::string live = columnFile(tag, tree.path());
        const std::string saved = readFile(live);
        ASSERT_EQ(::rename(columnFile(tag, tree.path(), 2).c_str(), live.c_str()), 0);
        if (std::string(tag) != "mt") {   // equal bytes in both runs: that column is no mix
            EXPECT_TRUE(cachedPaths(tree.path()).empty()) << tag;
        }
        writeFile(columnFile(tag, tree.path(), 2), readFile(live));
        ASSERT_EQ(::unlink(live.c_str()), 0);
        writeFile(live, saved);
    }
    EXPECT_EQ(classify(cachedPaths(tree.path())), 'A');
    // A pending set that is not what its record names is not made live.
    writeFile(columnFile("fn", tree.path(), 2), readFile(columnFile("fn", tree.path())));
    EXPECT_FALSE(SF_SaverSet::makeLive(tree.path()));
    EXPECT_EQ(classify(cachedPaths(tree.path())), 'A');
}

TEST_F(CommitAtomicity, DamagedOrMissingRecordRefusesTheRoot) {
    ASSERT_TRUE(writeLiveCache(tree.path(), genA));
    const std::string record = IndexGeneration::fileName(tree.path(), Tool_Resource::INDEX_STAGE_LIVE);
    std::string bytes = readFile(record);
    ASSERT_GT(bytes.size(), 20u);
    IndexGeneration g;
    ASSERT_TRUE(g.parse(bytes));
    EXPECT_EQ(g.entries(), static_cast<uint32_t>(kEntries));
    EXPECT_EQ(g.columns().size(), 13u);
    for (size_t cut : {size_t(0), size_t(4), bytes.size() / 2, bytes.size() - 1}) {
        writeFile(record, bytes.substr(0, cut));
        EXPECT_TRUE(cachedPaths(tree.path()).empty()) << cut;
    }
    std::string flipped = bytes;
    flipped[bytes.size() / 2] ^= 0x20;
    writeFile(record, flipped);
    EXPECT_TRUE(cachedPaths(tree.path()).empty());
    EXPECT_TRUE(IndexCacheCatalog::list(Tool_Resource::INDEX_STAGE_LIVE).empty());
    ASSERT_EQ(::unlink(record.c_str()), 0);
    EXPECT_TRUE(cachedPaths(tree.path()).empty());
    writeFile(record, bytes);
    EXPECT_EQ(classify(cachedPaths(tree.path())), 'A');
}

}  // namespace
