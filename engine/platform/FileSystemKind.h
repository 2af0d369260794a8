#pragma once
// Tells pseudo file systems (kernel interfaces such as /proc, /sys, /dev) from file systems
// that hold files. Walks ask it before descending into a subfolder so that they never
// wander into /proc, /sys or /dev below the folder they walk.
//
// Pseudo: proc, sysfs, devpts, cgroup, cgroup2, debugfs, tracefs, securityfs, pstore, bpf,
// configfs, fusectl, mqueue, hugetlbfs, autofs, binfmt_misc, selinuxfs, efivarfs, nsfs;
// and the file system mounted on /dev (devtmpfs reports the tmpfs magic number, so it is
// recognised by being /dev's own mount). A plain tmpfs (/tmp, /run) is NOT pseudo.
// When the file system cannot be asked, the answer is false (the walk's own open of the
// folder then reports the real problem).
#include <string>

class FileSystemKind {
public:
    // The file system holding the open file or folder `fd`.
    static bool isPseudoFileSystem(int fd);
    // Same for a path; "/dev" and everything below it (lexically) always count as pseudo.
    static bool isPseudoFileSystem(const std::string& path);
    // The statfs f_type numbers listed above.
    static bool isPseudoMagic(unsigned long fsType);
};
