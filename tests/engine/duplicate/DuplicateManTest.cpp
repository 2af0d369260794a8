// Grouping behaviour of the duplicate finder on real files.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "DuplicateTestSupport.h"
#include "search/Search_Man.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"
#include "tools/Tool_CRC32.h"
#include "tools/Tool_Resource.h"

using namespace duptest;

namespace {

const char* levelName(int level) {
    static const char* names[] = {"Name", "Size", "Time", "CRC32", "MD5", "Bytes"};
    return level >= 0 && level <= 5 ? names[level] : "Other";
}

struct Run {
    uint32_t returned = 0;
    RecordingReceiver receiver;
    bool emptied = false;
};

std::unique_ptr<Run> group(int level, std::vector<std::unique_ptr<Data_FileItem>> candidates) {
    auto run = std::make_unique<Run>();
    Duplicate_Rule rule;
    rule.bEnable = 1;
    rule.iLevel = level;
    Duplicate_Man finder;
    finder.setStopEvent(&Search_Man::s_hStopSearchEvent);
    run->returned = finder.search(&run->receiver, rule, candidates);
    run->emptied = candidates.empty();
    return run;
}

class DuplicateManTest : public ::testing::Test {
protected:
    void SetUp() override { Search_Man::s_hStopSearchEvent.reset(); }
    void TearDown() override { Search_Man::s_hStopSearchEvent.reset(); }
    TempDir dir;
};

// ---- the four-candidate example, at every level where it can be built ---------------------

class FourCandidates : public DuplicateManTest, public ::testing::WithParamInterface<int> {};

TEST_P(FourCandidates, FirstAndThirdThenSecondAndFourth) {
    const int level = GetParam();
    // p1 = p3 and p2 = p4 at the level under test, and p1 != p2 at it.
    const std::string names[4] = {"one.txt", "two.txt", "ONE.TXT", "Two.txt"};
    const std::string bodies[4] = {"aaaa", "bbbbbb", "aaaa", "bbbbbb"};
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int k = 0; k < 4; ++k) {
        const std::string rel = "p" + std::to_string(k + 1) + "/" + names[k];
        dir.write(rel, bodies[k]);
        dir.setTimes(rel, 1600000000 + (k % 2));
        items.push_back(itemFor(dir / rel, k + 1));
    }
    auto run = group(level, std::move(items));
    const std::vector<std::vector<Member>> expected = {{{3, 1}, {1, 1}}, {{4, 2}, {2, 2}}};
    EXPECT_EQ(run->receiver.groups, expected);
    EXPECT_EQ(run->returned, 4u);
    EXPECT_TRUE(run->emptied);
}

INSTANTIATE_TEST_SUITE_P(Levels, FourCandidates, ::testing::Range(0, 6),
                         [](const auto& info) { return std::string(levelName(info.param)); });

// ---- two empty files -------------------------------------------------------------------

class TwoEmptyFiles : public DuplicateManTest, public ::testing::WithParamInterface<int> {};

TEST_P(TwoEmptyFiles, AreDuplicates) {
    dir.write("a/first", "");
    dir.write("b/second.dat", "");
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(itemFor(dir / "a/first", 1));
    items.push_back(itemFor(dir / "b/second.dat", 2));
    auto run = group(GetParam(), std::move(items));
    const std::vector<std::vector<Member>> expected = {{{2, 1}, {1, 1}}};
    EXPECT_EQ(run->receiver.groups, expected);
    EXPECT_EQ(run->returned, 2u);
}

INSTANTIATE_TEST_SUITE_P(Levels, TwoEmptyFiles, ::testing::Values(1, 3, 4, 5),
                         [](const auto& info) { return std::string(levelName(info.param)); });

// ---- names -------------------------------------------------------------------------------

struct NameCase {
    const char* label;
    const char* first;
    const char* second;
    bool duplicates;
};

