#pragma once
#include <cstdint>

// Whether and how the results of a search are grouped into duplicates.
struct Duplicate_Rule {
    int32_t bEnable = 0;
    int32_t iLevel = 0;   // 0 name, 1 size, 2 time, 3 CRC-32, 4 MD5, 5 bytes
};
