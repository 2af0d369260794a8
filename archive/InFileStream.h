#pragma once
// The input stream a handler reads an archive from: a file descriptor read with pread at
// the stream's own position (so several streams over one descriptor never disturb each
// other). Owns the descriptor.
#include <string>

#include "archive/ComObject.h"

namespace crateview {

class InFileStream final : public ComObject<InFileStream, IInStream, IStreamGetSize> {
public:
    // Opens the file read-only; null when it cannot be opened or is not a regular file.
    static InFileStream* open(const std::string& path);
    // Takes over an open descriptor.
    explicit InFileStream(int fd) : m_fd(fd) {}
    ~InFileStream();

    HRESULT Read(void* data, uint32_t size, uint32_t* processed) noexcept override;
    HRESULT Seek(int64_t offset, uint32_t origin, uint64_t* newPosition) noexcept override;
    HRESULT GetSize(uint64_t* size) noexcept override;

protected:
    void findBase(const GUID& riid, void** out) noexcept override;

private:
    int m_fd = -1;
    uint64_t m_position = 0;
};

}  // namespace crateview
