#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <thread>

#include "platform/IniFile.h"
#include "support/TestPaths.h"
#include "tools/Tool_Resource.h"

namespace {

// Every text number the program uses: the engine's and window's texts, then the menu
// texts keyed by command id.
const std::vector<unsigned> kNumbers = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14,
    15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,
    29, 30, 31, 32, 33, 34, 36, 37, 38, 39, 40, 41, 42, 44,
    45, 46, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59,
    60, 63, 64, 65, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76,
    77, 78, 79, 80, 81, 83, 84, 85, 86, 90, 91, 99, 101, 102,
    103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 118,
    119, 130, 146, 147, 148, 149, 150, 151, 152, 154, 156, 162, 163, 164,
    165, 166, 167, 168, 169, 170, 171, 175, 176, 177, 178, 181, 182, 183,
    184, 190, 191, 197, 198, 345, 346, 400, 401, 402, 403, 404, 405, 406,
    410, 411, 412, 413, 414, 415, 416, 420, 421, 422, 423, 430, 431, 432,
    433, 434, 435, 436, 440, 441,
    500, 501, 502, 503, 504, 505, 506, 507, 508, 509, 510, 511,
    550, 551, 552, 553, 554, 555, 556, 557, 558, 559, 560, 561, 562, 563, 564, 565, 566, 567, 568, 569,
    570, 571, 572, 573, 574, 575, 576, 577, 578, 579, 580, 581, 582, 583, 584, 585, 586, 587, 588, 589,
    590, 591, 592, 593, 594, 595, 596, 597, 598, 599,
    600, 601, 603, 604, 605, 606, 607, 608, 609, 611, 612, 613, 614, 615, 616, 617, 618, 619, 620, 621, 622, 623, 624, 625,
    650, 651, 652, 653, 654, 655, 656, 657, 658, 659, 660, 661, 662, 663, 664, 665, 666,
    667, 668, 669, 670, 671, 672, 673, 674, 675, 676, 677, 678, 679, 680, 681, 682, 683, 684,
    700, 701, 702, 703, 704, 705, 706, 707, 708, 709, 710, 711, 712,
    780, 781, 782, 783, 784, 785, 786, 787, 788, 789, 790, 791, 792, 793, 794, 795, 796, 797, 798, 799,
    32771, 32772, 32774, 32775, 32776, 32777, 32778, 32779,
    32780, 32781, 32782, 32783, 32784, 32785, 32789, 32790, 32791, 32792, 32793, 32794, 32795, 32803,
    32804, 32818, 32819, 32820, 32821, 32822, 32823, 32827, 32829, 32834, 32835, 32836, 32837, 32838,
    32839, 32840, 32841, 32843, 32844, 32845, 32846, 32847, 32848, 57606, 57607, 57609, 57642, 57664,
    57665};

// The printf arguments each formatted text is given; every other text takes none.
const std::map<unsigned, std::string> kArguments = {
    {22, "sf"}, {23, "f"},  {36, "ss"},  {37, "ss"},  {44, "s"},  {45, "ss"},  {46, "ss"},  {63, "s"},
    {114, "d"}, {115, "d"}, {118, "d"}, {119, "d"}, {130, "dd"}, {154, "d"}, {156, "s"}, {170, "ss"},
    {171, "ss"}, {178, "s"}, {416, "s"}, {596, "ss"}, {597, "ss"}, {601, "s"}, {624, "ss"}, {625, "ss"},
    {654, "s"}, {655, "s"}, {658, "s"}, {670, "d"}, {679, "ss"}, {711, "s"}};

const char* const kFiles[] = {"English.ini", "GB.ini", "BIG5.ini"};

IniFile loadLanguage(const std::string& name) {
    IniFile ini;
    EXPECT_TRUE(ini.load(TestPaths::binDir() + "/Language/" + name)) << name;
    return ini;
}

// The conversions of a printf format as one letter each (f for the whole f/e/g family);
// '?' marks a stray or unknown '%'.
std::string conversions(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        ++i;
        if (i < text.size() && text[i] == '%')
            continue;
        while (i < text.size() && std::string_view("-+ #0123456789.").find(text[i]) != std::string_view::npos)
            ++i;
        while (i < text.size() && std::string_view("hlLqjzt").find(text[i]) != std::string_view::npos)
            ++i;
        if (i >= text.size()) {
            out += '?';
            break;
        }
        const char c = text[i];
        if (c == 's')
            out += 's';
        else if (c == 'd' || c == 'i' || c == 'u')
            out += 'd';
        else if (std::string_view("fFeEgGaA").find(c) != std::string_view::npos)
            out += 'f';
        else
            out += '?';
    }
    return out;
}

TEST(LanguageFiles, EnglishHasExactlyTheNumbersInUse) {
    const IniFile en = loadLanguage("English.ini");
    std::vector<std::string> expected;
    for (unsigned n : kNumbers)
        expected.push_back(std::to_string(n));
    EXPECT_EQ(en.keyNames("Language"), expected);
    for (unsigned n : kNumbers)
        EXPECT_FALSE(en.getString("Language", std::to_string(n), "", 1024).empty()) << n;
}

class EveryLanguage : public ::testing::TestWithParam<const char*> {};

TEST_P(EveryLanguage, HasTheEnglishKeysAndTheirFormatArguments) {
    const IniFile en = loadLanguage("English.ini");
    const IniFile other = loadLanguage(GetParam());
    EXPECT_EQ(other.keyNames("Language"), en.keyNames("Language"));
    for (unsigned n : kNumbers) {
        const std::string key = std::to_string(n);
        const std::string text = other.getString("Language", key, "", 1024);
        EXPECT_FALSE(text.empty()) << n;
        EXPECT_LT(other.getValue("Language", key).value_or("").size(), 1024u) << n;
        const auto args = kArguments.find(n);
        EXPECT_EQ(conversions(text), args == kArguments.end() ? "" : args->second) << n << ": " << text;
    }
}

