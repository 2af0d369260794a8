#include "platform/FileTimeConvert.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <limits>

namespace {

constexpr int64_t kTicksPerSecond = static_cast<int64_t>(FileTimeConvert::kTicksPerSecond);
constexpr int64_t kMaxSeconds = static_cast<int64_t>(std::numeric_limits<uint64_t>::max() / FileTimeConvert::kTicksPerSecond);

// Days from 1970-01-01 to the given proleptic Gregorian date (negative before 1970).
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int64_t& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Local seconds since 1601 plus sub-second ticks -> FILETIME, clamped to its range.
FILETIME fromLocalSeconds1601(int64_t seconds, int64_t subTicks) {
    if (seconds < 0)
        return FILETIME{};
    if (seconds >= kMaxSeconds)
        return FILETIME::fromU64(std::numeric_limits<uint64_t>::max());
    return FILETIME::fromU64(static_cast<uint64_t>(seconds) * FileTimeConvert::kTicksPerSecond +
                             static_cast<uint64_t>(subTicks));
}

}  // namespace

long FileTimeConvert::utcOffsetAt(std::time_t utcSeconds) {
    std::tm tm{};
    if (!localtime_r(&utcSeconds, &tm))
        return 0;
    return tm.tm_gmtoff;
}

namespace {

// Zone offsets change only at transitions. A quarter-hour bucket whose first and last
// seconds have the same offset has that offset throughout (a zone never changes twice
// within 15 minutes); a bucket with a transition inside is not remembered.
constexpr int64_t kBucketSeconds = 900;
constexpr size_t kSlots = 256;
// Instants with comfortable margin inside FILETIME's range; outside it the exact path decides.
constexpr int64_t kFastLow = -FileTimeConvert::kSecondsFrom1601To1970 + 2 * 86400;
constexpr int64_t kFastHigh = int64_t(1) << 40;

class OffsetCache {
public:
    // Drops every remembered offset when TZ is not what it was at the last call.
    void checkZone() {
        const char* tz = std::getenv("TZ");
        if (tz == m_tzPointer && (tz ? std::strcmp(tz, m_tz.c_str()) == 0 : true))
            return;
        m_tzPointer = tz;
        m_tz = tz ? tz : "";
        for (Slot& s : m_slots)
            s.bucket = INT64_MIN;
    }

    // The local FILETIME of an instant in [kFastLow, kFastHigh) with a normal tv_nsec.
    FILETIME convert(int64_t sec, long nsec) {
        const int64_t bucket = sec >= 0 ? sec / kBucketSeconds : -((-sec + kBucketSeconds - 1) / kBucketSeconds);
        Slot& slot = m_slots[static_cast<uint64_t>(bucket) % kSlots];
        if (slot.bucket != bucket) {
            const int64_t start = bucket * kBucketSeconds;
            const long offset = FileTimeConvert::utcOffsetAt(static_cast<std::time_t>(start));
            if (FileTimeConvert::utcOffsetAt(static_cast<std::time_t>(start + kBucketSeconds - 1)) != offset)
                return FileTimeConvert::fromTimespecExact(timespec{static_cast<std::time_t>(sec), nsec});
            slot.bucket = bucket;
            slot.offset = offset;
        }
        const int64_t local1601 = sec + slot.offset + FileTimeConvert::kSecondsFrom1601To1970;
        if (local1601 < 0)
            return FILETIME{};
        return FILETIME::fromU64(static_cast<uint64_t>(local1601) * FileTimeConvert::kTicksPerSecond +
                                 static_cast<uint64_t>(nsec / 100));
    }

private:
    struct Slot {
        int64_t bucket = INT64_MIN;
        long offset = 0;
    };
    const char* m_tzPointer = nullptr;
    std::string m_tz;
    Slot m_slots[kSlots];
};

thread_local OffsetCache t_offsets;

bool fastPathApplies(const timespec& utc) {
    return utc.tv_nsec >= 0 && utc.tv_nsec < 1'000'000'000 && utc.tv_sec >= kFastLow && utc.tv_sec < kFastHigh;
}

}  // namespace

