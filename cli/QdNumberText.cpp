#include "cli/QdNumberText.h"

#include <charconv>
#include <limits>

namespace {
bool allDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}
}  // namespace

QdNumberText::Status QdNumberText::parseInteger(std::string_view text, int64_t min, int64_t max, int64_t& value) {
    if (!allDigits(text))
        return Status::Malformed;
    uint64_t parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec == std::errc::result_out_of_range)
        return Status::OutOfRange;
    if (ec != std::errc() || end != text.data() + text.size())
        return Status::Malformed;
    if (parsed > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) || static_cast<int64_t>(parsed) < min ||
        static_cast<int64_t>(parsed) > max)
        return Status::OutOfRange;
    value = static_cast<int64_t>(parsed);
    return Status::Ok;
}

QdNumberText::Status QdNumberText::parseSize(std::string_view text, int defaultUnit, int64_t& bytes, int& unitIndex) {
    if (text.empty())
        return Status::Malformed;
    int unit = defaultUnit;
    switch (text.back()) {
    case 'b': case 'B': unit = 0; break;
    case 'k': case 'K': unit = 1; break;
    case 'm': case 'M': unit = 2; break;
    case 'g': case 'G': unit = 3; break;
    default: unit = -1; break;
    }
    if (unit >= 0)
        text.remove_suffix(1);
    else if (text.back() < '0' || text.back() > '9')
        return Status::Malformed;   // an unknown unit letter
    else
        unit = defaultUnit;
    if (unit < 0 || unit > 3)
        return Status::Malformed;

    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (!allDigits(whole) || (point != std::string_view::npos && !allDigits(fraction)))
        return Status::Malformed;   // also "", ".5", "5.", "1.2.3", signs and exponents
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    if (fraction.size() > 9)
        return Status::Malformed;   // finer than any unit needs; 10^9 * 2^30 still fits below

    const int64_t factor = int64_t{1} << (10 * unit);
    int64_t count = 0;
    if (parseInteger(whole, 0, std::numeric_limits<int64_t>::max() / factor, count) != Status::Ok)
        return Status::OutOfRange;   // digits only by now: too large
    int64_t total = count * factor;
    if (!fraction.empty()) {
        int64_t digits = 0, scale = 1;
        std::from_chars(fraction.data(), fraction.data() + fraction.size(), digits);   // <= 9 digits
        for (size_t i = 0; i < fraction.size(); ++i)
            scale *= 10;
        const int64_t part = (digits * factor + scale - 1) / scale;   // rounded up; < 2^60
        if (total > std::numeric_limits<int64_t>::max() - part)
            return Status::OutOfRange;
        total += part;
    }
    bytes = total;
    unitIndex = unit;
    return Status::Ok;
}
