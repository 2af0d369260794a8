#include <gtest/gtest.h>

#include <string>

#include "records/FileNameGroup.h"
#include "records/FileNameGroupMatch.h"

namespace {

struct TermSpec {
    int op;
    bool negate;
    std::string pattern;
};

FileNameGroup makeGroup(std::initializer_list<TermSpec> termList) {
    FileNameGroup g;
    g.strExtPattern = "*";
    for (const auto& s : termList) {
        auto t = std::make_unique<NamePatternTerm>();
        t->op = s.op;
        t->bNegate = s.negate;
        t->strTitlePattern = s.pattern;
        t->strPathPattern = "*/";   // appended, not chained '+': GCC 12 warns wrongly on that
        t->strPathPattern += s.pattern;
        t->strPathPattern += "/*";
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
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(&g, "a", false));
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&g, "ac", false));
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&g, "bc", false));
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(&g, "b", false));
}

TEST(CompareFileGroup, FirstTermCombinesWithTrue) {
    // An OR on the first term makes it always true; a XOR inverts it.
    auto orFirst = makeGroup({{OR, false, "*zzz*"}});
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&orFirst, "abc", false));
    auto xorFirst = makeGroup({{XOR, false, "*abc*"}});
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(&xorFirst, "abc", false));
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&xorFirst, "x", false));
}

TEST(CompareFileGroup, NegationAndXor) {
    auto g = makeGroup({{AND, false, "*rep*"}, {AND, true, "*old*"}});
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&g, "report", false));
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(&g, "report_OLD", false));
    auto x = makeGroup({{AND, false, "*a*"}, {XOR, false, "*b*"}});
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&x, "a", false));
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&x, "b", false));
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(&x, "ab", false));
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(&x, "c", false));
}

TEST(CompareFileGroup, PathPatternsOnRequestAndLengthOverload) {
    auto g = makeGroup({{AND, false, "src"}});
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&g, "/a/src/b/", true));
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(&g, "/a/src/b/", false));
    const char text[] = "srcXYZ";
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&g, text, 3, false));
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(&g, text, 6, false));
}

TEST(CompareFileGroup, NullGroupOrTextIsSafe) {
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(nullptr, "abc", false));
    auto g = makeGroup({{AND, false, "*"}});
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(&g, nullptr, false));
    auto lit = makeGroup({{AND, false, "*a*"}});
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(&lit, nullptr, 10, false));
}

}  // namespace