class NamesAtLevelZero : public DuplicateManTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NamesAtLevelZero, CompareIgnoringAsciiCaseOnly) {
    const NameCase& c = GetParam();
    dir.write(std::string("x/") + c.first, "short");
    dir.write(std::string("y/") + c.second, "a much longer body");
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(itemFor(dir / (std::string("x/") + c.first), 1));
    items.push_back(itemFor(dir / (std::string("y/") + c.second), 2));
    auto run = group(0, std::move(items));
    EXPECT_EQ(run->receiver.groups.size(), c.duplicates ? 1u : 0u);
    EXPECT_EQ(run->returned, c.duplicates ? 2u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NamesAtLevelZero,
    ::testing::Values(NameCase{"DifferentCaseAnySize", "Readme.TXT", "readme.txt", true},
                      NameCase{"ExtensionMatters", "readme.txt", "readme.md", false},
                      NameCase{"TrailingDotIsPartOfTheName", "readme", "readme.", false},
                      NameCase{"NonAsciiLettersKeepTheirCase", "\xC3\x84pfel.txt", "\xC3\xA4pfel.txt", false},
                      NameCase{"NonAsciiSameBytes", "\xC3\xA4pfel.TXT", "\xC3\xA4pfel.txt", true}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- single candidates, folders ------------------------------------------------------------

TEST_F(DuplicateManTest, SingleCandidateGivesNoGroupAndIsDeleted) {
    dir.write("only.txt", "x");
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(itemFor(dir / "only.txt", 1));
    auto run = group(1, std::move(items));
    EXPECT_TRUE(run->receiver.groups.empty());
    EXPECT_EQ(run->returned, 0u);
    EXPECT_TRUE(run->emptied);
    EXPECT_EQ(run->receiver.messages.size(), 1u);
}

class FoldersAmongCandidates : public DuplicateManTest, public ::testing::WithParamInterface<int> {};

TEST_P(FoldersAmongCandidates, AreNeverGrouped) {
    // Folders first (each is a step of its own), then files, then more folders that the
    // first file's scan drops. Folder names, sizes and times equal the files'.
    std::vector<std::unique_ptr<Data_FileItem>> items;
    dir.mkdir("f1/same");
    dir.mkdir("f2/same");
    dir.write("a/same", "");
    dir.write("b/same", "");
    dir.mkdir("f3/same");
    for (const char* rel : {"f1/same", "f2/same", "a/same", "b/same", "f3/same"}) {
        dir.setTimes(rel, 1600000000);
        items.push_back(itemFor(dir / rel, static_cast<int>(items.size()) + 1));
    }
    auto run = group(GetParam(), std::move(items));
    const std::vector<std::vector<Member>> expected = {{{4, 1}, {3, 1}}};
    EXPECT_EQ(run->receiver.groups, expected);
    EXPECT_EQ(run->returned, 2u);
    // Steps: folder, folder, the first file (which takes its partner and the last folder).
    EXPECT_EQ(run->receiver.messages.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Levels, FoldersAmongCandidates, ::testing::Values(0, 1, 2, 3, 4, 5, 9),
                         [](const auto& info) { return std::string(levelName(info.param)); });

// ---- progress ------------------------------------------------------------------------------

TEST_F(DuplicateManTest, ProgressOf200CandidatesRunsFromZeroAndIsAt75WhenFiftyRemain) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int k = 0; k < 200; ++k)
        items.push_back(itemNamed(dir / ("f" + std::to_string(k)), k, k));   // all sizes differ
    auto run = group(1, std::move(items));
    const std::string header = Duplicate_Man::formatHeader(Tool_Resource::loadString(114), 200);
    ASSERT_EQ(run->receiver.messages.size(), 200u);
    EXPECT_EQ(run->receiver.messages[0], header + "(0.0 %)");
    EXPECT_EQ(run->receiver.messages[150], header + "(75.0 %)");   // 50 remain, this one included
    EXPECT_EQ(run->receiver.messages[199], header + "(99.5 %)");
}

TEST_F(DuplicateManTest, ProgressCountsWhatGroupsTookAway) {
    // Ten files of one size: a single step takes them all.
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int k = 0; k < 10; ++k)
        items.push_back(itemNamed(dir / ("f" + std::to_string(k)), 5, k));
    items.push_back(itemNamed(dir / "other", 6, 10));
    items.push_back(itemNamed(dir / "last", 6, 11));
    auto run = group(1, std::move(items));
    ASSERT_EQ(run->receiver.messages.size(), 2u);
    EXPECT_NE(run->receiver.messages[1].find("(83.3 %)"), std::string::npos) << run->receiver.messages[1];
    EXPECT_EQ(run->returned, 12u);
}

struct HeaderCase {
    const char* label;
    const char* format;
    const char* expected;
};

class ProgressHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(ProgressHeader, TakesTheCountWithoutTrustingTheFormat) {
    EXPECT_EQ(Duplicate_Man::formatHeader(GetParam().format, 42), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ProgressHeader,
    ::testing::Values(HeaderCase{"Plain", "Comparing %d files ", "Comparing 42 files "},
                      HeaderCase{"Percent", "%d%% ", "42% "},
                      HeaderCase{"Width", "[%5d][%-4d]", "[   42][%-4d]"},
                      HeaderCase{"ZeroPad", "%04d", "0042"},
                      // A translated text with a stray conversion must not reach printf.
                      HeaderCase{"StrayStringConversionIsNotInterpreted", "%s %n %d", "%s %n 42"},
                      HeaderCase{"TrailingPercent", "files %", "files %"},
                      HeaderCase{"NoConversion", "Failed String", "Failed String"}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- unreadable and vanished files ------------------------------------------------------------

class UnreadableFiles : public DuplicateManTest, public ::testing::WithParamInterface<int> {};

// Two files that vanished after the search have equal recorded sizes; reading either fails.
// They used to fall into one group of "checksum 0" files.
TEST_P(UnreadableFiles, VanishedFilesAreNotDuplicatesOfEachOther) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(itemNamed(dir / "gone1.txt", 100, 1));
    items.push_back(itemNamed(dir / "gone2.txt", 100, 2));
    auto run = group(GetParam(), std::move(items));
    EXPECT_TRUE(run->receiver.groups.empty());
    EXPECT_EQ(run->returned, 0u);
    EXPECT_TRUE(run->emptied);
}

TEST_P(UnreadableFiles, FileVanishingBeforeGroupingLeavesTheOthersGrouped) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int k = 1; k <= 3; ++k) {
        const std::string rel = "copy" + std::to_string(k) + ".bin";
        dir.write(rel, std::string(1000, 'z'));
        items.push_back(itemFor(dir / rel, k));
    }
    ASSERT_EQ(::unlink((dir / "copy1.bin").c_str()), 0);
    auto run = group(GetParam(), std::move(items));
    const std::vector<std::vector<Member>> expected = {{{3, 1}, {2, 1}}};
    EXPECT_EQ(run->receiver.groups, expected);
    EXPECT_EQ(run->returned, 2u);
}

TEST_P(UnreadableFiles, FileReplacedByAnotherOfTheSameSizeIsComparedByItsNewBytes) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    dir.write("a", "same bytes");
    dir.write("b", "same bytes");
    items.push_back(itemFor(dir / "a", 1));
    items.push_back(itemFor(dir / "b", 2));
    dir.write("b", "diff bytes");
    auto run = group(GetParam(), std::move(items));
    EXPECT_TRUE(run->receiver.groups.empty());
}

