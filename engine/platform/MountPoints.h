#pragma once
// Mount points of local disk file systems: the "drives" of this platform.
//
// A local disk file system is one kept on a block device (ext2/3/4, xfs, btrfs, vfat,
// exfat, ntfs, ntfs3, f2fs, jfs, reiserfs, zfs, ...). Pseudo file systems (proc, sysfs,
// tmpfs, devtmpfs, cgroup, ...), overlay and squashfs images, FUSE and network file systems
// are never listed.
#include <string>
#include <string_view>
#include <vector>

class MountPoints {
public:
    // Mount points named in the text of a mounts table (the /proc/self/mounts format:
    // device, mount point, type, options, ... separated by blanks, with blanks and
    // backslashes in names written as octal escapes such as \040). Sorted byte-wise,
    // without duplicates, so "/" comes first. Malformed lines are skipped.
    static std::vector<std::string> parseLocalDiskMounts(std::string_view mountsText);
    // parseLocalDiskMounts() of /proc/self/mounts, keeping only mount points that are
    // folders (bind-mounted single files are left out); empty when the table is unreadable.
    static std::vector<std::string> localDiskMounts();

    static bool isLocalDiskFileSystem(std::string_view type);
    // Decodes the octal escapes (\ followed by three octal digits) of a mounts-table field;
    // any other backslash stays as it is.
    static std::string decodeMountField(std::string_view field);
};
