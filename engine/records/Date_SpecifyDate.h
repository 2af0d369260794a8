#pragma once
// The "between two dates" part of the date test. The bounds are points in time
// (seconds since 1970, UTC) compared as local calendar times.
#include <cstdint>
#include <ctime>

struct Date_SpecifyDate {
    uint16_t wTimeKind = 0;   // 0 last write, 1 creation, 2 last access
    std::time_t tFrom = 0;
    std::time_t tTo = 0;
};
