// Fault: two indexers of one root (two threads, or two qdsearch --index processes) wrote,
// truncated and deleted the same temporary column files, so one could corrupt or delete
// the other's work. A second writer of a root is now refused before it touches a file;
// the first one's set and the live cache stay whole.
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

#include "IndexTestSupport.h"
#include "index/IndexRootLock.h"
#include "support/TempDir.h"

using namespace IndexTest;

namespace {

class ConcurrentIndexRuns : public ::testing::Test {
protected:
    void SetUp() override {
        Tool_Resource::setIndexCachePath(cache.path());
        Search_Man::s_hStopSearchEvent.reset();
        SF_Man::s_hCancelEvent.reset();
    }

    std::vector<Data_FileItem> items(const std::string& prefix, int count) const {
        std::vector<Data_FileItem> out;
        for (int i = 0; i < count; ++i)
            out.push_back(item(tree.path() + "/", prefix + std::to_string(i) + ".txt"));
        return out;
    }
    static std::set<std::string> paths(std::vector<Data_FileItem> list) {
        std::set<std::string> out;
        for (auto& it : list)
            out.insert(it.getFullFileName());
        return out;
    }
    static bool writeAll(SF_SaverSet& set, const std::vector<Data_FileItem>& list) {
        bool ok = true;
        for (const auto& it : list)
            ok = set.writeItem(it) && ok;
        return ok;
    }

    TempDir cache, tree;
};

// The second writer is refused whichever spelling of the root it is given, and its refusal
// neither disturbs the first writer's files nor the live cache that readers use meanwhile.
class SecondWriterOfOneRoot : public ConcurrentIndexRuns, public ::testing::WithParamInterface<const char*> {};

TEST_P(SecondWriterOfOneRoot, IsRefusedAndTheFirstCommitsWhole) {
    const auto old = items("old-", 5);
    ASSERT_TRUE(writeLiveCache(tree.path(), old));

    const auto first = items("first-", 40);
    SF_SaverSet one;
    ASSERT_TRUE(one.openWrite(tree.path()));
    ASSERT_TRUE(writeAll(one, first));

    SF_SaverSet two;
    errno = 0;
    EXPECT_FALSE(two.openWrite(tree.path() + GetParam()));
    EXPECT_EQ(errno, EBUSY);
    EXPECT_FALSE(two.isOpen());
    two.discardTemporary(tree.path());   // what a failed run does; must not reach one's files
    EXPECT_EQ(cachedPaths(tree.path()), paths(old));

    ASSERT_TRUE(one.closeWrite());
    ASSERT_TRUE(one.commit(tree.path()));
    ASSERT_TRUE(SF_SaverSet::makeLive(tree.path()));
    EXPECT_EQ(cachedPaths(tree.path()), paths(first));
}

INSTANTIATE_TEST_SUITE_P(Spellings, SecondWriterOfOneRoot, ::testing::Values("", "/", "/./", "//", "/sub/.."));

// The claim ends with the run, however it ends, and never reaches another root.
TEST_F(ConcurrentIndexRuns, ClaimEndsWithCommitOrDiscardAndCoversOneRootOnly) {
    const std::string other = tree.mkdir("sub");
    SF_SaverSet one, two;
    ASSERT_TRUE(one.openWrite(tree.path()));
    EXPECT_TRUE(two.openWrite(other));
    EXPECT_TRUE(two.closeWrite());
    two.discardTemporary(other);

    ASSERT_TRUE(writeAll(one, items("a-", 3)));
    ASSERT_TRUE(one.closeWrite());
    EXPECT_FALSE(two.openWrite(tree.path()));   // closed but not committed: still claimed
    ASSERT_TRUE(one.commit(tree.path()));

    ASSERT_TRUE(two.openWrite(tree.path()));
    EXPECT_FALSE(one.openWrite(tree.path()));
    two.discardTemporary(tree.path());
    EXPECT_TRUE(one.openWrite(tree.path()));
    one.discardTemporary(tree.path());
}

// Another process holding the root: the indexer reports it as busy, writes nothing, and the
// live cache stays readable; once that process is gone the root can be indexed again.
TEST_F(ConcurrentIndexRuns, IndexerReportsARootAnotherProcessWrites) {
    tree.write("one.txt", "1");
    tree.write("two.txt", "2");
    const auto old = items("old-", 3);
    ASSERT_TRUE(writeLiveCache(tree.path(), old));

    int toChild[2], toParent[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(toParent), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        IndexRootLock lock;
        const char ok = lock.acquire(tree.path()) ? 'y' : 'n';
        (void)!::write(toParent[1], &ok, 1);
        char c;
        (void)!::read(toChild[0], &c, 1);   // hold the root until the parent is done
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(toParent[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');

    SF_Man man;
    man.init();
    man.addPath({tree.path()});
    man.setIndexThreadPriority(10);
    FinishCounter receiver;
    man.startIndex(&receiver);
    man.reset();
    ASSERT_EQ(man.getOutcomes().size(), 1u);
    EXPECT_EQ(man.getOutcomes()[0].kind, SF_IndexOutcome::Busy);
    EXPECT_EQ(man.getOutcomes()[0].error, EBUSY);
    EXPECT_TRUE(SF_SaverSet::makeLive(tree.path()));
    EXPECT_EQ(cachedPaths(tree.path()), paths(old));

    (void)!::write(toChild[1], "x", 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(toChild[0]);
    ::close(toChild[1]);
    ::close(toParent[0]);
    ::close(toParent[1]);

    indexRoots({tree.path()});
    EXPECT_EQ(cachedPaths(tree.path()), (std::set<std::string>{tree / "one.txt", tree / "two.txt"}));
}

}  // namespace
