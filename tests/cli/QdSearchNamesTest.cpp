// qdsearch run as a program on names with several dots, whole words at the start of a file
// and folders whose paths pass PATH_MAX.
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "support/DeepTree.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace {

std::string qdsearch() { return TestPaths::binDir() + "/qdsearch"; }

std::set<std::string> lines(const std::string& text) {
    std::set<std::string> out;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.insert(text.substr(start, end - start));
    return out;
}

// runProgram takes an initializer list; the cases here have up to seven arguments.
int run(const std::vector<std::string>& a, std::string& out, std::string& err) {
    const auto q = qdsearch();
    switch (a.size()) {
    case 2: return TestPaths::runProgram(q, {a[0], a[1]}, &out, &err);
    case 3: return TestPaths::runProgram(q, {a[0], a[1], a[2]}, &out, &err);
    case 4: return TestPaths::runProgram(q, {a[0], a[1], a[2], a[3]}, &out, &err);
    case 5: return TestPaths::runProgram(q, {a[0], a[1], a[2], a[3], a[4]}, &out, &err);
    case 6: return TestPaths::runProgram(q, {a[0], a[1], a[2], a[3], a[4], a[5]}, &out, &err);
    case 7: return TestPaths::runProgram(q, {a[0], a[1], a[2], a[3], a[4], a[5], a[6]}, &out, &err);
    default: ADD_FAILURE() << "unsupported argument count"; return -1;
    }
}

struct NameCase {
    const char* label;
    std::vector<std::string> options;   // before the name line
    const char* line;
    std::set<std::string> expected;     // names in the folder
};

class QdSearchMultiDotPatternRegression : public ::testing::TestWithParam<NameCase> {
protected:
    void SetUp() override {
        for (const char* name : {"archive.tar.gz", "my.report.pdf", "report.pdf", "plain.gz", "notes.txt"})
            tree.write(std::string("d/") + name, "x");
    }
    std::set<std::string> expected(const std::string& folder) const {
        std::set<std::string> out;
        for (const auto& n : GetParam().expected)
            out.insert(folder + "/" + n);
        return out;
    }
    TempDir tree, cache;
    std::string out, err;
};

TEST_P(QdSearchMultiDotPatternRegression, DiskWalk) {
    std::vector<std::string> args = GetParam().options;
    args.push_back(GetParam().line);
    args.push_back(tree / "d");
    const int rc = run(args, out, err);
    EXPECT_EQ(rc, GetParam().expected.empty() ? 1 : 0) << err;
    EXPECT_EQ(lines(out), expected(tree / "d"));
}

TEST_P(QdSearchMultiDotPatternRegression, QuickSearchFromTheIndex) {
    ASSERT_EQ(run({"--index", tree / "d", "--cache", cache.path()}, out, err), 0) << err;
    std::vector<std::string> args = GetParam().options;
    for (const char* a : {"--quick", "--no-auto-normal", "--cache"})
        args.push_back(a);
    args.push_back(cache.path());
    args.push_back(GetParam().line);
    args.push_back(tree / "d");
    run(args, out, err);
    EXPECT_EQ(lines(out), expected(tree / "d")) << err;
}

TEST_P(QdSearchMultiDotPatternRegression, InsideAnArchive) {
    if (TestPaths::runProgram("7z", {"i"}) != 0)
        GTEST_SKIP() << "7z is not installed";
    TempDir other;
    ASSERT_EQ(TestPaths::runProgram("7z", {"a", "-tzip", other / "pack.zip", tree / "d/*"}, &out, &err), 0) << err;
    std::vector<std::string> args = GetParam().options;
    args.push_back("--archives");
    args.push_back(GetParam().line);
    args.push_back(other.path());
    run(args, out, err);
    EXPECT_EQ(lines(out), expected(other / "pack.zip")) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, QdSearchMultiDotPatternRegression,
    ::testing::Values(NameCase{"ExactName", {}, "archive.tar.gz", {"archive.tar.gz"}},
                      NameCase{"StarTarGz", {}, "*.tar.gz", {"archive.tar.gz"}},
                      NameCase{"ThreePartName", {}, "my.report.pdf", {"my.report.pdf"}},
                      NameCase{"StarTarStar", {}, "*.tar.*", {"archive.tar.gz"}},
                      NameCase{"Quoted", {}, "\"archive.tar.gz\"", {"archive.tar.gz"}},
                      NameCase{"NoOperators", {"--no-operators"}, "my.report.pdf", {"my.report.pdf"}},
                      NameCase{"OneDotAsBefore", {}, "*.pdf", {"my.report.pdf", "report.pdf"}}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

TEST(QdSearchWords, WordAtFileStartRegression) {
    TempDir tree;
    tree.write("a.txt", "hello world\n");
    tree.write("b.txt", "helloworld\n");
    std::string out, err;
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "hello", "--word", "", tree.path()}, &out, &err), 0) << err;
    EXPECT_EQ(out, tree / "a.txt\n");
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "hello", "--word", "--not", "", tree.path()}, &out, &err),
              0)
        << err;
    EXPECT_EQ(out, tree / "b.txt\n");
}

TEST(QdSearchDeepFolders, DeepFolderRegression) {
    TempDir tmp;
    DeepTree deep(tmp.path(), 25, 200);
    deep.write("deep.txt", "the needle");
    ASSERT_GE(deep.path().size(), size_t(PATH_MAX));
    std::string out, err;
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"deep.txt", tmp.path()}, &out, &err), 0) << err;
    EXPECT_EQ(out, deep.path() + "/deep.txt\n");
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "needle", "", tmp.path()}, &out, &err), 0) << err;
    EXPECT_EQ(out, deep.path() + "/deep.txt\n");
}

}  // namespace
