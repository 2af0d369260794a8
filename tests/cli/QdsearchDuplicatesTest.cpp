// qdsearch --duplicates LEVEL, end to end on a temporary tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace {

std::string qdsearch() { return TestPaths::binDir() + "/qdsearch"; }

std::vector<std::string> split(const std::string& text, char terminator) {
    std::vector<std::string> records;
    std::string current;
    for (char c : text) {
        if (c == terminator) {
            records.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    EXPECT_TRUE(current.empty()) << "output does not end with a terminator";
    return records;
}

// Records up to each empty record form one group.
std::vector<std::vector<std::string>> groupsOf(const std::string& text, char terminator) {
    std::vector<std::vector<std::string>> groups(1);
    for (const auto& record : split(text, terminator)) {
        if (record.empty())
            groups.emplace_back();
        else
            groups.back().push_back(record);
    }
    EXPECT_TRUE(groups.back().empty()) << "the last group is not closed by an empty record";
    groups.pop_back();
    return groups;
}

// What the grouping must print for this candidate order: groups ordered by their first
// member, each listing its later members in order and its first member last.
std::vector<std::vector<std::string>> expectedGroups(const std::vector<std::string>& order,
                                                     const std::vector<std::set<std::string>>& classes) {
    std::vector<std::vector<std::string>> groups;
    std::set<std::string> done;
    for (const auto& path : order) {
        if (done.count(path))
            continue;
        for (const auto& cls : classes) {
            if (!cls.count(path))
                continue;
            std::vector<std::string> group;
            for (const auto& other : order)
                if (other != path && cls.count(other))
                    group.push_back(other);
            group.push_back(path);
            done.insert(cls.begin(), cls.end());
            groups.push_back(group);
        }
    }
    return groups;
}

class QdsearchDuplicates : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("a/one.txt", "hello");
        dir.write("b/two.txt", "hello");
        dir.write("b/sub/three", "hello");
        dir.write("c/Readme.TXT", "world!");
        dir.write("d/readme.txt", "world!");
        dir.write("e/single.bin", "unique content");
        dir.write("e/samesize.bin", "UNIQUE content");
        dir.mkdir("f/one.txt");   // a folder with a file's name
    }

    // The plain search's order of the files, which the grouping keeps.
    std::vector<std::string> searchOrder() {
        std::string out;
        EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--target", "files", "", dir.path()}, &out), 0);
        return split(out, '\n');
    }

    TempDir dir;
};

TEST_F(QdsearchDuplicates, Md5GroupsComeInSearchOrderEachClosedByAnEmptyLine) {
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--duplicates", "md5", "", dir.path()}, &out, &err), 0) << err;
    const std::vector<std::set<std::string>> classes = {{dir / "a/one.txt", dir / "b/two.txt", dir / "b/sub/three"},
                                                       {dir / "c/Readme.TXT", dir / "d/readme.txt"}};
    EXPECT_EQ(groupsOf(out, '\n'), expectedGroups(searchOrder(), classes));
    EXPECT_EQ(err, "") << "no progress when standard error is not a terminal";
}

struct LevelCase {
    const char* label;
    const char* level;
    std::vector<std::vector<const char*>> classes;
};

class QdsearchDuplicateLevels : public QdsearchDuplicates, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(QdsearchDuplicateLevels, GroupTheFilesOfEachLevel) {
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--duplicates", GetParam().level, "", dir.path()}, &out, &err), 0)
        << err;
    std::vector<std::set<std::string>> classes;
    for (const auto& cls : GetParam().classes) {
        classes.emplace_back();
        for (const char* rel : cls)
            classes.back().insert(dir / rel);
    }
    EXPECT_EQ(groupsOf(out, '\n'), expectedGroups(searchOrder(), classes));
}

INSTANTIATE_TEST_SUITE_P(
    Levels, QdsearchDuplicateLevels,
    ::testing::Values(
        LevelCase{"NameIgnoresCaseAndFolders", "name", {{"c/Readme.TXT", "d/readme.txt"}}},
        LevelCase{"Size", "size",
                  {{"a/one.txt", "b/two.txt", "b/sub/three"},
                   {"c/Readme.TXT", "d/readme.txt"},
                   {"e/single.bin", "e/samesize.bin"}}},
        LevelCase{"Crc32", "crc32", {{"a/one.txt", "b/two.txt", "b/sub/three"}, {"c/Readme.TXT", "d/readme.txt"}}},
        LevelCase{"BytesByNumber", "5", {{"a/one.txt", "b/two.txt", "b/sub/three"}, {"c/Readme.TXT", "d/readme.txt"}}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(QdsearchDuplicates, NulSeparatedGroupsEndWithAnExtraNul) {
    std::string out, text;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--duplicates", "bytes", "-0", "", dir.path()}, &out), 0);
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--duplicates", "bytes", "", dir.path()}, &text), 0);
    std::string expected = text;
    std::replace(expected.begin(), expected.end(), '\n', '\0');
    EXPECT_EQ(out, expected);
    EXPECT_EQ(groupsOf(out, '\0').size(), 2u);
}

TEST_F(QdsearchDuplicates, LongFormatPutsTheGroupNumberBeforeTheSearchRecord) {
    std::string out, plain;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--duplicates", "md5", "--long", "", dir.path()}, &out), 0);
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--long", "--target", "files", "", dir.path()}, &plain), 0);
    const std::vector<std::string> searchRecords = split(plain, '\n');
    const auto groups = groupsOf(out, '\n');
    ASSERT_EQ(groups.size(), 2u);
    for (size_t g = 0; g < groups.size(); ++g) {
        for (const auto& record : groups[g]) {
            const std::string prefix = std::to_string(g + 1) + "\t";
            ASSERT_EQ(record.compare(0, prefix.size(), prefix), 0) << record;
            const std::string rest = record.substr(prefix.size());
            EXPECT_NE(std::find(searchRecords.begin(), searchRecords.end(), rest), searchRecords.end()) << rest;
        }
    }
}

TEST_F(QdsearchDuplicates, CountPrintsTheNumberOfGroupedFiles) {
    std::string out;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--duplicates", "md5", "--count", "", dir.path()}, &out), 0);
    EXPECT_EQ(out, "5\n");
}

TEST_F(QdsearchDuplicates, NoDuplicatesExitsWithOneAndPrintsNothing) {
    std::string out;
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--duplicates", "md5", "single*", dir.path()}, &out), 1);
    EXPECT_EQ(out, "");
}

TEST_F(QdsearchDuplicates, UnknownLevelIsAUsageError) {
    std::string out, err;
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--duplicates", "sha1", "", dir.path()}, &out, &err), 2);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("--duplicates"), std::string::npos) << err;
}

TEST_F(QdsearchDuplicates, HelpListsTheOption) {
    std::string out;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--help"}, &out), 0);
    EXPECT_NE(out.find("--duplicates name|size|time|crc32|md5|bytes"), std::string::npos);
}

}  // namespace
