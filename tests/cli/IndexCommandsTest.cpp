// qdsearch --index, --list-indexes and --quick, run as a program.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sys/stat.h>

#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "support/Unprivileged.h"

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
    // then the local time the cache was written
    EXPECT_TRUE(std::regex_search(out, std::regex("\t7\t[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\n$")))
        << out;

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

// Fault: --index reported success when it wrote nothing, and a missing root was then
// listed with 0 entries. Each case is an error (status 2) naming the problem, and
// nothing is listed afterwards.
struct NothingWrittenCase {
    const char* name;
    const char* root;    // below the tree folder
    bool cacheIsAFile;
    const char* message;
};
class IndexWritesNothing : public ::testing::TestWithParam<NothingWrittenCase> {};

TEST_P(IndexWritesNothing, IsAnErrorAndListsNothing) {
    TempDir tree, cache;
    tree.write("file.txt", "1");
    tree.write("dir/a.txt", "1");
    const std::string cacheFolder = GetParam().cacheIsAFile ? tree.write("cachefile", "x") : cache.path();
    std::string out, err;
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--index", tree / GetParam().root, "--cache", cacheFolder}, &out, &err),
              2);
    EXPECT_NE(err.find(GetParam().message), std::string::npos) << err;
    EXPECT_EQ(err.find("indexed"), std::string::npos) << err;
    if (!GetParam().cacheIsAFile) {
        ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--list-indexes", "--cache", cacheFolder}, &out, &err), 0);
        EXPECT_EQ(out, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IndexWritesNothing,
    ::testing::Values(NothingWrittenCase{"MissingRoot", "missing", false, "No such file or directory"},
                      NothingWrittenCase{"RootIsAFile", "file.txt", false, "not a folder"},
                      NothingWrittenCase{"CacheFolderIsAFile", "dir", true, "is not a folder"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QdSearchIndex, UnwritableCacheFolderIsAnError) {
    TempDir tree, cache;
    tree.write("a.txt", "1");
    Unprivileged::openUp(tree.path());
    ::chmod(cache.path().c_str(), 0555);
    const int status = Unprivileged::run([&] {
        std::string out, err;
        const int s = TestPaths::runProgram(qdsearch(), {"--index", tree.path(), "--cache", cache.path()}, &out, &err);
        return s == 2 && err.find("cannot write to the cache folder") != std::string::npos ? 0 : 100 + s;
    });
    ::chmod(cache.path().c_str(), 0700);
    EXPECT_EQ(status, 0);
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--list-indexes", "--cache", cache.path()}, &out, &err), 0);
    EXPECT_EQ(out, "");
}

TEST(QdSearchIndex, OneBadRootDoesNotStopTheOthers) {
    TempDir tree, cache;
    tree.write("good/a.txt", "1");
    std::string out, err;
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--index", tree / "missing", tree / "good", "--cache", cache.path()},
                                    &out, &err),
              2);
    EXPECT_NE(err.find(tree / "missing"), std::string::npos) << err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--list-indexes", "--cache", cache.path()}, &out, &err), 0);
    EXPECT_EQ(out.substr(0, out.find('\t')), tree / "good");
}

// Fault: "--index ../b" recorded "/x/a/../b", so a quick search of "../b" (made
// "/x/b") found no cache and, without the disk walk, nothing at all.
TEST(QdSearchIndex, RelativeRootsNameTheSameCacheFromEveryEntryPoint) {
    TempDir tree, cache;
    tree.mkdir("a");
    tree.write("b/one.txt", "1");
    tree.write("b/sub dir /two.txt", "2");
    const std::string cd = "cd '" + tree / "a" + "' && exec '" + qdsearch() + "' ";
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram("/bin/sh", {"-c", cd + "--index ../b/ --cache '" + cache.path() + "'"}, &out, &err),
              0)
        << err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--list-indexes", "--cache", cache.path()}, &out, &err), 0);
    EXPECT_EQ(out.substr(0, out.find('\t')), tree / "b");
    tree.write("b/late.txt", "3");   // not in the cache: proves the cache answered
    for (const std::string& folder : {std::string("../b"), std::string("..//b/."), tree / "a/../b/"}) {
        ASSERT_EQ(TestPaths::runProgram("/bin/sh",
                                        {"-c", cd + "--quick --no-auto-normal --cache '" + cache.path() +
                                                   "' '*.txt' '" + folder + "'"},
                                        &out, &err),
                  0)
            << folder << ": " << err;
        std::set<std::string> lines;
        for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
            lines.insert(out.substr(start, end - start));
        EXPECT_EQ(lines, (std::set<std::string>{tree / "b/one.txt", tree / "b/sub dir /two.txt"})) << folder;
    }
}

}  // namespace
