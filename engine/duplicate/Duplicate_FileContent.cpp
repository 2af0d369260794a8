#include "duplicate/Duplicate_FileContent.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Event.h"
#include "records/Data_FileItem.h"
#include "tools/Tool_CRC32.h"
#include "tools/Tool_MD5.h"
#include "platform/UniqueFd.h"

namespace {

class FileHandle {
public:
    // Non-blocking open: a FIFO among the candidates must not wait for a writer.
    explicit FileHandle(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)),
          m_openError(m_fd.valid() ? 0 : errno) {
        if (m_fd.valid())
            ::posix_fadvise(m_fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    }

    bool isOpen() const { return m_fd.valid(); }
    // The errno of a failed open, else 0.
    int openError() const { return m_openError; }
    // Length of a regular file; false for anything else (a folder, a FIFO, a device).
    bool regularSize(uint64_t& size) const {
        struct stat st {};
        if (::fstat(m_fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        size = static_cast<uint64_t>(st.st_size);
        return true;
    }
    // Fills up to `length` bytes, stopping early only at the end of the file; -1 on error.
    ssize_t readFull(uint8_t* buffer, size_t length) const {
        size_t done = 0;
        while (done < length) {
            const ssize_t n = ::read(m_fd.get(), buffer + done, length - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return -1;
            }
            if (n == 0)
                break;
            done += static_cast<size_t>(n);
        }
        return static_cast<ssize_t>(done);
    }

private:
    UniqueFd m_fd;
    int m_openError;
};

// Buffers sized to the file (one byte more, so growth shows), at most one block.
size_t bufferSizeFor(uint64_t size) {
    return size >= Duplicate_FileContent::kBlockSize ? Duplicate_FileContent::kBlockSize
                                                     : static_cast<size_t>(size) + 1;
}

bool stopped(const Event* stop) { return stop && stop->isSet(); }

inline uint64_t rotl(uint64_t v, int r) { return (v << r) | (v >> (64 - r)); }

// Word-at-a-time mixing hash; only ever compared with itself, never stored.
class ContentHash {
public:
    void add(const uint8_t* data, size_t length) {
        m_length += length;
        size_t i = 0;
        for (; i + 8 <= length; i += 8) {
            uint64_t w;
            std::memcpy(&w, data + i, 8);
            m_h = rotl(m_h ^ (w * kMul1), 29) * kMul2;
        }
        for (; i < length; ++i)
            m_h = (m_h ^ data[i]) * kMul3;
    }
    uint64_t value() const {
        uint64_t h = m_h ^ m_length;
        h ^= h >> 33;
        h *= kMul1;
        h ^= h >> 29;
        return h;
    }

private:
    static constexpr uint64_t kMul1 = 0x9E3779B97F4A7C15ull;
    static constexpr uint64_t kMul2 = 0xC2B2AE3D27D4EB4Full;
    static constexpr uint64_t kMul3 = 0x100000001B3ull;
    uint64_t m_h = 0x84222325CBF29CE4ull;
    uint64_t m_length = 0;
};

// Feeds the first `limit` bytes of a regular file to `consume` through one buffer sized to
// the file (at most a block, never zero-filled). False when it cannot be opened or read;
// `error` (when given) then holds the errno of an open or read that failed, else 0.
template <typename Consume>
bool streamRegularFile(const std::string& path, uint64_t limit, const Event* stop, int* error, Consume&& consume) {
    if (error)
        *error = 0;
    FileHandle f(path);
    uint64_t size = 0;
    if (!f.isOpen()) {
        if (error)
            *error = f.openError();
        return false;
    }
    if (!f.regularSize(size))
        return false;
    const size_t block = bufferSizeFor(size < limit ? size : limit);
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[block]);
    uint64_t done = 0;
    while (done < limit) {
        if (stopped(stop))
            return false;
        const uint64_t left = limit - done;
        const ssize_t n = f.readFull(buffer.get(), left < block ? static_cast<size_t>(left) : block);
        if (n < 0) {
            if (error)
                *error = errno;
            return false;
        }
        if (n == 0)
            break;
        consume(buffer.get(), static_cast<size_t>(n));
        done += static_cast<uint64_t>(n);
    }
    return true;
}

}  // namespace

bool Duplicate_FileContent::equalFiles(const std::string& a, const std::string& b, const Event* stop) {
    FileHandle fa(a), fb(b);
    uint64_t sizeA = 0, sizeB = 0;
    if (!fa.isOpen() || !fb.isOpen() || !fa.regularSize(sizeA) || !fb.regularSize(sizeB) || sizeA != sizeB)
        return false;
    const size_t block = bufferSizeFor(sizeA);
    std::unique_ptr<uint8_t[]> bufA(new uint8_t[block]), bufB(new uint8_t[block]);
    uint64_t total = 0;
    for (;;) {
        if (stopped(stop))
            return false;
        const ssize_t nA = fa.readFull(bufA.get(), block);
        if (nA < 0)
            return false;
        const ssize_t nB = fb.readFull(bufB.get(), block);
        if (nB != nA)
            return false;
        if (nA == 0)
            break;
        if (std::memcmp(bufA.get(), bufB.get(), static_cast<size_t>(nA)) != 0)
            return false;
        total += static_cast<uint64_t>(nA);
        if (total > sizeA)
            return false;   // both grew alike while being read: not the files that were sized
    }
    return total == sizeA;
}

bool Duplicate_FileContent::hashFile(const std::string& file, uint64_t limit, uint64_t& hash, const Event* stop,
                                     int* error) {
    ContentHash h;
    if (!streamRegularFile(file, limit, stop, error, [&](const uint8_t* p, size_t n) { h.add(p, n); }))
        return false;
    hash = h.value();
    return true;
}

// The checksums are those of Tool_Resource (the same algorithm objects); the file is
// streamed here through a buffer sized to it, which matters for many small files.
bool Duplicate_FileContent::fileCRC32(const std::string& file, uint32_t& crc, const Event* stop, int* error) {
    Tool_CRC32 checksum;
    if (!streamRegularFile(file, UINT64_MAX, stop, error, [&](const uint8_t* p, size_t n) { checksum.update(p, n); }))
        return false;
    crc = checksum.value();
    return true;
}

bool Duplicate_FileContent::itemCRC32(Data_FileItem& item, uint32_t& crc) {
    if (item.m_dwCRC32 != 0) {
        crc = item.m_dwCRC32;
        return true;
    }
    if (!fileCRC32(item.getFullFileName(), crc))
        return false;
    item.m_dwCRC32 = crc;   // a genuine 0 stays "not computed", as the item's cache has it
    return true;
}

bool Duplicate_FileContent::fileMD5(const std::string& file, uint8_t digest[16], const Event* stop, int* error) {
    Tool_MD5 digester;
    if (!streamRegularFile(file, UINT64_MAX, stop, error, [&](const uint8_t* p, size_t n) { digester.update(p, n); }))
        return false;
    digester.finish(digest);
    return true;
}

bool Duplicate_FileContent::itemMD5(Data_FileItem& item, uint8_t digest[16]) {
    if (item.m_md5[0] == 0 && !fileMD5(item.getFullFileName(), item.m_md5))
        return false;
    std::memcpy(digest, item.m_md5, 16);
    return true;
}
