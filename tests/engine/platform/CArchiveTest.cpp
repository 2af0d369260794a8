#include <gtest/gtest.h>

#include "platform/CArchive.h"

namespace {

struct StringPrefixCase {
    size_t length;
    std::vector<uint8_t> prefix;
};

class CArchiveStringPrefix : public ::testing::TestWithParam<StringPrefixCase> {};

TEST_P(CArchiveStringPrefix, WritesPrefixAndReadsBack) {
    const auto& c = GetParam();
    std::string text(c.length, 'x');
    std::vector<uint8_t> bytes;
    CArchive out(bytes);
    out.writeString(text);
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(c.prefix.size())), c.prefix);

    CArchive in(bytes.data(), bytes.size());
    EXPECT_EQ(in.readString(), text);
    EXPECT_TRUE(in.ok());
    EXPECT_EQ(in.remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(BoundaryLengths, CArchiveStringPrefix,
                         ::testing::Values(StringPrefixCase{0, {0x00}}, StringPrefixCase{254, {0xFE}},
                                           StringPrefixCase{255, {0xFF, 0xFF, 0x00}},
                                           StringPrefixCase{65533, {0xFF, 0xFD, 0xFF}},
                                           StringPrefixCase{65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                                           StringPrefixCase{65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}}),
                         [](const auto& info) { return "length" + std::to_string(info.param.length); });

TEST(CArchive, CountEscapesTo32Bits) {
    std::vector<uint8_t> bytes;
    CArchive out(bytes);
    out.writeCount(3);
    out.writeCount(0xFFFF);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{3, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
    CArchive in(bytes.data(), bytes.size());
    EXPECT_EQ(in.readCount(), 3u);
    EXPECT_EQ(in.readCount(), 0xFFFFu);
    EXPECT_TRUE(in.ok());
}

TEST(CArchive, HugeLengthPrefixFailsWithoutAllocating) {
    // Claims a 4 GiB string but holds four bytes.
    std::vector<uint8_t> bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 'd'};
    CArchive in(bytes.data(), bytes.size());
    EXPECT_EQ(in.readString(), "");
    EXPECT_FALSE(in.ok());
}

TEST(CArchive, ErrorSticksAfterTruncation) {
    std::vector<uint8_t> bytes{1, 2, 3};
    CArchive in(bytes.data(), bytes.size());
    EXPECT_EQ(in.readU32(), 0u);
    EXPECT_FALSE(in.ok());
    EXPECT_EQ(in.readU8(), 0u);   // the three bytes are still there, but the error sticks
    EXPECT_FALSE(in.ok());
}

TEST(CArchive, IntegersAreLittleEndian) {
    std::vector<uint8_t> bytes;
    CArchive out(bytes);
    out.writeU16(0x0102);
    out.writeU32(0x03040506);
    out.writeU64(0x0708090A0B0C0D0EULL);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{2, 1, 6, 5, 4, 3, 0x0E, 0x0D, 0x0C, 0x0B, 0x0A, 9, 8, 7}));
    CArchive in(bytes.data(), bytes.size());
    EXPECT_EQ(in.readU16(), 0x0102);
    EXPECT_EQ(in.readU32(), 0x03040506u);
    EXPECT_EQ(in.readU64(), 0x0708090A0B0C0D0EULL);
    EXPECT_TRUE(in.ok());
}

}  // namespace
