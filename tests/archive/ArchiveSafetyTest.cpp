// Hostile member names: extraction never writes outside its destination folder.
#include <sys/stat.h>
#include <unistd.h>

#include "ArchiveTestSupport.h"
#include "archive/SafeMemberName.h"
#include "archive/WideText.h"

using namespace archivetest;
using crateview::SafeMemberName;
using crateview::WideText;

namespace {

// Names a zip or tar can carry. "cafX" and "nulX" are patched afterwards into a byte that
// is not UTF-8 and a NUL, which Python's writers refuse.
const char* kHostileNamesPython = R"PY(
import sys, zipfile, tarfile, io
names = ["../escape.txt", "../../escape2.txt", "/abs/path.txt", "", "..", ".", "dir/", "a/../../up.txt",
         "cafX.txt", "nulX.txt", "///", "deep/../..", "ok.txt", "x/./.", "  spaced  .txt"]
kind, out = sys.argv[1], sys.argv[2]
if kind == "zip":
    with zipfile.ZipFile(out, "w") as z:
        for n in names:
            z.writestr(zipfile.ZipInfo(n), b"data:" + n.replace("X", "x").encode())
    d = open(out, "rb").read().replace(b"cafX.txt", b"caf\xe9.txt").replace(b"nulX.txt", b"nul\x00.txt")
    open(out, "wb").write(d)
else:
    with tarfile.open(out, "w", format=tarfile.GNU_FORMAT, encoding="utf-8", errors="surrogateescape") as t:
        for n in names:
            n = n.replace("cafX", "caf\udce9")
            b = b"data:" + n.encode("utf-8", "surrogateescape"); ti = tarfile.TarInfo(n); ti.size = len(b); t.addfile(ti, io.BytesIO(b))
        ti = tarfile.TarInfo("link"); ti.type = tarfile.SYMTYPE; ti.linkname = "/etc/passwd"; t.addfile(ti)
        b = b"through the link"; ti = tarfile.TarInfo("link/evil.txt"); ti.size = len(b); t.addfile(ti, io.BytesIO(b))
)PY";

struct HostileCase {
    const char* name;
    const char* file;
};

class HostileNamesTest : public ArchiveTest, public ::testing::WithParamInterface<HostileCase> {
protected:
    TempDir m_sandbox;
};

TEST_P(HostileNamesTest, ExtractionNeverWritesOutsideTheDestination) {
    const std::string archive = m_sandbox / GetParam().file;
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram("python3", {"-c", kHostileNamesPython, GetParam().name, archive}, &out, &err), 0)
        << err;
    const std::string dest = m_sandbox / "deep/inside/dest";
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    IMyArchive* a = mgr.getIMyArchive();
    ASSERT_NE(a, nullptr);

    // One by one and all at once.
    for (int i = 0; i < a->getItemCount(); ++i)
        a->extractItem(static_cast<unsigned>(i), dest);
    a->extractAll(dest);

    // The sandbox holds the archive, the destination's parents and what is inside dest.
    for (const std::string& f : treeBelow(m_sandbox.path())) {
        if (f == GetParam().file || f == "deep" || f == "deep/inside" || f == "deep/inside/dest")
            continue;
        ASSERT_EQ(f.rfind("deep/inside/dest/", 0), 0u) << "written outside: " << f;
        const std::string inside = f.substr(std::string("deep/inside/dest/").size());
        EXPECT_EQ(inside.find('/'), std::string::npos) << "nested path written: " << inside;
        EXPECT_NE(inside, "..");
        struct stat st {};
        ASSERT_EQ(::lstat((dest + "/" + inside).c_str(), &st), 0);
        EXPECT_FALSE(S_ISLNK(st.st_mode)) << inside;
    }
    const auto written = treeBelow(dest);
    auto has = [&](const std::string& n) { return std::find(written.begin(), written.end(), n) != written.end(); };
    EXPECT_TRUE(has("escape.txt"));
    EXPECT_TRUE(has("escape2.txt"));
    EXPECT_TRUE(has("path.txt"));
    EXPECT_TRUE(has("up.txt"));
    EXPECT_TRUE(has("ok.txt")) << ::testing::PrintToString(written);
    EXPECT_TRUE(has("caf\xE9.txt")) << "the byte that is not UTF-8 is kept: " << ::testing::PrintToString(written);
    EXPECT_EQ(readFile(dest + "/ok.txt"), "data:ok.txt");
}

INSTANTIATE_TEST_SUITE_P(Archives, HostileNamesTest,
                         ::testing::Values(HostileCase{"zip", "hostile.zip"}, HostileCase{"tar", "hostile.tar"}),
                         [](const auto& info) { return std::string(info.param.name); });

