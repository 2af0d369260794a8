#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/AtomicFileWriter.h"
#include "support/TempDir.h"

namespace {

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

mode_t permissionsOf(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::string targetLabel(const ::testing::TestParamInfo<std::string>& info) {
    static const char* const labels[] = {"Plain", "Space", "Newline", "InvalidUtf8", "Hidden", "Name255Bytes"};
    return labels[info.index];
}

// Target names a writer must handle; the temporary lives beside each one.
class AtomicFileWriterNames : public ::testing::TestWithParam<std::string> {};

TEST_P(AtomicFileWriterNames, CommitLeavesExactlyTheTarget) {
    TempDir tmp;
    const std::string target = tmp / GetParam();
    AtomicFileWriter w;
    ASSERT_TRUE(w.open(target)) << errno;
    EXPECT_EQ(w.temporaryPath().rfind(tmp.path() + "/", 0), 0u);
    ASSERT_TRUE(w.write("first "));
    ASSERT_TRUE(w.write(std::string(100'000, 'z')));
    EXPECT_FALSE(std::filesystem::exists(target)) << "nothing is visible before commit";
    ASSERT_TRUE(w.commit()) << errno;
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(readAll(target), "first " + std::string(100'000, 'z'));
    EXPECT_EQ(namesIn(tmp.path()), std::set<std::string>{GetParam()});
}

INSTANTIATE_TEST_SUITE_P(Targets, AtomicFileWriterNames,
                         ::testing::Values("plain.qdr", "with space", "new\nline", "bad\xff\xfe", ".hidden",
                                           std::string(255, 'L')),
                         targetLabel);

TEST(AtomicFileWriter, CommitReplacesExistingTargetAndKeepsItsPermissions) {
    TempDir tmp;
    const std::string target = tmp.write("settings.ini", "old contents that are longer");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    AtomicFileWriter w;
    ASSERT_TRUE(w.open(target));
    ASSERT_TRUE(w.write("new"));
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readAll(target), "new");
    EXPECT_EQ(permissionsOf(target), 0600u);
    EXPECT_EQ(namesIn(tmp.path()).size(), 1u);
}

TEST(AtomicFileWriter, NewTargetGets0644LessUmask) {
    TempDir tmp;
    const mode_t old = ::umask(027);
    AtomicFileWriter w;
    const bool opened = w.open(tmp / "new");
    ::umask(old);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(permissionsOf(tmp / "new"), 0640u);
}

TEST(AtomicFileWriter, DestroyingWithoutCommitRemovesTemporaryAndKeepsTarget) {
    TempDir tmp;
    const std::string target = tmp.write("keep", "original");
    {
        AtomicFileWriter w;
        ASSERT_TRUE(w.open(target));
        ASSERT_TRUE(w.write("half-written"));
        EXPECT_EQ(namesIn(tmp.path()).size(), 2u);
    }
    EXPECT_EQ(readAll(target), "original");
    EXPECT_EQ(namesIn(tmp.path()), std::set<std::string>{"keep"});
}

TEST(AtomicFileWriter, ReopenAbandonsTheUnfinishedFile) {
    TempDir tmp;
    AtomicFileWriter w;
    ASSERT_TRUE(w.open(tmp / "a"));
    ASSERT_TRUE(w.write("aaa"));
    ASSERT_TRUE(w.open(tmp / "b"));
    ASSERT_TRUE(w.write("bbb"));
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(namesIn(tmp.path()), std::set<std::string>{"b"});
}

TEST(AtomicFileWriter, MovedWriterCommitsOnceAndSourceIsInert) {
    TempDir tmp;
    AtomicFileWriter a;
    ASSERT_TRUE(a.open(tmp / "moved"));
    ASSERT_TRUE(a.write("payload"));
    AtomicFileWriter b(std::move(a));
    EXPECT_FALSE(a.isOpen());
    EXPECT_FALSE(a.commit());
    EXPECT_EQ(errno, EBADF);
    ASSERT_TRUE(b.commit());
    EXPECT_EQ(readAll(tmp / "moved"), "payload");
}

struct FailureCase {
    const char* label;
    const char* target;   // below the temporary folder
    bool failsAtOpen;
    int expectedErrno;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.label; }

class AtomicFileWriterFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(AtomicFileWriterFailure, ReportsErrnoAndLeavesNoTemporary) {
    const auto& c = GetParam();
    TempDir tmp;
    tmp.write("aFolder/inside", "keep me");
    tmp.write("aFile", "x");
    const auto before = namesIn(tmp.path());
    AtomicFileWriter w;
    errno = 0;
    const bool opened = w.open(tmp / c.target);
    if (c.failsAtOpen) {
        EXPECT_FALSE(opened);
    } else {
        ASSERT_TRUE(opened);
        ASSERT_TRUE(w.write("data"));
        EXPECT_FALSE(w.commit());
    }
    EXPECT_EQ(errno, c.expectedErrno);
    EXPECT_EQ(namesIn(tmp.path()), before);
    EXPECT_EQ(readAll(tmp / "aFolder/inside"), "keep me");
    EXPECT_FALSE(w.write("more"));
}

INSTANTIATE_TEST_SUITE_P(Targets, AtomicFileWriterFailure,
                         ::testing::Values(FailureCase{"MissingFolder", "missing/file", true, ENOENT},
                                           FailureCase{"BelowAFile", "aFile/file", true, ENOTDIR},
                                           FailureCase{"TrailingSlash", "name/", true, EISDIR},
                                           FailureCase{"TargetIsAFolder", "aFolder", false, EISDIR}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace

namespace {

// Where a commit through a symbolic link lands: links are given as (name, points to); the
// write goes to "write", and afterwards every link must still be a link and `landsIn` hold
// the new bytes.
struct LinkCase {
    const char* name;
    AtomicFileWriter::Links links;
    std::vector<std::pair<std::string, std::string>> symlinks;
    const char* landsIn;
};

class AtomicFileWriterLinks : public ::testing::TestWithParam<LinkCase> {};

TEST_P(AtomicFileWriterLinks, CommitLandsWhereThePolicySays) {
    TempDir tmp;
    std::filesystem::create_directories(std::filesystem::path(tmp.path()) / "sub");
    std::ofstream(tmp / "sub/real.ini") << "old";
    for (const auto& [from, to] : GetParam().symlinks)
        ASSERT_EQ(::symlink(to.c_str(), (tmp / from).c_str()), 0) << from;
    AtomicFileWriter w;
    ASSERT_TRUE(w.open(tmp / "write", GetParam().links));
    ASSERT_TRUE(w.write("new"));
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readAll(tmp / GetParam().landsIn), "new");
    struct stat st {};
    for (const auto& [from, to] : GetParam().symlinks) {
        if (GetParam().links == AtomicFileWriter::Links::Replace && from == "write")
            continue;
        ASSERT_EQ(::lstat((tmp / from).c_str(), &st), 0) << from;
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << from;
    }
    if (GetParam().links == AtomicFileWriter::Links::Replace) {
        ASSERT_EQ(::lstat((tmp / "write").c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        if (std::string(GetParam().landsIn) == "write" && !GetParam().symlinks.empty()) {
            EXPECT_EQ(readAll(tmp / "sub/real.ini"), "old");
        }
    }
}

using L = AtomicFileWriter::Links;
INSTANTIATE_TEST_SUITE_P(
    Policies, AtomicFileWriterLinks,
    ::testing::Values(LinkCase{"ReplaceReplacesTheLink", L::Replace, {{"write", "sub/real.ini"}}, "write"},
                      LinkCase{"FollowWritesTheTarget", L::Follow, {{"write", "sub/real.ini"}}, "sub/real.ini"},
                      LinkCase{"FollowRelativeChainResolvedPerFolder", L::Follow,
                               {{"sub/hop", "real.ini"}, {"write", "sub/hop"}}, "sub/real.ini"},
                      LinkCase{"FollowDanglingLinkCreatesTheTarget", L::Follow, {{"write", "sub/new.ini"}},
                               "sub/new.ini"},
                      LinkCase{"FollowPlainFile", L::Follow, {}, "write"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicFileWriter, FollowingALinkLoopFailsWithEloop) {
    TempDir tmp;
    ASSERT_EQ(::symlink("b", (tmp / "a").c_str()), 0);
    ASSERT_EQ(::symlink("a", (tmp / "b").c_str()), 0);
    AtomicFileWriter w;
    errno = 0;
    EXPECT_FALSE(w.open(tmp / "a", AtomicFileWriter::Links::Follow));
    EXPECT_EQ(errno, ELOOP);
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(namesIn(tmp.path()), (std::set<std::string>{"a", "b"}));
}

}  // namespace
