#include "archive/InFileStream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace crateview {

InFileStream* InFileStream::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    // A FIFO or device could block forever or never end; archives are regular files.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return new (std::nothrow) InFileStream(fd);
}

InFileStream::~InFileStream() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void InFileStream::findBase(const GUID& riid, void** out) noexcept {
    if (riid == ISequentialInStream::iid)
        *out = static_cast<ISequentialInStream*>(this);
}

HRESULT InFileStream::Read(void* data, uint32_t size, uint32_t* processed) noexcept {
    if (processed)
        *processed = 0;
    if (size == 0)
        return S_OK;
    if (m_position > static_cast<uint64_t>(INT64_MAX))
        return S_OK;
    ssize_t n;
    do {
        n = ::pread(m_fd, data, size, static_cast<off_t>(m_position));
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return E_FAIL;
    m_position += static_cast<uint64_t>(n);
    if (processed)
        *processed = static_cast<uint32_t>(n);
    return S_OK;
}

HRESULT InFileStream::Seek(int64_t offset, uint32_t origin, uint64_t* newPosition) noexcept {
    int64_t base = 0;
    switch (origin) {
    case 0: base = 0; break;
    case 1: base = static_cast<int64_t>(m_position); break;
    case 2: {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0)
            return E_FAIL;
        base = st.st_size;
        break;
    }
    default: return E_INVALIDARG;
    }
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0)
        return static_cast<HRESULT>(0x80030019u);   // STG_E_SEEKERROR: before the start
    m_position = static_cast<uint64_t>(base + offset);
    if (newPosition)
        *newPosition = m_position;
    return S_OK;
}

HRESULT InFileStream::GetSize(uint64_t* size) noexcept {
    struct stat st {};
    if (!size || ::fstat(m_fd, &st) != 0)
        return E_FAIL;
    *size = static_cast<uint64_t>(st.st_size);
    return S_OK;
}

}  // namespace crateview
