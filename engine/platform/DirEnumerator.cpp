#include "platform/DirEnumerator.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/FileTimeConvert.h"
#include "platform/LongPath.h"
#include "platform/UniqueFd.h"

namespace {

DirEnumerator::EntryType typeOfDType(unsigned char t) {
    using T = DirEnumerator::EntryType;
    switch (t) {
    case DT_REG: return T::File;
    case DT_DIR: return T::Folder;
    case DT_LNK: return T::Symlink;
    case DT_FIFO: return T::Fifo;
    case DT_SOCK: return T::Socket;
    case DT_CHR: return T::CharDevice;
    case DT_BLK: return T::BlockDevice;
    default: return T::Unknown;
    }
}

timespec toTimespec(const struct statx_timestamp& t) { return timespec{static_cast<time_t>(t.tv_sec), t.tv_nsec}; }

std::atomic<bool> statxAvailable{true};   // cleared once the kernel (or a sandbox) refuses statx

}  // namespace

DirEnumerator::~DirEnumerator() { close(); }

DirEnumerator::DirEnumerator(DirEnumerator&& other) noexcept
    : m_dir(other.m_dir), m_name(other.m_name), m_type(other.m_type), m_ino(other.m_ino), m_error(other.m_error) {
    other.m_dir = nullptr;
    other.m_name = {};
}

DirEnumerator& DirEnumerator::operator=(DirEnumerator&& other) noexcept {
    if (this != &other) {
        close();
        m_dir = other.m_dir;
        m_name = other.m_name;
        m_type = other.m_type;
        m_ino = other.m_ino;
        m_error = other.m_error;
        other.m_dir = nullptr;
        other.m_name = {};
    }
    return *this;
}

void DirEnumerator::close() {
    if (m_dir)
        ::closedir(m_dir);
    m_dir = nullptr;
    m_name = {};
    m_type = EntryType::Unknown;
}

int DirEnumerator::fd() const { return m_dir ? ::dirfd(m_dir) : -1; }

bool DirEnumerator::adopt(int fd) {
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    UniqueFd owned(fd);
    m_dir = ::fdopendir(owned.get());
    if (!m_dir) {
        m_error = errno;
        owned.reset();
        errno = m_error;
        return false;
    }
    owned.release();   // the stream owns it now
    m_error = 0;
    return true;
}

bool DirEnumerator::open(const std::string& path) {
    close();
    return adopt(LongPath::openAt(AT_FDCWD, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

bool DirEnumerator::openAt(int dirFd, const std::string& relativePath) {
    close();
    return adopt(LongPath::openAt(dirFd, relativePath, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
}

bool DirEnumerator::next() {
    if (!m_dir) {
        m_error = EBADF;
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(m_dir);
        if (!e) {
            m_error = errno;
            m_name = {};
            return false;
        }
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        m_name = std::string_view(n);
        m_ino = e->d_ino;
        m_type = typeOfDType(e->d_type);
        if (m_type == EntryType::Unknown) {
            struct stat st{};
            // An entry that vanished in between stays Unknown; stat() will then report it.
            if (::fstatat(::dirfd(m_dir), n, &st, AT_SYMLINK_NOFOLLOW) == 0)
                m_type = typeOfMode(st.st_mode);
        }
        return true;
    }
}

bool DirEnumerator::stat(FileStat& out) const {
    if (!m_dir || m_name.empty()) {
        errno = EINVAL;
        return false;
    }
    return statAt(::dirfd(m_dir), m_name.data(), out);
}

bool DirEnumerator::statAt(int dirFd, const char* name, FileStat& out) {
    if (statxAvailable) {
        struct statx sx{};
        const unsigned mask = STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_ATIME | STATX_MTIME |
                              STATX_CTIME | STATX_BTIME;
        if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, mask, &sx) == 0) {
            out = fromStatx(sx);
            return true;
        }
        if (errno != ENOSYS && errno != EPERM)
            return false;
        statxAvailable = false;
    }
    struct stat st{};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    FileStat r;
    r.size = static_cast<uint64_t>(st.st_size);
    r.lastWrite = st.st_mtim;
    r.lastAccess = st.st_atim;
    r.creation = st.st_ctim;
    r.mode = st.st_mode;
    r.dev = st.st_dev;
    r.ino = st.st_ino;
    out = r;
    return true;
}

FileStat DirEnumerator::fromStatx(const struct statx& sx) {
    FileStat r;
    r.size = sx.stx_size;
    r.lastWrite = toTimespec(sx.stx_mtime);
    r.lastAccess = toTimespec(sx.stx_atime);
    r.hasBirthTime = (sx.stx_mask & STATX_BTIME) != 0;
    r.creation = toTimespec(r.hasBirthTime ? sx.stx_btime : sx.stx_ctime);
    r.mode = sx.stx_mode;
    r.dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    r.ino = sx.stx_ino;
    return r;
}

DirEnumerator::EntryType DirEnumerator::typeOfMode(uint32_t mode) {
    switch (mode & S_IFMT) {
    case S_IFREG: return EntryType::File;
    case S_IFDIR: return EntryType::Folder;
    case S_IFLNK: return EntryType::Symlink;
    case S_IFIFO: return EntryType::Fifo;
    case S_IFSOCK: return EntryType::Socket;
    case S_IFCHR: return EntryType::CharDevice;
    case S_IFBLK: return EntryType::BlockDevice;
    default: return EntryType::Unknown;
    }
}

uint32_t DirEnumerator::attributesOf(const FileStat& st, std::string_view name) {
    uint32_t attrs = 0;
    switch (typeOfMode(st.mode)) {
    case EntryType::Folder: attrs |= kAttrDirectory; break;
    case EntryType::Symlink: attrs |= kAttrReparsePoint; break;
    case EntryType::Fifo:
    case EntryType::Socket:
    case EntryType::CharDevice:
    case EntryType::BlockDevice: attrs |= kAttrSystem; break;
    default: break;
    }
    if (!name.empty() && name.front() == '.')
        attrs |= kAttrHidden;
    if ((st.mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attrs |= kAttrReadOnly;
    return attrs;
}

uint64_t DirEnumerator::walkSizeOf(const FileStat& st) { return S_ISDIR(st.mode) ? 0 : st.size; }

void DirEnumerator::fileTimesOf(const FileStat& st, FILETIME& creation, FILETIME& lastAccess, FILETIME& lastWrite) {
    const timespec in[3] = {st.creation, st.lastAccess, st.lastWrite};
    FILETIME out[3];
    FileTimeConvert::fromTimespecs(in, out, 3);
    creation = out[0];
    lastAccess = out[1];
    lastWrite = out[2];
}
