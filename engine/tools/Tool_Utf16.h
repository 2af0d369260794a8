#pragma once
// Conversion between UTF-8 text and UTF-16 little-endian bytes, for UTF-16 content terms
// and for the excerpts taken from UTF-16 files.
//
// Invalid UTF-8 (a stray continuation byte, a cut or overlong sequence, an encoded
// surrogate, a value above U+10FFFF, the bytes 0xC0, 0xC1, 0xF5-0xFF) is not rejected:
// each byte that does not start a well-formed sequence becomes the code point of the same
// value (U+0080-U+00FF), as if the text were Latin-1. A term typed in a legacy 8-bit
// encoding therefore still finds its Latin-1 characters in UTF-16 files.
//
// From UTF-16: a surrogate without its partner becomes U+FFFD; a trailing odd byte is
// ignored. Nothing here fails or throws.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Tool_Utf16 {
public:
    // UTF-8 text -> UTF-16LE code units as bytes (two per unit, no terminator).
    static std::string utf8ToUtf16LE(std::string_view utf8);
    // UTF-16LE bytes -> UTF-8 text.
    static std::string utf16LEToUtf8(const uint8_t* data, size_t length);
    static std::string utf16LEToUtf8(std::string_view bytes) {
        return utf16LEToUtf8(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    // Length of the well-formed UTF-8 sequence at the start of [data, data+length), or 0.
    static size_t wellFormedUtf8Length(const uint8_t* data, size_t length);
    static void appendUtf8(std::string& out, uint32_t codePoint);
};
