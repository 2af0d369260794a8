#include "tools/Tool_Utf16.h"

size_t Tool_Utf16::wellFormedUtf8Length(const uint8_t* s, size_t n) {
    if (n == 0)
        return 0;
    const uint8_t b = s[0];
    if (b < 0x80)
        return 1;
    size_t len;
    uint8_t lo = 0x80, hi = 0xBF;   // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0)
            lo = 0xA0;          // no overlong forms
        else if (b == 0xED)
            hi = 0x9F;          // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0)
            lo = 0x90;
        else if (b == 0xF4)
            hi = 0x8F;          // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (n < len || s[1] < lo || s[1] > hi)
        return 0;
    for (size_t i = 2; i < len; ++i)
        if (s[i] < 0x80 || s[i] > 0xBF)
            return 0;
    return len;
}

void Tool_Utf16::appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Tool_Utf16::utf8ToUtf16LE(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    auto putUnit = [&out](uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (size_t i = 0; i < n;) {
        const size_t len = wellFormedUtf8Length(s + i, n - i);
        uint32_t cp;
        if (len == 0) {
            cp = s[i];   // Latin-1 reading of a byte that starts no well-formed sequence
            i += 1;
        } else {
            static constexpr uint8_t kLeadMask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
            cp = s[i] & kLeadMask[len];
            for (size_t k = 1; k < len; ++k)
                cp = (cp << 6) | (s[i + k] & 0x3F);
            i += len;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            putUnit(0xD800 | (cp >> 10));
            putUnit(0xDC00 | (cp & 0x3FF));
        } else {
            putUnit(cp);
        }
    }
    return out;
}

std::string Tool_Utf16::utf16LEToUtf8(const uint8_t* data, size_t length) {
    std::string out;
    out.reserve(length);
    const size_t units = length / 2;
    auto unitAt = [data](size_t k) -> uint32_t { return data[2 * k] | (uint32_t(data[2 * k + 1]) << 8); };
    for (size_t k = 0; k < units; ++k) {
        const uint32_t u = unitAt(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            const uint32_t low = unitAt(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++k;
                continue;
            }
        }
        appendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
    }
    return out;
}
