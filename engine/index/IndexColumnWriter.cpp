#include "index/IndexColumnWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

IndexColumnWriter::~IndexColumnWriter() = default;

bool IndexColumnWriter::open(const std::string& path) {
    if (m_fd.valid())
        close();
    m_failed = false;
    m_used = 0;
    m_crc = Tool_CRC32();
    m_written = 0;
    if (!m_buffer)
        m_buffer = std::make_unique<uint8_t[]>(BUFFER_SIZE);
    m_fd.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!m_fd.valid())
        m_failed = true;
    return m_fd.valid();
}

bool IndexColumnWriter::writeSlow(const void* data, size_t size) {
    if (m_failed || !m_fd.valid())
        return m_failed = true, false;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (!flush())
        return false;
    if (size > BUFFER_SIZE)   // larger than the buffer: straight through
        return writeAllOf(p, size);
    if (size)
        std::memcpy(m_buffer.get(), p, size);
    m_used = size;
    return true;
}

bool IndexColumnWriter::writeAllOf(const uint8_t* p, size_t size) {
    m_crc.update(p, size);
    m_written += size;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(m_fd.get(), p + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_failed = true;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool IndexColumnWriter::flush() {
    const size_t used = m_used;
    m_used = 0;
    return used == 0 || writeAllOf(m_buffer.get(), used);
}

bool IndexColumnWriter::close() {
    if (!m_fd.valid())
        return !m_failed;
    if (!m_failed && !flush())
        m_failed = true;
    if (!m_failed && ::fsync(m_fd.get()) != 0)
        m_failed = true;
    if (::close(m_fd.release()) != 0)   // a late write error may be reported here
        m_failed = true;
    m_used = 0;
    m_buffer.reset();
    return !m_failed;
}
