#pragma once
// A member's time as the archive stores it: 100 ns ticks since 1601-01-01 in UTC (callers
// that keep local times convert), with the precision the format records.
#include <cstdint>

struct ArchiveFileTime {
    enum Precision : uint16_t {
        PREC_UNKNOWN = 0, PREC_SECONDS = 1, PREC_DOS = 2, PREC_100NS = 23, PREC_1NS = 25
    };
    uint64_t ticks = 0;           // 100 ns units since 1601-01-01 UTC
    uint16_t precision = 0;       // as reported by the format; 0 when it did not say
    uint16_t nanoRemainder = 0;   // nanoseconds below the 100 ns tick (PREC_1NS only)

    uint32_t low() const { return static_cast<uint32_t>(ticks); }
    uint32_t high() const { return static_cast<uint32_t>(ticks >> 32); }
    // Seconds since 1970-01-01 UTC (floor), and the nanoseconds within that second.
    int64_t unixSeconds() const;
    uint32_t unixNanoseconds() const;
};
