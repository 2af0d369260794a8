// The UTF-8 reading shared by the scanner, the excerpts and the settings files: the lead
// ranges are exact (0xC0, 0xC1 and 0xF5 and above lead nothing), and "no byte" is no
// continuation.
#include <gtest/gtest.h>

#include <string>

#include "platform/Utf8Sequence.h"

namespace {

struct ByteCase {
    const char* name;
    int byte;
    int leadLength;
    bool continuation;
};

class Utf8Bytes : public ::testing::TestWithParam<ByteCase> {};

TEST_P(Utf8Bytes, LeadLengthAndContinuation) {
    const ByteCase& c = GetParam();
    EXPECT_EQ(Utf8Sequence::leadLength(c.byte), c.leadLength);
    EXPECT_EQ(Utf8Sequence::isContinuation(c.byte), c.continuation);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Utf8Bytes,
    ::testing::Values(ByteCase{"NoByte", -1, 1, false}, ByteCase{"Nul", 0x00, 1, false},
                      ByteCase{"LastAscii", 0x7F, 1, false}, ByteCase{"FirstContinuation", 0x80, 1, true},
                      ByteCase{"LastContinuation", 0xBF, 1, true}, ByteCase{"OverlongC0", 0xC0, 1, false},
                      ByteCase{"OverlongC1", 0xC1, 1, false}, ByteCase{"FirstTwoByteLead", 0xC2, 2, false},
                      ByteCase{"LastTwoByteLead", 0xDF, 2, false}, ByteCase{"FirstThreeByteLead", 0xE0, 3, false},
                      ByteCase{"LastThreeByteLead", 0xEF, 3, false}, ByteCase{"FirstFourByteLead", 0xF0, 4, false},
                      ByteCase{"LastFourByteLead", 0xF4, 4, false}, ByteCase{"BeyondUnicodeF5", 0xF5, 1, false},
                      ByteCase{"ByteFF", 0xFF, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
