#include "content/PdfTextCache.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "content/CT_PDF.h"
#include "platform/AtomicFileWriter.h"
#include "platform/CArchive.h"
#include "platform/XdgFolders.h"
#include "tools/Tool_CRC32.h"

namespace {

constexpr char kMagic[8] = {'Q', 'D', 'P', 'D', 'F', 'T', 'X', '1'};

void storeKey(CArchive& ar, const PdfTextCache::Key& key) {
    ar.writeU64(key.device);
    ar.writeU64(key.inode);
    ar.writeU64(key.size);
    ar.writeU64(uint64_t(key.mtimeSeconds));
    ar.writeU64(uint64_t(key.mtimeNanoseconds));
    ar.writeU64(uint64_t(key.ctimeSeconds));
    ar.writeU64(uint64_t(key.ctimeNanoseconds));
}

PdfTextCache::Key loadKey(CArchive& ar) {
    PdfTextCache::Key key;
    key.device = ar.readU64();
    key.inode = ar.readU64();
    key.size = ar.readU64();
    key.mtimeSeconds = int64_t(ar.readU64());
    key.mtimeNanoseconds = int64_t(ar.readU64());
    key.ctimeSeconds = int64_t(ar.readU64());
    key.ctimeNanoseconds = int64_t(ar.readU64());
    return key;
}

uint32_t crcOf(std::string_view text) {
    Tool_CRC32 crc;
    crc.update(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return crc.value();
}

bool readFully(int fd, char* into, size_t length, off_t at) {
    size_t have = 0;
    while (have < length) {
        const ssize_t n = ::pread(fd, into + have, length - have, at + off_t(have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        have += size_t(n);
    }
    return true;
}

// Entry files and the temporaries of unfinished writes: everything the cache itself puts
// in its folder. Other files are left alone and not counted.
bool isCacheFile(const char* name) {
    const size_t n = std::strlen(name);
    if (n == 32)
        return std::strspn(name, "0123456789abcdef") == 32;
    return n > 34 && name[0] == '.' && std::strspn(name + 1, "0123456789abcdef") == 32 &&
           std::strncmp(name + 33, ".~tmp", 5) == 0;
}

int64_t nanosecondsOf(int64_t seconds, int64_t nanoseconds) { return seconds * 1'000'000'000 + nanoseconds; }

}  // namespace

PdfTextCache::Key PdfTextCache::Key::of(const struct stat& st) {
    Key key;
    key.device = uint64_t(st.st_dev);
    key.inode = uint64_t(st.st_ino);
    key.size = uint64_t(st.st_size);
    key.mtimeSeconds = int64_t(st.st_mtim.tv_sec);
    key.mtimeNanoseconds = int64_t(st.st_mtim.tv_nsec);
    key.ctimeSeconds = int64_t(st.st_ctim.tv_sec);
    key.ctimeNanoseconds = int64_t(st.st_ctim.tv_nsec);
    return key;
}

std::string PdfTextCache::defaultFolder() { return XdgFolders::programCacheFolder() + "/pdftext"; }

std::string PdfTextCache::entryName(const Key& key) {
    char name[40];
    std::snprintf(name, sizeof name, "%016llx%016llx", static_cast<unsigned long long>(key.device),
                  static_cast<unsigned long long>(key.inode));
    return name;
}

PdfTextCache::PdfTextCache(const Options& options)
    : m_path(options.folder.empty() ? defaultFolder() : options.folder),
      m_maxBytes(options.maxBytes),
      m_settle(options.settleNanoseconds) {
    while (m_path.size() > 1 && m_path.back() == '/')
        m_path.pop_back();
}

bool PdfTextCache::isOpen() const {
    std::call_once(m_opened, [this] { openFolder(); });
    return m_folder.valid();
}

int PdfTextCache::openError() const {
    isOpen();
    return m_openError;
}

void PdfTextCache::openFolder() const {
    const size_t slash = m_path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !XdgFolders::ensureFolder(m_path.substr(0, slash))) {
        m_openError = errno ? errno : ENOENT;
        return;
    }
    if (::mkdir(m_path.c_str(), 0700) != 0 && errno != EEXIST) {
        m_openError = errno;
        return;
    }
    // O_NOFOLLOW: a link in place of the folder is refused, not followed.
    UniqueFd fd(::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) {
        m_openError = errno;
        return;
    }
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0) {
        m_openError = errno;
        return;
    }
    if (st.st_uid != ::geteuid()) {
        m_openError = EPERM;
        return;
    }
    if ((st.st_mode & 077) != 0 && ::fchmod(fd.get(), 0700) != 0) {
        m_openError = errno;
        return;
    }
    m_folder = std::move(fd);
}

bool PdfTextCache::lookup(const Key& key, std::string& text) const {
    if (!isOpen())
        return false;
    const std::string name = entryName(key);
    const UniqueFd fd(::openat(m_folder.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid())
        return false;
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || uint64_t(st.st_size) < HEADER_BYTES)
        return false;
    char header[HEADER_BYTES];
    if (!readFully(fd.get(), header, sizeof header, 0))
        return false;
    CArchive ar(reinterpret_cast<const uint8_t*>(header), sizeof header);
    char magic[sizeof kMagic];
    ar.readBytes(magic, sizeof magic);
    const Key stored = loadKey(ar);
    const uint64_t length = ar.readU64();
    const uint32_t checksum = ar.readU32();
    if (!ar.ok() || std::memcmp(magic, kMagic, sizeof kMagic) != 0 || !(stored == key) ||
        length > CT_PDF::MAX_TEXT_BYTES || length != uint64_t(st.st_size) - HEADER_BYTES)
        return false;
    std::string body(size_t(length), '\0');
    if (!readFully(fd.get(), body.data(), body.size(), off_t(HEADER_BYTES)) || crcOf(body) != checksum)
        return false;
    text = std::move(body);
    return true;
}

bool PdfTextCache::store(const Key& key, std::string_view text) {
    if (!isOpen() || text.size() > m_maxBytes / 8)
        return false;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    if (nanosecondsOf(now.tv_sec, now.tv_nsec) - nanosecondsOf(key.ctimeSeconds, key.ctimeNanoseconds) < m_settle)
        return false;

    std::vector<uint8_t> header;
    header.reserve(HEADER_BYTES);
    CArchive ar(header);
    ar.writeBytes(kMagic, sizeof kMagic);
    storeKey(ar, key);
    ar.writeU64(text.size());
    ar.writeU32(crcOf(text));
    const uint64_t entryBytes = HEADER_BYTES + text.size();

    const std::string name = entryName(key);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        struct stat old{};
        if (::fstatat(m_folder.get(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && m_counted)
            m_total -= std::min<uint64_t>(m_total, uint64_t(old.st_size));
        makeRoom(entryBytes);
        m_total += entryBytes;   // counted before the write: two threads never both fill the room
    }
    AtomicFileWriter writer;
    const bool ok = writer.open(m_path + "/" + name) && writer.write(header.data(), header.size()) &&
                    writer.write(text.data(), text.size()) &&
                    writer.commit(AtomicFileWriter::Durability::Renamed);   // entries are checked when read
    if (!ok) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_total -= std::min<uint64_t>(m_total, entryBytes);
    }
    return ok;
}

uint64_t PdfTextCache::countEntries() const {
    uint64_t total = 0;
    const int fd = ::openat(m_folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return 0;
    }
    while (const dirent* e = ::readdir(dir)) {
        struct stat st{};
        if (isCacheFile(e->d_name) && ::fstatat(m_folder.get(), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode))
            total += uint64_t(st.st_size);
    }
    ::closedir(dir);
    return total;
}

void PdfTextCache::makeRoom(uint64_t incoming) {
    if (!m_counted) {
        m_total = countEntries();
        m_counted = true;
    }
    if (m_total + incoming <= m_maxBytes)
        return;
    const uint64_t goal = m_maxBytes - m_maxBytes / 8;
    struct Entry {
        std::string name;
        int64_t written;
        uint64_t bytes;
    };
    std::vector<Entry> entries;
    uint64_t total = 0;
    const int fd = ::openat(m_folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    while (const dirent* e = ::readdir(dir)) {
        struct stat st{};
        if (!isCacheFile(e->d_name) || ::fstatat(m_folder.get(), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        entries.push_back({e->d_name, nanosecondsOf(st.st_mtim.tv_sec, st.st_mtim.tv_nsec), uint64_t(st.st_size)});
        total += uint64_t(st.st_size);
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.written != b.written ? a.written < b.written : a.name < b.name;
    });
    for (const Entry& entry : entries) {
        if (total + incoming <= goal)
            break;
        if (::unlinkat(m_folder.get(), entry.name.c_str(), 0) == 0 || errno == ENOENT)
            total -= entry.bytes;
    }
    m_total = total;
}
