#pragma once
// Reading the numbers of command-line values without exceptions and with range checks:
// every number an option takes goes through here, so that no value can abort the program.
#include <cstdint>
#include <string_view>

class QdNumberText {
public:
    enum class Status {
        Ok,
        Malformed,    // not a number of the expected form
        OutOfRange,   // a number, but outside the allowed range
    };

    // A whole number written in decimal digits only (no sign, no spaces, no base prefix)
    // from `min` to `max` (min >= 0). Leading zeros are allowed.
    static Status parseInteger(std::string_view text, int64_t min, int64_t max, int64_t& value);

    // A size: decimal digits, optionally a point and up to 9 further digits, optionally one
    // unit letter B, K, M or G (1, 1024, 1024^2, 1024^3 bytes; case ignored; `defaultUnit`
    // bytes when there is none). `bytes` is the exact byte count, rounded up to whole
    // bytes, at most INT64_MAX. `unitIndex` is 0 for B, 1 K, 2 M, 3 G (the default's index
    // when no letter is given).
    static Status parseSize(std::string_view text, int defaultUnit, int64_t& bytes, int& unitIndex);
};
