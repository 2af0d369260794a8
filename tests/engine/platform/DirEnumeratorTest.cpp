#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <map>
#include <ostream>
#include <string>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/DirEnumerator.h"
#include "platform/FileTimeConvert.h"
#include "support/TempDir.h"

namespace {

using Type = DirEnumerator::EntryType;

const std::string kLongName(255, 'n');
const std::string kInvalidUtf8 = "bad\xff\xfe\xc3(name";

std::map<std::string, Type> listAll(DirEnumerator& dir) {
    std::map<std::string, Type> entries;
    while (dir.next())
        entries.emplace(std::string(dir.name()), dir.type());
    return entries;
}

// One folder holding every kind of entry a walk meets.
class DirEnumeratorTree : public ::testing::Test {
protected:
    void SetUp() override {
        tmp.write("plain.txt", "hello");
        tmp.write("with space", "");
        tmp.write("new\nline", "");
        tmp.write(kInvalidUtf8, "");
        tmp.write(kLongName, "x");
        tmp.write(".hidden", "");
        tmp.write("sub/inner.txt", "inner");
        ASSERT_EQ(::symlink("sub", (tmp / "linkToSub").c_str()), 0);
        ASSERT_EQ(::symlink("nowhere", (tmp / "dangling").c_str()), 0);
        ASSERT_EQ(::mkfifo((tmp / "pipe").c_str(), 0644), 0);
    }
    TempDir tmp;
};

TEST_F(DirEnumeratorTree, ReportsEveryEntryWithItsTypeAndNothingElse) {
    DirEnumerator dir;
    ASSERT_TRUE(dir.open(tmp.path()));
    const auto entries = listAll(dir);
    EXPECT_EQ(dir.error(), 0);
    const std::map<std::string, Type> expected{
        {"plain.txt", Type::File}, {"with space", Type::File},   {"new\nline", Type::File},
        {kInvalidUtf8, Type::File}, {kLongName, Type::File},     {".hidden", Type::File},
        {"sub", Type::Folder},      {"linkToSub", Type::Symlink}, {"dangling", Type::Symlink},
        {"pipe", Type::Fifo}};
    EXPECT_EQ(entries, expected);
}

TEST_F(DirEnumeratorTree, StatDescribesTheEntryItselfNotALinkTarget) {
    DirEnumerator dir;
    ASSERT_TRUE(dir.open(tmp.path()));
    std::map<std::string, FileStat> stats;
    while (dir.next()) {
        FileStat st;
        ASSERT_TRUE(dir.stat(st)) << dir.name() << ": " << errno;
        stats[std::string(dir.name())] = st;
    }
    EXPECT_EQ(stats["plain.txt"].size, 5u);
    EXPECT_TRUE(S_ISLNK(stats["linkToSub"].mode));
    EXPECT_TRUE(S_ISLNK(stats["dangling"].mode));
    EXPECT_EQ(stats["dangling"].size, 7u);   // the length of the link text "nowhere"
    EXPECT_TRUE(S_ISDIR(stats["sub"].mode));
    EXPECT_EQ(DirEnumerator::attributesOf(stats["linkToSub"], "linkToSub"), DirEnumerator::kAttrReparsePoint);
    EXPECT_EQ(DirEnumerator::walkSizeOf(stats["sub"]), 0u);
    EXPECT_EQ(DirEnumerator::walkSizeOf(stats["plain.txt"]), 5u);
    EXPECT_EQ(stats["plain.txt"].ino, stats["plain.txt"].ino);
    EXPECT_NE(stats["plain.txt"].ino, stats["sub"].ino);
    EXPECT_EQ(stats["plain.txt"].dev, stats["sub"].dev);
}

TEST_F(DirEnumeratorTree, OpensRealSubfolderRelativeToParentButNeverALinkToOne) {
    DirEnumerator parent;
    ASSERT_TRUE(parent.open(tmp.path()));
    DirEnumerator child;
    ASSERT_TRUE(child.openChild(parent, "sub"));
    EXPECT_EQ(listAll(child), (std::map<std::string, Type>{{"inner.txt", Type::File}}));

    DirEnumerator viaLink;
    EXPECT_FALSE(viaLink.openChild(parent, "linkToSub"));
    EXPECT_TRUE(errno == ELOOP || errno == ENOTDIR) << errno;
    EXPECT_FALSE(viaLink.isOpen());
}

TEST_F(DirEnumeratorTree, EntryThatVanishesBeforeStatReportsENOENT) {
    DirEnumerator dir;
    ASSERT_TRUE(dir.open(tmp.path()));
    while (dir.next() && dir.name() != "plain.txt") {
    }
    ASSERT_EQ(dir.name(), "plain.txt");
    ASSERT_EQ(::unlink((tmp / "plain.txt").c_str()), 0);
    FileStat st;
    st.size = 99;
    EXPECT_FALSE(dir.stat(st));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(st.size, 99u);
}

TEST_F(DirEnumeratorTree, MovedEnumeratorContinuesWhereItStood) {
    DirEnumerator first;
    ASSERT_TRUE(first.open(tmp.path()));
    ASSERT_TRUE(first.next());
    const std::string firstName(first.name());
    DirEnumerator second(std::move(first));
    EXPECT_FALSE(first.isOpen());
    auto rest = listAll(second);
    EXPECT_EQ(rest.count(firstName), 0u);
    EXPECT_EQ(rest.size(), 9u);
}

struct OpenFailureCase {
    const char* label;
    const char* relative;   // below the temporary folder
    int expectedErrno;
};

void PrintTo(const OpenFailureCase& c, std::ostream* os) { *os << c.label; }

class DirEnumeratorOpenFailure : public ::testing::TestWithParam<OpenFailureCase> {};

TEST_P(DirEnumeratorOpenFailure, FailsCleanlyWithErrno) {
    TempDir tmp;
    tmp.write("file", "x");
    DirEnumerator dir;
    errno = 0;
    EXPECT_FALSE(dir.open(tmp / GetParam().relative));
    EXPECT_EQ(errno, GetParam().expectedErrno);
    EXPECT_EQ(dir.error(), GetParam().expectedErrno);
    EXPECT_FALSE(dir.isOpen());
    EXPECT_FALSE(dir.next());
}

INSTANTIATE_TEST_SUITE_P(Paths, DirEnumeratorOpenFailure,
                         ::testing::Values(OpenFailureCase{"Missing", "missing", ENOENT},
                                           OpenFailureCase{"MissingParent", "missing/deeper", ENOENT},
                                           OpenFailureCase{"RegularFile", "file", ENOTDIR},
                                           OpenFailureCase{"BelowRegularFile", "file/x", ENOTDIR}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DirEnumerator, FolderRemovedBetweenOpenAndReadEndsWithoutEntries) {
    // The kernel answers ENOENT for a removed folder and the C library turns that into a
    // normal end: the folder simply contributes nothing.
    TempDir tmp;
    tmp.mkdir("gone");
    DirEnumerator dir;
    ASSERT_TRUE(dir.open(tmp / "gone"));
    ASSERT_EQ(::rmdir((tmp / "gone").c_str()), 0);
    EXPECT_FALSE(dir.next());
    EXPECT_TRUE(dir.error() == 0 || dir.error() == ENOENT) << dir.error();
    EXPECT_TRUE(dir.name().empty());
    FileStat st;
    EXPECT_FALSE(dir.stat(st));
}

// Opens `path` as an unprivileged user in a child process (root reads everything, so
// permission bits are tested from an account they apply to); returns the errno (0: opened).
int openErrnoAs(const std::string& path, bool dropToNobody) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (dropToNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(255);
        DirEnumerator dir;
        ::_exit(dir.open(path) ? 0 : dir.error());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 254;
}

TEST(DirEnumerator, UnreadableFolderFailsWithEACCES) {
    TempDir tmp;
    ::chmod(tmp.path().c_str(), 0755);
    tmp.mkdir("open");
    tmp.mkdir("locked");
    ::chmod((tmp / "open").c_str(), 0755);
    ASSERT_EQ(::chmod((tmp / "locked").c_str(), 0), 0);
    const bool root = ::geteuid() == 0;
    const int openErrno = openErrnoAs(tmp / "open", root);
    ASSERT_NE(openErrno, 255) << "could not switch to the unprivileged account";
    EXPECT_EQ(openErrno, 0) << "the readable folder must open, else the next check proves nothing";
    EXPECT_EQ(openErrnoAs(tmp / "locked", root), EACCES);
}

struct AttributeCase {
    const char* label;
    uint32_t mode;
    const char* name;
    uint32_t expected;
};

void PrintTo(const AttributeCase& c, std::ostream* os) { *os << c.label; }

class DirEnumeratorAttributes : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(DirEnumeratorAttributes, MapsModeAndNameToAttributeBits) {
    FileStat st;
    st.mode = GetParam().mode;
    EXPECT_EQ(DirEnumerator::attributesOf(st, GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DirEnumeratorAttributes,
    ::testing::Values(AttributeCase{"PlainFile", S_IFREG | 0644, "a.txt", 0},
                      AttributeCase{"OnlyGroupMayWrite", S_IFREG | 0464, "a", 0},
                      AttributeCase{"NoWriteBitIsReadOnly", S_IFREG | 0444, "a", 0x01},
                      AttributeCase{"DotNameIsHidden", S_IFREG | 0600, ".profile", 0x02},
                      AttributeCase{"DotInsideNameIsNotHidden", S_IFREG | 0600, "a.b", 0},
                      AttributeCase{"Folder", S_IFDIR | 0755, "docs", 0x10},
                      AttributeCase{"HiddenReadOnlyFolder", S_IFDIR | 0555, ".cfg", 0x10 | 0x02 | 0x01},
                      AttributeCase{"Fifo", S_IFIFO | 0644, "p", 0x04},
                      AttributeCase{"Socket", S_IFSOCK | 0755, "s", 0x04},
                      AttributeCase{"CharDevice", S_IFCHR | 0666, "null", 0x04},
                      AttributeCase{"BlockDevice", S_IFBLK | 0660, "sda", 0x04},
                      AttributeCase{"SymlinkToAnything", S_IFLNK | 0777, "link", 0x400},
                      AttributeCase{"HiddenSymlink", S_IFLNK | 0777, ".link", 0x400 | 0x02}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(DirEnumerator, CreationTimeIsBirthTimeWhenReportedElseStatusChange) {
    struct statx sx{};
    sx.stx_mask = STATX_BASIC_STATS;
    sx.stx_mode = S_IFREG | 0644;
    sx.stx_mtime.tv_sec = 100;
    sx.stx_ctime.tv_sec = 200;
    sx.stx_btime.tv_sec = 50;
    FileStat withoutBirth = DirEnumerator::fromStatx(sx);
    EXPECT_FALSE(withoutBirth.hasBirthTime);
    EXPECT_EQ(withoutBirth.creation.tv_sec, 200);
    sx.stx_mask |= STATX_BTIME;
    FileStat withBirth = DirEnumerator::fromStatx(sx);
    EXPECT_TRUE(withBirth.hasBirthTime);
    EXPECT_EQ(withBirth.creation.tv_sec, 50);
    EXPECT_EQ(withBirth.lastWrite.tv_sec, 100);
}

TEST(DirEnumerator, RealFileTimesComeBackAsLocalFileTimes) {
    const char* oldZone = std::getenv("TZ");
    const std::string saved = oldZone ? oldZone : "";
    setenv("TZ", "IST-5:30", 1);
    tzset();
    TempDir tmp;
    const std::time_t before = std::time(nullptr);
    tmp.write("f", "abc");
    tmp.setTimes("f", 1'000'000'000);   // 2001-09-09 01:46:40 UTC
    FileStat st;
    ASSERT_TRUE(DirEnumerator::statAt(AT_FDCWD, (tmp / "f").c_str(), st));
    FILETIME creation, access, write;
    DirEnumerator::fileTimesOf(st, creation, access, write);
    EXPECT_EQ(FileTimeConvert::toLocalDateTime(write), (LocalDateTime{2001, 9, 9, 7, 16, 40, 0}));
    EXPECT_EQ(access.toU64(), write.toU64());
    // Creation (birth or status change) is when the file was made, not the set mtime.
    EXPECT_GE(st.creation.tv_sec, before - 2);
    EXPECT_GT(creation.toU64(), write.toU64());
    if (oldZone)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(DirEnumerator, SocketEntryIsASystemEntry) {
    TempDir tmp;
    const std::string path = tmp / "sock";
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        GTEST_SKIP() << "temporary folder path too long for a socket address";
    path.copy(addr.sun_path, path.size());
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    DirEnumerator dir;
    ASSERT_TRUE(dir.open(tmp.path()));
    ASSERT_TRUE(dir.next());
    EXPECT_EQ(dir.type(), Type::Socket);
    FileStat st;
    ASSERT_TRUE(dir.stat(st));
    EXPECT_EQ(DirEnumerator::attributesOf(st, dir.name()) & DirEnumerator::kAttrSystem, DirEnumerator::kAttrSystem);
    ::close(s);
}

}  // namespace