TEST_P(UnreadableFiles, FileWithoutReadPermissionIsNobodysDuplicate) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int k = 1; k <= 3; ++k) {
        const std::string rel = "locked" + std::to_string(k);
        dir.write(rel, "identical");
        ::chmod((dir / rel).c_str(), 0644);
        items.push_back(itemFor(dir / rel, k));
    }
    Unprivileged::openUp(dir.path());
    ::chmod((dir / "locked1").c_str(), 0);
    ::chmod((dir / "locked2").c_str(), 0);
    const int outcome = Unprivileged::run([&] {
        auto run = group(GetParam(), std::move(items));
        return run->receiver.groups.empty() ? 0 : 1;
    });
    EXPECT_EQ(outcome, 0) << "1: unreadable files were grouped, -1: could not run unprivileged";
}

TEST_P(UnreadableFiles, UnreadableFileIsReportedAndTheOthersStillGroupRegression) {
    // All four have one size, so every one of them must be read.
    std::vector<std::unique_ptr<Data_FileItem>> items;
    const char* names[] = {"open1", "locked1", "open2", "locked2"};
    for (int k = 0; k < 4; ++k) {
        dir.write(names[k], "identical");
        ::chmod((dir / names[k]).c_str(), 0644);
        items.push_back(itemFor(dir / names[k], k + 1));
    }
    Unprivileged::openUp(dir.path());
    ::chmod((dir / "locked1").c_str(), 0);
    ::chmod((dir / "locked2").c_str(), 0);
    const std::vector<std::pair<std::string, int>> expected{{dir / "locked1", EACCES}, {dir / "locked2", EACCES}};
    const int outcome = Unprivileged::run([&] {
        auto run = group(GetParam(), std::move(items));
        if (run->receiver.unreadable != expected)
            return 1;
        return run->receiver.groups == std::vector<std::vector<Member>>{{{3, 1}, {1, 1}}} ? 0 : 2;
    });
    EXPECT_EQ(outcome, 0) << "1: wrong reports, 2: wrong groups, -1: could not run unprivileged";
}

