#include <gtest/gtest.h>

#include "tools/Tool_Utf16.h"

namespace {

struct CodecCase {
    const char* name;
    std::string utf8;
    std::string utf16;
    std::string back;   // UTF-8 after the round trip
};

class Utf16Codec : public ::testing::TestWithParam<CodecCase> {};

TEST_P(Utf16Codec, ConvertsBothWays) {
    EXPECT_EQ(Tool_Utf16::utf8ToUtf16LE(GetParam().utf8), GetParam().utf16);
    EXPECT_EQ(Tool_Utf16::utf16LEToUtf8(GetParam().utf16), GetParam().back);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf16Codec,
    ::testing::Values(CodecCase{"Ascii", "Ab", std::string("A\0b\0", 4), "Ab"},
                      CodecCase{"TwoByte", "\xC3\xA9", std::string("\xE9\0", 2), "\xC3\xA9"},
                      CodecCase{"ThreeByte", "\xE2\x82\xAC", "\xAC\x20", "\xE2\x82\xAC"},
                      CodecCase{"SurrogatePair", "\xF0\x9D\x84\x9E", "\x34\xD8\x1E\xDD", "\xF0\x9D\x84\x9E"},
                      // Bytes that start no well-formed sequence read as Latin-1.
                      CodecCase{"InvalidByteAsLatin1", "a\xE9z", std::string("a\0\xE9\0z\0", 6), "a\xC3\xA9z"},
                      CodecCase{"CutSequence", "\xE2\x82", std::string("\xE2\0\x82\0", 4), "\xC3\xA2\xC2\x82"},
                      CodecCase{"EncodedSurrogateRejected", "\xED\xA0\x80",
                                std::string("\xED\0\xA0\0\x80\0", 6), "\xC3\xAD\xC2\xA0\xC2\x80"},
                      CodecCase{"OverlongRejected", "\xC0\xAF", std::string("\xC0\0\xAF\0", 4), "\xC3\x80\xC2\xAF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf16Codec, LoneSurrogatesAndOddByteFromUtf16) {
    EXPECT_EQ(Tool_Utf16::utf16LEToUtf8(std::string("\x34\xD8" "A\0", 4)), "\xEF\xBF\xBD" "A");
    EXPECT_EQ(Tool_Utf16::utf16LEToUtf8(std::string("\x1E\xDD", 2)), "\xEF\xBF\xBD");
    EXPECT_EQ(Tool_Utf16::utf16LEToUtf8(std::string("A\0B", 3)), "A");
}

}  // namespace
