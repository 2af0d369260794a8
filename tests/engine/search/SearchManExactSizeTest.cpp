// The exact byte bounds of a rule: preferred to the float fields when set.
#include <gtest/gtest.h>

#include "search/Search_Man.h"
#include "records/Search_Rule.h"

namespace {

struct ExactCase {
    const char* name;
    int64_t larger;    // -1: not set
    int64_t smaller;   // -1: not set
    int64_t size;
    bool expected;
};

class ExactSizeBounds : public ::testing::TestWithParam<ExactCase> {};

TEST_P(ExactSizeBounds, WinOverTheFloatFields) {
    const ExactCase& c = GetParam();
    Search_Rule rule;
    // The float fields say 16 MiB both ways; the exact bounds, when set, differ from them.
    rule.bLargerOn = true;
    rule.fLargerSize = 16;
    rule.wLargerUnit = 2;
    rule.nLargerBytes = c.larger;
    rule.bSmallerOn = true;
    rule.fSmallerSize = 16;
    rule.wSmallerUnit = 2;
    rule.nSmallerBytes = c.smaller;
    EXPECT_EQ(Search_Man::_compareSize(c.size, rule), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, ExactSizeBounds,
    ::testing::Values(ExactCase{"FloatFieldsWhenUnset", -1, -1, 16777216, true},
                      ExactCase{"FloatFieldsRefuseOneMore", -1, -1, 16777217, false},
                      ExactCase{"ExactLargerRefusesTheFloatValue", 16777217, 16777217, 16777216, false},
                      ExactCase{"ExactBoundsTakeTheirOwnValue", 16777217, 16777217, 16777217, true},
                      ExactCase{"ExactSmallerBeyondFloatPrecision", -1, 9007199254740992, 9007199254740993, false},
                      ExactCase{"ZeroIsABound", 0, 0, 0, true},
                      ExactCase{"ZeroSmallerRefusesOneByte", -1, 0, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExactSizeBounds, OnlyApplyWhileTheirTestIsOn) {
    Search_Rule rule;
    rule.nLargerBytes = 100;
    rule.nSmallerBytes = 10;
    EXPECT_TRUE(Search_Man::_compareSize(50, rule));
}

}  // namespace