class ArchiveSafetyTest : public ArchiveTest {
protected:
    TempDir m_root;
};

// An existing symbolic link in the destination is replaced, never written through.
TEST_F(ArchiveSafetyTest, ExtractionReplacesSymlinkInsteadOfWritingThroughIt) {
    m_root.write("src/a.txt", "archive content");
    const std::string archive = packWith7z(m_root, "s.zip");
    const std::string victim = m_root.write("victim.txt", "must stay");
    m_root.mkdir("F");
    ASSERT_EQ(::symlink(victim.c_str(), (m_root / "F/a.txt").c_str()), 0);
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    ASSERT_TRUE(mgr.getIMyArchive()->extractItem(0, m_root / "F"));
    EXPECT_EQ(readFile(victim), "must stay");
    struct stat st {};
    ASSERT_EQ(::lstat((m_root / "F/a.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(readFile(m_root / "F/a.txt"), "archive content");
}

struct LeafCase {
    const char* name;
    std::string path;
    std::string expected;
};

class SafeMemberNameTest : public ::testing::TestWithParam<LeafCase> {};

TEST_P(SafeMemberNameTest, LeafIsOneSafeComponent) {
    EXPECT_EQ(SafeMemberName::leafName(GetParam().path, "archive"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SafeMemberNameTest,
    ::testing::Values(LeafCase{"plain", "a.txt", "a.txt"}, LeafCase{"nested", "dir/sub/a.txt", "a.txt"},
                      LeafCase{"parentEscape", "../../etc/passwd", "passwd"}, LeafCase{"absolute", "/etc/passwd", "passwd"},
                      LeafCase{"empty", "", "archive"}, LeafCase{"dotDot", "..", "archive"},
                      LeafCase{"dot", ".", "archive"}, LeafCase{"endsInDotDot", "a/..", "archive"},
                      LeafCase{"trailingSlash", "dir/", "dir"}, LeafCase{"onlySlashes", "///", "archive"},
                      LeafCase{"nulCutsTheName", std::string("evil\0/../x", 10), "evil"},
                      LeafCase{"backslashIsAnOrdinaryByte", "a\\..\\b", "a\\..\\b"},
                      LeafCase{"tooLongKeepsTheEnd", std::string(300, 'n') + ".txt", std::string(251, 'n') + ".txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SafeMemberNameDefaults, DefaultNameComesFromTheArchiveName) {
    EXPECT_EQ(SafeMemberName::defaultNameFor("/x/data.tar.gz"), "data.tar");
    EXPECT_EQ(SafeMemberName::defaultNameFor("/x/..xz"), "unnamed");
    EXPECT_EQ(SafeMemberName::defaultNameFor("/x/noextension"), "noextension");
    EXPECT_EQ(SafeMemberName::leafName("..", ".."), "");
    EXPECT_EQ(SafeMemberName::defaultNameFor("/x/.xz"), ".xz");
}

struct WideCase {
    const char* name;
    std::wstring wide;
    std::string utf8;
};

class WideTextTest : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideTextTest, ConvertsAsTheHandlerEncodes) {
    const auto& c = GetParam();
    EXPECT_EQ(WideText::toUtf8(c.wide.data(), c.wide.size()), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WideTextTest,
    ::testing::Values(
        WideCase{"ascii", L"a.txt", "a.txt"}, WideCase{"latin", L"\u00FCn\u00EF", "\xC3\xBC" "n\xC3\xAF"},
        WideCase{"surrogatePair", std::wstring{L'x', wchar_t(0xD83D), wchar_t(0xDE00)}, "x\xF0\x9F\x98\x80"},
        WideCase{"astralAsOneUnit", std::wstring{wchar_t(0x1F600)}, "\xF0\x9F\x98\x80"},
        WideCase{"invalidByteEscape", std::wstring{L'c', wchar_t(0xEF00 + 0xE9)}, "c\xE9"},
        WideCase{"escapeCannotMakeASlash", std::wstring{wchar_t(0xEF00 + '/')}, "\xEE\xBC\xAF"},
        WideCase{"loneHighSurrogate", std::wstring{wchar_t(0xD800), L'a'}, "\xEF\xBF\xBD" "a"},
        WideCase{"loneLowSurrogate", std::wstring{wchar_t(0xDC00)}, "\xEF\xBF\xBD"},
        WideCase{"beyondUnicode", std::wstring{wchar_t(0x110000)}, "\xEF\xBF\xBD"},
        WideCase{"embeddedNul", std::wstring{L'a', L'\0', L'b'}, "a_b"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
