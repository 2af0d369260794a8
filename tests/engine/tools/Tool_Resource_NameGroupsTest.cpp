#include <gtest/gtest.h>

#include <string>

#include "search/FileNameGroup.h"
#include "tools/Tool_Resource.h"

namespace {

struct TermSpec {
    int op;
    bool negate;
    std::string pattern;
};

FileNameGroup makeGroup(std::initializer_list<TermSpec> specs) {
    FileNameGroup g;
    g.strExtPattern = "*";
    for (const auto& s : specs) {
        auto t = std::make_unique<NamePatternTerm>();
        t->op = s.op;
        t->bNegate = s.negate;
        t->strTitlePattern = s.pattern;
        t->strPathPattern = "*/" + s.pattern + "/*";
        g.terms.push_back(std::move(t));
    }
    return g;
}

constexpr int AND = NamePatternTerm::OP_AND;
constexpr int OR = NamePatternTerm::OP_OR;
constexpr int XOR = NamePatternTerm::OP_XOR;

TEST(CompareFileGroup, TermsCombineLeftToRightWithoutPrecedence) {
    // a ^ b + c evaluated as ((a OR b) AND c), not a OR (b AND c).
    auto g = makeGroup({{AND, false, "*a*"}, {OR, false, "*b*"}, {AND, false, "*c*"}});
    EXPECT_FALSE(Tool_Resource::compareFileGroup(&g, "a", false));
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&g, "ac", false));
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&g, "bc", false));
    EXPECT_FALSE(Tool_Resource::compareFileGroup(&g, "b", false));
}

TEST(CompareFileGroup, FirstTermCombinesWithTrue) {
    // An OR on the first term makes it always true; a XOR inverts it.
    auto orFirst = makeGroup({{OR, false, "*zzz*"}});
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&orFirst, "abc", false));
    auto xorFirst = makeGroup({{XOR, false, "*abc*"}});
    EXPECT_FALSE(Tool_Resource::compareFileGroup(&xorFirst, "abc", false));
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&xorFirst, "x", false));
}

TEST(CompareFileGroup, NegationAndXor) {
    auto g = makeGroup({{AND, false, "*rep*"}, {AND, true, "*old*"}});
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&g, "report", false));
    EXPECT_FALSE(Tool_Resource::compareFileGroup(&g, "report_OLD", false));
    auto x = makeGroup({{AND, false, "*a*"}, {XOR, false, "*b*"}});
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&x, "a", false));
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&x, "b", false));
    EXPECT_FALSE(Tool_Resource::compareFileGroup(&x, "ab", false));
    EXPECT_FALSE(Tool_Resource::compareFileGroup(&x, "c", false));
}

TEST(CompareFileGroup, PathPatternsOnRequestAndLengthOverload) {
    auto g = makeGroup({{AND, false, "src"}});
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&g, "/a/src/b/", true));
    EXPECT_FALSE(Tool_Resource::compareFileGroup(&g, "/a/src/b/", false));
    const char text[] = "srcXYZ";
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&g, text, 3, false));
    EXPECT_FALSE(Tool_Resource::compareFileGroup(&g, text, 6, false));
}

TEST(CompareFileGroup, NullGroupOrTextIsSafe) {
    EXPECT_FALSE(Tool_Resource::compareFileGroup(nullptr, "abc", false));
    auto g = makeGroup({{AND, false, "*"}});
    EXPECT_TRUE(Tool_Resource::compareFileGroup(&g, nullptr, false));
    auto lit = makeGroup({{AND, false, "*a*"}});
    EXPECT_FALSE(Tool_Resource::compareFileGroup(&lit, nullptr, 10, false));
}

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
