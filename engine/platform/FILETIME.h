#pragma once
// The internal file time: a 64-bit count of 100-nanosecond ticks since 1601-01-01,
// held in local time (stored formats keep it that way). Split in two 32-bit halves
// because that is how result files and index caches store it.
#include <cstdint>

struct FILETIME {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;

    uint64_t toU64() const { return (static_cast<uint64_t>(dwHighDateTime) << 32) | dwLowDateTime; }
    static FILETIME fromU64(uint64_t ticks) {
        return FILETIME{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
    }
    friend bool operator==(const FILETIME& a, const FILETIME& b) { return a.toU64() == b.toU64(); }
};
