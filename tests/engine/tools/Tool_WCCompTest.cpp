#include <gtest/gtest.h>

#include <string>

#include "platform/AsciiCase.h"
#include "tools/Tool_WCComp.h"

namespace {

struct MatchCase {
    const char* name;
    std::string pattern;
    std::string text;
    bool insensitiveMatches;
    bool sensitiveMatches;
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.pattern << " ~ " << c.text; }

class WildcardTable : public ::testing::TestWithParam<MatchCase> {};

TEST_P(WildcardTable, CaseInsensitive) {
    const auto& c = GetParam();
    EXPECT_EQ(Tool_WCComp::comparePattenString(c.pattern, c.text, false) == 0, c.insensitiveMatches);
    EXPECT_EQ(Tool_WCComp::comparePattenString(c.pattern.data(), static_cast<int>(c.pattern.size()), c.text.data(),
                                               static_cast<int>(c.text.size()), false) == 0,
              c.insensitiveMatches);
}

TEST_P(WildcardTable, CaseSensitive) {
    const auto& c = GetParam();
    EXPECT_EQ(Tool_WCComp::comparePattenString(c.pattern, c.text, true) == 0, c.sensitiveMatches);
    EXPECT_EQ(Tool_WCComp::comparePattenString(c.pattern.data(), static_cast<int>(c.pattern.size()), c.text.data(),
                                               static_cast<int>(c.text.size()), true) == 0,
              c.sensitiveMatches);
}

// The documented behaviour of the single-restart matcher, refusals included.
INSTANTIATE_TEST_SUITE_P(
    Documented, WildcardTable,
    ::testing::Values(MatchCase{"StarsAround", "*abc*", "xxabcxx", true, true},
                      MatchCase{"LeadingStar", "*abc", "xabc", true, true},
                      MatchCase{"LeadingStarNoBacktrack", "*abc", "abcabc", false, false},
                      MatchCase{"LeadingStarRestart", "*abc", "xabxabc", true, true},
                      MatchCase{"InnerStar", "a*c", "abc", true, true},
                      MatchCase{"InnerStarNoBacktrack", "a*c", "abcxc", false, false},
                      MatchCase{"TwoStarsNoBacktrack", "*a*c", "abcxc", false, false},
                      MatchCase{"RestartAtMark", "*a*bc", "abxbc", true, true},
                      MatchCase{"TrailingQuestionLikeStar", "abc?", "abc", true, true},
                      MatchCase{"QuestionNeedsAByte", "a?c", "ac", false, false},
                      MatchCase{"LiteralFoldsCase", "abc", "ABC", true, false},
                      MatchCase{"QuestionOnEmpty", "?", "", true, true},
                      MatchCase{"StarOnEmpty", "*", "", true, true},
                      MatchCase{"EmptyPatternEmptyText", "", "", false, false},
                      MatchCase{"TextLeftOver", "ab", "abc", false, false},
                      MatchCase{"StarsAroundFolded", "*txt*", "TXT", true, false},
                      // Further cases the name search depends on.
                      MatchCase{"EmptyPatternNeverMatches", "", "abc", false, false},
                      MatchCase{"StarMatchesAnything", "*", "any name.txt", true, true},
                      MatchCase{"ExactLiteral", "report", "report", true, true},
                      MatchCase{"ExactLiteralShorterText", "report", "repor", false, false},
                      MatchCase{"QuestionInside", "*rep?rt*", "my_REPORT_2024", true, false},
                      MatchCase{"StarOnlyPatternsTail", "*a*?*", "xa", true, true},
                      MatchCase{"ExtensionPatternOnEmpty", "*txt*", "", false, false},
                      MatchCase{"ExtensionPatternPrefix", "*txt*", "txt2", true, true},
                      MatchCase{"DigitsNotFolded", "*2024*", "x2024y", true, true},
                      MatchCase{"PunctuationNotFolded", "*[*", "a{", false, false},
                      MatchCase{"AtSignNotFoldedToBacktick", "*@*", "`", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Tool_WCComp, OnlyAsciiLettersFold) {
    // U+00E9 (C3 A9) and U+00C9 (C3 89) differ in their second byte: never folded.
    EXPECT_EQ(Tool_WCComp::comparePattenString("*\xC3\xA9*", "\xC3\x89t\xC3\xA9", true), 0);
    EXPECT_EQ(Tool_WCComp::comparePattenString("\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", false), 1);
    EXPECT_EQ(Tool_WCComp::comparePattenString("\xC3\xA9T\xC3\xA9", "\xC3\xA9t\xC3\xA9", false), 0);
    EXPECT_EQ(Tool_WCComp::compareChar('\xE9', '\xC9', false), 1);
    EXPECT_EQ(Tool_WCComp::compareChar('[', '{', false), 1);
    EXPECT_EQ(Tool_WCComp::compareChar('z', 'Z', false), 0);
    EXPECT_EQ(Tool_WCComp::compareChar('z', 'Z', true), 1);
}

TEST(Tool_WCComp, EveryBytePairFoldsAsAsciiCaseDoes) {
    // The byte test and the search for a pattern's next byte (which has its own fast path for
    // letters) must both take exactly the program's one ASCII fold, for all 65,536 pairs.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const char ca = static_cast<char>(a), cb = static_cast<char>(b);
            const bool same = AsciiCase::fold(ca) == AsciiCase::fold(cb);
            ASSERT_EQ(Tool_WCComp::compareChar(ca, cb, false) == 0, same) << a << " " << b;
            int position = 0;
            ASSERT_EQ(Tool_WCComp::movetoStringPosAccordingto(ca, position, &cb, 1, false) == 0, same) << a << " " << b;
            ASSERT_EQ(Tool_WCComp::compareChar(ca, cb, true) == 0, a == b) << a << " " << b;
        }
    }
}

TEST(Tool_WCComp, QuestionMarkTakesOneByteOfAMultiByteCharacter) {
    const std::string e = "\xC3\xA9";   // one character, two bytes
    EXPECT_EQ(Tool_WCComp::comparePattenString("?", e, false), 1);
    EXPECT_EQ(Tool_WCComp::comparePattenString("??", e, false), 0);
    EXPECT_EQ(Tool_WCComp::comparePattenString("*caf\xC3\xA9*", "Mon CAF\xC3\xA9 noir", false), 0);
}

TEST(Tool_WCComp, NegativeLengthsAreEmpty) {
    EXPECT_EQ(Tool_WCComp::comparePattenString("*", 1, "abc", -5, false), 0);
    EXPECT_EQ(Tool_WCComp::comparePattenString("abc", -1, "abc", 3, false), 1);
}

TEST(Tool_WCComp, LengthsAreHonouredWithoutTerminators) {
    const char pattern[] = {'*', 'a', 'b', 'X'};
    const char text[] = {'z', 'a', 'b', 'Y'};
    EXPECT_EQ(Tool_WCComp::comparePattenString(pattern, 3, text, 3, true), 0);
    EXPECT_EQ(Tool_WCComp::comparePattenString(pattern, 4, text, 4, true), 1);
}

TEST(Tool_WCComp, HelpersStopWhereDocumented) {
    int pos = 0;
    EXPECT_EQ(Tool_WCComp::movetoNextNCPos(pos, "*?*x", 4), 'x');
    EXPECT_EQ(pos, 3);
    pos = 0;
    EXPECT_EQ(Tool_WCComp::movetoNextNCPos(pos, "*??*", 4), 0);
    EXPECT_EQ(pos, 4);

    pos = 1;
    EXPECT_EQ(Tool_WCComp::movetoStringPosAccordingto('r', pos, "rxxR", 4, false), 0);
    EXPECT_EQ(pos, 3);
    pos = 0;
    EXPECT_EQ(Tool_WCComp::movetoStringPosAccordingto('R', pos, "abc", 3, true), 1);
    EXPECT_EQ(pos, 3);
}

// The matcher's letter search is tuned for speed; generated pairs guard that it still gives
// exactly what the plain step-by-step rules give.
int referenceMatch(const std::string& pat, const std::string& txt, bool cs) {
    auto eq = [cs](char a, char b) {
        auto f = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
        return cs ? a == b : f(a) == f(b);
    };
    if (pat.empty())
        return 1;
    size_t t = 0, p = 0, m = 0;
    bool f = false;
    int r = 0;
    const bool L = pat[0] != '*';
    while (t < txt.size()) {
        if (p >= pat.size())
            return 1;
        if (pat[p] == '?') {
            ++t;
            ++p;
        } else if (pat[p] == '*') {
            while (p < pat.size() && (pat[p] == '*' || pat[p] == '?'))
                ++p;
            if (p == pat.size())
                return r;
            while (t < txt.size() && !eq(pat[p], txt[t]))
                ++t;
            if (t == txt.size())
                return 1;
            if (f)
                m = p;
        } else {
            r = eq(pat[p], txt[t]) ? 0 : 1;
            if (r == 0) {
                ++t;
                ++p;
                f = true;
            } else if (L) {
                return 1;
            } else if (f) {
                p = m;
                f = false;
            } else {
                ++t;
                p = m;
            }
        }
    }
    if (r)
        return 1;
    for (; p < pat.size(); ++p)
        if (pat[p] != '*' && pat[p] != '?')
            return 1;
    return 0;
}

TEST(Tool_WCComp, TunedSearchAgreesWithPlainRulesOnGeneratedPairs) {
    const char alphabet[] = {'a', 'b', 'A', '*', '?', 'c'};
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int i = 0; i < 20000; ++i) {
        std::string pat, txt;
        for (unsigned n = next() % 6; n > 0; --n)
            pat += alphabet[next() % 6];
        for (unsigned n = next() % 7; n > 0; --n)
            txt += alphabet[next() % 6 == 3 ? 0 : next() % 3];
        for (bool cs : {false, true})
            ASSERT_EQ(Tool_WCComp::comparePattenString(pat, txt, cs), referenceMatch(pat, txt, cs))
                << "pattern '" << pat << "' text '" << txt << "' cs " << cs;
    }
}

}  // namespace
