// Byte comparison and content hashes of the duplicate finder on real files.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <sys/stat.h>

#include "DuplicateTestSupport.h"
#include "duplicate/Duplicate_FileContent.h"
#include "platform/Event.h"
#include "support/TempDir.h"

using namespace duptest;

namespace {

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

struct PairCase {
    const char* label;
    size_t size;
    long flipAt;   // -1: identical; else the offset of the one differing byte
};

class ByteComparison : public ::testing::TestWithParam<PairCase> {};

TEST_P(ByteComparison, FindsTheOneDifferingByteAnywhere) {
    TempDir dir;
    const PairCase& c = GetParam();
    const std::string body = randomBytes(c.size, 3);
    std::string other = body;
    if (c.flipAt >= 0)
        other[static_cast<size_t>(c.flipAt)] ^= 1;
    const std::string a = dir.write("a", body), b = dir.write("b", other);
    const bool equal = c.flipAt < 0;
    EXPECT_EQ(Duplicate_FileContent::equalFiles(a, b), equal);
    EXPECT_EQ(Duplicate_FileContent::equalFiles(b, a), equal);
    uint64_t ha = 0, hb = 0;
    ASSERT_TRUE(Duplicate_FileContent::hashFile(a, UINT64_MAX, ha));
    ASSERT_TRUE(Duplicate_FileContent::hashFile(b, UINT64_MAX, hb));
    EXPECT_EQ(ha == hb, equal);
    // The finder's own comparison answers the same through items.
    PairwiseDuplicateMan finder;
    auto ia = itemFor(a, 1), ib = itemFor(b, 2);
    EXPECT_EQ(finder.compareBBB(ia.get(), ib.get()), equal ? 0 : 1);
}

constexpr size_t kBlock = Duplicate_FileContent::kBlockSize;
INSTANTIATE_TEST_SUITE_P(
    Pairs, ByteComparison,
    ::testing::Values(PairCase{"EmptyFiles", 0, -1}, PairCase{"OneByteEqual", 1, -1},
                      PairCase{"OneByteDiffering", 1, 0}, PairCase{"SeveralBlocksEqual", 3 * kBlock + 17, -1},
                      PairCase{"DifferAtLastByte", 3 * kBlock + 17, 3 * kBlock + 16},
                      PairCase{"DifferAtBlockEdge", 2 * kBlock, static_cast<long>(kBlock)},
                      PairCase{"DifferAtFirstByteOfLargeFile", 2 * kBlock + 1, 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ByteComparisonFailures, DifferentLengthsOrMissingFilesAreNeverEqual) {
    TempDir dir;
    const std::string a = dir.write("a", "abc"), b = dir.write("b", "abcd");
    EXPECT_FALSE(Duplicate_FileContent::equalFiles(a, b));
    EXPECT_FALSE(Duplicate_FileContent::equalFiles(a, dir / "missing"));
    EXPECT_FALSE(Duplicate_FileContent::equalFiles(dir / "missing", dir / "missing"));
    EXPECT_FALSE(Duplicate_FileContent::equalFiles(dir.path(), dir.path())) << "folders have no bytes to compare";
    uint64_t h = 0;
    EXPECT_FALSE(Duplicate_FileContent::hashFile(dir / "missing", 100, h));
}

// A file whose bytes run past the length reported for it, as a file that grows while it is
// compared does. Reading used to stop at the end of the first file, so an empty first file
// "equalled" it.
TEST(ByteComparisonFailures, FileLongerThanItsReportedLengthIsNotEqualToAnEmptyFile) {
    TempDir dir;
    const std::string empty = dir.write("empty", "");
    const std::string growing = "/proc/self/status";   // reported length 0, yet it has bytes
    struct stat st {};
    ASSERT_EQ(::stat(growing.c_str(), &st), 0);
    ASSERT_EQ(st.st_size, 0);
    EXPECT_FALSE(Duplicate_FileContent::equalFiles(empty, growing));
    EXPECT_FALSE(Duplicate_FileContent::equalFiles(growing, empty));
}

TEST(ByteComparisonFailures, SetStopEventEndsTheComparison) {
    TempDir dir;
    const std::string body = randomBytes(kBlock + 5, 9);
    const std::string a = dir.write("a", body), b = dir.write("b", body);
    Event stop;
    EXPECT_TRUE(Duplicate_FileContent::equalFiles(a, b, &stop));
    stop.set();
    EXPECT_FALSE(Duplicate_FileContent::equalFiles(a, b, &stop));
}

TEST(ContentHash, PrefixHashIgnoresBytesBeyondTheLimit) {
    TempDir dir;
    std::string body = randomBytes(5000, 4);
    const std::string a = dir.write("a", body);
    body[4000] ^= 1;
    const std::string b = dir.write("b", body);
    uint64_t ha = 0, hb = 0;
    ASSERT_TRUE(Duplicate_FileContent::hashFile(a, 4000, ha));
    ASSERT_TRUE(Duplicate_FileContent::hashFile(b, 4000, hb));
    EXPECT_EQ(ha, hb);
    ASSERT_TRUE(Duplicate_FileContent::hashFile(b, 4001, hb));
    ASSERT_TRUE(Duplicate_FileContent::hashFile(a, 4001, ha));
    EXPECT_NE(ha, hb);
}

// The errno handed back tells a file that could not be opened from one that is simply no
// regular file; every reader hands back the same.
TEST(ReadErrors, OpenFailureGivesItsErrnoOtherFailuresGiveZero) {
    TempDir dir;
    const std::string file = dir.write("f", "bytes");
    dir.mkdir("folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    struct Case {
        std::string path;
        bool read;
        int error;
    };
    const Case cases[] = {{file, true, 0}, {dir / "missing", false, ENOENT}, {file + "/under", false, ENOTDIR},
                          {dir / "folder", false, 0}, {dir / "pipe", false, 0}};
    for (const Case& c : cases) {
        uint64_t hash = 0;
        uint32_t crc = 0;
        uint8_t digest[16];
        int hashError = -1, crcError = -1, md5Error = -1;
        EXPECT_EQ(Duplicate_FileContent::hashFile(c.path, 4096, hash, nullptr, &hashError), c.read) << c.path;
        EXPECT_EQ(Duplicate_FileContent::fileCRC32(c.path, crc, nullptr, &crcError), c.read) << c.path;
        EXPECT_EQ(Duplicate_FileContent::fileMD5(c.path, digest, nullptr, &md5Error), c.read) << c.path;
        EXPECT_EQ(hashError, c.error) << c.path;
        EXPECT_EQ(crcError, c.error) << c.path;
        EXPECT_EQ(md5Error, c.error) << c.path;
    }
}

}  // namespace
