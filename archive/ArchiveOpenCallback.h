#pragma once
// The callback passed to every open. Some handlers use it unconditionally, so it is always
// given; it asks for nothing and offers no password (an archive with encrypted names fails
// to open).
#include "archive/ComObject.h"

namespace crateview {

class ArchiveOpenCallback final : public ComObject<ArchiveOpenCallback, IArchiveOpenCallback> {
public:
    HRESULT SetTotal(const uint64_t*, const uint64_t*) noexcept override { return S_OK; }
    HRESULT SetCompleted(const uint64_t*, const uint64_t*) noexcept override { return S_OK; }
};

}  // namespace crateview