TEST_P(EveryLanguage, PinnedTextsHold) {
    const IniFile ini = loadLanguage(GetParam());
    auto text = [&](unsigned n) { return ini.getString("Language", std::to_string(n), "", 1024); };
    EXPECT_EQ(text(55), "Quendrel");  // a second instance finds the window by this title
    // Column captions: distinct ignoring case, fit a CSV header between quotes.
    std::set<std::string> captions;
    for (unsigned n : {10u, 13u, 14u, 15u, 16u, 17u, 18u, 19u}) {
        std::string c = text(n);
        EXPECT_EQ(c.find('"'), std::string::npos) << n;
        std::transform(c.begin(), c.end(), c.begin(), [](char ch) {
            return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
        });
        captions.insert(c);
    }
    EXPECT_EQ(captions.size(), 8u);
    // "All local drives" must not look like a path.
    EXPECT_EQ(text(1).find('/'), std::string::npos);
    // File-dialog filters: description|pattern pairs closed by "||".
    for (unsigned n : {24u, 25u, 28u, 29u, 42u}) {
        const std::string f = text(n);
        ASSERT_GE(f.size(), 2u) << n;
        EXPECT_EQ(f.substr(f.size() - 2), "||") << n;
        const int pipes = Tool_Resource::getCharNumInString(f, '|');
        EXPECT_TRUE(pipes >= 3 && pipes % 2 == 1) << n;  // each pair ends in '|', then one more
    }
}

INSTANTIATE_TEST_SUITE_P(Files, EveryLanguage, ::testing::ValuesIn(kFiles),
                         [](const auto& info) {
                             std::string n = info.param;
                             return n.substr(0, n.find('.'));
                         });

TEST(FormatConversions, ParserSeesTheWholeFamily) {
    EXPECT_EQ(conversions("%s items found in %.3f seconds"), "sf");
    EXPECT_EQ(conversions("100%% of %5d"), "d");
    EXPECT_EQ(conversions("%lld %g %e"), "dff");
    EXPECT_EQ(conversions("50%"), "?");
    EXPECT_EQ(conversions("%x"), "?");
}

TEST(LoadString, ReadsTheCurrentLanguageAndCaches) {
    Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
    EXPECT_EQ(Tool_Resource::loadString(53), "Search");
    EXPECT_EQ(Tool_Resource::loadString(2), "Searching: ");  // quoted blank kept
    EXPECT_EQ(Tool_Resource::loadString(114), "Comparing %d files ");
    const std::string* first = &Tool_Resource::loadString(53);
    EXPECT_EQ(&Tool_Resource::loadString(53), first);
    // The cache outlives a change of language, as it always has.
    Tool_Resource::setResourceType(Tool_Resource::RT_GB);
    EXPECT_EQ(Tool_Resource::loadString(53), "Search");
    EXPECT_EQ(Tool_Resource::loadString(54), "新搜索");
    Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
}

TEST(LoadString, MissingNumberIsFailedStringAndNotCached) {
    Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
    EXPECT_EQ(Tool_Resource::loadString(35), "Failed String");
    EXPECT_EQ(Tool_Resource::loadString(999999), "Failed String");
    Tool_Resource::setResourceType(Tool_Resource::RT_NONE);
    EXPECT_EQ(Tool_Resource::loadString(777), "Failed String");
    Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
}

TEST(LoadString, ResourceFileNames) {
    const std::string dir = Tool_Resource::getMyPath(true);
    EXPECT_EQ(Tool_Resource::getResourceFileName(Tool_Resource::RT_ENGLISH), dir + "Language/English.ini");
    EXPECT_EQ(Tool_Resource::getResourceFileName(Tool_Resource::RT_GB), dir + "Language/GB.ini");
    EXPECT_EQ(Tool_Resource::getResourceFileName(Tool_Resource::RT_BIG5), dir + "Language/BIG5.ini");
    EXPECT_EQ(Tool_Resource::getResourceFileName(Tool_Resource::RT_NONE), "");
}

// The string cache used to be filled from several threads without a lock. Each thread
// compares what it loads with the file's own texts. The threads run in a fresh process of
// their own (a re-executed death-test child), so they fill an empty cache whatever the other
// tests of this executable have cached before, and none of those tests sees the BIG5 texts.
TEST(LoadString, ConcurrentLoadsAgreeRegression) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const IniFile big5 = loadLanguage("BIG5.ini");
    std::map<unsigned, std::string> reference;
    for (unsigned n : kNumbers)
        reference[n] = big5.getString("Language", std::to_string(n), "", 1024);
    auto loadEverywhere = [&reference] {
        Tool_Resource::setResourceType(Tool_Resource::RT_BIG5);
        std::vector<std::thread> threads;
        std::vector<int> mismatches(4, 0);
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int round = 0; round < 50; ++round)
                    for (const auto& [n, text] : reference)
                        mismatches[t] += Tool_Resource::loadString(n) != text;
            });
        for (auto& th : threads)
            th.join();
        int total = 0;
        for (int m : mismatches)
            total += m;
        std::fprintf(stderr, "mismatches: %d\n", total);
        std::_Exit(total == 0 ? 0 : 1);
    };
    EXPECT_EXIT(loadEverywhere(), ::testing::ExitedWithCode(0), "mismatches: 0");
}

}  // namespace
