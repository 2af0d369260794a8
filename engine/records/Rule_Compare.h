#pragma once
// The size and date tests of a search rule, shared by the disk walk and the index search.
// Pure functions of their arguments (the "now" of a date test is passed in, one per
// search); thread-safe. Times are local FILETIME ticks (100 ns since 1601).
#include <cstdint>

#include "platform/FILETIME.h"

struct Date_SpecifyDate;
struct Rule_Date;
struct Search_Rule;

class Rule_Compare {
public:
    // Ceiling of value bytes, KB (unit 1) or MB (unit 2); 0 for other units. Saturates at
    // the 64-bit range; negative and NaN values give 0.
    static int64_t getBytes(float value, uint16_t unit);
    // The size test. The bounds are rule.nLargerBytes / nSmallerBytes when set (>= 0),
    // else the float fields through getBytes; both inclusive.
    static bool compareSize(int64_t size, const Search_Rule& rule);
    // The date test: true for "any date"; "within the last n units" holds for a last-write
    // time in [nowTicks - period, nowTicks] (a period reaching back before 1601 covers all
    // up to now; a negative count is no period); "between" tests the time its kind selects.
    static bool compareDate(const FILETIME& lastWrite, const FILETIME& creation, const FILETIME& lastAccess,
                            const Rule_Date& date, uint64_t nowTicks);
    // Whether `time` lies from the first tick of date.tFrom to the last tick of the second
    // date.tTo (both read as local time): the bounds below, inclusive.
    static bool specifyDateCompare(const FILETIME& time, const Date_SpecifyDate& date);
    // Those bounds as local ticks. The dates are whole seconds and file times finer, so the
    // last tick is 9,999,999 ticks after tTo: 23:59:59.5 of a "to" day ending at 23:59:59
    // still lies on that day. Every search (disk walk and index) uses these two.
    static uint64_t specifyDateFirstTick(const Date_SpecifyDate& date);
    static uint64_t specifyDateLastTick(const Date_SpecifyDate& date);
};
