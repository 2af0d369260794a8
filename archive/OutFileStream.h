#pragma once
// The output stream a handler writes one member into: a file descriptor, owned until
// finish() or destruction. Writes after finish(), after a failed write or once the cancel
// flag is set are refused, so a handler holding the stream too long can never write into a
// descriptor that was reused.
#include <atomic>

#include "archive/ComObject.h"

namespace crateview {

class OutFileStream final : public ComObject<OutFileStream, ISequentialOutStream> {
public:
    OutFileStream(int fd, const std::atomic<bool>* cancel) : m_fd(fd), m_cancel(cancel) {}
    ~OutFileStream();

    HRESULT Write(const void* data, uint32_t size, uint32_t* processed) noexcept override;

    int fd() const { return m_fd; }
    bool failed() const { return m_failed; }
    // Closes the descriptor; false when closing reported an error (data not written).
    bool finish();

private:
    int m_fd = -1;
    const std::atomic<bool>* m_cancel = nullptr;
    bool m_failed = false;
};

}  // namespace crateview