TEST_P(UnreadableFiles, FileThatVanishedIsNotReported) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    dir.write("a", "same");
    dir.write("gone", "same");
    items.push_back(itemFor(dir / "a", 1));
    items.push_back(itemFor(dir / "gone", 2));
    ASSERT_EQ(::unlink((dir / "gone").c_str()), 0);
    auto run = group(GetParam(), std::move(items));
    EXPECT_TRUE(run->receiver.groups.empty());
    EXPECT_EQ(run->receiver.unreadable, (std::vector<std::pair<std::string, int>>{}));
}

TEST_P(UnreadableFiles, FifosDoNotBlockAndAreNobodysDuplicate) {
    ASSERT_EQ(::mkfifo((dir / "pipe1").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "pipe2").c_str(), 0600), 0);
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(itemFor(dir / "pipe1", 1));
    items.push_back(itemFor(dir / "pipe2", 2));
    auto run = group(GetParam(), std::move(items));
    EXPECT_TRUE(run->receiver.groups.empty());
    EXPECT_TRUE(run->receiver.unreadable.empty()) << "a FIFO is not a file that could not be read";
}

INSTANTIATE_TEST_SUITE_P(ContentLevels, UnreadableFiles, ::testing::Values(3, 4, 5),
                         [](const auto& info) { return std::string(levelName(info.param)); });

// ---- checksum caches ---------------------------------------------------------------------------

TEST_F(DuplicateManTest, CachedChecksumsAreTrustedAndFreshOnesAreKept) {
    // The items already carry checksums (as after an earlier grouping): no file is read.
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(itemNamed(dir / "not-there-1", 10, 1));
    items.push_back(itemNamed(dir / "not-there-2", 10, 2));
    items[0]->m_dwCRC32 = items[1]->m_dwCRC32 = 0x12345678;
    auto run = group(3, std::move(items));
    EXPECT_EQ(run->returned, 2u);

    dir.write("c1", "payload");
    dir.write("c2", "payload");
    items.clear();
    items.push_back(itemFor(dir / "c1", 1));
    items.push_back(itemFor(dir / "c2", 2));
    run = group(4, std::move(items));
    ASSERT_EQ(run->receiver.kept.size(), 2u);
    uint8_t expected[16];
    ASSERT_TRUE(Tool_Resource::checkFileMD5(dir / "c1", expected));
    for (const auto& item : run->receiver.kept)
        EXPECT_EQ(Tool_Resource::compareMD5Value(item->m_md5, expected), 0);

    items.clear();
    items.push_back(itemFor(dir / "c1", 1));
    items.push_back(itemFor(dir / "c2", 2));
    run = group(3, std::move(items));
    ASSERT_EQ(run->receiver.kept.size(), 2u);
    for (const auto& item : run->receiver.kept)
        EXPECT_EQ(item->m_dwCRC32, Tool_Resource::checkFileCRC32(dir / "c1"));
}

// ---- checksum collisions ---------------------------------------------------------------

