// Term building from what a person typed: text or hexadecimal, ANSI, UTF-16 or both.
#include <gtest/gtest.h>

#include "records/ContainTextItem.h"
#include "content/ContentTermBuilder.h"

namespace {

struct BuildCase {
    const char* name;
    ContentTermRequest request;
    unsigned error;                      // 0: ok
    std::vector<std::string> patterns;   // expected terms
    std::vector<int> relations;
    std::vector<int> nots;
};

class TermBuilding : public ::testing::TestWithParam<BuildCase> {};

TEST_P(TermBuilding, BuildsTermsOrReportsLanguageString) {
    const auto& c = GetParam();
    ContentTermBuilder::TermList terms;
    terms.push_back(std::make_unique<ContainTextItem>());   // something already there stays
    const ContentTermResult r = ContentTermBuilder::addTerms(terms, c.request);
    EXPECT_EQ(r.ok, c.error == 0);
    EXPECT_EQ(r.errorString, c.error);
    ASSERT_EQ(terms.size(), 1 + c.patterns.size());
    for (size_t i = 0; i < c.patterns.size(); ++i) {
        const ContainTextItem& t = *terms[i + 1];
        EXPECT_EQ(t.pattern, c.patterns[i]);
        EXPECT_EQ(t.patternLength, int32_t(c.patterns[i].size()));
        EXPECT_EQ(t.relation, c.relations[i]);
        EXPECT_EQ(t.isNot, c.nots[i]);
        if (c.request.isHex) {
            EXPECT_TRUE(t.isHex && t.isAnsi && t.isCaseSensitive && !t.isWholeWord);
        } else {
            EXPECT_EQ(t.isCaseSensitive, int(c.request.isCaseSensitive));
            EXPECT_EQ(t.isWholeWord, int(c.request.isWholeWord));
        }
    }
}

ContentTermRequest req(std::string text, bool hex, int encoding, bool isNot = false, int relation = 2,
                       bool caseSensitive = false, bool wholeWord = false) {
    ContentTermRequest r;
    r.text = std::move(text);
    r.isHex = hex;
    r.encoding = encoding;
    r.isNot = isNot;
    r.relation = relation;
    r.isCaseSensitive = caseSensitive;
    r.isWholeWord = wholeWord;
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, TermBuilding,
    ::testing::Values(
        BuildCase{"BlankTextAddsNothing", req("  \t ", false, 0), 0, {}, {}, {}},
        BuildCase{"AnsiTextTrimmed", req("  caf\xC3\xA9 ", false, 0, false, 2, true, true), 0, {"caf\xC3\xA9"}, {2}, {0}},
        BuildCase{"Utf16Text", req("h\xC3\xA9", false, 1, true, 1), 0, {std::string("h\0\xE9\0", 4)}, {1}, {1}},
        BuildCase{"BothEncodingsJoinedByOr", req("ab", false, 2, false, 0), 0, {"ab", std::string("a\0b\0", 4)},
                  {1, 1}, {0, 0}},
        BuildCase{"BothEncodingsWithNotJoinedByAnd", req("ab", false, 2, true, 1), 0,
                  {"ab", std::string("a\0b\0", 4)}, {0, 0}, {1, 1}},
        BuildCase{"HexWithSpaces", req(" 0d 0A ff ", true, 1, true, 1), 0, {"\r\n\xFF"}, {1}, {1}},
        BuildCase{"HexOddDigitCount", req("0D 0", true, 0), 90, {}, {}, {}},
        BuildCase{"HexInvalidDigit", req("0G", true, 0), 91, {}, {}, {}},
        BuildCase{"HexTabIsNoDigit", req("0\t0A", true, 0), 91, {}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
