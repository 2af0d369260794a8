#include "records/Rule_Compare.h"

#include <cmath>
#include <limits>

#include "platform/FileTimeConvert.h"
#include "records/Search_Rule.h"

namespace {
constexpr uint64_t kTicksPerDay = 86'400ULL * 10'000'000ULL;
}

int64_t Rule_Compare::getBytes(float value, uint16_t unit) {
    double factor;
    switch (unit) {
    case 0: factor = 1.0; break;
    case 1: factor = 1024.0; break;
    case 2: factor = 1024.0 * 1024.0; break;
    default: return 0;
    }
    const double bytes = std::ceil(static_cast<double>(value) * factor);
    if (!(bytes > 0))   // negative, zero or NaN
        return 0;
    // 2^63 is exactly representable; anything at or above it does not fit.
    if (bytes >= 9223372036854775808.0)
        return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(bytes);
}

bool Rule_Compare::compareSize(int64_t size, const Search_Rule& rule) {
    // A float holds whole numbers exactly only up to 2^24: an exact bound wins when set.
    if (rule.bLargerOn &&
        size < (rule.nLargerBytes >= 0 ? rule.nLargerBytes : getBytes(rule.fLargerSize, rule.wLargerUnit)))
        return false;
    if (rule.bSmallerOn &&
        size > (rule.nSmallerBytes >= 0 ? rule.nSmallerBytes : getBytes(rule.fSmallerSize, rule.wSmallerUnit)))
        return false;
    return true;
}

uint64_t Rule_Compare::specifyDateFirstTick(const Date_SpecifyDate& date) {
    return FileTimeConvert::fromTimeT(date.tFrom).toU64();
}

uint64_t Rule_Compare::specifyDateLastTick(const Date_SpecifyDate& date) {
    return FileTimeConvert::fromTimeT(date.tTo).toU64() + (FileTimeConvert::kTicksPerSecond - 1);
}

bool Rule_Compare::specifyDateCompare(const FILETIME& time, const Date_SpecifyDate& date) {
    const uint64_t t = time.toU64();
    return specifyDateFirstTick(date) <= t && t <= specifyDateLastTick(date);
}

bool Rule_Compare::compareDate(const FILETIME& lastWrite, const FILETIME& creation, const FILETIME& lastAccess,
                               const Rule_Date& date, uint64_t nowTicks) {
    if (date.bAny)
        return true;
    if (date.bWithin) {
        uint64_t daysPerUnit;
        switch (date.nUnit) {
        case 0: daysPerUnit = 1; break;
        case 1: daysPerUnit = 7; break;
        case 2: daysPerUnit = 31; break;
        case 3: daysPerUnit = 365; break;
        default: daysPerUnit = 0; break;
        }
        // A negative count is no period at all. A period reaching back before 1601 covers
        // everything up to now; computing it in plain 64-bit arithmetic would overflow or
        // wrap below zero and then let nothing pass.
        const uint64_t count = date.nPrevious > 0 ? static_cast<uint64_t>(date.nPrevious) : 0;
        const uint64_t days = count * daysPerUnit;   // < 2^31 * 365, no overflow
        const uint64_t earliest = days > nowTicks / kTicksPerDay ? 0 : nowTicks - days * kTicksPerDay;
        const uint64_t t = lastWrite.toU64();
        return earliest <= t && t <= nowTicks;
    }
    if (date.bSpecify) {
        const FILETIME* chosen = &lastWrite;
        if (date.specifyDate.wTimeKind == 1)
            chosen = &creation;
        else if (date.specifyDate.wTimeKind == 2)
            chosen = &lastAccess;
        return specifyDateCompare(*chosen, date.specifyDate);
    }
    return false;
}
