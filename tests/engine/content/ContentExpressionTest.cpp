// The user-defined content expression turned into terms.
#include <gtest/gtest.h>

#include "records/ContainTextItem.h"
#include "content/ContentTermBuilder.h"

namespace {

struct ExprTerm {
    std::string pattern;
    int relation, isNot, isHex, isAnsi, wholeWord, caseSensitive;
};

struct ExprCase {
    const char* name;
    std::string expression;
    unsigned error;
    std::vector<ExprTerm> terms;
};

class ContentExpression : public ::testing::TestWithParam<ExprCase> {};

TEST_P(ContentExpression, BuildsTermsLeftToRight) {
    ContentTermBuilder::TermList terms;
    const ContentTermResult r = ContentTermBuilder::addExpression(terms, GetParam().expression);
    EXPECT_EQ(r.errorString, GetParam().error);
    ASSERT_EQ(terms.size(), GetParam().terms.size());
    for (size_t i = 0; i < terms.size(); ++i) {
        const ExprTerm& e = GetParam().terms[i];
        EXPECT_EQ(terms[i]->pattern, e.pattern);
        EXPECT_EQ(terms[i]->relation, e.relation);
        EXPECT_EQ(terms[i]->isNot, e.isNot);
        EXPECT_EQ(int(terms[i]->isHex), e.isHex);
        EXPECT_EQ(int(terms[i]->isAnsi), e.isAnsi);
        EXPECT_EQ(terms[i]->isWholeWord, e.wholeWord);
        EXPECT_EQ(terms[i]->isCaseSensitive, e.caseSensitive);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, ContentExpression,
    ::testing::Values(
        ExprCase{"AndNotOr", "foo -bar ^baz", 0, {{"foo", 0, 0, 0, 1, 0, 0}, {"bar", 0, 1, 0, 1, 0, 0}, {"baz", 1, 0, 0, 1, 0, 0}}},
        ExprCase{"LastOfAdjacentOperatorsWins", "^-foo", 0, {{"foo", 0, 1, 0, 1, 0, 0}}},
        ExprCase{"HexNot", "-#0D 0A", 0, {{"\r\n", 0, 1, 1, 1, 0, 1}}},
        ExprCase{"WholeWordUtf16", "$~word", 0, {{std::string("w\0o\0r\0d\0", 8), 0, 0, 0, 0, 1, 0}}},
        ExprCase{"ModifierAfterSpaceIsText", "+ $foo", 0, {{"$foo", 0, 0, 0, 1, 0, 0}}},
        ExprCase{"OperatorNeverInsideText", "+C++", 0, {{"C", 0, 0, 0, 1, 0, 0}}},
        // A modifier counts only at the front of a term, so the bad hex term needs its own operator.
        ExprCase{"BadHexAddsNothing", "foo -#0G", 91, {}},
        ExprCase{"HashInsideTextIsText", "foo #0G", 0, {{"foo #0G", 0, 0, 0, 1, 0, 0}}},
        ExprCase{"Blank", "   ", 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
