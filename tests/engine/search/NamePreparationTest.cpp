#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/Data_FileItem.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/FileNameGroupMatch.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"
#include "tools/Tool_WCComp.h"

namespace {

constexpr int AND = NamePatternTerm::OP_AND;
constexpr int OR = NamePatternTerm::OP_OR;
constexpr int XOR = NamePatternTerm::OP_XOR;

struct Term {
    int op;
    bool negate;
    std::string title;
};
struct Group {
    std::string ext;
    std::vector<Term> terms;
};

struct PrepCase {
    const char* name;
    std::string line;
    bool disableOperators;
    std::vector<std::string> names;
    bool matchPath;
    std::vector<Group> groups;
};
void PrintTo(const PrepCase& c, std::ostream* os) { *os << "line '" << c.line << "'"; }

std::vector<std::unique_ptr<FileNameGroup>> prepareGroups(const std::string& line, bool disable, Search_Rule& rule) {
    rule.bDisableBooleanOpt = disable;
    NameLinePreparer::prepare(line, disable, rule);
    std::vector<std::unique_ptr<FileNameGroup>> groups;
    Search_Man::divideGroupString(groups, rule);
    return groups;
}

class NamePreparation : public ::testing::TestWithParam<PrepCase> {};

TEST_P(NamePreparation, LineToGroupsAndTerms) {
    const auto& c = GetParam();
    Search_Rule rule;
    rule.bMatchPath = !c.matchPath;   // must be overwritten
    rule.names = {"stale"};
    auto groups = prepareGroups(c.line, c.disableOperators, rule);
    EXPECT_EQ(rule.names, c.names);
    EXPECT_EQ(rule.bMatchPath, c.matchPath);
    ASSERT_EQ(groups.size(), c.groups.size());
    for (size_t g = 0; g < groups.size(); ++g) {
        SCOPED_TRACE("group " + std::to_string(g));
        EXPECT_EQ(groups[g]->strExtPattern, c.groups[g].ext);
        ASSERT_EQ(groups[g]->terms.size(), c.groups[g].terms.size());
        for (size_t t = 0; t < groups[g]->terms.size(); ++t) {
            SCOPED_TRACE("term " + std::to_string(t));
            const auto& got = *groups[g]->terms[t];
            const auto& want = c.groups[g].terms[t];
            EXPECT_EQ(got.op, want.op);
            EXPECT_EQ(got.bNegate, want.negate);
            EXPECT_EQ(got.strTitlePattern, want.title);
            EXPECT_EQ(got.strPathPattern, c.matchPath ? want.title : std::string());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, NamePreparation,
    ::testing::Values(
        PrepCase{"EmptyLine", "", false, {"*.*"}, false, {{"*", {{AND, false, "*"}}}}},
        PrepCase{"LoneStar", " * ", false, {"*.*"}, false, {{"*", {{AND, false, "*"}}}}},
        PrepCase{"LoneDot", ".", false, {"*.*"}, false, {{"*", {{AND, false, "*"}}}}},
        PrepCase{"Word", "report", false, {"report"}, false, {{"*", {{AND, false, "*report*"}}}}},
        PrepCase{"WordWithExtension", "report.doc", false, {"report.doc"}, false, {{"*doc*", {{AND, false, "*report*"}}}}},
        PrepCase{"TwoGroups", "*.txt, *.doc", false, {"*.txt", "*.doc"}, false,
                 {{"*txt*", {{AND, false, "*"}}}, {"*doc*", {{AND, false, "*"}}}}},
        PrepCase{"QuotedIsExact", "\"report.doc\"", false, {"\"report.doc\""}, false, {{"doc", {{AND, false, "report"}}}}},
        PrepCase{"SpaceMeansAnd", "a b", false, {"a b"}, false, {{"*", {{AND, false, "*a*"}, {AND, false, "*b*"}}}}},
        PrepCase{"Or", "a ^b", false, {"a ^b"}, false, {{"*", {{AND, false, "*a*"}, {OR, false, "*b*"}}}}},
        PrepCase{"Not", "a -b", false, {"a -b"}, false, {{"*", {{AND, false, "*a*"}, {AND, true, "*b*"}}}}},
        PrepCase{"Xor", "a !b", false, {"a !b"}, false, {{"*", {{AND, false, "*a*"}, {XOR, false, "*b*"}}}}},
        PrepCase{"LeadingNot", "-a", false, {"-a"}, false, {{"*", {{AND, true, "*a*"}}}}},
        PrepCase{"FirstExtensionWins", "a.txt b.doc", false, {"a.txt b.doc"}, false,
                 {{"*txt*", {{AND, false, "*a*"}, {AND, false, "*b*"}}}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, NamePreparation,
    ::testing::Values(
        PrepCase{"WildcardSurrounded", "rep?rt", false, {"rep?rt"}, false, {{"*", {{AND, false, "*rep?rt*"}}}}},
        PrepCase{"WildcardStarsNormalised", "**rep*rt**.*pd*", false, {"**rep*rt**.*pd*"}, false,
                 {{"*pd*", {{AND, false, "*rep*rt*"}}}}},
        PrepCase{"QuotedWildcardAsTyped", "\"rep?rt\"", false, {"\"rep?rt\""}, false, {{"*", {{AND, false, "rep?rt"}}}}},
        PrepCase{"LastTermQuotedMakesAllExact", "abc \"def\"", false, {"abc \"def"}, false,
                 {{"*", {{AND, false, "abc"}, {AND, false, "def"}}}}},
        PrepCase{"OperatorsDisabledLiteral", "+report.doc", true, {"+report.doc"}, false,
                 {{"*doc*", {{AND, false, "*+report*"}}}}},
        PrepCase{"OperatorsDisabledKeepWholeRun", "+-a", true, {"+-a"}, false, {{"*", {{AND, false, "*+-a*"}}}}},
        PrepCase{"OperatorsDisabledQuotesRemoved", "\"a b\"", true, {"\"a b\""}, false, {{"*", {{AND, false, "*a b*"}}}}},
        PrepCase{"LastOperatorOfRunKept", "+-a", false, {"-a"}, false, {{"*", {{AND, true, "*a*"}}}}},
        PrepCase{"LastOperatorOfTokenKept", "a ^-b", false, {"a ^-b"}, false,
                 {{"*", {{AND, false, "*a*"}, {AND, true, "*b*"}}}}},
        PrepCase{"SpacesAroundOperator", "a  +  b", false, {"a  +  b"}, false,
                 {{"*", {{AND, false, "*a*"}, {AND, false, "*b*"}}}}},
        PrepCase{"QuotedCommaStaysOneGroup", "\"a,b\"", false, {"\"a,b\""}, false, {{"*", {{AND, false, "a,b"}}}}},
        PrepCase{"QuotedCommasRejoined", " \"x,,y,z\" , d", false, {"\"x,,y,z\"", "d"}, false,
                 {{"*", {{AND, false, "x,,y,z"}}}, {"*", {{AND, false, "*d*"}}}}},
        PrepCase{"UnclosedQuoteRunsToEnd", "\"a,b", false, {"\"a,b"}, false, {{"*", {{AND, false, "a,b"}}}}},
        PrepCase{"QuoteClosedByLonePiece", "\"a,\"", false, {"\"a,\""}, false, {{"*", {{AND, false, "a,"}}}}},
        PrepCase{"LoneQuoteDropped", "\", x", false, {"x"}, false, {{"*", {{AND, false, "*x*"}}}}},
        PrepCase{"TrailingQuoteRemoved", "report\"", false, {"report"}, false, {{"*", {{AND, false, "*report*"}}}}},
        PrepCase{"EmptyPiecesSkipped", "x, ,,y", false, {"x", "y"}, false,
                 {{"*", {{AND, false, "*x*"}}}, {"*", {{AND, false, "*y*"}}}}},
        PrepCase{"OnlyOperatorNoGroup", "+", false, {"+"}, false, {}},
        PrepCase{"OnlyOperatorsNoGroup", " - ^ ", false, {"^"}, false, {}},
        PrepCase{"EmptyQuotedTermCounts", "\"\"", false, {"\"\""}, false, {{"", {{AND, false, "*"}}}}},
        PrepCase{"EmptyQuotedTermsWithoutExtension", "\"\" \"\"", false, {"\"\" \"\""}, false,
                 {{"", {{AND, false, "*"}, {AND, false, "*"}}}}},
        PrepCase{"OpeningQuotePairJoinsRest", "\"\" report", false, {"\" report"}, false,
                 {{"*", {{AND, false, " report"}}}}},
        PrepCase{"StarsOnlyCollapse", "***", false, {"***"}, false, {{"*", {{AND, false, "*"}}}}},
        PrepCase{"DotFileName", ".profile", false, {".profile"}, false, {{"*profile*", {{AND, false, "*"}}}}},
        PrepCase{"ExtensionAtFirstDot", "tar.gz", false, {"tar.gz"}, false, {{"*gz*", {{AND, false, "*tar*"}}}}},
        PrepCase{"Utf8Name", "caf\xC3\xA9", false, {"caf\xC3\xA9"}, false, {{"*", {{AND, false, "*caf\xC3\xA9*"}}}}},
        PrepCase{"ModifierConsumed", "$word", false, {"$word"}, false, {{"*", {{AND, false, "*word*"}}}}},
        PrepCase{"HyphenSplitsName", "my-file", false, {"my-file"}, false,
                 {{"*", {{AND, false, "*my*"}, {AND, true, "*file*"}}}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    MatchPath, NamePreparation,
    ::testing::Values(
        PrepCase{"LeadingSlash", "/report", false, {"report"}, true, {{"*", {{AND, false, "*report*"}}}}},
        PrepCase{"LeadingBackslashes", " \\\\/src ", false, {"src"}, true, {{"*", {{AND, false, "*src*"}}}}},
        PrepCase{"SlashAloneMeansEverything", "/", false, {"*.*"}, true, {{"*", {{AND, false, "*"}}}}},
        PrepCase{"SlashInsideNotLeading", "a/b", false, {"a/b"}, false, {{"*", {{AND, false, "*a/b*"}}}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Names that reach divideGroupString without the front end (for example from stored
// options) may keep spaces inside their leading operator run.
TEST(DivideGroupString, RawOperatorRunWithSpacesDoesNotLeakIntoTerm) {
    Search_Rule rule;
    rule.names = {"+- ^abc"};
    std::vector<std::unique_ptr<FileNameGroup>> groups;
    Search_Man::divideGroupString(groups, rule);
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups[0]->terms.size(), 1u);
    EXPECT_EQ(groups[0]->terms[0]->strTitlePattern, "*abc*");
    EXPECT_EQ(groups[0]->terms[0]->op, OR);
    EXPECT_TRUE(groups[0]->terms[0]->bNegate);
}

TEST(DivideGroupString, AppendsToExistingGroupsAndSetsQuotedFlag) {
    Search_Rule rule;
    rule.names = {"abc \"def\"", "\"x\" y"};
    std::vector<std::unique_ptr<FileNameGroup>> groups;
    groups.push_back(std::make_unique<FileNameGroup>());
    Search_Man::divideGroupString(groups, rule);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_TRUE(groups[1]->bQuoted);
    EXPECT_FALSE(groups[2]->bQuoted);   // the last term decides
}

// ---- line -> groups -> matching, as the disk search tests a name --------------------------

struct MatchCase {
    const char* name;
    std::string line;
    bool disableOperators;
    std::string fileName;
    bool matches;
};
void PrintTo(const MatchCase& c, std::ostream* os) { *os << "'" << c.line << "' vs '" << c.fileName << "'"; }

bool nameMatches(const std::string& line, bool disable, const std::string& fileName) {
    Search_Rule rule;
    auto groups = prepareGroups(line, disable, rule);
    Data_FileItem item;
    item.setFileName(fileName);
    for (const auto& g : groups)
        if (Tool_WCComp::comparePattenString(g->strExtPattern, item.m_strExt, false) == 0 &&
            FileNameGroupMatch::compareFileGroup(g.get(), item.m_strTitle.c_str(), false))
            return true;
    return false;
}

class NameMatching : public ::testing::TestWithParam<MatchCase> {};

TEST_P(NameMatching, LineAgainstFileName) {
    const auto& c = GetParam();
    EXPECT_EQ(nameMatches(c.line, c.disableOperators, c.fileName), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    EndToEnd, NameMatching,
    ::testing::Values(
        MatchCase{"WordInsideTitle", "report", false, "Annual_REPORT.pdf", true},
        MatchCase{"WordMissing", "report", false, "summary.pdf", false},
        MatchCase{"ExtensionInside", "report.doc", false, "report.docx", true},
        MatchCase{"ExtensionDiffers", "report.doc", false, "report.pdf", false},
        MatchCase{"StarExtensionMatchesLonger", "*.txt", false, "notes.txt2", true},
        MatchCase{"ExtensionPatternRefusesNone", "*.txt", false, "README", false},
        MatchCase{"EverythingMatchesNoExtension", "", false, "README", true},
        MatchCase{"EverythingMatchesDotFile", "", false, ".profile", true},
        MatchCase{"SecondGroupMatches", "*.txt, *.doc", false, "a.doc", true},
        MatchCase{"NoGroupMatches", "*.txt, *.doc", false, "a.pdf", false},
        MatchCase{"QuotedExactIgnoringCase", "\"report.doc\"", false, "REPORT.DOC", true},
        MatchCase{"QuotedRefusesLonger", "\"report.doc\"", false, "myreport.doc", false},
        MatchCase{"QuotedGroupAllExactFirst", "abc \"def\"", false, "abc.txt", false},
        MatchCase{"QuotedGroupAllExactSecond", "abc \"def\"", false, "def.txt", false},
        MatchCase{"NotTermExcludes", "a -b", false, "abba.txt", false},
        MatchCase{"NotTermAllows", "a -b", false, "alpha.txt", true},
        MatchCase{"OrSecondTerm", "a ^b", false, "b.txt", true},
        MatchCase{"OrNeither", "a ^b", false, "c.txt", false},
        MatchCase{"WildcardInside", "rep?rt", false, "my_report_v2.pdf", true},
        MatchCase{"QuotedWildcardWhole", "\"rep?rt\"", false, "repOrt.txt", true},
        MatchCase{"QuotedWildcardRefusesLonger", "\"rep?rt\"", false, "my_report.txt", false},
        MatchCase{"OnlyOperatorMatchesNothing", "+", false, "anything.txt", false},
        MatchCase{"MultiDotName", "tar.gz", false, "archive.tar.gz", true},
        MatchCase{"QuotedComma", "\"a,b\"", false, "a,b.txt", true},
        MatchCase{"QuotedCommaExact", "\"a,b\"", false, "xa,b.txt", false},
        MatchCase{"DisabledLiteralPlus", "+report.doc", true, "x+report.doc", true},
        MatchCase{"DisabledLiteralPlusRequired", "+report.doc", true, "report.doc", false},
        MatchCase{"Utf8AsciiFoldsRestExact", "Caf\xC3\xA9", false, "CAF\xC3\xA9_menu.txt", true},
        MatchCase{"Utf8AccentNotFolded", "CAF\xC3\x89", false, "caf\xC3\xA9.txt", false},
        MatchCase{"XorOneOfTwo", "a !b", false, "b", true},
        MatchCase{"XorBoth", "a !b", false, "ab", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NameMatching, PathPatternsWhenLineStartsWithSlash) {
    Search_Rule rule;
    auto groups = prepareGroups("/src", false, rule);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_TRUE(FileNameGroupMatch::compareFileGroup(groups[0].get(), "/proj/src/", true));
    EXPECT_FALSE(FileNameGroupMatch::compareFileGroup(groups[0].get(), "/proj/lib/", true));
}

// ---- the small string operations --------------------------------------------------------

TEST(SearchManStrings, RoundData) {
    struct C { std::string in, out; bool quoted; };
    for (const C& c : std::vector<C>{{"  \"abc\" ", "abc", true}, {"abc\"\"  ", "abc", false},
                                    {"\"\"x", "x", true}, {"\" a\"", " a", true}, {"", "", false}}) {
        std::string s = c.in;
        EXPECT_EQ(Search_Man::roundData(s), c.quoted) << c.in;
        EXPECT_EQ(s, c.out) << c.in;
    }
}

TEST(SearchManStrings, RoundKey) {
    struct C { std::string in, out; };
    for (const C& c : std::vector<C>{{" ", "+"}, {"", "+"}, {"^- ", "-"}, {"!\"", "!"}, {" ^ ", "^"}}) {
        std::string s = c.in;
        Search_Man::roundKey(s);
        EXPECT_EQ(s, c.out) << "'" << c.in << "'";
    }
}

TEST(SearchManStrings, TitlePartSplitsAtFirstDot) {
    std::string out;
    Search_Man::getTitlePart("a.b.c", true, out);
    EXPECT_EQ(out, "a");
    Search_Man::getTitlePart("a.b.c", false, out);
    EXPECT_EQ(out, "b.c");
    Search_Man::getTitlePart("abc", true, out);
    EXPECT_EQ(out, "abc");
    Search_Man::getTitlePart("abc", false, out);
    EXPECT_EQ(out, "");
    std::vector<std::pair<std::string, std::string>> pairs;
    Search_Man::dividePattenString(pairs, {"x.y", "z", ".p"});
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0], std::make_pair(std::string("x"), std::string("y")));
    EXPECT_EQ(pairs[1], std::make_pair(std::string("z"), std::string("")));
    EXPECT_EQ(pairs[2], std::make_pair(std::string(""), std::string("p")));
}

TEST(SearchManStrings, FillMiddleDefaultOperator) {
    struct C { std::string in, out; };
    for (const C& c : std::vector<C>{{" a b ", "a+b"}, {"a  b", "a +b"}, {"a -b", "a -b"}, {"a ^ b", "a ^+b"},
                                    {"abc", "abc"}}) {
        std::string s = c.in;
        Search_Man::fillMiddleDefaultOperator(s);
        EXPECT_EQ(s, c.out) << "'" << c.in << "'";
    }
}

TEST(SearchManStrings, RemoveSpaceAfterOperator) {
    struct C { std::string in, out; };
    for (const C& c : std::vector<C>{{" a +  b ", "a +b"}, {"a - ^ b", "a -^b"}, {"\"a + b\" - c", "\"a + b\" -c"},
                                    {"a b", "a b"}}) {
        std::string s = c.in;
        Search_Man::removeSpaceAfterOperator(s);
        EXPECT_EQ(s, c.out) << "'" << c.in << "'";
    }
}

TEST(NameLinePreparer, CommaSplitKeepsLastPieceAsItCame) {
    std::vector<std::string> out;
    NameLinePreparer::splitAtCommas(" a , b ,  c  ", out);
    EXPECT_EQ(out, (std::vector<std::string>{"a ", "b ", "  c"}));
    out.clear();
    NameLinePreparer::splitAtCommas("", out);
    EXPECT_TRUE(out.empty());
    NameLinePreparer::splitAtCommas("x,", out);
    EXPECT_EQ(out, (std::vector<std::string>{"x", ""}));
}

}  // namespace
