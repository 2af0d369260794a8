#pragma once
// Conversions between the internal FILETIME (100 ns ticks since 1601-01-01, LOCAL time)
// and the clocks of this platform: `timespec` instants (UTC, as stat and clock_gettime
// give them), `std::time_t` seconds and local calendar date-times.
//
// Instant -> local uses the offset of the local time zone valid AT THAT INSTANT
// (daylight saving included), so a file written in summer shows its summer wall-clock
// time all year round. The zone is the process's (TZ, else /etc/localtime).
//
// Range: FILETIME cannot hold times before 1601-01-01 local; earlier instants clamp to 0.
// Local calendar times before 1970 and far after 2038 are handled like any other.
#include <cstddef>
#include <cstdint>
#include <ctime>

#include "platform/FILETIME.h"

// A local wall-clock reading, proleptic Gregorian calendar. month 1-12, day 1-31,
// hour 0-23, minute 0-59, second 0-59, milliseconds 0-999.
struct LocalDateTime {
    int year = 1601;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class FileTimeConvert {
public:
    static constexpr uint64_t kTicksPerSecond = 10'000'000;
    // Seconds from 1601-01-01 to 1970-01-01.
    static constexpr int64_t kSecondsFrom1601To1970 = 11'644'473'600;

    // UTC instant -> local FILETIME. Instants before 1601 (local) give 0.
    // The zone offset is remembered per quarter hour and thread, so converting the times of
    // many files costs arithmetic only; the memory is dropped when TZ changes (set TZ, then
    // tzset() as usual). The results are those of utcOffsetAt for the same instant.
    static FILETIME fromTimespec(const timespec& utc);
    // The same for `count` instants at once (one zone check for all of them).
    static void fromTimespecs(const timespec* utc, FILETIME* out, size_t count);
    // Local FILETIME -> UTC instant. A local time that occurs twice (clocks set back)
    // gives the later instant; one that never occurs (clocks set forward) is read with
    // the offset in force before the change, i.e. it lands just after the change.
    static timespec toTimespec(FILETIME local);

    static FILETIME fromTimeT(std::time_t utcSeconds) { return fromTimespec(timespec{utcSeconds, 0}); }
    static std::time_t toTimeT(FILETIME local) { return toTimespec(local).tv_sec; }

    // Pure calendar arithmetic, no time zone involved. False (out untouched) when a field
    // is out of range (February 30, hour 24, ...) or the date lies before 1601.
    static bool fromLocalDateTime(const LocalDateTime& local, FILETIME& out);
    static LocalDateTime toLocalDateTime(FILETIME local);
    // The local calendar reading of a UTC instant (for the date bounds of a search).
    static LocalDateTime localDateTimeOf(std::time_t utcSeconds) { return toLocalDateTime(fromTimeT(utcSeconds)); }

    // The current time as a local FILETIME.
    static FILETIME now();

    // Offset of local time from UTC, in seconds east of Greenwich, at the instant
    // `utcSeconds` (0 when the C library cannot tell for that instant).
    static long utcOffsetAt(std::time_t utcSeconds);
    // fromTimespec without the remembered offsets: asks the C library every time.
    static FILETIME fromTimespecExact(const timespec& utc);
};
