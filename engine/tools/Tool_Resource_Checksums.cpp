// Tool_Resource: CRC-32 and MD5 of memory blocks and of whole files.
//
// Files are streamed in fixed blocks, so any size is checksummed completely with bounded
// memory. Only regular files are read: a FIFO or a device could block or never end.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/RegularFile.h"
#include "tools/Tool_CRC32.h"
#include "tools/Tool_MD5.h"
#include "tools/Tool_Resource.h"
#include "platform/UniqueFd.h"

namespace {

constexpr size_t kBlockSize = 256 * 1024;

// One read buffer per thread, allocated once and never zero-filled: checksumming many small
// files must not clear 256 KiB for each of them.
uint8_t* threadBlock() {
    thread_local const std::unique_ptr<uint8_t[]> block(new uint8_t[kBlockSize]);
    return block.get();
}

// Feeds every byte of the regular file to `consume`; false when it cannot be opened or a
// read fails.
bool streamFile(const std::string& file, const std::function<void(const uint8_t*, size_t)>& consume) {
    const UniqueFd fd(RegularFile::openForReading(file));
    if (!fd.valid())
        return false;
    uint8_t* const block = threadBlock();
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd.get(), block, kBlockSize);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            ok = false;
            break;
        }
        if (n == 0)
            break;
        consume(block, static_cast<size_t>(n));
    }
    return ok;
}

}  // namespace

uint32_t Tool_Resource::checkCRC32(const uint8_t* data, size_t length) {
    if (!data)
        return 0;
    Tool_CRC32 crc;
    crc.update(data, length);
    return crc.value();
}

bool Tool_Resource::checkFileCRC32(const std::string& file, uint32_t& crcOut) {
    Tool_CRC32 crc;
    if (!streamFile(file, [&](const uint8_t* p, size_t n) { crc.update(p, n); }))
        return false;
    crcOut = crc.value();
    return true;
}

uint32_t Tool_Resource::checkFileCRC32(const std::string& file) {
    uint32_t crc = 0;
    return checkFileCRC32(file, crc) ? crc : 0;
}

void Tool_Resource::checkMD5(const uint8_t* data, size_t length, uint8_t digest[16]) {
    Tool_MD5 md5;
    if (data)
        md5.update(data, length);
    md5.finish(digest);
}

bool Tool_Resource::checkFileMD5(const std::string& file, uint8_t digest[16]) {
    Tool_MD5 md5;
    if (!streamFile(file, [&](const uint8_t* p, size_t n) { md5.update(p, n); }))
        return false;
    md5.finish(digest);
    return true;
}

int Tool_Resource::compareMD5Value(const uint8_t* a, const uint8_t* b) {
    for (int i = 0; i < 16; ++i) {
        if (a[i] != b[i])
            return a[i] > b[i] ? 1 : -1;
    }
    return 0;
}
