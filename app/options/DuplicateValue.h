#pragma once
// What the duplicates panel shows: the fields of the "Duplicate" section of a
// search-options file and of the panel's "DialogsData" record, with their defaults.
// Plain value, any thread.
#include <QString>

struct DuplicateValue {
    int bEnableDuplicate = 0;
    int iLevel = 0;             // compare level 0..5
    QString strEditFolder;      // select-by-folder text
    QString strEditPatterns;    // select-by-mask text

    bool operator==(const DuplicateValue&) const = default;
};
