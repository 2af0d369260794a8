#include "platform/FileSystemKind.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/vfs.h>

namespace {

// Some of these are missing from older kernel headers.
constexpr unsigned long kProc = 0x9fa0, kSysfs = 0x62656572, kDevpts = 0x1cd1, kCgroup = 0x27e0eb,
                        kCgroup2 = 0x63677270, kDebugfs = 0x64626720, kTracefs = 0x74726163,
                        kSecurityfs = 0x73636673, kPstore = 0x6165676c, kBpf = 0xcafe4a11, kConfigfs = 0x62656570,
                        kFusectl = 0x65735543, kMqueue = 0x19800202, kHugetlbfs = 0x958458f6, kAutofs = 0x0187,
                        kBinfmt = 0x42494e4d, kSelinux = 0xf97cff8c, kEfivarfs = 0xde5e81e4, kNsfs = 0x6e736673;

// True when `st_dev` is the device of a file system mounted on /dev (not a plain folder
// of the root file system, as /dev is in some chroots).
bool isOnDevMount(dev_t dev) {
    struct stat devRoot{}, root{};
    if (::stat("/dev", &devRoot) != 0 || ::stat("/", &root) != 0)
        return false;
    return dev == devRoot.st_dev && devRoot.st_dev != root.st_dev;
}

bool isBelowDev(const std::string& path) {
    // Collapse repeated slashes so that "//dev" and "/dev//pts" are seen too.
    std::string p;
    p.reserve(path.size());
    for (char c : path)
        if (c != '/' || p.empty() || p.back() != '/')
            p += c;
    return p == "/dev" || p.rfind("/dev/", 0) == 0;
}

}  // namespace

bool FileSystemKind::isPseudoMagic(unsigned long fsType) {
    switch (fsType & 0xffffffffUL) {
    case kProc: case kSysfs: case kDevpts: case kCgroup: case kCgroup2: case kDebugfs: case kTracefs:
    case kSecurityfs: case kPstore: case kBpf: case kConfigfs: case kFusectl: case kMqueue: case kHugetlbfs:
    case kAutofs: case kBinfmt: case kSelinux: case kEfivarfs: case kNsfs:
        return true;
    default:
        return false;
    }
}

bool FileSystemKind::isPseudoFileSystem(int fd) {
    struct statfs fs{};
    if (::fstatfs(fd, &fs) != 0)
        return false;
    if (isPseudoMagic(static_cast<unsigned long>(fs.f_type)))
        return true;
    struct stat st{};
    return ::fstat(fd, &st) == 0 && isOnDevMount(st.st_dev);
}

bool FileSystemKind::isPseudoFileSystem(const std::string& path) {
    if (isBelowDev(path))
        return true;
    struct statfs fs{};
    if (::statfs(path.c_str(), &fs) != 0)
        return false;
    if (isPseudoMagic(static_cast<unsigned long>(fs.f_type)))
        return true;
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && isOnDevMount(st.st_dev);
}
