#pragma once
// The wildcard comparison used wherever a name, extension or folder is tested against a
// user pattern. Byte-wise and single-pass: `*` matches any run of bytes, `?` one byte, there
// is no escape. It keeps one restart point and never backtracks further, so some texts that a
// full glob would accept are refused (`*abc` does not match "abcabc", `a*c` does not match
// "abcxc"); searches rely on exactly this behaviour. A `?` left over at the end of the
// pattern is accepted like `*` ("abc?" matches "abc"). An empty pattern matches nothing.
//
// Without case sensitivity only the ASCII letters a-z/A-Z fold (AsciiCase); every other byte (all of
// UTF-8's multi-byte sequences included) is compared exactly.
//
// Everything is inline and allocation-free: this is the inner loop of every search.
#include <string>

#include "platform/AsciiCase.h"

class Tool_WCComp {
public:
    // 0 when `text` matches `pattern`, 1 when it does not. Negative lengths count as 0.
    static int comparePattenString(const char* pattern, int patternLength, const char* text, int textLength,
                                   bool caseSensitive);
    static int comparePattenString(const std::string& pattern, const std::string& text, bool caseSensitive) {
        return comparePattenString(pattern.data(), clampLength(pattern.size()), text.data(),
                                   clampLength(text.size()), caseSensitive);
    }

    // 0 when the bytes are equal (after ASCII folding unless caseSensitive), 1 otherwise.
    static int compareChar(char a, char b, bool caseSensitive) {
        if (caseSensitive)
            return a == b ? 0 : 1;
        return AsciiCase::fold(a) == AsciiCase::fold(b) ? 0 : 1;
    }

    // Advances `position` over `*` and `?` bytes and returns the byte it stops on; returns 0
    // with `position` == length when only wildcards remain.
    static char movetoNextNCPos(int& position, const char* pattern, int length) {
        while (position < length && (pattern[position] == '*' || pattern[position] == '?'))
            ++position;
        return position < length ? pattern[position] : 0;
    }

    // Advances `position` through `text` to the first byte equal to `c` and returns 0 with
    // `position` on it; returns 1 with `position` == length when there is none.
    static int movetoStringPosAccordingto(char c, int& position, const char* text, int length, bool caseSensitive) {
        if (caseSensitive || !isAsciiLetter(c)) {
            // Only one byte value can match.
            while (position < length) {
                if (text[position] == c)
                    return 0;
                ++position;
            }
            return 1;
        }
        // For an ASCII letter, setting bit 0x20 maps exactly its two cases onto the lower one.
        const char lower = static_cast<char>(c | 0x20);
        while (position < length) {
            if (static_cast<char>(text[position] | 0x20) == lower)
                return 0;
            ++position;
        }
        return 1;
    }

private:
    static bool isAsciiLetter(char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26; }
    static int clampLength(size_t n) { return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n); }
};

inline int Tool_WCComp::comparePattenString(const char* pattern, int patternLength, const char* text,
                                            int textLength, bool caseSensitive) {
    if (patternLength <= 0)
        return 1;
    if (textLength < 0)
        textLength = 0;

    int t = 0;                 // text position
    int p = 0;                 // pattern position
    int restart = 0;           // the single restart mark
    bool matchedLiteral = false;   // a literal matched since the last restart
    int result = 0;            // outcome of the last literal comparison
    const bool anchored = pattern[0] != '*';   // such a pattern never restarts

    while (t < textLength) {
        if (p >= patternLength)
            return 1;   // text left over
        const char pc = pattern[p];
        if (pc == '?') {
            ++t;
            ++p;
        } else if (pc == '*') {
            const char next = movetoNextNCPos(p, pattern, patternLength);
            if (p >= patternLength)
                return result;
            if (movetoStringPosAccordingto(next, t, text, textLength, caseSensitive) != 0)
                return 1;
            if (matchedLiteral)
                restart = p;
        } else {
            result = compareChar(pc, text[t], caseSensitive);
            if (result == 0) {
                ++t;
                ++p;
                matchedLiteral = true;
            } else if (anchored) {
                return 1;
            } else if (matchedLiteral) {
                p = restart;   // retry the same text byte from the mark
                matchedLiteral = false;
            } else {
                ++t;
                p = restart;
            }
        }
    }
    if (result != 0)
        return 1;
    for (; p < patternLength; ++p)
        if (pattern[p] != '*' && pattern[p] != '?')
            return 1;
    return 0;
}
