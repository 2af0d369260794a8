// The content scan on real files: the boundary rules, UTF-8 steps, UTF-16 terms, whole
// words, excerpts, stop requests and files that are missing, odd or change while read.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "content/CT_Hex.h"
#include "content/ContentTermBuilder.h"
#include "content/Search_CT.h"
#include "records/Data_FileItem.h"
#include "platform/Event.h"
#include "records/Search_Rule.h"
#include "support/Unprivileged.h"
#include "support/TempDir.h"
#include "tools/Tool_Utf16.h"

namespace {

struct TermSpec {
    std::string pattern;
    bool utf16 = false;
    bool caseSensitive = false;
    bool wholeWord = false;
    bool hex = false;
    bool isNot = false;
    int relation = 0;
};

std::unique_ptr<ContainTextItem> makeTerm(const TermSpec& s) {
    auto t = std::make_unique<ContainTextItem>();
    t->pattern = s.utf16 ? Tool_Utf16::utf8ToUtf16LE(s.pattern) : s.pattern;
    if (s.hex) {
        EXPECT_EQ(ContentTermBuilder::decodeHex(s.pattern, t->pattern), 0u);
    }
    t->patternLength = int32_t(t->pattern.size());
    t->isAnsi = !s.utf16;
    t->isCaseSensitive = s.caseSensitive || s.hex;
    t->isWholeWord = s.wholeWord;
    t->isHex = s.hex;
    t->isNot = s.isNot;
    t->relation = s.relation;
    return t;
}

struct Scan {
    bool result = false;
    std::vector<bool> found;
    std::vector<std::array<std::string, 3>> snippets;
};

Scan scanFile(const std::string& path, const std::vector<TermSpec>& termList) {
    Search_Rule rule;
    for (const auto& s : termList)
        rule.containText.push_back(makeTerm(s));
    CT_Hex scanner;
    Scan out;
    if (!scanner.open(path, false))
        return out;
    out.result = scanner.scanTerms(rule);
    out.found = scanner.foundTerms();
    for (auto& t : rule.containText)
        out.snippets.push_back({t->snippetBefore, t->snippetMatch, t->snippetAfter});
    return out;
}

class ContentScan : public ::testing::Test {
protected:
    TempDir dir;
};

// ---- one term, one file: found or not -----------------------------------------------

struct FindCase {
    const char* name;
    std::string file;
    TermSpec term;
    bool found;
};

class ContentFind : public ContentScan, public ::testing::WithParamInterface<FindCase> {};

TEST_P(ContentFind, FindsExactlyWhereThePositionWalkMatches) {
    const auto& c = GetParam();
    const Scan s = scanFile(dir.write("f", c.file), {c.term});
    ASSERT_EQ(s.found.size(), 1u);
    EXPECT_EQ(s.found[0], c.found);
    EXPECT_EQ(s.result, c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ContentFind,
    ::testing::Values(
        FindCase{"CaseInsensitiveUpper", "xxABCxx", {"abc"}, true},
        FindCase{"CaseInsensitiveMixed", "xxaBcxx", {"abc"}, true},
        FindCase{"CaseSensitiveRefusesOtherCase", "xxABCxx", {"abc", false, true}, false},
        FindCase{"AccentedLetterMatchesItself", "caf\xC3\xA9!", {"\xC3\xA9"}, true},
        FindCase{"AccentedLetterIsNotFolded", "CAF\xC3\x89!", {"\xC3\xA9"}, false},
        FindCase{"WholeWordInSentence", "a cat.", {"cat", false, false, true}, true},
        FindCase{"WholeWordNotInsideWord", "concat", {"cat", false, false, true}, false},
        FindCase{"WholeWordNotBeforeLetters", "cats", {"cat", false, false, true}, false},
        FindCase{"WholeWordAtFileStart", "cat is here", {"cat", false, false, true}, true},
        FindCase{"WholeWordAtFileStartBeforeLetters", "cats here", {"cat", false, false, true}, false},
        FindCase{"WholeWordAtFileEnd", "my cat", {"cat", false, false, true}, true},
        FindCase{"WholeWordUnderscoreIsWordCharacter", "my_cat", {"cat", false, false, true}, false},
        FindCase{"WholeWordAfterMultibyteCharacter", "\xC3\xA9" "cat", {"cat", false, false, true}, true},
        FindCase{"Utf16TermAtEvenOffset", std::string("xxc\0a\0t\0", 8), {"cat", true}, true},
        FindCase{"Utf16TermAtOddOffsetOnly", std::string("xc\0a\0t\0", 7), {"cat", true}, false},
        FindCase{"Utf16WholeWordBetweenSpaces", std::string(" \0c\0a\0t\0 \0", 10), {"cat", true, false, true}, true},
        FindCase{"Utf16WholeWordInsideWord", std::string("x\0c\0a\0t\0 \0", 10), {"cat", true, false, true}, false},
        // A match that would start inside a complete UTF-8 sequence is never looked at.
        FindCase{"NoMatchInsideUtf8Sequence", "\xE2\x80\xA9", {"A9", false, false, false, true}, false},
        FindCase{"StrayContinuationByteIsAPosition", "A\x80\xA9", {"A9", false, false, false, true}, true},
        FindCase{"CutSequenceCountsOneByte", "\xE2\x80Z\xA9", {"A9", false, false, false, true}, true},
        // The step over a sequence applies to UTF-16 terms too: offset 2 is covered here...
        FindCase{"Utf16TermNotInsideUtf8Sequence", std::string("\xE2\x80\x80\x00", 4),
                 {"80 00", false, false, false, true}, false},
        FindCase{"Utf16ScanSkipsAfterLeadByte", std::string("\xE2\x80\x80" "A\0", 5),
                 {std::string("A"), true}, false},
        // ...and here it is not (0x41 is no continuation byte), so offset 2 is scanned.
        FindCase{"Utf16ScanAfterAsciiByte", std::string("\x41\x80\x41\0", 4), {std::string("A"), true}, true},
        FindCase{"HexTermFindsRawBytes", "a\r\nb", {"0D 0A", false, false, false, true}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- every term is tried wherever it fits, whatever the longest term ----------------
// The scan used to stop at the last position where the longest term fits, and a file shorter
// than the longest term did not match whatever the NOT flags said: "alpha -beta" matched
// a file holding exactly "alpha beta".

TEST_F(ContentScan, ShortTermInTheLastBytesIsFoundRegression) {
    const std::string longTerm = "twenty-byte-term-xyz";
    ASSERT_EQ(longTerm.size(), 20u);
    for (size_t fromEnd = 2; fromEnd <= 21; ++fromEnd) {   // the last 19 positions and two before
        std::string file(100, '.');
        file.replace(file.size() - fromEnd, 2, "ab");
        const Scan s = scanFile(dir.write("f", file), {{"ab"}, {longTerm, false, false, false, false, false, 1}});
        ASSERT_EQ(s.found.size(), 2u);
        EXPECT_TRUE(s.found[0]) << "ab starting " << fromEnd << " bytes before the end";
        EXPECT_TRUE(s.result);
        EXPECT_EQ(s.snippets[0][1], "ab");
        EXPECT_EQ(s.snippets[0][2], std::string(fromEnd - 2, '.'));
    }
}

struct ShortFileCase {
    const char* name;
    std::string file;
    std::vector<TermSpec> terms;
    std::vector<bool> found;
    bool result;
};

class ShortFile : public ContentScan, public ::testing::WithParamInterface<ShortFileCase> {};

TEST_P(ShortFile, FileShorterThanLongestTermIsStillEvaluatedRegression) {
    const auto& c = GetParam();
    const Scan s = scanFile(dir.write("f", c.file), c.terms);
    EXPECT_EQ(s.found, c.found);
    EXPECT_EQ(s.result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Regression, ShortFile,
    ::testing::Values(
        ShortFileCase{"AlphaNotBetaOnExactContent", "alpha beta",
                      {{"alpha"}, {"beta", false, false, false, false, true}}, {true, true}, false},
        ShortFileCase{"AlphaAndBetaOnExactContent", "alpha beta", {{"alpha"}, {"beta"}}, {true, true}, true},
        ShortFileCase{"ShortTermAndNotLongerThanFile", "abc!!",
                      {{"abc"}, {"averylongterm", false, false, false, false, true}}, {true, false}, true},
        ShortFileCase{"SingleNotTermLongerThanFile", "short",
                      {{"a much longer term", false, false, false, false, true}}, {false}, true},
        ShortFileCase{"SingleTermLongerThanFile", "short", {{"a much longer term"}}, {false}, false},
        ShortFileCase{"WholeWordAtTheVeryEnd", "my cat",
                      {{"cat", false, false, true}, {"a much longer term", false, false, false, false, false, 1}},
                      {true, false}, true},
        ShortFileCase{"Utf16TermInTheLastBytes", std::string("x\0c\0a\0t\0", 8),
                      {{"cat", true}, {"a much longer term"}}, {true, false}, false},
        ShortFileCase{"EmptyFileNotTerm", "", {{"x", false, false, false, false, true}}, {false}, true},
        ShortFileCase{"EmptyFileOrNot", "", {{"x"}, {"y", false, false, false, false, true, 1}}, {false, false}, true},
        ShortFileCase{"EmptyFilePlainTerm", "", {{"x"}}, {false}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- reads ---------------------------------------------------------------------------

class ReadBoundary : public ContentScan, public ::testing::WithParamInterface<long> {};

TEST_P(ReadBoundary, TermStraddlingReadBoundaryIsFoundWithFullExcerpt) {
    // The first read ends at READ_SIZE; the second window starts with the carried tail.
    const long boundary = long(CT_Root::READ_SIZE) + GetParam();
    std::string file(size_t(boundary) + 4000, 'x');
    for (size_t i = 0; i < file.size(); i += 61)
        file[i] = ' ';
    const std::string needle = "NEEDLE-straddles";
    const size_t at = size_t(boundary) - 7;
    file.replace(at, needle.size(), needle);
    const Scan s = scanFile(dir.write("f", file), {{"needle-STRADDLES"}});
    ASSERT_TRUE(s.result);
    EXPECT_EQ(s.snippets[0][0], "..." + file.substr(at - 48, 48));
    EXPECT_EQ(s.snippets[0][1], needle);
    EXPECT_EQ(s.snippets[0][2], file.substr(at + needle.size(), 48) + "...");
}

INSTANTIATE_TEST_SUITE_P(AroundTheReadSize, ReadBoundary, ::testing::Values(0L, 32L, 64L, 70L, long(CT_Root::READ_SIZE) + 64),
                         [](const auto& info) { return "plus" + std::to_string(info.param); });

TEST_F(ContentScan, TermLongerThanTheReadSizeIsFound) {
    std::string term(CT_Root::READ_SIZE + 1000, 'q');
    term.front() = 'B';
    term.back() = 'E';
    const std::string file = std::string(5000, '-') + term + std::string(3000, '-');
    const Scan s = scanFile(dir.write("f", file), {{term, false, true}});
    EXPECT_TRUE(s.result);
    EXPECT_EQ(s.snippets[0][1], term);
}

// ---- excerpts ------------------------------------------------------------------------

struct ExcerptCase {
    const char* name;
    std::string file;
    TermSpec term;
    std::string before, match, after;
};

class ContentExcerptText : public ContentScan, public ::testing::WithParamInterface<ExcerptCase> {};

TEST_P(ContentExcerptText, ExcerptStringsAreExact) {
    const auto& c = GetParam();
    const Scan s = scanFile(dir.write("f", c.file), {c.term});
    ASSERT_TRUE(s.found.at(0));
    EXPECT_EQ(s.snippets[0][0], c.before);
    EXPECT_EQ(s.snippets[0][1], c.match);
    EXPECT_EQ(s.snippets[0][2], c.after);
}

const std::string k60 = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWX";   // 60 bytes

INSTANTIATE_TEST_SUITE_P(
    Forms, ContentExcerptText,
    ::testing::Values(
        ExcerptCase{"ShortContextsWithoutDots", "one two three", {"two"}, "one ", "two", " three"},
        ExcerptCase{"MatchAtFileEndHasNoAfter", "one two", {"two"}, "one ", "two", ""},
        ExcerptCase{"CrLfAtEndOfBeforeIsOneSpace", "a\r\nb\r\nHIT", {"hit"}, "a  b ", "HIT", ""},
        ExcerptCase{"CrLfAfterMatchAddsSpaceToMatch", "HIT\r\nnext\r\nline", {"hit"}, "", "HIT ", "  next  line"},
        ExcerptCase{"CutUtf8SequenceDroppedAtBeforeEdge",
                    "\xE2\x82\xAC" + std::string(47, 'p') + "HIT", {"hit"},
                    "..." + std::string(47, 'p'), "HIT", ""},
        ExcerptCase{"CutUtf8SequenceDroppedAtAfterEdge", "HIT" + std::string(46, 'p') + "\xE2\x82\xAC tail",
                    {"hit"}, "", "HIT", std::string(46, 'p') + "..."},
        ExcerptCase{"HexFormWithHexContext", "ab\r\ncd" + std::string(30, 'z'), {"0D 0A", false, false, false, true},
                    "61 62 ", "0D 0A ", "63 64 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A ..."},
        ExcerptCase{"Utf16ContextsConverted", Tool_Utf16::utf8ToUtf16LE("\xEF\xBB\xBFsay h\xC3\xA9llo\r\nto you"),
                    {"h\xC3\xA9llo", true}, " say ", "h\xC3\xA9llo ", "\r\nto you"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ContentScan, LongContextsAreCutToContextSizeWithDots) {
    const std::string file = k60 + "HIT" + k60;
    const Scan s = scanFile(dir.write("f", file), {{"hit"}});
    EXPECT_EQ(s.snippets[0][0], "..." + k60.substr(12));
    EXPECT_EQ(s.snippets[0][1], "HIT");
    EXPECT_EQ(s.snippets[0][2], k60.substr(0, 48) + "...");
}

// A UTF-16 excerpt that starts at the start of the file keeps its first character (only
// a byte-order mark there is shown as a space).
TEST_F(ContentScan, Utf16ExcerptKeepsFirstCharacterWithoutByteOrderMark) {
    const Scan s = scanFile(dir.write("f", Tool_Utf16::utf8ToUtf16LE("hello world")), {{"world", true}});
    EXPECT_EQ(s.snippets[0][0], "hello ");
}

// ---- evaluation and the dispatcher ---------------------------------------------------

TEST_F(ContentScan, OrExpressionOnSecondTermOnlyGivesTwoExcerptRecords) {
    Search_Rule rule;
    ContentTermBuilder::TermList terms;
    ASSERT_TRUE(ContentTermBuilder::addTerms(terms, {"foo"}).ok);
    ContentTermRequest bar{"bar"};
    bar.relation = 1;
    ASSERT_TRUE(ContentTermBuilder::addTerms(terms, bar).ok);
    rule.containText = std::move(terms);
    dir.write("only-bar.txt", "there is a bar here");
    Data_FileItem item;
    item.setFileName("only-bar.txt");
    item.m_strPath = dir.path() + "/";
    Search_CT ct;
    ASSERT_TRUE(ct.searchContainText(item, rule));
    ASSERT_EQ(item.m_vecSnippets.size(), 2u);
    EXPECT_EQ(item.m_vecSnippets[0]->before + item.m_vecSnippets[0]->match + item.m_vecSnippets[0]->after, "");
    EXPECT_EQ(item.m_vecSnippets[1]->match, "bar");
    EXPECT_EQ(item.m_vecSnippets[1]->before, "there is a ");
    for (auto& t : rule.containText)
        EXPECT_TRUE(t->snippetBefore.empty() && t->snippetMatch.empty() && t->snippetAfter.empty());
}

struct EvalCase {
    const char* name;
    std::vector<TermSpec> terms;
    bool result;
};

class ContentEvaluation : public ContentScan, public ::testing::WithParamInterface<EvalCase> {};

TEST_P(ContentEvaluation, TermsJoinStrictlyLeftToRight) {
    // The file holds "foo" and "baz", not "bar".
    EXPECT_EQ(scanFile(dir.write("f", "foo and baz"), GetParam().terms).result, GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Relations, ContentEvaluation,
    ::testing::Values(EvalCase{"AndNotOr", {{"foo"}, {"bar", false, false, false, false, true, 0}, {"baz", false, false, false, false, false, 1}}, true},
                      EvalCase{"AndMissing", {{"foo"}, {"bar"}}, false},
                      EvalCase{"XorBothFound", {{"foo"}, {"baz", false, false, false, false, false, 2}}, false},
                      EvalCase{"FirstRelationIgnored", {{"foo", false, false, false, false, false, 2}}, true},
                      EvalCase{"UnknownRelationKeepsResult", {{"foo"}, {"bar", false, false, false, false, false, 7}}, true},
                      EvalCase{"NotFirst", {{"bar", false, false, false, false, true}}, true},
                      // (missing AND found) OR found: left to right, not AND before OR.
                      EvalCase{"NoPrecedence", {{"bar"}, {"foo", false, false, false, false, false, 0}, {"baz", false, false, false, false, false, 1}}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Counts the reads the scan asks for.
class CountingReader : public CT_Hex {
public:
    int reads = 0;

protected:
    ssize_t readBlock(uint8_t* into, size_t length) override {
        ++reads;
        return CT_Hex::readBlock(into, length);
    }
};

struct ReadCountCase {
    const char* name;
    size_t size;
    int reads;
};

class ReadCount : public ContentScan, public ::testing::WithParamInterface<ReadCountCase> {};

TEST_P(ReadCount, FileUpToTheReadSizeIsReadOnceAndNotProbedForItsEnd) {
    std::string file(GetParam().size, '.');
    if (!file.empty())
        file.back() = 'z';
    Search_Rule rule;
    rule.containText.push_back(makeTerm({"z"}));
    CountingReader scanner;
    ASSERT_TRUE(scanner.open(dir.write("f", file), false));
    EXPECT_EQ(scanner.scanTerms(rule), !file.empty());
    EXPECT_EQ(scanner.reads, GetParam().reads);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadCount,
                         ::testing::Values(ReadCountCase{"Empty", 0, 0}, ReadCountCase{"OneByte", 1, 1},
                                           ReadCountCase{"Small", 3000, 1},
                                           ReadCountCase{"ExactlyTheReadSize", CT_Root::READ_SIZE, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the dispatcher opens a walked file relative to its folder -------------------------

TEST_F(ContentScan, DispatcherOpensByBareNameInTheGivenFolder) {
    dir.write("real/hit.txt", "a needle here");
    Search_Rule rule;
    rule.containText.push_back(makeTerm({"needle"}));
    Data_FileItem item;
    item.setFileName("hit.txt");
    item.m_strPath = dir / "real/";
    Search_CT ct;
    ASSERT_TRUE(ct.searchContainText(item, rule));   // no descriptor: the full name

    // Only the folder descriptor leads to the file once its path is gone.
    const int folderFd = ::open((dir / "real").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folderFd, 0);
    ASSERT_EQ(::rename((dir / "real").c_str(), (dir / "moved").c_str()), 0);
    Data_FileItem byFolder;
    byFolder.setFileName("hit.txt");
    byFolder.m_strPath = dir / "real/";
    EXPECT_FALSE(ct.searchContainText(byFolder, rule));
    EXPECT_TRUE(ct.searchContainText(byFolder, rule, folderFd));
    ASSERT_EQ(byFolder.m_vecSnippets.size(), 1u);
    EXPECT_EQ(byFolder.m_vecSnippets[0]->match, "needle");
    EXPECT_EQ(byFolder.m_vecSnippets[0]->before, "a ");

    // A folder entry in that folder is still refused, and a FIFO does not block.
    ::mkdirat(folderFd, "sub", 0700);
    ASSERT_EQ(::mkfifoat(folderFd, "pipe", 0600), 0);
    rule.containText.front()->isNot = 1;
    for (const char* name : {"sub", "pipe", "gone"}) {
        Data_FileItem other;
        other.setFileName(name);
        other.m_strPath = dir / "moved/";
        EXPECT_FALSE(ct.searchContainText(other, rule, folderFd)) << name;
    }
    ::close(folderFd);
}

// ---- failures ------------------------------------------------------------------------

TEST_F(ContentScan, MissingFolderAndPipeDoNotOpen) {
    CT_Hex scanner;
    EXPECT_FALSE(scanner.open(dir / "missing", false));
    EXPECT_FALSE(scanner.open(dir.mkdir("sub"), false));
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(scanner.open(fifo, false));   // and does not block waiting for a writer
}

TEST_F(ContentScan, UnreadableFileDoesNotMatch) {
    const std::string path = dir.write("secret", "the word");
    Unprivileged::openUp(dir.path());
    ::chmod(path.c_str(), 0);
    const int outcome = Unprivileged::run([&] {
        CT_Hex scanner;
        return scanner.open(path, false) ? 1 : 0;
    });
    EXPECT_EQ(outcome, 0) << "1: opened an unreadable file, -1: could not run unprivileged";
}

TEST_F(ContentScan, DispatcherRejectsFoldersAndMissingFiles) {
    Search_Rule rule;
    rule.containText.push_back(makeTerm({"x", false, false, false, false, true}));
    Search_CT ct;
    Data_FileItem missing;
    missing.setFileName("gone.txt");
    missing.m_strPath = dir.path() + "/";
    EXPECT_FALSE(ct.searchContainText(missing, rule));
    Data_FileItem folder;
    dir.mkdir("folder");
    folder.setFileName("folder");
    folder.m_strPath = dir.path() + "/";
    folder.m_dwAttributes = Data_FileItem::ATTR_DIRECTORY;
    EXPECT_FALSE(ct.searchContainText(folder, rule));
    EXPECT_TRUE(missing.m_vecSnippets.empty());
}

// Reads through the real file and acts after the first read.
class InterruptedReader : public CT_Hex {
public:
    std::function<void()> afterFirstRead;

protected:
    ssize_t readBlock(uint8_t* into, size_t length) override {
        const ssize_t n = CT_Hex::readBlock(into, length);
        if (++m_reads == 1 && afterFirstRead)
            afterFirstRead();
        return n;
    }

private:
    int m_reads = 0;
};

std::string threeReadsWithTermsAtBothEnds() {
    std::string file(3 * CT_Root::READ_SIZE, 'x');
    file.replace(10, 5, "first");
    file.replace(file.size() - 100, 4, "last");
    return file;
}

TEST_F(ContentScan, StopRequestMidFileEndsScanWithoutMatch) {
    const std::string path = dir.write("big", threeReadsWithTermsAtBothEnds());
    Search_Rule rule;
    rule.containText.push_back(makeTerm({"first"}));
    rule.containText.push_back(makeTerm({"last"}));
    Event stop;
    InterruptedReader scanner;
    scanner.setStopEvent(&stop);
    scanner.afterFirstRead = [&stop] { stop.set(); };
    ASSERT_TRUE(scanner.open(path, false));
    EXPECT_FALSE(scanner.scanTerms(rule));
    EXPECT_FALSE(scanner.foundTerms()[1]);
}

TEST_F(ContentScan, FileThatShrinksWhileScannedEndsTheScan) {
    const std::string path = dir.write("big", threeReadsWithTermsAtBothEnds());
    Search_Rule rule;
    rule.containText.push_back(makeTerm({"first"}));
    rule.containText.push_back(makeTerm({"last", false, false, false, false, false, 1}));
    InterruptedReader scanner;
    scanner.afterFirstRead = [&path] { ASSERT_EQ(::truncate(path.c_str(), CT_Root::READ_SIZE / 2), 0); };
    ASSERT_TRUE(scanner.open(path, false));
    EXPECT_TRUE(scanner.scanTerms(rule));   // "first" was read before the file shrank
    EXPECT_TRUE(scanner.foundTerms()[0]);
    EXPECT_FALSE(scanner.foundTerms()[1]);
}

}  // namespace
