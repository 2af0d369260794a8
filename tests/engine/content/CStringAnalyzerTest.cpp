#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/CRelativeOpAnalyzer.h"
#include "content/CStringAnalyzer.h"

namespace {

struct AnalysisCase {
    const char* name;
    std::string term;
    bool accepted;
    Analysis_Data expected;
};
void PrintTo(const AnalysisCase& c, std::ostream* os) { *os << "'" << c.term << "'"; }

Analysis_Data data(int isNot, int cs, int ww, int rel, int uni, int hex, std::string text) {
    Analysis_Data d;
    d.isNot = isNot;
    d.isCaseSensitive = cs;
    d.isWholeWord = ww;
    d.relation = rel;
    d.isUnicode = uni;
    d.isHex = hex;
    d.text = std::move(text);
    return d;
}

class Analysis : public ::testing::TestWithParam<AnalysisCase> {};

TEST_P(Analysis, ReadsOperatorsAndText) {
    const auto& c = GetParam();
    CStringAnalyzer analyzer;
    Analysis_Data d;
    EXPECT_EQ(analyzer.analysis(c.term, d), c.accepted);
    EXPECT_EQ(d.isNot, c.expected.isNot);
    EXPECT_EQ(d.isCaseSensitive, c.expected.isCaseSensitive);
    EXPECT_EQ(d.isWholeWord, c.expected.isWholeWord);
    EXPECT_EQ(d.relation, c.expected.relation);
    EXPECT_EQ(d.isUnicode, c.expected.isUnicode);
    EXPECT_EQ(d.isHex, c.expected.isHex);
    EXPECT_EQ(d.text, c.expected.text);
}

INSTANTIATE_TEST_SUITE_P(
    Terms, Analysis,
    ::testing::Values(AnalysisCase{"SpacesOnly", "   ", false, data(0, 0, 0, 0, 0, 0, "")},
                      AnalysisCase{"Empty", "", false, data(0, 0, 0, 0, 0, 0, "")},
                      AnalysisCase{"Plain", "foo", true, data(0, 0, 0, 0, 0, 0, "foo")},
                      AnalysisCase{"CaseSensitive", "%Foo", true, data(0, 1, 0, 0, 0, 0, "Foo")},
                      AnalysisCase{"HexMustBeAbsent", "-#0D 0A", true, data(1, 0, 0, 0, 0, 1, "0D 0A")},
                      AnalysisCase{"WholeWordUtf16", "$~word", true, data(0, 0, 1, 0, 1, 0, "word")},
                      AnalysisCase{"Xor", "!x", true, data(0, 0, 0, 2, 0, 0, "x")},
                      AnalysisCase{"Or", "^x", true, data(0, 0, 0, 1, 0, 0, "x")},
                      AnalysisCase{"LastEncodingWinsUtf16", "@~foo", true, data(0, 0, 0, 0, 1, 0, "foo")},
                      AnalysisCase{"LastEncodingWinsAnsi", "~@foo", true, data(0, 0, 0, 0, 0, 0, "foo")},
                      AnalysisCase{"ModifiersAnyOrder", "-%$foo", true, data(1, 1, 1, 0, 0, 0, "foo")},
                      AnalysisCase{"TextNotTrimmedAgain", "+ foo", true, data(0, 0, 0, 0, 0, 0, " foo")},
                      AnalysisCase{"OuterSpaceTrimmed", "  ^bar\t ", true, data(0, 0, 0, 1, 0, 0, "bar")},
                      AnalysisCase{"OperatorsOnly", "+-", true, data(1, 0, 0, 0, 0, 0, "")},
                      AnalysisCase{"ModifierAfterSpaceIsText", "+ $foo", true, data(0, 0, 0, 0, 0, 0, " $foo")},
                      AnalysisCase{"Utf8Text", "%\xC3\xA9t\xC3\xA9", true, data(0, 1, 0, 0, 0, 0, "\xC3\xA9t\xC3\xA9")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CStringAnalyzer, OperatorsOnlyLeaveTheCallersTextAlone) {
    CStringAnalyzer analyzer;
    Analysis_Data d;
    d.text = "kept";
    EXPECT_TRUE(analyzer.analysis("%$", d));
    EXPECT_EQ(d.text, "kept");
    EXPECT_FALSE(analyzer.analysis("  ", d));
    EXPECT_EQ(d.text, "kept");
}

TEST(CStringAnalyzer, OperatorCharactersInOrder) {
    const std::string all{CStringAnalyzer::OPC_AND, CStringAnalyzer::OPC_OR,  CStringAnalyzer::OPC_XOR,
                          CStringAnalyzer::OPC_NOT, CStringAnalyzer::OPC_HEX, CStringAnalyzer::OPC_WW,
                          CStringAnalyzer::OPC_CS,  CStringAnalyzer::OPC_ASI, CStringAnalyzer::OPC_UNI};
    EXPECT_EQ(all, "+^!-#$%@~");
}

// Reaches the protected members the way a derived analyser does.
struct ExposedAnalyzer : CStringAnalyzer {
    using CStringAnalyzer::chooseInTable;
    using CStringAnalyzer::isOPC;
};

TEST(CStringAnalyzer, OnlyTheFourJoinersSeparateTerms) {
    for (char c : std::string("+^!-"))
        EXPECT_TRUE(CStringAnalyzer::isDivideChar(c)) << c;
    for (char c : std::string("#$%@~ a\"*?,"))
        EXPECT_FALSE(CStringAnalyzer::isDivideChar(c)) << c;
    for (char c : std::string("+^!-#$%@~"))
        EXPECT_TRUE(ExposedAnalyzer::isOPC(c)) << c;
    for (char c : std::string(" a\"*?,&\x80\xFF"))
        EXPECT_FALSE(ExposedAnalyzer::isOPC(c)) << c;
}

TEST(CStringAnalyzer, ChooseInTableIgnoresOtherBytes) {
    Analysis_Data d;
    EXPECT_TRUE(ExposedAnalyzer::chooseInTable('x', d));
    EXPECT_EQ(d.relation + d.isNot + d.isHex + d.isUnicode + d.isWholeWord + d.isCaseSensitive, 0);
    EXPECT_TRUE(ExposedAnalyzer::chooseInTable('^', d));
    EXPECT_TRUE(ExposedAnalyzer::chooseInTable('!', d));
    EXPECT_EQ(d.relation, 2);
    EXPECT_TRUE(ExposedAnalyzer::chooseInTable('+', d));
    EXPECT_EQ(d.relation, 0);
}

struct DivideCase {
    const char* name;
    std::string src;
    std::string ops;
    std::string rest;
};
void PrintTo(const DivideCase& c, std::ostream* os) { *os << "'" << c.src << "'"; }

class DivideString : public ::testing::TestWithParam<DivideCase> {};

TEST_P(DivideString, SplitsLeadingOperatorRun) {
    std::string ops, rest = "stale";
    CStringAnalyzer::divideString(GetParam().src, ops, rest);
    EXPECT_EQ(ops, GetParam().ops);
    EXPECT_EQ(rest, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(Runs, DivideString,
                         ::testing::Values(DivideCase{"NoOperator", "abc", "", "abc"},
                                           DivideCase{"OperatorOnly", "+", "+", ""},
                                           DivideCase{"SpacesAroundNot", "  -  x", "-  ", "x"},
                                           DivideCase{"MixedRun", "+- ^abc", "+- ^", "abc"},
                                           DivideCase{"ModifierDoesNotStartRun", "$abc", "", "$abc"},
                                           DivideCase{"ModifierEndsRun", "-$abc", "-", "$abc"},
                                           DivideCase{"OperatorInsideKept", " a-b ", "", "a-b"},
                                           DivideCase{"Empty", "   ", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ExpressionCase {
    const char* name;
    std::string expression;
    std::vector<std::string> segments;
};
void PrintTo(const ExpressionCase& c, std::ostream* os) { *os << "'" << c.expression << "'"; }

class AnalyzeExpression : public ::testing::TestWithParam<ExpressionCase> {};

TEST_P(AnalyzeExpression, SplitsAtSeparatingOperators) {
    std::vector<std::string> out;
    CRelativeOpAnalyzer::analyzeExpression(GetParam().expression, out);
    EXPECT_EQ(out, GetParam().segments);
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, AnalyzeExpression,
    ::testing::Values(ExpressionCase{"WorkedExample", "+foo -bar ^baz", {"+foo", "-bar", "^baz"}},
                      ExpressionCase{"NoOperatorYieldsNothing", "foo bar", {}},
                      ExpressionCase{"AdjacentOperatorsLastSurvives", "^-foo", {"-foo"}},
                      ExpressionCase{"OperatorNeverInsideText", "+C++", {"+C", "+"}},
                      ExpressionCase{"LastSegmentUntrimmedInside", "  +a -  b  ", {"+a", "-  b"}},
                      ExpressionCase{"ModifiersStayWithTerm", "+%$Foo ^#0D0A", {"+%$Foo", "^#0D0A"}},
                      ExpressionCase{"TextBeforeFirstOperatorKept", "foo -bar", {"foo", "-bar"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The content grammar end to end: expression -> terms -> evaluation left to right.
TEST(ContentExpression, WorkedExampleEvaluatesLeftToRight) {
    std::string expression = "foo -bar ^baz";
    if (!CStringAnalyzer::isDivideChar(expression[0]))
        expression.insert(expression.begin(), CStringAnalyzer::OPC_AND);
    std::vector<std::string> segments;
    CRelativeOpAnalyzer::analyzeExpression(expression, segments);
    std::vector<Analysis_Data> terms;
    CStringAnalyzer analyzer;
    for (const auto& s : segments) {
        Analysis_Data d;
        if (analyzer.analysis(s, d) && !d.text.empty())
            terms.push_back(d);
    }
    ASSERT_EQ(terms.size(), 3u);
    auto evaluate = [&](const std::string& file) {
        bool v = false;
        for (size_t i = 0; i < terms.size(); ++i) {
            bool found = file.find(terms[i].text) != std::string::npos;
            if (terms[i].isNot)
                found = !found;
            if (i == 0)
                v = found;
            else if (terms[i].relation == 1)
                v = v || found;
            else if (terms[i].relation == 2)
                v = v != found;
            else
                v = v && found;
        }
        return v;
    };
    EXPECT_TRUE(evaluate("foo"));
    EXPECT_FALSE(evaluate("foo bar"));
    EXPECT_TRUE(evaluate("foo bar baz"));
    EXPECT_TRUE(evaluate("baz"));
    EXPECT_FALSE(evaluate("bar"));
}

}  // namespace