FILETIME FileTimeConvert::fromTimespec(const timespec& utc) {
    if (!fastPathApplies(utc))
        return fromTimespecExact(utc);
    OffsetCache& cache = t_offsets;
    cache.checkZone();
    return cache.convert(utc.tv_sec, utc.tv_nsec);
}

void FileTimeConvert::fromTimespecs(const timespec* utc, FILETIME* out, size_t count) {
    OffsetCache& cache = t_offsets;
    cache.checkZone();
    for (size_t i = 0; i < count; ++i)
        out[i] = fastPathApplies(utc[i]) ? cache.convert(utc[i].tv_sec, utc[i].tv_nsec) : fromTimespecExact(utc[i]);
}

FILETIME FileTimeConvert::fromTimespecExact(const timespec& utc) {
    int64_t sec = utc.tv_sec;
    int64_t nsec = utc.tv_nsec;
    if (nsec < 0 || nsec >= 1'000'000'000) {   // normalise a denormal timespec
        sec += nsec / 1'000'000'000;
        nsec %= 1'000'000'000;
        if (nsec < 0) {
            nsec += 1'000'000'000;
            --sec;
        }
    }
    if (sec < -kSecondsFrom1601To1970 - 86400)   // far outside the range: no offset can bring it in
        return FILETIME{};
    if (sec > kMaxSeconds)
        return FILETIME::fromU64(std::numeric_limits<uint64_t>::max());
    const int64_t local = sec + utcOffsetAt(static_cast<std::time_t>(sec));
    if (local < -kSecondsFrom1601To1970)
        return FILETIME{};
    if (local > kMaxSeconds - kSecondsFrom1601To1970)
        return FILETIME::fromU64(std::numeric_limits<uint64_t>::max());
    return fromLocalSeconds1601(local + kSecondsFrom1601To1970, nsec / 100);
}

timespec FileTimeConvert::toTimespec(FILETIME local) {
    const uint64_t ticks = local.toU64();
    const int64_t localSec = static_cast<int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
    const long nsec = static_cast<long>(ticks % kTicksPerSecond) * 100;
    // Find the instant t with t + offset(t) == localSec. Two refinements settle it except
    // inside a gap, where no such t exists.
    const long o1 = utcOffsetAt(static_cast<std::time_t>(localSec - utcOffsetAt(static_cast<std::time_t>(localSec))));
    const int64_t t1 = localSec - o1;
    if (utcOffsetAt(static_cast<std::time_t>(t1)) == o1)
        return timespec{static_cast<std::time_t>(t1), nsec};
    const long o2 = utcOffsetAt(static_cast<std::time_t>(t1));
    const int64_t t2 = localSec - o2;
    if (utcOffsetAt(static_cast<std::time_t>(t2)) == o2)
        return timespec{static_cast<std::time_t>(t2), nsec};
    return timespec{static_cast<std::time_t>(localSec - std::min(o1, o2)), nsec};
}

bool FileTimeConvert::fromLocalDateTime(const LocalDateTime& t, FILETIME& out) {
    if (t.year < 1601 || t.year > 30000 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > daysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 ||
        t.second < 0 || t.second > 59 || t.milliseconds < 0 || t.milliseconds > 999)
        return false;
    const int64_t days = daysFromCivil(t.year, t.month, t.day) - daysFromCivil(1601, 1, 1);
    const int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    out = fromLocalSeconds1601(seconds, static_cast<int64_t>(t.milliseconds) * 10'000);
    return true;
}

LocalDateTime FileTimeConvert::toLocalDateTime(FILETIME local) {
    const uint64_t ticks = local.toU64();
    const int64_t seconds = static_cast<int64_t>(ticks / kTicksPerSecond);
    const int64_t days = seconds / 86400;
    const int64_t rest = seconds % 86400;
    LocalDateTime r;
    int64_t year = 0;
    civilFromDays(days + daysFromCivil(1601, 1, 1), year, r.month, r.day);
    r.year = static_cast<int>(year);
    r.hour = static_cast<int>(rest / 3600);
    r.minute = static_cast<int>(rest / 60 % 60);
    r.second = static_cast<int>(rest % 60);
    r.milliseconds = static_cast<int>(ticks % kTicksPerSecond / 10'000);
    return r;
}

FILETIME FileTimeConvert::now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return fromTimespec(ts);
}
