#include "archive/ArchiveFileTime.h"

namespace {
constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kEpochDifferenceSeconds = 11644473600;   // 1601-01-01 to 1970-01-01
}  // namespace

int64_t ArchiveFileTime::unixSeconds() const {
    return static_cast<int64_t>(ticks / kTicksPerSecond) - kEpochDifferenceSeconds;
}

uint32_t ArchiveFileTime::unixNanoseconds() const {
    const uint32_t ns = static_cast<uint32_t>(ticks % kTicksPerSecond) * 100;
    return precision == PREC_1NS && nanoRemainder < 100 ? ns + nanoRemainder : ns;
}
