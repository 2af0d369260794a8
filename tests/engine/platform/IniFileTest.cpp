#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniFile.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct LookupCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

class IniLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(IniLookup, FindsTheValueTheProfileRulesGive) {
    const auto& c = GetParam();
    IniFile ini;
    ini.parse(c.text);
    EXPECT_EQ(ini.getValue(c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniLookup,
    ::testing::Values(
        LookupCase{"SectionNameIgnoresCase", "[Language]\n1=Hi\n", "LANGUAGE", "1", "Hi"},
        LookupCase{"KeyNameIgnoresCase", "[S]\nKeyName=v\n", "s", "KEYNAME", "v"},
        LookupCase{"FirstKeyWins", "[S]\nk=1\nk=2\n", "S", "k", "1"},
        LookupCase{"FirstSectionWins", "[S]\na=1\n[s]\na=2\n", "s", "a", "1"},
        LookupCase{"LaterDuplicateSectionIsNotSearched", "[S]\na=1\n[s]\nb=3\n", "S", "b", std::nullopt},
        LookupCase{"NamesAndValueTrimmed", "  [ S ]  \n  k  =  v  v  \n", "S", "k", "v  v"},
        LookupCase{"MatchingDoubleQuotesRemoved", "[S]\nk=\" x \"\n", "S", "k", " x "},
        LookupCase{"MatchingSingleQuotesRemoved", "[S]\nk='a'\n", "S", "k", "a"},
        LookupCase{"UnmatchedQuoteKept", "[S]\nk=\"a\n", "S", "k", "\"a"},
        LookupCase{"InnerQuotesKept", "[S]\nk=Delete \"%s\"?\n", "S", "k", "Delete \"%s\"?"},
        LookupCase{"NoEscapes", "[S]\nk=a\\tb\\n%%\n", "S", "k", "a\\tb\\n%%"},
        LookupCase{"EqualsSignInValueKept", "[S]\nk=a=b\n", "S", "k", "a=b"},
        LookupCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", "v"},
        LookupCase{"CrLfLines", "[S]\r\nk=v\r\n", "S", "k", "v"},
        LookupCase{"NoFinalLineBreak", "[S]\nk=v", "S", "k", "v"},
        LookupCase{"KeyBeforeAnySectionNeverMatches", "k=v\n[S]\n", "S", "k", std::nullopt},
        LookupCase{"CommentLineNeverMatches", "[S]\n;k=v\n#k=w\n", "S", "k", std::nullopt},
        LookupCase{"EmptyValueIsPresent", "[S]\nk=\n", "S", "k", ""},
        LookupCase{"MissingSection", "[S]\nk=v\n", "T", "k", std::nullopt},
        LookupCase{"Utf8Value", "[Language]\n53=搜索\n", "Language", "53", "搜索"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LimitCase {
    const char* name;
    std::string value;
    size_t bufferSize;
    std::string expected;
};

class IniBufferLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(IniBufferLimit, ReturnsAtMostBufferMinusOneBytes) {
    const auto& c = GetParam();
    IniFile ini;
    ini.parse("[S]\nk=" + c.value + "\n");
    EXPECT_EQ(ini.getString("S", "k", "", c.bufferSize), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, IniBufferLimit,
    ::testing::Values(LimitCase{"LongValueCutTo1023", std::string(2000, 'x'), 1024, std::string(1023, 'x')},
                      LimitCase{"ExactlyFits", std::string(1023, 'y'), 1024, std::string(1023, 'y')},
                      LimitCase{"ZeroBuffer", "abc", 0, ""},
                      LimitCase{"OneByteBuffer", "abc", 1, ""},
                      LimitCase{"CutNeverSplitsUtf8", "a\xC3\xA9", 3, "a"},
                      LimitCase{"CutKeepsWholeUtf8", "a\xC3\xA9", 4, "a\xC3\xA9"},
                      LimitCase{"CutDropsPartOfFourByteSequence", "ab\xF0\x9F\x98\x80", 5, "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFile, DefaultIsReturnedForMissingKeyAndAlsoCut) {
    IniFile ini;
    ini.parse("[S]\n");
    EXPECT_EQ(ini.getString("S", "k", "fallback", 1024), "fallback");
    EXPECT_EQ(ini.getString("S", "k", "fallback", 5), "fall");
}

TEST(IniFile, ListsSectionsAndKeysOncePerName) {
    IniFile ini;
    ini.parse("top=1\n[One]\na=1\nB=2\nb=3\n[two]\n[ONE]\nc=4\n");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"One", "two"}));
    EXPECT_EQ(ini.keyNames("one"), (std::vector<std::string>{"a", "B"}));
    EXPECT_TRUE(ini.keyNames("missing").empty());
}

TEST(IniFile, ReplacingAKeyKeepsEveryOtherLineAsItWas) {
    const std::string before = "; comment\n[A]\nk = old \n  odd line\n[B]\nK=1\nk=2\n\n[C]\nx=y\n";
    IniFile ini;
    ini.parse(before);
    ASSERT_TRUE(ini.setValue("b", "k", "new"));
    EXPECT_EQ(ini.text(), "; comment\n[A]\nk = old \n  odd line\n[B]\nK=new\nk=2\n\n[C]\nx=y\n");
}

TEST(IniFile, NewKeyGoesToTheEndOfItsSectionBeforeBlankLines) {
    IniFile ini;
    ini.parse("[A]\na=1\n\n[B]\nb=1\n");
    ASSERT_TRUE(ini.setValue("A", "n", "2"));
    EXPECT_EQ(ini.text(), "[A]\na=1\nn=2\n\n[B]\nb=1\n");
}

TEST(IniFile, MissingSectionIsAppended) {
    IniFile ini;
    ini.parse("[A]\na=1");
    ASSERT_TRUE(ini.setValue("New", "k", "v"));
    EXPECT_EQ(ini.text(), "[A]\na=1\n\n[New]\nk=v\n");
    EXPECT_EQ(ini.getValue("new", "K"), "v");
}

TEST(IniFile, CrLfAndByteOrderMarkAreKeptOnWrite) {
    IniFile ini;
    ini.parse("\xEF\xBB\xBF[A]\r\na=1\r\n");
    ASSERT_TRUE(ini.setValue("A", "b", "2"));
    EXPECT_EQ(ini.text(), "\xEF\xBB\xBF[A]\r\na=1\r\nb=2\r\n");
}

TEST(IniFile, NullValueDeletesEveryOccurrenceOfTheKeyInThatSection) {
    IniFile ini;
    ini.parse("[A]\nk=1\nx=0\nK=2\n[B]\nk=3\n");
    ASSERT_TRUE(ini.setValue("a", "k", nullptr));
    EXPECT_EQ(ini.text(), "[A]\nx=0\n[B]\nk=3\n");
    EXPECT_EQ(ini.getValue("A", "k"), std::nullopt);
}

TEST(IniFile, DeleteSectionRemovesItsLinesAndDuplicates) {
    IniFile ini;
    ini.parse("[A]\na=1\n[B]\nb=1\n[a]\nc=1\n");
    EXPECT_TRUE(ini.deleteSection("A"));
    EXPECT_EQ(ini.text(), "[B]\nb=1\n");
    EXPECT_FALSE(ini.deleteSection("A"));
}

// Values with blanks at their ends or enclosing quotes used to come back changed.
TEST(IniFile, ValuesReadBackExactlyAsWrittenRegression) {
    const std::vector<std::string> values = {" lead", "trail ", "\"quoted\"", "'single'", "\"/a\" \"/b\"",
                                             "", "plain", "100%% done", "a\\n"};
    IniFile ini;
    for (size_t i = 0; i < values.size(); ++i)
        ASSERT_TRUE(ini.setValue("S", "k" + std::to_string(i), values[i].c_str()));
    IniFile again;
    again.parse(ini.text());
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(again.getValue("S", "k" + std::to_string(i)), values[i]) << i;
}

TEST(IniFile, RejectsWhatALineCannotHold) {
    IniFile ini;
    ini.parse("[S]\nk=v\n");
    const std::string before = ini.text();
    EXPECT_FALSE(ini.setValue("S", "k", "two\nlines"));
    EXPECT_FALSE(ini.setValue("S", "a=b", "v"));
    EXPECT_FALSE(ini.setValue("S]", "k", "v"));
    EXPECT_FALSE(ini.setValue("", "k", "v"));
    EXPECT_FALSE(ini.setValue("S", "  ", "v"));
    EXPECT_FALSE(ini.setValue("S", "[x", "v"));
    EXPECT_EQ(ini.text(), before);
}

TEST(IniFileDisk, LoadsOnceAndSavesBack) {
    TempDir dir;
    const std::string path = dir.write("opts.ini", "[General]\nName=abc\n[Other]\nx=1\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    ::unlink(path.c_str());  // the parsed form stays usable
    EXPECT_EQ(ini.getValue("general", "name"), "abc");
    ASSERT_TRUE(ini.setValue("General", "Name", "xyz"));
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readAll(path), "[General]\nName=xyz\n[Other]\nx=1\n");
}

TEST(IniFileDisk, MissingFileReportsEnoentAndSaveCreatesIt) {
    TempDir dir;
    IniFile ini;
    EXPECT_FALSE(ini.load(dir / "new.ini"));
    EXPECT_EQ(ini.lastError(), ENOENT);
    ASSERT_TRUE(ini.setValue("S", "k", "v"));
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readAll(dir / "new.ini"), "[S]\nk=v\n");
}

TEST(IniFileDisk, FolderIsNotAFile) {
    TempDir dir;
    IniFile ini;
    EXPECT_FALSE(ini.load(dir.path()));
    EXPECT_EQ(ini.lastError(), EISDIR);
}

TEST(IniFileDisk, FailedSaveLeavesTheOldFileIntact) {
    TempDir dir;
    const std::string path = dir.write("ro/opts.ini", "[S]\nk=old\n");
    Unprivileged::openUp(dir.path());
    ASSERT_EQ(::chmod((dir / "ro").c_str(), 0555), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    const int outcome = Unprivileged::run([&] {
        IniFile ini;
        if (!ini.load(path) || !ini.setValue("S", "k", "new"))
            return 1;
        if (ini.save())
            return 2;
        return ini.lastError() == EACCES ? 0 : 3;
    });
    EXPECT_EQ(outcome, 0) << "1: could not load, 2: saved into a read-only folder, 3: wrong error";
    ::chmod((dir / "ro").c_str(), 0755);
    EXPECT_EQ(readAll(path), "[S]\nk=old\n");
    EXPECT_FALSE(IniFile::writeProfileString(path + "/x", "S", "k", "v"));
}

TEST(IniFileDisk, SaveKeepsPermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.write("f.ini", "[S]\nk=1\n");
    ::chmod(path.c_str(), 0640);
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    ASSERT_TRUE(ini.setValue("S", "k", "2"));
    ASSERT_TRUE(ini.save());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"f.ini"});
    EXPECT_EQ(readAll(path), "[S]\nk=2\n");
}

TEST(IniFileDisk, SavingThroughASymbolicLinkKeepsTheLink) {
    TempDir dir;
    const std::string real = dir.write("real.ini", "[S]\nk=1\n");
    ASSERT_EQ(::symlink(real.c_str(), (dir / "link.ini").c_str()), 0);
    ASSERT_TRUE(IniFile::writeProfileString(dir / "link.ini", "S", "k", "2"));
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readAll(real), "[S]\nk=2\n");
}

// A relative link is resolved against its own folder, and a link to a file not yet there
// creates that file; the link stays a link either way.
TEST(IniFileDisk, SavingThroughARelativeOrDanglingLinkWritesItsTarget) {
    TempDir dir;
    std::filesystem::create_directories(dir / "conf");
    const std::string real = dir.write("conf/real.ini", "[S]\nk=1\n");
    ASSERT_EQ(::symlink("real.ini", (dir / "conf/rel.ini").c_str()), 0);
    ASSERT_EQ(::symlink("conf/rel.ini", (dir / "top.ini").c_str()), 0);
    ASSERT_EQ(::symlink("conf/absent.ini", (dir / "dangling.ini").c_str()), 0);
    ASSERT_TRUE(IniFile::writeProfileString(dir / "top.ini", "S", "k", "2"));
    ASSERT_TRUE(IniFile::writeProfileString(dir / "dangling.ini", "T", "k", "3"));
    EXPECT_EQ(readAll(real), "[S]\nk=2\n");
    EXPECT_EQ(readAll(dir / "conf/absent.ini"), "[T]\nk=3\n");
    struct stat st {};
    for (const char* link : {"top.ini", "conf/rel.ini", "dangling.ini"}) {
        ASSERT_EQ(::lstat((dir / link).c_str(), &st), 0) << link;
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
    }
}

TEST(IniFileDisk, OneShotHelpers) {
    TempDir dir;
    const std::string path = dir / "p.ini";
    EXPECT_TRUE(IniFile::writeProfileString(path, "S", "k", nullptr));  // nothing to delete
    EXPECT_NE(::access(path.c_str(), F_OK), 0);                           // and nothing created
    ASSERT_TRUE(IniFile::writeProfileString(path, "S", "k", "v"));
    ASSERT_TRUE(IniFile::writeProfileString(path, "T", "k", "w"));
    EXPECT_EQ(IniFile::readProfileString(path, "s", "K", "d", 1024), "v");
    EXPECT_EQ(IniFile::readProfileString(path, "s", "missing", "d", 1024), "d");
    ASSERT_TRUE(IniFile::writeProfileString(path, "S", nullptr, nullptr));
    EXPECT_EQ(readAll(path), "[T]\nk=w\n");
    EXPECT_EQ(IniFile::readProfileString(dir / "absent.ini", "S", "k", "d", 1024), "d");
}

}  // namespace

namespace {

// A write that fails half-way (here: the file-size limit) must leave the old file and no
// temporary behind; this works for every user, root included.
TEST(IniFileDisk, FailedWriteLeavesTheOldFileIntact) {
    TempDir dir;
    const std::string path = dir.write("opts.ini", "[S]\nk=old\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    ASSERT_TRUE(ini.setValue("S", "k", std::string(4096, 'n').c_str()));

    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 64;
    auto previous = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = ini.save();
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ini.lastError(), EFBIG);
    EXPECT_EQ(readAll(path), "[S]\nk=old\n");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"opts.ini"});
}

}  // namespace
