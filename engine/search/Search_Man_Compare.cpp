// Search_Man: the size and date tests, shared by the disk walk and the index search.
#include <cmath>
#include <limits>

#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"

namespace {
constexpr uint64_t kTicksPerDay = 86'400ULL * 10'000'000ULL;
}

int64_t Search_Man::getBytes(float value, uint16_t unit) {
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

bool Search_Man::_compareSize(int64_t size, const Search_Rule& rule) {
    // A float holds whole numbers exactly only up to 2^24: an exact bound wins when set.
    if (rule.bLargerOn &&
        size < (rule.nLargerBytes >= 0 ? rule.nLargerBytes : getBytes(rule.fLargerSize, rule.wLargerUnit)))
        return false;
    if (rule.bSmallerOn &&
        size > (rule.nSmallerBytes >= 0 ? rule.nSmallerBytes : getBytes(rule.fSmallerSize, rule.wSmallerUnit)))
        return false;
    return true;
}

uint64_t Search_Man::convertFILETIMEToULONGLONG(const FILETIME& ft) { return ft.toU64(); }

FILETIME Search_Man::convertULONGLONGToFILETIME(uint64_t value) { return FILETIME::fromU64(value); }

uint64_t Search_Man::convertTimeTToLocalULONGLONG(std::time_t utcSeconds) {
    return FileTimeConvert::fromTimeT(utcSeconds).toU64();
}

bool Search_Man::_specifyDateCompare(const FILETIME& time, const Date_SpecifyDate& date) {
    const uint64_t t = time.toU64();
    // The bounds are whole seconds; file times are finer. A time within the last second
    // (23:59:59.5 of a "to" day ending at 23:59:59) still lies on that day.
    const uint64_t lastTick = convertTimeTToLocalULONGLONG(date.tTo) + (FileTimeConvert::kTicksPerSecond - 1);
    return convertTimeTToLocalULONGLONG(date.tFrom) <= t && t <= lastTick;
}

bool Search_Man::_specifyDateCompare(const Data_FileItem& item, const Date_SpecifyDate& date) {
    switch (date.wTimeKind) {
    case 1: return _specifyDateCompare(item.m_ftCreation, date);
    case 2: return _specifyDateCompare(item.m_ftLastAccess, date);
    default: return _specifyDateCompare(item.m_ftLastWrite, date);
    }
}

bool Search_Man::_compareDate(const FILETIME& lastWrite, const FILETIME& creation, const FILETIME& lastAccess,
                              const Rule_Date& date) {
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
        const uint64_t earliest =
            days > s_curTime / kTicksPerDay ? 0 : s_curTime - days * kTicksPerDay;
        const uint64_t t = lastWrite.toU64();
        return earliest <= t && t <= s_curTime;
    }
    if (date.bSpecify) {
        const FILETIME* chosen = &lastWrite;
        if (date.specifyDate.wTimeKind == 1)
            chosen = &creation;
        else if (date.specifyDate.wTimeKind == 2)
            chosen = &lastAccess;
        return _specifyDateCompare(*chosen, date.specifyDate);
    }
    return false;
}

bool Search_Man::_compareDate(const Data_FileItem& item, const Search_Rule& rule) {
    return _compareDate(item.m_ftLastWrite, item.m_ftCreation, item.m_ftLastAccess, rule.date);
}

bool Search_Man::compareAdvanceProperty(const Data_FileItem& item, const Search_Rule& rule) {
    return _compareSize(item.m_nSize, rule) && _compareDate(item, rule);
}

bool Search_Man::needsMetadata(const Search_Rule& rule) {
    return rule.bLargerOn || rule.bSmallerOn || !rule.date.bAny;
}

void Search_Man::initData() { s_curTime = FileTimeConvert::now().toU64(); }
