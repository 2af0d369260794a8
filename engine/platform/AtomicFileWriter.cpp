#include "platform/AtomicFileWriter.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/UniqueFd.h"

namespace {

constexpr size_t kNameMax = 255;
constexpr std::string_view kTempMarker = ".~tmp";
constexpr int kSuffixLength = 6;

std::string randomSuffix() {
    static std::atomic<uint64_t> counter{0};
    uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        bits = static_cast<uint64_t>(ts.tv_nsec) ^ (static_cast<uint64_t>(::getpid()) << 32) ^
               (counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL);
    }
    static const char digits[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string s;
    for (int i = 0; i < kSuffixLength; ++i) {
        s += digits[bits % 62];
        bits /= 62;
    }
    return s;
}

// "<folder>/.<name>.~tmp" with the name shortened so that the whole temporary name, with
// its random suffix, still fits the 255-byte limit of one path component.
std::string temporaryPrefix(const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const size_t room = kNameMax - 1 - kTempMarker.size() - kSuffixLength;
    if (name.size() > room)
        name.resize(room);
    return folder + "." + name + std::string(kTempMarker);
}

void syncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());   // some file systems refuse fsync on folders; the rename is done either way
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() { abandon(); }

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : m_fd(std::move(other.m_fd)), m_error(other.m_error), m_target(std::move(other.m_target)),
      m_temp(std::move(other.m_temp)) {
    other.reset();
}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
    if (this != &other) {
        abandon();
        m_fd = std::move(other.m_fd);
        m_error = other.m_error;
        m_target = std::move(other.m_target);
        m_temp = std::move(other.m_temp);
        other.reset();
    }
    return *this;
}

void AtomicFileWriter::reset() {
    m_fd.reset();
    m_error = 0;
    m_target.clear();
    m_temp.clear();
}

bool AtomicFileWriter::followLinks(const std::string& path, std::string& end) {
    end = path;
    for (int links = 0; links <= 40; ++links) {
        struct stat st{};
        if (::lstat(end.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;  // a missing end is created by the write
        std::string to(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(end.c_str(), to.data(), to.size());
        if (n < 0)
            return false;
        if (static_cast<size_t>(n) >= to.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        to.resize(static_cast<size_t>(n));
        if (to.empty()) {
            errno = ENOENT;
            return false;
        }
        if (to.front() != '/') {
            const size_t slash = end.rfind('/');
            to = (slash == std::string::npos ? std::string() : end.substr(0, slash + 1)) + to;
        }
        end = std::move(to);
    }
    errno = ELOOP;
    return false;
}

bool AtomicFileWriter::open(const std::string& requestedPath, Links links) {
    abandon();
    std::string targetPath = requestedPath;
    if (links == Links::Follow && !followLinks(requestedPath, targetPath))
        return false;
    if (targetPath.empty() || targetPath.back() == '/') {
        errno = EISDIR;
        return false;
    }
    // mkstemp would create the file 0600 and the umask cannot be read without changing it
    // (not thread-safe), so the unique name is made here and the kernel applies the umask.
    const std::string prefix = temporaryPrefix(targetPath);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = prefix + randomSuffix();
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        struct stat existing{};
        if (::stat(targetPath.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
            ::fchmod(fd, existing.st_mode & 07777);
        m_fd.reset(fd);
        m_error = 0;
        m_target = targetPath;
        m_temp = std::move(temp);
        return true;
    }
    errno = EEXIST;
    return false;
}

bool AtomicFileWriter::write(const void* data, size_t size) {
    if (!m_fd.valid()) {
        errno = EBADF;
        return false;
    }
    if (m_error != 0) {
        errno = m_error;
        return false;
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd.get(), p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool AtomicFileWriter::commit(Durability durability) {
    if (!m_fd.valid()) {
        errno = EBADF;
        return false;
    }
    int error = m_error;
    if (error == 0 && durability == Durability::Flushed && ::fsync(m_fd.get()) != 0)
        error = errno;
    if (::close(m_fd.release()) != 0 && error == 0)   // a network file system may report a write error here
        error = errno;
    if (error == 0 && ::rename(m_temp.c_str(), m_target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(m_temp.c_str());
        reset();
        errno = error;
        return false;
    }
    if (durability == Durability::Flushed)
        syncFolderOf(m_target);
    reset();
    return true;
}

void AtomicFileWriter::abandon() {
    if (m_fd.valid()) {
        m_fd.reset();
        ::unlink(m_temp.c_str());
    }
    reset();
}
