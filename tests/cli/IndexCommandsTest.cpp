// qdsearch --index, --list-indexes and --quick, run as a program.
#include <gtest/gtest.h>

#include <set>

#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace {

std::string qdsearch() { return TestPaths::binDir() + "/qdsearch"; }

TEST(QdSearchIndex, IndexListAndQuickSearchAgree) {
    TempDir tree, cache;
    tree.write("a_b/one.txt", "1");
    tree.write("a/b/two.txt", "22");
    tree.write("a/b/three.doc", "333");
    tree.write("skip/four.txt", "4");
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--index", tree.path(), "--cache", cache.path(), "--exclude",
                                                 tree / "skip", "--priority", "10"},
                                    &out, &err),
              0)
        << err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--list-indexes", "--cache", cache.path()}, &out, &err), 0);
    // root, tab, entries (a_b, a, b, one, two, three, skip), tab, time
    EXPECT_EQ(out.substr(0, out.find('\t', tree.path().size() + 1)), tree.path() + "\t7");

    tree.write("late.txt", "5");   // not in the cache
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--quick", "--cache", cache.path(), "--no-auto-normal", "*.txt",
                                                 tree.path()},
                                    &out, &err),
              0)
        << err;
    std::set<std::string> lines;
    for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.insert(out.substr(start, end - start));
    EXPECT_EQ(lines, (std::set<std::string>{tree / "a/b/two.txt", tree / "a_b/one.txt"}));
}

TEST(QdSearchIndex, QuickSearchWithoutCacheWalksTheDisk) {
    TempDir tree, cache;
    tree.write("x.txt", "1");
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--quick", "--cache", cache.path(), "*.txt", tree.path()}, &out, &err),
              0)
        << err;
    EXPECT_EQ(out, tree / "x.txt\n");
}

TEST(QdSearchIndex, BadPriorityIsAUsageError) {
    TempDir tree, cache;
    std::string out, err;
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--index", tree.path(), "--cache", cache.path(), "--priority", "11"},
                                    &out, &err),
              2);
    EXPECT_NE(err.find("--priority"), std::string::npos);
}

// --priority 99999999999 used to abort the program on an uncaught std::out_of_range.
TEST(QdSearchIndex, PriorityBeyondTheIntegerRangeIsAUsageErrorRegression) {
    TempDir tree, cache;
    for (const char* value : {"99999999999", "99999999999999999999999", "-1", "1e3"}) {
        std::string out, err;
        EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--index", tree.path(), "--cache", cache.path(), "--priority",
                                                     value},
                                        &out, &err),
                  2)
            << value;
        EXPECT_EQ(err, std::string("qdsearch: bad value for --priority: '") + value +
                           "' (expected a number from 0 to 10)\nTry 'qdsearch --help'.\n");
    }
}

TEST(QdSearchIndex, IndexOptionsAreInTheHelp) {
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--help"}, &out, &err), 0);
    for (const char* option : {"--index", "--list-indexes", "--quick", "--cache DIR", "--exclude DIR",
                               "--exclude-type EXT", "--no-archives", "--priority 0-10", "--indexed ROOT",
                               "--no-auto-normal"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
}

}  // namespace
