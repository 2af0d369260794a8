// Fault: two qdsearch --index runs on one root used the same temporary column files, so
// one could corrupt or delete the other's work. The second is now refused at once (exit
// status 2, a message naming the root) and the committed cache reads back whole.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "index/IndexRootLock.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "tools/Tool_Resource.h"

namespace {

std::string qdsearch() { return TestPaths::binDir() + "/qdsearch"; }

std::set<std::string> lines(const std::string& out) {
    std::set<std::string> set;
    for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        set.insert(out.substr(start, end - start));
    return set;
}

std::set<std::string> quick(const TempDir& tree, const TempDir& cache) {
    std::string out, err;
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--quick", "--cache", cache.path(), "--no-auto-normal", "*.txt",
                                                 tree.path()},
                                    &out, &err),
              0)
        << err;
    return lines(out);
}

int index(const TempDir& tree, const TempDir& cache, std::string* err) {
    std::string out;
    return TestPaths::runProgram(qdsearch(), {"--index", tree.path(), "--cache", cache.path()}, &out, err);
}

// An indexer that holds the root (as a running qdsearch --index does) makes a second run
// refuse at once; the cache it committed before is left readable and unchanged.
TEST(QdsearchConcurrentIndex, SecondRunOfOneRootIsRefusedAndTheCacheStaysWhole) {
    TempDir tree, cache;
    tree.write("a/one.txt", "1");
    tree.write("two.txt", "2");
    std::string err;
    ASSERT_EQ(index(tree, cache, &err), 0) << err;
    const std::set<std::string> before{tree / "a/one.txt", tree / "two.txt"};
    ASSERT_EQ(quick(tree, cache), before);

    tree.write("three.txt", "3");
    {
        Tool_Resource::setIndexCachePath(cache.path());
        IndexRootLock holder;
        ASSERT_TRUE(holder.acquire(tree.path()));
        EXPECT_EQ(index(tree, cache, &err), 2);
        EXPECT_EQ(err, "qdsearch: cannot index " + tree.path() +
                           ": another indexer is writing its cache; its cache is left as it was\n");
        EXPECT_EQ(quick(tree, cache), before);
    }
    ASSERT_EQ(index(tree, cache, &err), 0) << err;
    EXPECT_EQ(quick(tree, cache), (std::set<std::string>{tree / "a/one.txt", tree / "two.txt", tree / "three.txt"}));
}

// Two real runs started together: each either indexes the root or is refused, at least
// one indexes it, and the cache afterwards holds the whole tree, nothing more or less.
TEST(QdsearchConcurrentIndex, TwoRunsAtOnceLeaveOneWholeCache) {
    TempDir tree, cache;
    std::set<std::string> expected;
    for (int d = 0; d < 20; ++d)
        for (int f = 0; f < 50; ++f)
            expected.insert(tree.write("d" + std::to_string(d) + "/f" + std::to_string(f) + ".txt", "x"));
    for (int round = 0; round < 3; ++round) {
        int status[2] = {-1, -1};
        std::string err[2];
        std::thread first([&] { status[0] = index(tree, cache, &err[0]); });
        status[1] = index(tree, cache, &err[1]);
        first.join();
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(status[i] == 0 || status[i] == 2) << status[i] << ": " << err[i];
            if (status[i] == 2) {
                EXPECT_NE(err[i].find("another indexer is writing its cache"), std::string::npos) << err[i];
            }
        }
        EXPECT_TRUE(status[0] == 0 || status[1] == 0) << err[0] << err[1];
        EXPECT_EQ(quick(tree, cache), expected) << "round " << round;
    }
}

}  // namespace
