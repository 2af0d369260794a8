// Option parsing and rule building of qdsearch, without running a search.
#include <gtest/gtest.h>

#include "cli/QdOptionParser.h"
#include "records/ContainTextItem.h"
#include "support/TempDir.h"

namespace {

struct SizeCase {
    const char* name;
    const char* text;
    bool ok;
    float value;
    uint16_t unit;
};

class ParseSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ParseSize, NumberWithOptionalUnit) {
    const SizeCase& c = GetParam();
    float value = -1;
    uint16_t unit = 99;
    int64_t bytes = -1;
    ASSERT_EQ(QdOptionParser::parseSize(c.text, bytes, value, unit) == QdNumberText::Status::Ok, c.ok);
    if (c.ok) {
        EXPECT_FLOAT_EQ(value, c.value);
        EXPECT_EQ(unit, c.unit);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ParseSize,
                         ::testing::Values(SizeCase{"DefaultUnitIsK", "10", true, 10, 1},
                                           SizeCase{"Bytes", "512B", true, 512, 0},
                                           SizeCase{"LowerCaseK", "2k", true, 2, 1},
                                           SizeCase{"Megabytes", "1.5M", true, 1.5f, 2},
                                           SizeCase{"Empty", "", false, 0, 0},
                                           SizeCase{"UnitOnly", "K", false, 0, 0},
                                           SizeCase{"Negative", "-1K", false, 0, 0},
                                           SizeCase{"GigabytesAreKeptInMegabytes", "3G", true, 3072, 2},
                                           SizeCase{"UnknownUnit", "3T", false, 0, 0},
                                           SizeCase{"Garbage", "1x2", false, 0, 0},
                                           SizeCase{"Overflow", "1e99", false, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PeriodCase {
    const char* name;
    const char* text;
    bool ok;
    int32_t count;
    int32_t unit;
};

class ParsePeriod : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(ParsePeriod, CountAndUnit) {
    const PeriodCase& c = GetParam();
    int32_t count = -1, unit = -1;
    ASSERT_EQ(QdOptionParser::parsePeriod(c.text, count, unit) == QdNumberText::Status::Ok, c.ok);
    if (c.ok) {
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(unit, c.unit);
    }
}

INSTANTIATE_TEST_SUITE_P(Periods, ParsePeriod,
                         ::testing::Values(PeriodCase{"Days", "3d", true, 3, 0}, PeriodCase{"Weeks", "2w", true, 2, 1},
                                           PeriodCase{"Months", "1m", true, 1, 2},
                                           PeriodCase{"Years", "10y", true, 10, 3},
                                           PeriodCase{"NoUnit", "3", false, 0, 0},
                                           PeriodCase{"Zero", "0d", false, 0, 0},
                                           PeriodCase{"Negative", "-1d", false, 0, 0},
                                           PeriodCase{"TooBig", "99999999999d", false, 0, 0},
                                           PeriodCase{"BadUnit", "3h", false, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseDate, RejectsImpossibleDates) {
    int y, m, d;
    EXPECT_TRUE(QdOptionParser::parseDate("2024-02-29", y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    EXPECT_FALSE(QdOptionParser::parseDate("2023-02-29", y, m, d));
    EXPECT_FALSE(QdOptionParser::parseDate("2023-13-01", y, m, d));
    EXPECT_FALSE(QdOptionParser::parseDate("2023-1-01", y, m, d));
    EXPECT_FALSE(QdOptionParser::parseDate("20230101", y, m, d));
}

class ParseArgs : public ::testing::Test {
protected:
    bool parse(std::vector<std::string> args) {
        options = QdSearchOptions();
        error = QdOptionParser::Error();
        return QdOptionParser::parse(args, tmp.path(), options, error);
    }
    TempDir tmp;
    QdSearchOptions options;
    QdOptionParser::Error error;
};

TEST_F(ParseArgs, DefaultsToEveryNameInTheCurrentFolder) {
    ASSERT_TRUE(parse({})) << error.text;
    EXPECT_EQ(options.rule->folders, std::vector<std::string>{tmp.path() + "/"});
    EXPECT_EQ(options.rule->names, std::vector<std::string>{"*.*"});
    EXPECT_EQ(options.rule->iTargetOption, 2);
    EXPECT_TRUE(options.rule->bIncludeSubDir);
}

TEST_F(ParseArgs, FoldersAreMadeAbsoluteNormalisedAndSlimmed) {
    tmp.mkdir("a/b");
    tmp.mkdir("c");
    ASSERT_TRUE(parse({"x", "a/b", "-f", "./a/", "--folder=" + tmp / "c", tmp.path() + "/c//"})) << error.text;
    EXPECT_EQ(options.rule->folders, (std::vector<std::string>{tmp / "a/", tmp / "c/"}));
}

TEST_F(ParseArgs, MissingFolderIsAUsageError) {
    EXPECT_FALSE(parse({"x", "nowhere"}));
    EXPECT_NE(error.text.find("nowhere"), std::string::npos);
}

TEST_F(ParseArgs, NoOperatorsKeepsTheLineLiteral) {
    ASSERT_TRUE(parse({"--no-operators", "+report.doc"}));
    EXPECT_TRUE(options.rule->bDisableBooleanOpt);
    EXPECT_EQ(options.rule->names, std::vector<std::string>{"+report.doc"});
    ASSERT_TRUE(parse({"+report.doc"}));
    EXPECT_FALSE(options.rule->bDisableBooleanOpt);
}

TEST_F(ParseArgs, PdfTextCacheOnUnlessTurnedOff) {
    ASSERT_TRUE(parse({"--text", "x"})) << error.text;
    EXPECT_TRUE(options.pdfCache);
    ASSERT_TRUE(parse({"--no-pdf-cache", "--text", "x"})) << error.text;
    EXPECT_FALSE(options.pdfCache);
    EXPECT_EQ(options.scannerThreads, 0u);
    ASSERT_TRUE(parse({"--threads", "1", "--text", "x"})) << error.text;
    EXPECT_EQ(options.scannerThreads, 1u);
    EXPECT_FALSE(parse({"--threads", "65", "--text", "x"}));
    EXPECT_FALSE(parse({"--threads", "two", "--text", "x"}));
    ASSERT_TRUE(parse({"*.log"})) << error.text;
    EXPECT_EQ(options.readAhead, 0);
    ASSERT_TRUE(parse({"--no-read-ahead", "*.log"})) << error.text;
    EXPECT_EQ(options.readAhead, -1);
    ASSERT_TRUE(parse({"--read-ahead", "*.log"})) << error.text;
    EXPECT_EQ(options.readAhead, 1);
}

TEST_F(ParseArgs, LeadingSlashMatchesPaths) {
    ASSERT_TRUE(parse({"/src"}));
    EXPECT_TRUE(options.rule->bMatchPath);
}

TEST_F(ParseArgs, SizeDateAndTargetReachTheRule) {
    ASSERT_TRUE(parse({"--larger", "2M", "--smaller=10", "--within", "2w", "--target", "files", "--no-subdirs",
                       "--archives"}));
    const Search_Rule& r = *options.rule;
    EXPECT_TRUE(r.bLargerOn);
    EXPECT_EQ(r.wLargerUnit, 2);
    EXPECT_TRUE(r.bSmallerOn);
    EXPECT_EQ(r.wSmallerUnit, 1);
    EXPECT_FLOAT_EQ(r.fSmallerSize, 10);
    EXPECT_TRUE(r.date.bWithin);
    EXPECT_FALSE(r.date.bAny);
    EXPECT_EQ(r.date.nPrevious, 2);
    EXPECT_EQ(r.date.nUnit, 1);
    EXPECT_EQ(r.iTargetOption, 0);
    EXPECT_FALSE(r.bIncludeSubDir);
    EXPECT_TRUE(r.bSearchInCompressed);
}

TEST_F(ParseArgs, BetweenMakesWholeDays) {
    ASSERT_TRUE(parse({"--between", "2023-03-10", "2023-03-12", "--time", "created"}));
    const Date_SpecifyDate& d = options.rule->date.specifyDate;
    EXPECT_TRUE(options.rule->date.bSpecify);
    EXPECT_EQ(d.wTimeKind, 1);
    EXPECT_EQ(d.tTo - d.tFrom, 3 * 86400 - 1);   // no clock change in March 10-12 in most zones
}

TEST_F(ParseArgs, ContentTermsAreBuiltLikeThePanel) {
    ASSERT_TRUE(parse({"--text", "Hello", "--encoding", "both", "--case", "--not"}));
    ASSERT_EQ(options.rule->containText.size(), 2u);
    EXPECT_EQ(options.rule->containText[0]->pattern, "Hello");
    EXPECT_TRUE(options.rule->containText[0]->isCaseSensitive);
    EXPECT_TRUE(options.rule->containText[0]->isNot);
    EXPECT_FALSE(options.rule->containText[1]->isAnsi);
    ASSERT_TRUE(parse({"--hex", "41 42"}));
    ASSERT_EQ(options.rule->containText.size(), 1u);
    EXPECT_EQ(options.rule->containText[0]->pattern, "AB");
}

struct BadArgs {
    const char* name;
    std::vector<std::string> args;
    unsigned languageString;
};

class ParseBadArgs : public ::testing::TestWithParam<BadArgs> {};

TEST_P(ParseBadArgs, AreRefused) {
    TempDir tmp;
    QdSearchOptions options;
    QdOptionParser::Error error;
    EXPECT_FALSE(QdOptionParser::parse(GetParam().args, tmp.path(), options, error));
    EXPECT_EQ(error.languageString, GetParam().languageString);
    if (GetParam().languageString == 0) {
        EXPECT_FALSE(error.text.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseBadArgs,
    ::testing::Values(BadArgs{"UnknownLong", {"--frobnicate"}, 0}, BadArgs{"UnknownShort", {"-Q"}, 0},
                      BadArgs{"MissingValue", {"--larger"}, 0}, BadArgs{"BetweenNeedsTwo", {"--between", "2023-01-01"}, 0},
                      BadArgs{"FlagWithValue", {"--count=3"}, 0}, BadArgs{"BadTarget", {"--target", "links"}, 0},
                      BadArgs{"BadTime", {"--time", "changed"}, 0}, BadArgs{"BadEncoding", {"--encoding", "latin1"}, 0},
                      BadArgs{"BadSize", {"--smaller", "lots"}, 0}, BadArgs{"BadPeriod", {"--within", "3"}, 0},
                      BadArgs{"ReversedDates", {"--between", "2023-02-01", "2023-01-01"}, 0},
                      BadArgs{"TextAndHex", {"--text", "a", "--hex", "41"}, 0},
                      BadArgs{"CaseWithoutText", {"--case"}, 0},
                      BadArgs{"HexOddDigits", {"--hex", "414"}, 90}, BadArgs{"HexBadDigit", {"--hex", "4G"}, 91},
                      // Numbers out of range: each a message, never an exception.
                      BadArgs{"PriorityBeyondLongRegression", {"--index", "r", "--priority", "99999999999"}, 0},
                      BadArgs{"PriorityAboveTen", {"--index", "r", "--priority", "11"}, 0},
                      BadArgs{"PriorityNegative", {"--index", "r", "--priority", "-1"}, 0},
                      BadArgs{"PriorityNotANumber", {"--index", "r", "--priority", "high"}, 0},
                      BadArgs{"WithinBeyondInt32", {"--within", "2147483648d"}, 0},
                      BadArgs{"LargerBeyondInt64", {"--larger", "9223372036854775808B"}, 0},
                      BadArgs{"SmallerBeyondInt64InGigabytes", {"--smaller", "99999999999G"}, 0},
                      // Index options in the one table: each in its own kind of run.
                      BadArgs{"ExcludeWithoutIndex", {"--exclude", "x"}, 0},
                      BadArgs{"PriorityWithoutIndex", {"--priority", "3"}, 0},
                      BadArgs{"TextWithIndex", {"--index", "--text", "a", "r"}, 0},
                      BadArgs{"IndexAndList", {"--index", "--list-indexes", "r"}, 0},
                      BadArgs{"ListWithAFolder", {"--list-indexes", "r"}, 0},
                      BadArgs{"IndexedWithoutQuick", {"--indexed", "r"}, 0},
                      BadArgs{"CacheWithoutValue", {"--list-indexes", "--cache"}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParseArgs, IndexOptionsComeFromTheTable) {
    ASSERT_TRUE(parse({"--index", "--exclude", "a", "--exclude-type=log", "--no-archives", "--priority", "007",
                       "--cache", "c", "r1", "r2"}))
        << error.text;
    EXPECT_TRUE(options.indexing.index);
    EXPECT_EQ(options.indexing.roots, (std::vector<std::string>{"r1", "r2"}));
    EXPECT_EQ(options.indexing.excluded, std::vector<std::string>{"a"});
    EXPECT_EQ(options.indexing.types, std::vector<std::string>{"log"});
    EXPECT_FALSE(options.indexing.archives);
    EXPECT_EQ(options.indexing.priority, 7);
    EXPECT_EQ(options.quick.cacheFolder, "c");
    ASSERT_TRUE(parse({"--quick", "--indexed", tmp.path(), "--no-auto-normal", "x"})) << error.text;
    EXPECT_TRUE(options.quick.quick);
    EXPECT_TRUE(options.quick.noAutoNormal);
    EXPECT_EQ(options.quick.indexed, std::vector<std::string>{tmp.path()});
}

TEST(OptionTable, NamesAreUnique) {
    const auto& table = QdOptionParser::table();
    for (size_t i = 0; i < table.size(); ++i)
        for (size_t j = i + 1; j < table.size(); ++j) {
            EXPECT_STRNE(table[i].longName, table[j].longName);
            if (table[i].shortName) {
                EXPECT_NE(table[i].shortName, table[j].shortName);
            }
        }
    const std::string help = QdOptionParser::helpText();
    for (const auto& option : table)
        EXPECT_NE(help.find(std::string("--") + option.longName), std::string::npos) << option.longName;
}

}  // namespace
