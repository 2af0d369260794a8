#include "archive/OutFileStream.h"

#include <cerrno>
#include <unistd.h>

namespace crateview {

OutFileStream::~OutFileStream() { finish(); }

bool OutFileStream::finish() {
    if (m_fd < 0)
        return !m_failed;
    const bool ok = ::close(m_fd) == 0;
    m_fd = -1;
    if (!ok)
        m_failed = true;
    return !m_failed;
}

HRESULT OutFileStream::Write(const void* data, uint32_t size, uint32_t* processed) noexcept {
    if (processed)
        *processed = 0;
    if (m_cancel && m_cancel->load(std::memory_order_relaxed))
        return E_ABORT;
    if (m_fd < 0 || m_failed)
        return E_FAIL;
    const char* p = static_cast<const char*>(data);
    uint32_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(m_fd, p + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_failed = true;
            if (processed)
                *processed = done;
            return E_FAIL;
        }
        done += static_cast<uint32_t>(n);
    }
    if (processed)
        *processed = done;
    return S_OK;
}

}  // namespace crateview
