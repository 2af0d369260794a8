#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/MountPoints.h"
#include "support/TempDir.h"
#include "tools/Tool_Resource.h"

namespace {

using Strings = std::vector<std::string>;

struct FormatCase {
    const char* name;
    std::string path;
    bool addSlash;
    bool addSlashToRoot;
    std::string expected;
};
class FormatPath : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatPath, Normalises) {
    std::string p = GetParam().path;
    Tool_Resource::formatPathString(p, GetParam().addSlash, GetParam().addSlashToRoot);
    EXPECT_EQ(p, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FormatPath,
    ::testing::Values(FormatCase{"RootStaysRootWithoutSlash", "/", false, false, "/"},
                      FormatCase{"RootStaysRootWithSlash", "/", true, false, "/"},
                      FormatCase{"RootWithRootFlag", "/", true, true, "/"},
                      FormatCase{"SlashesOnlyGiveRoot", "///", false, false, "/"},
                      FormatCase{"TrailingSlashesRemoved", "/a/b//", false, false, "/a/b"},
                      FormatCase{"OneSlashAdded", "/a/b//", true, false, "/a/b/"},
                      FormatCase{"TwoCharacterPathGetsSlash", "/a", true, false, "/a/"},
                      FormatCase{"BlanksTrimmed", "  /a b/  ", false, false, "/a b"},
                      FormatCase{"EmptyNeverBecomesRoot", "", true, true, ""},
                      FormatCase{"BlankNeverBecomesRoot", "   ", true, true, ""},
                      FormatCase{"RelativeKept", "a/", true, false, "a/"},
                      FormatCase{"AbsoluteFoldedAsNormalized", "/a//./b/../c/", true, false, "/a/c/"}),
    [](const auto& info) { return std::string(info.param.name); });

// Fault: each entry point made its own form of a path, so "--index ../b" recorded
// "/x/a/../b" and a later search of "../b" (made "/x/b") found no cache for it. One
// function now gives every user path and every index root key its form.
struct NormalCase {
    const char* name;
    std::string path, currentFolder, expected;
};
class NormalizePath : public ::testing::TestWithParam<NormalCase> {};

TEST_P(NormalizePath, GivesTheOneForm) {
    EXPECT_EQ(Tool_Resource::normalizePath(GetParam().path, GetParam().currentFolder), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NormalizePath,
    ::testing::Values(NormalCase{"Root", "/", "", "/"},
                      NormalCase{"DoubleSlashIsTheRoot", "//", "", "/"},
                      NormalCase{"DotDotOfTheRootIsTheRoot", "/..", "", "/"},
                      NormalCase{"DotDotBeyondTheRootStopsThere", "/a/../../..", "", "/"},
                      NormalCase{"RelativeDotDotBeyondTheRoot", "../..", "/x", "/"},
                      NormalCase{"RelativeIsTakenAgainstTheFolder", "a/./b/", "/x/y", "/x/y/a/b"},
                      NormalCase{"DotDotGoesUp", "../b", "/x/a", "/x/b"},
                      NormalCase{"DotIsTheFolderItself", ".", "/x/a", "/x/a"},
                      NormalCase{"RepeatedSlashesFold", "/a//b///c", "", "/a/b/c"},
                      NormalCase{"TrailingSlashesGo", "/a/b//", "", "/a/b"},
                      NormalCase{"DotDotInTheMiddle", "/x/a/../b/./c/..", "", "/x/b"},
                      NormalCase{"DotsInNamesAreNames", "/a/.../..b/b..", "", "/a/.../..b/b.."},
                      NormalCase{"BlanksAreKept", " a b /c ", "/x", "/x/ a b /c "},
                      NormalCase{"NewlinesAreKept", "/a\nb/\n", "", "/a\nb/\n"},
                      NormalCase{"LeadingDashIsAName", "-n", "/x", "/x/-n"},
                      NormalCase{"AbsoluteIgnoresTheFolder", "/a", "/x", "/a"},
                      NormalCase{"EmptyStaysEmpty", "", "/x", ""},
                      NormalCase{"FolderItselfIsNormalisedToo", "b", "/x//y/../", "/x/b"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NormalizePathWithoutFolder, RelativeIsTakenAgainstTheCurrentFolder) {
    char buffer[4096];
    ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
    EXPECT_EQ(Tool_Resource::normalizePath("x/../y"), Tool_Resource::normalizePath(std::string(buffer) + "/y"));
}

TEST(NormalizePathKeys, EverySpellingOfARootNamesOneCache) {
    const std::string name = Tool_Resource::convertToIndexFileName("/x/a", 1);
    for (const char* spelling : {"/x/a/", "//x//a", "/x/./a/.", "/x/b/../a"})
        EXPECT_EQ(Tool_Resource::convertToIndexFileName(spelling, 1), name) << spelling;
    EXPECT_NE(Tool_Resource::convertToIndexFileName("/x/a b", 1), name);
}

struct IncludeCase {
    const char* name;
    std::string outer, inner;
    bool expected;
};
class PathInclude : public ::testing::TestWithParam<IncludeCase> {};

TEST_P(PathInclude, InnerLiesInOrIsOuter) {
    EXPECT_EQ(Tool_Resource::isPathIncludePath(GetParam().outer, GetParam().inner), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, PathInclude,
    ::testing::Values(IncludeCase{"RootHoldsEverything", "/", "/usr/lib", true},
                      IncludeCase{"RootHoldsItself", "/", "/", true},
                      IncludeCase{"Equal", "/a/b", "/a/b", true},
                      IncludeCase{"EqualAfterNormalising", "/a/b/", " /a/b", true},
                      IncludeCase{"Below", "/a", "/a/b", true},
                      IncludeCase{"OuterWithSlashBelow", "/a/", "/a/b/c", true},
                      IncludeCase{"SiblingWithCommonPrefix", "/a", "/ab", false},
                      IncludeCase{"Above", "/a/b", "/a", false},
                      IncludeCase{"CaseMatters", "/A", "/a/b", false},
                      IncludeCase{"CaseMattersWhenEqualLength", "/Home", "/home", false},
                      IncludeCase{"EmptyOuter", "", "/a", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct SlimCase {
    const char* name;
    Strings in, out;
};
class SlimFolders : public ::testing::TestWithParam<SlimCase> {};

TEST_P(SlimFolders, DropsNestedAndRepeatedEntries) {
    Strings list = GetParam().in;
    Tool_Resource::slimFolders(list);
    EXPECT_EQ(list, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SlimFolders,
    ::testing::Values(SlimCase{"NestedAndSibling", {"/a", "/a/b", "/ab"}, {"/a", "/ab"}},
                      SlimCase{"CaseSensitive", {"/A", "/a"}, {"/A", "/a"}},
                      SlimCase{"EarlierOfEqualGoes", {"/a/", "/x", "/a"}, {"/x", "/a"}},
                      SlimCase{"ThreeEqualKeepLast", {"/a", "/a", "/a"}, {"/a"}},
                      SlimCase{"RootSwallowsAll", {"/home", "/", "/usr"}, {"/"}},
                      SlimCase{"InnerFirst", {"/a/b/c", "/a/b", "/q"}, {"/a/b", "/q"}},
                      SlimCase{"SingleLeftAlone", {"/a/"}, {"/a/"}},
                      SlimCase{"Empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindString, CaseAsTheCallerAsks) {
    const Strings list = {"/Home", "/home", "x"};
    EXPECT_EQ(Tool_Resource::findStringInStringArray(list, "/home", true), 1);
    EXPECT_EQ(Tool_Resource::findStringInStringArray(list, "/HOME", false), 0);
    EXPECT_EQ(Tool_Resource::findStringInStringArray(list, "/HOME", true), -1);
    EXPECT_EQ(Tool_Resource::findStringInStringArray({}, "x", false), -1);
}

struct SplitCase {
    const char* name;
    std::string path, folder, title, ext;
};
class SplitPath : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitPath, GivesEmptyDriveFolderNameExtension) {
    std::string drive = "junk", folder, title, ext;
    Tool_Resource::splitFileFullPath(GetParam().path, drive, folder, title, ext);
    EXPECT_EQ(drive, "");
    EXPECT_EQ(folder, GetParam().folder);
    EXPECT_EQ(title, GetParam().title);
    EXPECT_EQ(ext, GetParam().ext);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SplitPath,
    ::testing::Values(SplitCase{"Absolute", "/home/u/archive.tar.gz", "/home/u/", "archive.tar", ".gz"},
                      SplitCase{"ArchiveMember", "dir/sub/README", "dir/sub/", "README", ""},
                      SplitCase{"DotFile", ".profile", "", "", ".profile"},
                      SplitCase{"DotInFolderOnly", "a.b/c", "a.b/", "c", ""},
                      SplitCase{"TrailingDot", "/x/name.", "/x/", "name", "."},
                      SplitCase{"FolderOnly", "/x/y/", "/x/y/", "", ""},
                      SplitCase{"BackslashIsAName", "a\\b.txt", "", "a\\b", ".txt"},
                      SplitCase{"Empty", "", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FixFileName, ReplacesTheNineReservedCharacters) {
    std::string s = "a:b*c";
    Tool_Resource::fixFileName(s);
    EXPECT_EQ(s, "a~b~c");
    s = "\\/:*?\"<>|ok é";
    Tool_Resource::fixFileName(s);
    EXPECT_EQ(s, "~~~~~~~~~ok é");
}

struct SplitTextCase {
    const char* name;
    std::string text;
    char separator;
    Strings expected;
};
class SeparateByChar : public ::testing::TestWithParam<SplitTextCase> {};

TEST_P(SeparateByChar, CutsAtEachSeparator) {
    Strings out = {"kept"};
    Tool_Resource::separateStringByChar(GetParam().text, out, GetParam().separator);
    Strings expected = {"kept"};
    expected.insert(expected.end(), GetParam().expected.begin(), GetParam().expected.end());
    EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SeparateByChar,
    ::testing::Values(SplitTextCase{"EmptyGivesNothing", "", ',', {}},
                      SplitTextCase{"Simple", "a,b,c", ',', {"a", "b", "c"}},
                      SplitTextCase{"PiecesTrimmedOnTheLeftOnly", " a , b ", ',', {"a ", " b"}},
                      SplitTextCase{"LonePieceUntrimmed", "  a  ", ',', {"  a  "}},
                      SplitTextCase{"EmptyPieces", "a,,b,", ',', {"a", "", "b", ""}},
                      SplitTextCase{"BlanksOnly", "   ", ',', {"   "}},
                      SplitTextCase{"QuotedFolders", "\"/a b\" \"/c\"", '"', {"", "/a b", "", "/c", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SeparateHelpers, UseCommaAndDoubleQuote) {
    Strings a, b;
    Tool_Resource::separateString("x,y", a);
    Tool_Resource::separateStringOnlyForFolder("x\"y", b);
    EXPECT_EQ(a, (Strings{"x", "y"}));
    EXPECT_EQ(b, (Strings{"x", "y"}));
}

TEST(SeparateFolders, AllLocalDrivesTextGivesTheLocalDiskMountPoints) {
    Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
    const std::string& all = Tool_Resource::loadString(1);
    ASSERT_NE(all, "Failed String");
    Strings expected;
    for (const auto& p : MountPoints::localDiskMounts())
        expected.push_back(p == "/" ? p : p + "/");
    std::string upper = all;
    for (char& c : upper)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    for (const std::string& text : {all, upper}) {
        Strings out;
        Tool_Resource::separateFolders(text, out);
        EXPECT_EQ(out, expected) << text;
    }
    Strings drives;
    Tool_Resource::getLogicalDriveString(drives, true);
    EXPECT_EQ(drives, expected);
}

TEST(SeparateFolders, OtherTextIsSplitAtQuotes) {
    Strings out;
    Tool_Resource::separateFolders("", out);
    EXPECT_TRUE(out.empty());
    Tool_Resource::separateFolders("\"/a\" \"/b\"", out);
    EXPECT_EQ(out, (Strings{"", "/a", "", "/b", ""}));
    out.clear();
    Tool_Resource::separateFolders("/single/folder", out);
    EXPECT_EQ(out, (Strings{"/single/folder"}));
}

TEST(FileSystemQueries, ExistenceValidityAndLinks) {
    TempDir dir;
    const std::string file = dir.write("f.txt", "x");
    const std::string sub = dir.mkdir("sub");
    ASSERT_EQ(::symlink("f.txt", (dir / "rel").c_str()), 0);
    ASSERT_EQ(::symlink(file.c_str(), (dir / "abs").c_str()), 0);
    ASSERT_EQ(::symlink("../missing", (sub + "/dangling").c_str()), 0);

    EXPECT_EQ(Tool_Resource::isFileOrFolderExist(file.c_str()), 0);
    EXPECT_EQ(Tool_Resource::isFileOrFolderExist(sub.c_str()), 0);
    EXPECT_EQ(Tool_Resource::isFileOrFolderExist((sub + "/dangling").c_str()), 0);
    EXPECT_EQ(Tool_Resource::isFileOrFolderExist((dir / "none").c_str()), ENOENT);
    EXPECT_EQ(Tool_Resource::isFileOrFolderExist((file + "/x").c_str()), ENOTDIR);
    EXPECT_EQ(Tool_Resource::isFileOrFolderExist(""), ENOENT);
    EXPECT_EQ(Tool_Resource::isFileOrFolderExist(nullptr), EINVAL);

    EXPECT_TRUE(Tool_Resource::isValidFolder(sub));
    EXPECT_TRUE(Tool_Resource::isValidFolder(sub + "/"));
    EXPECT_TRUE(Tool_Resource::isValidFolder("/"));
    EXPECT_FALSE(Tool_Resource::isValidFolder(file));
    EXPECT_FALSE(Tool_Resource::isValidFolder(dir / "none"));
    EXPECT_FALSE(Tool_Resource::isValidFolder(""));
    if (::geteuid() != 0) {
        const std::string closed = dir.mkdir("closed");
        ::chmod(closed.c_str(), 0);
        EXPECT_FALSE(Tool_Resource::isValidFolder(closed));
    }

    EXPECT_EQ(Tool_Resource::getRealObjectFullPath((dir / "abs").c_str()), file);
    EXPECT_EQ(Tool_Resource::getRealObjectFullPath((dir / "rel").c_str()), dir.path() + "/f.txt");
    EXPECT_EQ(Tool_Resource::getRealObjectFullPath((sub + "/dangling").c_str()), sub + "/../missing");
    EXPECT_EQ(Tool_Resource::getRealObjectFullPath(file.c_str()), "");
    EXPECT_EQ(Tool_Resource::getRealObjectFullPath((dir / "none").c_str()), "");
    EXPECT_EQ(Tool_Resource::getRealObjectFullPath(nullptr), "");
}

TEST(FileSystemQueries, LongLinkTargetIsReadWhole) {
    TempDir dir;
    const std::string target = "/" + std::string(200, 'a') + "/" + std::string(200, 'b') + "/c";
    ASSERT_EQ(::symlink(target.c_str(), (dir / "long").c_str()), 0);
    EXPECT_EQ(Tool_Resource::getRealObjectFullPath((dir / "long").c_str()), target);
}

TEST(ErrorMessage, IsTheSystemText) {
    EXPECT_EQ(Tool_Resource::getErrorMessage(ENOENT), "No such file or directory");
    EXPECT_EQ(Tool_Resource::getErrorMessage(EACCES), "Permission denied");
    EXPECT_FALSE(Tool_Resource::getErrorMessage(123456).empty());
}

}  // namespace
