#pragma once
// The date test of a search. Exactly one of the three flags is set by the date panel.
#include <cstdint>

#include "records/Date_SpecifyDate.h"

struct Rule_Date {
    bool bAny = true;       // date not tested
    bool bWithin = false;   // within the last nPrevious units
    bool bSpecify = false;  // between specifyDate.tFrom and specifyDate.tTo
    int32_t nPrevious = 0;
    int32_t nUnit = 0;      // 0 days, 1 weeks, 2 months, 3 years
    Date_SpecifyDate specifyDate;
};
