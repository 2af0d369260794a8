// Opening files for reading: only regular files, by path or relative to an open folder,
// and never blocking on a FIFO.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/RegularFile.h"
#include "support/TempDir.h"

namespace {

class RegularFileOpen : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("plain.txt", "12345");
        dir.write("odd \"name\"\nwith newline", "abc");
        dir.mkdir("sub");
        ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
        ASSERT_EQ(::symlink("plain.txt", (dir / "link").c_str()), 0);
        folderFd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(folderFd, 0);
    }
    void TearDown() override {
        if (folderFd >= 0)
            ::close(folderFd);
    }
    TempDir dir;
    int folderFd = -1;
};

struct OpenCase {
    const char* name;
    const char* entry;
    int error;       // 0: opens
    uint64_t size;   // when it opens
};

class RegularFileKinds : public RegularFileOpen, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(RegularFileKinds, ByPathAndInFolderAgree) {
    const OpenCase& c = GetParam();
    for (const bool inFolder : {false, true}) {
        SCOPED_TRACE(inFolder ? "relative to the folder" : "by full path");
        uint64_t size = 777;
        errno = 0;
        const int fd = inFolder ? RegularFile::openForReadingAt(folderFd, c.entry, &size)
                                : RegularFile::openForReading(dir / c.entry, &size);
        if (c.error != 0) {
            EXPECT_EQ(fd, -1);
            EXPECT_EQ(errno, c.error);
            EXPECT_EQ(size, 777u) << "size left alone on failure";
            continue;
        }
        ASSERT_GE(fd, 0);
        EXPECT_EQ(size, c.size);
        char buf[16];
        EXPECT_EQ(::read(fd, buf, sizeof buf), ssize_t(c.size));   // O_NONBLOCK does not matter
        EXPECT_TRUE(::fcntl(fd, F_GETFD) & FD_CLOEXEC);
        ::close(fd);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, RegularFileKinds,
    ::testing::Values(OpenCase{"RegularFile", "plain.txt", 0, 5},
                      OpenCase{"OddName", "odd \"name\"\nwith newline", 0, 3},
                      OpenCase{"LinkToFileIsFollowed", "link", 0, 5},
                      OpenCase{"FolderIsRefused", "sub", EISDIR, 0},
                      OpenCase{"FifoIsRefusedWithoutBlocking", "pipe", EINVAL, 0},
                      OpenCase{"MissingFile", "gone", ENOENT, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegularFileOpen, NoFolderDescriptorTakesTheNameAsAPath) {
    const std::string full = dir / "plain.txt";
    for (const int none : {-1, int(AT_FDCWD)}) {
        uint64_t size = 0;
        const int fd = RegularFile::openForReadingAt(none, full.c_str(), &size);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(size, 5u);
        ::close(fd);
    }
}

TEST_F(RegularFileOpen, FolderDescriptorOutlivesARenameOfItsPath) {
    ASSERT_EQ(::rename(dir.path().c_str(), (dir.path() + "-moved").c_str()), 0);
    EXPECT_EQ(RegularFile::openForReading(dir / "plain.txt"), -1);
    const int fd = RegularFile::openForReadingAt(folderFd, "plain.txt");
    EXPECT_GE(fd, 0);
    if (fd >= 0)
        ::close(fd);
    ASSERT_EQ(::rename((dir.path() + "-moved").c_str(), dir.path().c_str()), 0);
}

}  // namespace
