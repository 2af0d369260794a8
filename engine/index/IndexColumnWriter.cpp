#include "index/IndexColumnWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

IndexColumnWriter::~IndexColumnWriter() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool IndexColumnWriter::open(const std::string& path) {
    if (m_fd >= 0)
        close();
    m_failed = false;
    m_buffer.clear();
    m_buffer.reserve(BUFFER_SIZE);
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (m_fd < 0)
        m_failed = true;
    return m_fd >= 0;
}

bool IndexColumnWriter::write(const void* data, size_t size) {
    if (m_failed || m_fd < 0)
        return m_failed = true, false;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (m_buffer.size() + size > BUFFER_SIZE) {
        if (!flush())
            return false;
        if (size > BUFFER_SIZE) {   // larger than the buffer: straight through
            m_buffer.assign(p, p + size);
            return flush();
        }
    }
    m_buffer.insert(m_buffer.end(), p, p + size);
    return true;
}

bool IndexColumnWriter::writeU32(uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    return write(b, 4);
}

bool IndexColumnWriter::writeU64(uint64_t v) {
    return writeU32(static_cast<uint32_t>(v)) && writeU32(static_cast<uint32_t>(v >> 32));
}

bool IndexColumnWriter::flush() {
    size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_failed = true;
            m_buffer.clear();
            return false;
        }
        done += static_cast<size_t>(n);
    }
    m_buffer.clear();
    return true;
}

bool IndexColumnWriter::close() {
    if (m_fd < 0)
        return !m_failed;
    if (!m_failed)
        flush();
    if (::close(m_fd) != 0)
        m_failed = true;
    m_fd = -1;
    m_buffer = {};
    return !m_failed;
}
