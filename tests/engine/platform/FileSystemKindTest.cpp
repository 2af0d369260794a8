#include <gtest/gtest.h>

#include <fcntl.h>
#include <ostream>
#include <string>
#include <sys/statfs.h>
#include <unistd.h>

#include "platform/FileSystemKind.h"
#include "support/TempDir.h"

namespace {

bool isMountedAs(const char* path, unsigned long magic) {
    struct statfs fs{};
    return ::statfs(path, &fs) == 0 && static_cast<unsigned long>(fs.f_type) == magic;
}

struct PathCase {
    const char* label;
    const char* path;
    bool pseudo;
    unsigned long requiredMagic;   // 0: no requirement; else skip when the path is not that file system
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.label; }

class FileSystemKindPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(FileSystemKindPath, ClassifiesBothByPathAndByOpenFolder) {
    const auto& c = GetParam();
    if (c.requiredMagic && !isMountedAs(c.path, c.requiredMagic))
        GTEST_SKIP() << c.path << " is not mounted here";
    EXPECT_EQ(FileSystemKind::isPseudoFileSystem(std::string(c.path)), c.pseudo);
    const int fd = ::open(c.path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        EXPECT_EQ(FileSystemKind::isPseudoFileSystem(fd), c.pseudo);
        ::close(fd);
    }
}

INSTANTIATE_TEST_SUITE_P(
    MountedSystem, FileSystemKindPath,
    ::testing::Values(PathCase{"Root", "/", false, 0}, PathCase{"Proc", "/proc", true, 0x9fa0},
                      PathCase{"ProcSelf", "/proc/self", true, 0x9fa0}, PathCase{"Sys", "/sys", true, 0x62656572},
                      PathCase{"Dev", "/dev", true, 0}, PathCase{"DevWithSlash", "/dev/", true, 0},
                      PathCase{"DevDoubledSlashes", "//dev//", true, 0},
                      PathCase{"DevPrefixOnlyIsNotDev", "/devices-not-there", false, 0},
                      PathCase{"MissingPath", "/no/such/folder/anywhere", false, 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FileSystemKind, TemporaryFolderIsNotPseudo) {
    TempDir tmp;
    EXPECT_FALSE(FileSystemKind::isPseudoFileSystem(tmp.path()));
    const int fd = ::open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(FileSystemKind::isPseudoFileSystem(fd));
    ::close(fd);
}

TEST(FileSystemKind, AnyPathBelowDevIsPseudoEvenOnItsOwnTmpfs) {
    // /dev/shm is a plain tmpfs mount; the path answer still keeps it out of walks.
    EXPECT_TRUE(FileSystemKind::isPseudoFileSystem(std::string("/dev/shm")));
    EXPECT_TRUE(FileSystemKind::isPseudoFileSystem(std::string("/dev/no-such-entry")));
}

TEST(FileSystemKind, ClosedDescriptorIsNotPseudo) { EXPECT_FALSE(FileSystemKind::isPseudoFileSystem(-1)); }

struct MagicCase {
    const char* label;
    unsigned long magic;
    bool pseudo;
};

void PrintTo(const MagicCase& c, std::ostream* os) { *os << c.label; }

class FileSystemKindMagic : public ::testing::TestWithParam<MagicCase> {};

TEST_P(FileSystemKindMagic, KnowsKernelInterfacesFromFileStores) {
    EXPECT_EQ(FileSystemKind::isPseudoMagic(GetParam().magic), GetParam().pseudo);
}

INSTANTIATE_TEST_SUITE_P(
    Magics, FileSystemKindMagic,
    ::testing::Values(MagicCase{"Tmpfs", 0x01021994, false}, MagicCase{"Ext4", 0xEF53, false},
                      MagicCase{"Btrfs", 0x9123683E, false}, MagicCase{"Xfs", 0x58465342, false},
                      MagicCase{"Overlay", 0x794c7630, false}, MagicCase{"Proc", 0x9fa0, true},
                      MagicCase{"Sysfs", 0x62656572, true}, MagicCase{"Devpts", 0x1cd1, true},
                      MagicCase{"Cgroup2", 0x63677270, true}, MagicCase{"Tracefs", 0x74726163, true},
                      MagicCase{"Selinuxfs", 0xf97cff8c, true}, MagicCase{"Efivarfs", 0xde5e81e4, true},
                      // statfs reports f_type as a signed long: a high-bit magic may arrive sign-extended.
                      MagicCase{"SignExtendedSelinuxfs", static_cast<unsigned long>(static_cast<long>(
                                                              static_cast<int32_t>(0xf97cff8c))),
                                true}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
