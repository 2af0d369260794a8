// --help, the manual page and the README describe what qdsearch does: the name-line and
// content-expression rules, and that archive members are found by name only.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/QdOptionParser.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "tests/cli/InProcessRun.h"

namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string manPage() { return fileText(TestPaths::sourceDir() + "/cli/qdsearch.1"); }

// roff writes a minus as "\-".
std::string inRoff(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

struct Rule {
    const char* name;
    const char* help;   // a phrase --help must contain
    const char* man;    // and the manual page (in roff)
};

class DocumentedRules : public ::testing::TestWithParam<Rule> {};

TEST_P(DocumentedRules, HelpAndManualPageSayItRegression) {
    EXPECT_NE(QdOptionParser::helpText().find(GetParam().help), std::string::npos) << GetParam().help;
    EXPECT_NE(manPage().find(GetParam().man), std::string::npos) << GetParam().man;
}

INSTANTIATE_TEST_SUITE_P(
    NameLineAndExpressions, DocumentedRules,
    ::testing::Values(
        Rule{"TitleAndExtension", "the extension follows the name's last dot", "at its last dot"},
        Rule{"PatternWithoutADot", "matched against the name without its extension",
             "matched against the name without its extension"},
        Rule{"MultiDotPatterns", "the extension is the name's last k+1 dot-separated", "last \\fIk\\fR+1 dot-separated"},
        Rule{"Wildcards", "* matches any run of characters, ? exactly one", "\\fB?\\fR exactly one"},
        Rule{"NameOperators", "Within a group terms are joined by a space or + (AND), ^ (OR), ! (XOR); -",
             "NOT: negates the term it precedes"},
        Rule{"NoPrecedence", "\"a ^b -c\" is ((a OR b) AND NOT c)", "((a OR b) AND NOT c)"},
        Rule{"Quotes", "quotes around the last term of a group make the group exact",
             "Double quotes around the last term of a group make all patterns of that group exact"},
        Rule{"LeadingSlash", "A leading / matches the patterns against the folder path", "begins with \\fB/\\fR"},
        Rule{"ExprAnd", "+  AND (the default)", "AND (put in front of the expression"},
        Rule{"ExprNot", "-  NOT: must not contain it", "NOT: the file must not contain the term"},
        Rule{"ExprHex", "#  the term is hexadecimal bytes", "the term is hexadecimal byte values"},
        Rule{"ExprWholeWord", "$  whole words only", ".B $\nwhole words only"},
        Rule{"ExprCase", "%  case-sensitive", ".B %\ncase-sensitive"},
        Rule{"ExprUtf8", "@  UTF-8 text (the default)", "searched as UTF-8 (the default)"},
        Rule{"ExprUtf16", "~  UTF-16 (little-endian) text", "searched as UTF-16 (little-endian)"},
        Rule{"ExprSpacesDoNotSeparate", "Spaces do not separate terms", "Spaces do not separate terms"},
        Rule{"ArchivesByNameOnly", "their\n  content is never searched", "their content is never searched"},
        Rule{"UnusableIndexFoldersExitTwo",
             "2 usage error, bad value,\nor (--index) a root or cache folder that cannot be used",
             "a root or cache folder that cannot be used"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ManualPage, ListsEveryOptionOfTheTable) {
    const std::string page = manPage();
    ASSERT_FALSE(page.empty());
    for (const auto& option : QdOptionParser::table())
        EXPECT_NE(page.find(inRoff(std::string("--") + option.longName)), std::string::npos) << option.longName;
}

TEST(ManualPage, IsCleanRoff) {
    std::string out, err;
    const int status =
        TestPaths::runProgram("groff", {"-man", "-Tutf8", "-ww", "-z", TestPaths::sourceDir() + "/cli/qdsearch.1"},
                              &out, &err);
    if (status < 0)
        GTEST_SKIP() << "groff is not installed";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err, "");
}

TEST(Readme, DoesNotClaimTextIsFoundInsideArchivesRegression) {
    const std::string readme = fileText(TestPaths::sourceDir() + "/README.md");
    EXPECT_EQ(readme.find("also in PDFs and inside archives"), std::string::npos);
    EXPECT_NE(readme.find("their content is not searched"), std::string::npos);
}

// What the documents say about archives, checked against the program.
TEST(ArchiveMembers, AreFoundByNameNotByContentRegression) {
    TempDir tmp;
    const std::string zip = tmp / "z/pack.zip";
    tmp.mkdir("z");
    std::string err;
    ASSERT_EQ(TestPaths::runProgram("python3",
                                    {"-c",
                                     "import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1],'w')\n"
                                     "z.writestr('inner/needle.txt','the haystack word')\nz.close()",
                                     zip},
                                    nullptr, &err),
              0)
        << err;
    InProcessRun run = runInProcess({"--archives", "needle", tmp / "z"});
    EXPECT_EQ(run.out, zip + "/inner/needle.txt\n") << run.err;
    // The member's name matches, its content holds the text: still no result.
    run = runInProcess({"--archives", "--text", "haystack", "needle", tmp / "z"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
}

}  // namespace
