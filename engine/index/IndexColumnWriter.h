#pragma once
// Append-only buffered writer of one index column file. Errors stick: after the first
// failed open or write every call returns false and close() reports the failure, so a
// caller may write a whole run and check once. close() flushes the bytes to disk (fsync)
// before it reports success, so a committed column survives a power loss. The writer
// keeps the CRC-32 and the count of the bytes it wrote (the generation record names them).
// Not copyable.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "platform/UniqueFd.h"
#include "tools/Tool_CRC32.h"

class IndexColumnWriter {
public:
    static constexpr size_t BUFFER_SIZE = 64 * 1024;

    IndexColumnWriter() = default;
    ~IndexColumnWriter();
    IndexColumnWriter(const IndexColumnWriter&) = delete;
    IndexColumnWriter& operator=(const IndexColumnWriter&) = delete;

    // Creates (truncating) the file, readable by the owner only.
    bool open(const std::string& path);
    bool isOpen() const { return m_fd.valid(); }
    bool ok() const { return !m_failed; }
    // Marks the run as failed (a record the format cannot express).
    void fail() { m_failed = true; }
    bool write(const void* data, size_t size) {
        // The common case (open, no error, room left) copies into the buffer only.
        if (size <= BUFFER_SIZE - m_used && m_fd.valid() && !m_failed) {
            if (size)   // an empty string's data() may be null
                std::memcpy(m_buffer.get() + m_used, data, size);
            m_used += size;
            return true;
        }
        return writeSlow(data, size);
    }
    bool writeU32(uint32_t v) {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        return write(b, 4);
    }
    bool writeU64(uint64_t v) {
        const uint8_t b[8] = {uint8_t(v),       uint8_t(v >> 8),  uint8_t(v >> 16), uint8_t(v >> 24),
                              uint8_t(v >> 32), uint8_t(v >> 40), uint8_t(v >> 48), uint8_t(v >> 56)};
        return write(b, 8);
    }
    // Flushes, syncs and closes; false when any write, the sync or the close failed.
    // Closing a writer that is not open returns ok().
    bool close();
    // CRC-32 and number of the bytes written since open() (complete after close()).
    uint32_t crc() const { return m_crc.value(); }
    uint64_t bytesWritten() const { return m_written; }

private:
    bool writeSlow(const void* data, size_t size);
    bool writeAllOf(const uint8_t* p, size_t size);
    bool flush();

    UniqueFd m_fd;
    bool m_failed = false;
    std::unique_ptr<uint8_t[]> m_buffer;   // BUFFER_SIZE bytes while open
    size_t m_used = 0;
    Tool_CRC32 m_crc;
    uint64_t m_written = 0;
};
