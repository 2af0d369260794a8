// Opening paths past PATH_MAX piece by piece: the same answers one openat would give
// without the length limit (files, folders, links on the way and at the end, failures).
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DirEnumerator.h"
#include "platform/LongPath.h"
#include "platform/RegularFile.h"
#include "support/DeepTree.h"
#include "support/TempDir.h"

namespace {

class LongPathOpen : public ::testing::Test {
protected:
    void SetUp() override {
        deep.write("file.txt", "12345");
        ASSERT_EQ(::symlinkat("file.txt", deep.fd(), "link"), 0);
        ASSERT_EQ(::mkdirat(deep.fd(), "sub", 0700), 0);
        ASSERT_GE(deep.path().size(), size_t(PATH_MAX));
    }
    // The path of the deep tree below tmp, relative to tmp.
    std::string relative() const { return deep.path().substr(tmp.path().size() + 1); }

    // Opens and tells the inode, or -errno.
    static long long inodeOf(int fd) {
        struct stat st{};
        if (fd < 0)
            return -errno;
        const long long ino = ::fstat(fd, &st) == 0 ? static_cast<long long>(st.st_ino) : -1;
        ::close(fd);
        return ino;
    }
    long long expectedInode(const char* name) const {
        struct stat st{};
        return ::fstatat(deep.fd(), name, &st, 0) == 0 ? static_cast<long long>(st.st_ino) : -1;
    }

    TempDir tmp;
    DeepTree deep{tmp.path(), 22, 200};
};

TEST_F(LongPathOpen, AbsoluteAndRelativePathsReachTheSameFile) {
    const long long want = expectedInode("file.txt");
    EXPECT_EQ(inodeOf(LongPath::openAt(AT_FDCWD, deep.path() + "/file.txt", O_RDONLY | O_CLOEXEC)), want);
    EXPECT_EQ(inodeOf(LongPath::openAt(-1, deep.path() + "//file.txt", O_RDONLY | O_CLOEXEC)), want);
    const int base = ::open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(base, 0);
    EXPECT_EQ(inodeOf(LongPath::openAt(base, relative() + "/file.txt", O_RDONLY | O_CLOEXEC)), want);
    EXPECT_EQ(inodeOf(LongPath::openAt(base, relative() + "/sub/", O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
              expectedInode("sub"));
    ::close(base);
}

TEST_F(LongPathOpen, FlagsApplyToTheLastComponentOnly) {
    // A link at the end: followed without O_NOFOLLOW, refused with it.
    EXPECT_EQ(inodeOf(LongPath::openAt(AT_FDCWD, deep.path() + "/link", O_RDONLY | O_CLOEXEC)),
              expectedInode("file.txt"));
    EXPECT_EQ(inodeOf(LongPath::openAt(AT_FDCWD, deep.path() + "/link", O_RDONLY | O_NOFOLLOW | O_CLOEXEC)), -ELOOP);
    // A link to a folder on the way is followed, as path resolution does.
    const std::string parent = deep.path().substr(0, deep.path().rfind('/'));
    const std::string last = deep.path().substr(deep.path().rfind('/') + 1);
    const int parentFd = LongPath::openAt(AT_FDCWD, parent, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(parentFd, 0);
    ASSERT_EQ(::symlinkat(last.c_str(), parentFd, "via"), 0);
    ::close(parentFd);
    EXPECT_EQ(inodeOf(LongPath::openAt(AT_FDCWD, parent + "/via/file.txt", O_RDONLY | O_NOFOLLOW | O_CLOEXEC)),
              expectedInode("file.txt"));
}

TEST_F(LongPathOpen, FailuresCarryTheErrorOfThePieceThatFailed) {
    EXPECT_EQ(inodeOf(LongPath::openAt(AT_FDCWD, deep.path() + "/missing", O_RDONLY | O_CLOEXEC)), -ENOENT);
    EXPECT_EQ(inodeOf(LongPath::openAt(AT_FDCWD, deep.path() + "/file.txt", O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
              -ENOTDIR);
    // A missing folder early on, then far more than PATH_MAX of path behind it.
    std::string path = tmp.path() + "/absent";
    while (path.size() < 2 * PATH_MAX)
        path += "/" + std::string(200, 'q');
    EXPECT_EQ(inodeOf(LongPath::openAt(AT_FDCWD, path, O_RDONLY | O_CLOEXEC)), -ENOENT);
    // One component longer than PATH_MAX cannot exist.
    EXPECT_EQ(inodeOf(LongPath::openAt(AT_FDCWD, tmp.path() + "/" + std::string(PATH_MAX + 10, 'z'), O_RDONLY)),
              -ENAMETOOLONG);
}

TEST_F(LongPathOpen, FolderAndRegularFileOpenersTakeLongPaths) {
    DirEnumerator dir;
    ASSERT_TRUE(dir.open(deep.path())) << dir.error();
    int entries = 0;
    while (dir.next())
        ++entries;
    EXPECT_EQ(entries, 3);   // file.txt, link, sub
    uint64_t size = 0;
    const int fd = RegularFile::openForReading(deep.path() + "/file.txt", &size);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(size, 5u);
    if (fd >= 0)
        ::close(fd);
}

}  // namespace
