#include "archive/WideText.h"

#include <cstdint>

namespace crateview {

namespace {
void appendCodePoint(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
}  // namespace

std::string WideText::toUtf8(const wchar_t* text, size_t length) {
    std::string out;
    if (!text)
        return out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        uint32_t c = static_cast<uint32_t>(text[i]);
        if (c == 0) {
            out += '_';
        } else if (c >= 0xEF80 && c <= 0xEFFF) {
            // Only bytes 0x80..0xFF can be invalid in a name; U+EF00..U+EF7F stay characters
            // so that no archive can smuggle a '/' or a NUL in through this escape.
            out += static_cast<char>(c - 0xEF00);
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length &&
                   static_cast<uint32_t>(text[i + 1]) >= 0xDC00 && static_cast<uint32_t>(text[i + 1]) <= 0xDFFF) {
            const uint32_t low = static_cast<uint32_t>(text[++i]);
            appendCodePoint(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            appendCodePoint(out, 0xFFFD);
        } else {
            appendCodePoint(out, c);
        }
    }
    return out;
}

}  // namespace crateview
