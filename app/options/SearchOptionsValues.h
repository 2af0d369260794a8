#pragma once
// The five option panels' values together, in panel order. Plain value, any thread.
#include "options/ContainTextValue.h"
#include "options/DateValue.h"
#include "options/DuplicateValue.h"
#include "options/NameLocationValue.h"
#include "options/SizeValue.h"

struct SearchOptionsValues {
    NameLocationValue general;
    ContainTextValue containText;
    DateValue date;
    SizeValue size;
    DuplicateValue duplicate;

    bool operator==(const SearchOptionsValues&) const = default;
};
