#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "records/Data_FileItem.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "tools/Tool_CRC32.h"
#include "tools/Tool_MD5.h"
#include "tools/Tool_Resource.h"

namespace {

const uint8_t* bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

std::string hex(const uint8_t* d, size_t n) {
    std::string out;
    char b[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, "%02x", d[i]);
        out += b;
    }
    return out;
}

std::string md5Hex(const std::string& s) {
    uint8_t d[16];
    Tool_Resource::checkMD5(bytes(s), s.size(), d);
    return hex(d, 16);
}

struct Vector {
    const char* name;
    std::string input;
    uint32_t crc;
    const char* md5;
};
class KnownVectors : public ::testing::TestWithParam<Vector> {};

TEST_P(KnownVectors, CrcAndDigestMatch) {
    const auto& v = GetParam();
    EXPECT_EQ(Tool_Resource::checkCRC32(bytes(v.input), v.input.size()), v.crc);
    EXPECT_EQ(md5Hex(v.input), v.md5);
}

// MD5 values are the test suite of RFC 1321; CRC values are the IEEE check values.
INSTANTIATE_TEST_SUITE_P(
    Rfc1321, KnownVectors,
    ::testing::Values(
        Vector{"Empty", "", 0x00000000u, "d41d8cd98f00b204e9800998ecf8427e"},
        Vector{"A", "a", 0xE8B7BE43u, "0cc175b9c0f1b6a831c399e269772661"},
        Vector{"Abc", "abc", 0x352441C2u, "900150983cd24fb0d6963f7d28e17f72"},
        Vector{"MessageDigest", "message digest", 0x20159D7Fu, "f96b697d7cb7938d525a2f31aaf161d0"},
        Vector{"Alphabet", "abcdefghijklmnopqrstuvwxyz", 0x4C2750BDu, "c3fcd3d76192e4007dfb496cca67e13b"},
        Vector{"Alnum", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", 0x1FC2E6D2u,
               "d174ab98d277d9f5a5611c2c9f419d9f"},
        Vector{"Digits80", "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
               0x7CA94A72u, "57edf4a22be3c955ac49da2e2107b67a"},
        Vector{"CheckValue", "123456789", 0xCBF43926u, "25f9e794323b453885f5181f1b624d0b"},
        Vector{"Fox", "The quick brown fox jumps over the lazy dog", 0x414FA339u,
               "9e107d9d372bb6826bd81d3542a419d6"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Checksums, NullDataAndDigestOrder) {
    EXPECT_EQ(Tool_Resource::checkCRC32(nullptr, 10), 0u);
    uint8_t a[16] = {}, b[16] = {};
    EXPECT_EQ(Tool_Resource::compareMD5Value(a, b), 0);
    b[15] = 1;
    EXPECT_EQ(Tool_Resource::compareMD5Value(a, b), -1);
    a[3] = 0xFF;
    EXPECT_EQ(Tool_Resource::compareMD5Value(a, b), 1);  // first difference decides, unsigned
}

TEST(Checksums, IncrementalUpdatesEqualOneShotForEverySplit) {
    std::string data(300, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7 + 3);
    const uint32_t crc = Tool_Resource::checkCRC32(bytes(data), data.size());
    const std::string md5 = md5Hex(data);
    for (size_t split = 0; split <= data.size(); split += 13) {
        Tool_CRC32 c;
        Tool_MD5 m;
        c.update(bytes(data), split);
        c.update(bytes(data) + split, data.size() - split);
        m.update(bytes(data), split);
        m.update(bytes(data) + split, data.size() - split);
        uint8_t d[16];
        m.finish(d);
        EXPECT_EQ(c.value(), crc) << split;
        EXPECT_EQ(hex(d, 16), md5) << split;
    }
}

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(gen() & 0xFF);
    return s;
}

// An independent reference: Python's zlib and hashlib read the same file.
bool pythonChecksums(const std::string& path, uint32_t& crc, std::string& md5) {
    std::string out;
    const int rc = TestPaths::runProgram(
        "/usr/bin/python3",
        {"-c",
         "import sys,zlib,hashlib\nd=open(sys.argv[1],'rb').read()\nprint(zlib.crc32(d), hashlib.md5(d).hexdigest())",
         path},
        &out);
    if (rc != 0)
        return false;
    char digest[40] = {};
    unsigned long value = 0;
    if (std::sscanf(out.c_str(), "%lu %32s", &value, digest) != 2)
        return false;
    crc = static_cast<uint32_t>(value);
    md5 = digest;
    return true;
}

constexpr size_t kBlock = 256 * 1024;

class FileStreaming : public ::testing::TestWithParam<size_t> {};

TEST_P(FileStreaming, EveryByteAcrossBlockBoundaries) {
    TempDir dir;
    const std::string data = randomBytes(GetParam(), static_cast<unsigned>(GetParam()));
    const std::string path = dir.write("data.bin", data);

    uint32_t crc = 1;
    ASSERT_TRUE(Tool_Resource::checkFileCRC32(path, crc));
    EXPECT_EQ(crc, Tool_Resource::checkCRC32(bytes(data), data.size()));
    EXPECT_EQ(Tool_Resource::checkFileCRC32(path), crc);
    uint8_t digest[16];
    ASSERT_TRUE(Tool_Resource::checkFileMD5(path, digest));
    EXPECT_EQ(hex(digest, 16), md5Hex(data));

    uint32_t refCrc = 0;
    std::string refMd5;
    if (pythonChecksums(path, refCrc, refMd5)) {
        EXPECT_EQ(crc, refCrc);
        EXPECT_EQ(hex(digest, 16), refMd5);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FileStreaming,
                         ::testing::Values(size_t{0}, size_t{1}, size_t{63}, size_t{64}, kBlock - 1, kBlock,
                                           kBlock + 1, 3 * kBlock + 7),
                         [](const auto& info) { return "Bytes" + std::to_string(info.param); });

// The digest of every file and of every way of feeding it (whole, in odd pieces, from an
// unaligned address) agrees with `md5sum`. The sizes sit on the padding boundaries: 55 bytes
// still leave room for the length in the last block, 56 to 63 need a second padding block.
class AgainstMd5sum : public ::testing::TestWithParam<size_t> {};

TEST_P(AgainstMd5sum, FileDigestAndPiecewiseDigestMatch) {
    TempDir dir;
    const size_t size = GetParam();
    const std::string data = randomBytes(size, static_cast<unsigned>(size) + 17);
    const std::string path = dir.write("odd size.bin", data);

    std::string out;
    ASSERT_EQ(TestPaths::runProgram("/usr/bin/md5sum", {"-b", path}, &out), 0);
    ASSERT_GE(out.size(), 32u);
    const std::string expected = out.substr(0, 32);

    uint8_t digest[16];
    ASSERT_TRUE(Tool_Resource::checkFileMD5(path, digest));
    EXPECT_EQ(hex(digest, 16), expected);

    // Copied one byte past an aligned start, fed in pieces of 1, 7, 64, 65, ... bytes.
    std::vector<uint8_t> shifted(size + 1);
    std::memcpy(shifted.data() + 1, data.data(), size);
    Tool_MD5 md5;
    size_t done = 0;
    for (size_t piece = 1; done < size; piece = piece * 7 % 131 + 1) {
        const size_t n = std::min(piece, size - done);
        md5.update(shifted.data() + 1 + done, n);
        done += n;
    }
    md5.finish(digest);
    EXPECT_EQ(hex(digest, 16), expected);
}

INSTANTIATE_TEST_SUITE_P(PaddingBoundaries, AgainstMd5sum,
                         ::testing::Values(size_t{0}, size_t{1}, size_t{55}, size_t{56}, size_t{63}, size_t{64},
                                           size_t{65}, size_t{119}, size_t{120}, (size_t{1} << 20) + 3),
                         [](const auto& info) { return "Bytes" + std::to_string(info.param); });

TEST(FileChecksums, EmptyFileHasTheEmptyChecksums) {
    TempDir dir;
    const std::string path = dir.write("empty", "");
    uint32_t crc = 99;
    ASSERT_TRUE(Tool_Resource::checkFileCRC32(path, crc));
    EXPECT_EQ(crc, 0u);  // a genuine zero, reported as success
    uint8_t d[16];
    ASSERT_TRUE(Tool_Resource::checkFileMD5(path, d));
    EXPECT_EQ(hex(d, 16), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(FileChecksums, UnreadableMissingAndSpecialFilesFail) {
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> bad = {dir / "missing", dir.path(), fifo, "/dev/zero"};
    if (::geteuid() != 0) {
        const std::string closed = dir.write("closed", "secret");
        ::chmod(closed.c_str(), 0);
        bad.push_back(closed);
    }
    for (const auto& path : bad) {
        uint32_t crc = 0x12345678;
        EXPECT_FALSE(Tool_Resource::checkFileCRC32(path, crc)) << path;
        EXPECT_EQ(crc, 0x12345678u) << path;
        EXPECT_EQ(Tool_Resource::checkFileCRC32(path), 0u) << path;
        uint8_t d[16];
        std::fill(d, d + 16, 0xAB);
        EXPECT_FALSE(Tool_Resource::checkFileMD5(path, d)) << path;
        EXPECT_EQ(d[0], 0xAB) << path;  // untouched
        EXPECT_EQ(d[15], 0xAB) << path;
    }
}

TEST(DataFileItemChecksums, ComputedOnceFromTheItemsFile) {
    TempDir dir;
    const std::string data = "The quick brown fox jumps over the lazy dog";
    dir.write("fox.txt", data);
    Data_FileItem item;
    item.m_strPath = dir.path() + "/";
    item.setFileName("fox.txt");
    EXPECT_EQ(item.calcCRC32(), 0x414FA339u);
    EXPECT_EQ(hex(item.calcMD5(), 16), "9e107d9d372bb6826bd81d3542a419d6");
    dir.write("fox.txt", "changed");  // cached values stay until reset
    EXPECT_EQ(item.calcCRC32(), 0x414FA339u);
    EXPECT_EQ(hex(item.calcMD5(), 16), "9e107d9d372bb6826bd81d3542a419d6");
}

TEST(DataFileItemChecksums, UnreadableFileGivesZeroAndNoDigest) {
    Data_FileItem item;
    item.m_strPath = "/nonexistent-folder-for-test/";
    item.setFileName("x.bin");
    EXPECT_EQ(item.calcCRC32(), 0u);
    const uint8_t* d = item.calcMD5();
    EXPECT_EQ(d[0], 0u);
}

// Files of 4 GiB and more used to be read through a 32-bit size, in one buffer. This reads
// 4 GiB of zeros from a sparse file, so it runs only when QUENDREL_LARGE_FILE_TESTS is set.
TEST(FileChecksums, FileOver4GiBIsReadWholeRegression) {
    if (!std::getenv("QUENDREL_LARGE_FILE_TESTS"))
        GTEST_SKIP() << "set QUENDREL_LARGE_FILE_TESTS=1 to read a sparse 4 GiB file";
    TempDir dir;
    const std::string path = dir / "sparse.bin";
    const int64_t zeros = int64_t{1} << 32;
    const std::string tail = "tail!";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), zeros), static_cast<ssize_t>(tail.size()));
    ::close(fd);

    Tool_CRC32 crc;
    Tool_MD5 md5;
    const std::vector<uint8_t> block(1 << 20, 0);
    for (int64_t done = 0; done < zeros; done += static_cast<int64_t>(block.size())) {
        crc.update(block.data(), block.size());
        md5.update(block.data(), block.size());
    }
    crc.update(bytes(tail), tail.size());
    md5.update(bytes(tail), tail.size());
    uint8_t expected[16];
    md5.finish(expected);

    uint32_t fileCrc = 0;
    ASSERT_TRUE(Tool_Resource::checkFileCRC32(path, fileCrc));
    EXPECT_EQ(fileCrc, crc.value());
    uint8_t digest[16];
    ASSERT_TRUE(Tool_Resource::checkFileMD5(path, digest));
    EXPECT_EQ(hex(digest, 16), hex(expected, 16));
}

}  // namespace
