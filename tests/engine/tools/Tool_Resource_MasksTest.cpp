#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tools/Tool_Resource.h"

namespace {

struct MaskCase {
    const char* name;
    std::string typed;
    std::string completed;
};
void PrintTo(const MaskCase& c, std::ostream* os) { *os << "'" << c.typed << "'"; }

class FullfillSearchPattern : public ::testing::TestWithParam<MaskCase> {};

TEST_P(FullfillSearchPattern, Completes) {
    std::string s = GetParam().typed;
    Tool_Resource::fullfillSearchPattern(s);
    EXPECT_EQ(s, GetParam().completed);
}

INSTANTIATE_TEST_SUITE_P(Masks, FullfillSearchPattern,
                         ::testing::Values(MaskCase{"Empty", "   ", "*"}, MaskCase{"NoDot", " abc ", "*abc*.*"},
                                           MaskCase{"LeadingDot", ".txt", "*.txt*"},
                                           MaskCase{"TrailingDot", "abc.", "abc.*"},
                                           MaskCase{"StarNotAtEnd", "*.t*t", "*.t*t*"},
                                           MaskCase{"StarAtEnd", "a.*", "a.*"},
                                           MaskCase{"PlainWithDot", "a.b", "*a.b*"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
