#include <gtest/gtest.h>

#include <climits>

#include "tools/Tool_Resource.h"

namespace {

struct NumberCase {
    const char* name;
    int64_t number;
    std::string expected;
};
class SeparatedNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(SeparatedNumber, GroupsThreeDigitsFromTheRight) {
    std::string out;
    Tool_Resource::seperateNumberToString(GetParam().number, out);
    EXPECT_EQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, SeparatedNumber,
    ::testing::Values(NumberCase{"Zero", 0, "0"}, NumberCase{"Three", 999, "999"}, NumberCase{"Four", 1000, "1,000"},
                      NumberCase{"Seven", 1000000, "1,000,000"}, NumberCase{"Six", 123456, "123,456"},
                      NumberCase{"Max", INT64_MAX, "9,223,372,036,854,775,807"},
                      // The sign is not a digit: "-100" used to become "-,100".
                      NumberCase{"NegativeNumberGetsNoCommaAfterSignRegression", -100, "-100"},
                      NumberCase{"NegativeThousands", -1000, "-1,000"},
                      NumberCase{"Min", INT64_MIN, "-9,223,372,036,854,775,808"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SeparatedString, ShortTextsStayAndLongTextsAreGrouped) {
    std::string s = "abc";
    Tool_Resource::seperateStringToString(s);
    EXPECT_EQ(s, "abc");
    s = "1234567";
    Tool_Resource::seperateStringToString(s);
    EXPECT_EQ(s, "1,234,567");
    s = "";
    Tool_Resource::seperateStringToString(s);
    EXPECT_EQ(s, "");
}

class CompatibleSize : public ::testing::TestWithParam<NumberCase> {};

TEST_P(CompatibleSize, RoundsUpToTheLargestUnitBelowTheSize) {
    Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
    std::string out;
    Tool_Resource::formatCompatiableSize(GetParam().number, out);
    EXPECT_EQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CompatibleSize,
    ::testing::Values(NumberCase{"Zero", 0, "0 Bytes"}, NumberCase{"B1023", 1023, "1,023 Bytes"},
                      NumberCase{"K1024", 1024, "1 KB"}, NumberCase{"K1025", 1025, "2 KB"},
                      NumberCase{"LastKilobytes", 1048575, "1,024 KB"}, NumberCase{"M1", 1048576, "1 MB"},
                      NumberCase{"M1Plus1", 1048577, "2 MB"}, NumberCase{"G1", 1073741824, "1 GB"},
                      NumberCase{"G4", 4294967296LL, "4 GB"}, NumberCase{"G4Plus1", 4294967297LL, "5 GB"},
                      NumberCase{"T2", 2199023255552LL, "2,048 GB"},
                      // Ceiling division must not overflow at the top of the range.
                      NumberCase{"MaxDoesNotOverflow", INT64_MAX, "8,589,934,592 GB"},
                      NumberCase{"NegativeOne", -1, "-1 Bytes"}, NumberCase{"NegativeLarge", -2048, "-2,048 Bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CharToHex, EveryDigitAndNothingElse) {
    const std::string digits = "0123456789abcdef";
    for (int c = -128; c < 128; ++c) {
        const char ch = static_cast<char>(c);
        int expected = -1;
        const size_t lower = digits.find(static_cast<char>(ch >= 'A' && ch <= 'F' ? ch - 'A' + 'a' : ch));
        if (ch != '\0' && lower != std::string::npos)
            expected = static_cast<int>(lower);
        EXPECT_EQ(Tool_Resource::charToHex(ch), expected) << c;
    }
}

TEST(CharCount, CountsBytes) {
    EXPECT_EQ(Tool_Resource::getCharNumInString("\"a\" \"b\"", '"'), 4);
    EXPECT_EQ(Tool_Resource::getCharNumInString("", 'x'), 0);
    EXPECT_EQ(Tool_Resource::getCharNumInString("aAa", 'a'), 2);
}

}  // namespace
