#pragma once
// What the date panel shows: the fields of the "Date" section of a search-options file and
// of the panel's "DialogsData" record. The from and to points are local date-times kept to
// the second; both default to the moment the value is made. Plain value, any thread.
#include <QDateTime>

struct DateValue {
    int iDateType = 0;        // period unit: 0 days, 1 weeks, 2 months, 3 years
    int iModifyType = 0;      // time kind: 0 modified, 1 created, 2 accessed
    int dwPreviousDate = 1;   // period count, 1..32767
    QDateTime from = nowToTheSecond();
    QDateTime to = nowToTheSecond();
    int iType = 0;            // 0 do not know, 1 within a period, 2 specified dates

    static QDateTime nowToTheSecond();
    bool operator==(const DateValue&) const = default;
};
