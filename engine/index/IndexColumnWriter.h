#pragma once
// Append-only buffered writer of one index column file. Errors stick: after the first
// failed open or write every call returns false and close() reports the failure, so a
// caller may write a whole run and check once. Not copyable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class IndexColumnWriter {
public:
    static constexpr size_t BUFFER_SIZE = 64 * 1024;

    IndexColumnWriter() = default;
    ~IndexColumnWriter();
    IndexColumnWriter(const IndexColumnWriter&) = delete;
    IndexColumnWriter& operator=(const IndexColumnWriter&) = delete;

    // Creates (truncating) the file, readable by the owner only.
    bool open(const std::string& path);
    bool isOpen() const { return m_fd >= 0; }
    bool ok() const { return !m_failed; }
    // Marks the run as failed (a record the format cannot express).
    void fail() { m_failed = true; }
    bool write(const void* data, size_t size);
    bool writeU32(uint32_t v);
    bool writeU64(uint64_t v);
    // Flushes and closes; false when any write (or the close) failed. Closing a writer
    // that is not open returns ok().
    bool close();

private:
    bool flush();

    int m_fd = -1;
    bool m_failed = false;
    std::vector<uint8_t> m_buffer;
};
