#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/MountPoints.h"

namespace {

TEST(MountPoints, KeepsOnlyLocalDiskFileSystemsSortedWithRootFirst) {
    const std::string table =
        "sysfs /sys sysfs rw,nosuid 0 0\n"
        "proc /proc proc rw 0 0\n"
        "udev /dev devtmpfs rw 0 0\n"
        "/dev/sda3 /home btrfs rw,subvol=/home 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sda2 / ext4 rw,relatime 0 0\n"
        "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
        "overlay /var/lib/docker/overlay2/x/merged overlay rw 0 0\n"
        "/dev/loop0 /snap/core/1 squashfs ro 0 0\n"
        "/dev/sda1 /boot/efi vfat rw 0 0\n"
        "/dev/sdb1 /mnt/my\\040disk ext4 rw 0 0\n"
        "/dev/sdc1 /media/usb fuseblk rw 0 0\n"
        "sshfs#me@host: /mnt/remote fuse.sshfs rw 0 0\n"
        "server:/export /mnt/nfs nfs4 rw 0 0\n"
        "//server/share /mnt/smb cifs rw 0 0\n"
        "/dev/sda3 /home btrfs rw,subvol=/home 0 0\n"
        "/dev/md0 /data/ xfs rw 0 0\n"
        "tank/home /tank zfs rw 0 0\n"
        "/dev/sdd1 /win ntfs3 rw 0 0\n"
        "/dev/sde1 /stick exfat rw 0 0\n"
        "garbage\n"
        "\n"
        "/dev/sdf1 relative ext4 rw 0 0\n"
        "/dev/sdg1\t/tabbed\tf2fs\trw 0 0";
    EXPECT_EQ(MountPoints::parseLocalDiskMounts(table),
              (std::vector<std::string>{"/", "/boot/efi", "/data", "/home", "/mnt/my disk", "/stick", "/tabbed",
                                        "/tank", "/win"}));
}

TEST(MountPoints, EmptyOrPseudoOnlyTableGivesNothing) {
    EXPECT_TRUE(MountPoints::parseLocalDiskMounts("").empty());
    EXPECT_TRUE(MountPoints::parseLocalDiskMounts("overlay / overlay rw 0 0\nproc /proc proc rw 0 0\n").empty());
}

struct DecodeCase {
    const char* name;
    std::string field;
    std::string expected;
};
class MountFieldDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(MountFieldDecode, DecodesOctalEscapes) {
    EXPECT_EQ(MountPoints::decodeMountField(GetParam().field), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, MountFieldDecode,
    ::testing::Values(DecodeCase{"Space", "/a\\040b", "/a b"}, DecodeCase{"Tab", "/a\\011b", "/a\tb"},
                      DecodeCase{"Newline", "/a\\012b", "/a\nb"}, DecodeCase{"Backslash", "/a\\134b", "/a\\b"},
                      DecodeCase{"Utf8Bytes", "/\\303\\251", "/\xC3\xA9"},
                      DecodeCase{"CutEscapeStays", "/a\\04", "/a\\04"},
                      DecodeCase{"NonOctalStays", "/a\\089", "/a\\089"},
                      DecodeCase{"NulIsNotProduced", "/a\\000", "/a\\000"},
                      DecodeCase{"Plain", "/plain", "/plain"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MountPoints, RealTableListsOnlyFolders) {
    for (const auto& point : MountPoints::localDiskMounts()) {
        struct stat st {};
        ASSERT_EQ(::stat(point.c_str(), &st), 0) << point;
        EXPECT_TRUE(S_ISDIR(st.st_mode)) << point;
        EXPECT_EQ(point[0], '/');
    }
}

}  // namespace