uint32_t crcOf(const std::string& bytes) {
    Tool_CRC32 crc;
    crc.update(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return crc.value();
}

// Two different 64-byte texts with the same CRC-32: the second differs from the first in its
// first byte, and its last four bytes are chosen to bring the checksum back. For texts of
// one length the CRC is affine, so the four bytes solve a 32x32 system over GF(2).
std::pair<std::string, std::string> crc32Collision() {
    std::mt19937 rng(11);
    std::string first(64, '\0');
    for (char& c : first)
        c = static_cast<char>(rng() & 0xFF);
    const std::string zero(64, '\0');
    auto linear = [&](const std::string& d) { return crcOf(d) ^ crcOf(zero); };
    std::array<uint32_t, 32> value{}, mask{};
    std::array<bool, 32> used{};
    for (int bit = 0; bit < 32; ++bit) {
        std::string e = zero;
        e[60 + bit / 8] = static_cast<char>(1 << (bit % 8));
        uint32_t v = linear(e), m = 1u << bit;
        for (int b = 31; b >= 0; --b) {
            if (!((v >> b) & 1))
                continue;
            if (!used[b]) {
                used[b] = true;
                value[b] = v;
                mask[b] = m;
                break;
            }
            v ^= value[b];
            m ^= mask[b];
        }
    }
    std::string change = zero;
    change[0] = 1;
    uint32_t rest = linear(change), patch = 0;
    for (int b = 31; b >= 0; --b)
        if ((rest >> b) & 1 && used[b]) {
            rest ^= value[b];
            patch ^= mask[b];
        }
    std::string second = first;
    second[0] = static_cast<char>(second[0] ^ 1);
    for (int bit = 0; bit < 32; ++bit)
        if ((patch >> bit) & 1)
            second[60 + bit / 8] = static_cast<char>(second[60 + bit / 8] ^ (1 << (bit % 8)));
    return {first, second};
}

TEST_F(DuplicateManTest, DifferentFilesWithEqualCrc32AreNotDuplicatesRegression) {
    // Equal size and CRC-32 but other bytes: only the true copy joins the group.
    const auto [first, second] = crc32Collision();
    ASSERT_NE(first, second);
    ASSERT_EQ(crcOf(first), crcOf(second));
    dir.write("a/original.bin", first);
    dir.write("b/forged.bin", second);
    dir.write("c/copy.bin", first);
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(itemFor(dir / "a/original.bin", 1));
    items.push_back(itemFor(dir / "b/forged.bin", 2));
    items.push_back(itemFor(dir / "c/copy.bin", 3));
    auto run = group(3, std::move(items));
    const std::vector<std::vector<Member>> expected = {{{3, 1}, {1, 1}}};
    EXPECT_EQ(run->receiver.groups, expected);
    EXPECT_EQ(run->returned, 2u);
}

// ---- stopping ----------------------------------------------------------------------------

TEST_F(DuplicateManTest, StopBeforeTheStartDeliversNothing) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int k = 0; k < 4; ++k)
        items.push_back(itemNamed(dir / ("f" + std::to_string(k)), 1, k));
    Search_Man::s_hStopSearchEvent.set();
    auto run = group(1, std::move(items));
    EXPECT_TRUE(run->receiver.messages.empty());
    EXPECT_TRUE(run->receiver.groups.empty());
    EXPECT_EQ(run->returned, 0u);
    EXPECT_TRUE(run->emptied);
}

TEST_F(DuplicateManTest, StopDuringTheRunKeepsDeliveredGroupsAndDropsTheRest) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int k = 0; k < 6; ++k)
        items.push_back(itemNamed(dir / ("f" + std::to_string(k)), k % 3, k));
    Duplicate_Rule rule;
    rule.iLevel = 1;
    RecordingReceiver receiver;
    receiver.stopAfterMessages = 2;   // stop is asked for while the second group is formed
    Duplicate_Man finder;
    finder.setStopEvent(&Search_Man::s_hStopSearchEvent);
    const uint32_t returned = finder.search(&receiver, rule, items);
    const std::vector<std::vector<Member>> expected = {{{3, 1}, {0, 1}}, {{4, 2}, {1, 2}}};
    EXPECT_EQ(receiver.groups, expected);
    EXPECT_EQ(returned, 4u);
    EXPECT_TRUE(items.empty());
}

TEST_F(DuplicateManTest, LevelOutsideTheRangeMakesAllFilesOneGroup) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int k = 0; k < 3; ++k)
        items.push_back(itemNamed(dir / ("f" + std::to_string(k)), k, k));
    auto run = group(17, std::move(items));
    const std::vector<std::vector<Member>> expected = {{{1, 1}, {2, 1}, {0, 1}}};
    EXPECT_EQ(run->receiver.groups, expected);
}

TEST_F(DuplicateManTest, NullReceiverStillCountsAndFreesEverything) {
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int k = 0; k < 3; ++k)
        items.push_back(itemNamed(dir / ("f" + std::to_string(k)), 1, k));
    Duplicate_Rule rule;
    rule.iLevel = 1;
    Duplicate_Man finder;
    EXPECT_EQ(finder.search(nullptr, rule, items), 3u);
    EXPECT_TRUE(items.empty());
}

}  // namespace
