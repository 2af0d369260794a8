// The one ASCII case fold: letters A-Z only; neighbours of the range and UTF-8 bytes stay.
#include <gtest/gtest.h>

#include <string>

#include "platform/AsciiCase.h"

namespace {

struct FoldCase {
    const char* name;
    std::string text;
    std::string folded;
};

class AsciiFold : public ::testing::TestWithParam<FoldCase> {};

TEST_P(AsciiFold, FoldsOnlyAsciiCapitals) { EXPECT_EQ(AsciiCase::folded(GetParam().text), GetParam().folded); }

INSTANTIATE_TEST_SUITE_P(
    Texts, AsciiFold,
    ::testing::Values(FoldCase{"Empty", "", ""}, FoldCase{"Capitals", "ReadMe.TXT", "readme.txt"},
                      FoldCase{"RangeEnds", "AZ", "az"},
                      FoldCase{"NeighboursOfTheRangeStay", "@[`{", "@[`{"},
                      // U+00C4 (C3 84) and U+0100 (C4 80) are no ASCII capitals.
                      FoldCase{"Utf8BytesStay", "\xC3\x84\xC4\x80", "\xC3\x84\xC4\x80"},
                      FoldCase{"EmbeddedNulKept", std::string("A\0B", 3), std::string("a\0b", 3)}),
    [](const auto& info) { return std::string(info.param.name); });

struct EqualCase {
    const char* name;
    std::string a, b;
    bool equal;
};

class AsciiEqual : public ::testing::TestWithParam<EqualCase> {};

TEST_P(AsciiEqual, ComparesWithoutAsciiCase) {
    const EqualCase& c = GetParam();
    EXPECT_EQ(AsciiCase::equalFolded(c.a, c.b), c.equal);
    EXPECT_EQ(AsciiCase::equalFolded(c.b, c.a), c.equal);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, AsciiEqual,
    ::testing::Values(EqualCase{"SameLetters", "Pdf", "pDF", true}, EqualCase{"BothEmpty", "", "", true},
                      EqualCase{"PrefixIsNotEqual", "pdf", "pdfx", false},
                      EqualCase{"AtSignIsNotBacktick", "@", "`", false},   // 0x40 and 0x60 differ by 0x20 too
                      EqualCase{"BracketIsNotBrace", "[", "{", false},
                      EqualCase{"NonAsciiCaseNotFolded", "\xC3\x84", "\xC3\xA4", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
