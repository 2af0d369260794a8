#pragma once
// The one reading of UTF-8 sequences that the content scanner, the excerpts and the
// settings files share: a lead byte 0xC2-0xDF, 0xE0-0xEF or 0xF0-0xF4 starts a sequence of
// 2, 3 or 4 bytes; a sequence counts only when every byte its lead announces is present and
// is a continuation byte (0x80-0xBF); otherwise the byte counts as one byte. (Strict
// well-formedness, as converting to UTF-16 needs it, is Tool_Utf16::wellFormedUtf8Length.)
// Arguments are byte values 0-255 or -1 for "no byte there". Pure; thread-safe.
class Utf8Sequence {
public:
    static constexpr bool isContinuation(int b) { return b >= 0x80 && b <= 0xBF; }

    // The length a byte announces as a lead: 2, 3 or 4; 1 for every other byte.
    static constexpr int leadLength(int b) {
        if (b >= 0xC2 && b <= 0xDF)
            return 2;
        if (b >= 0xE0 && b <= 0xEF)
            return 3;
        if (b >= 0xF0 && b <= 0xF4)
            return 4;
        return 1;
    }
};
