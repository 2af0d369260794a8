#pragma once
// One content-search term of a rule: the bytes to look for and how to look for them.
// The rule owns its terms. The snippet strings are scratch space of the scanner, written
// while one file is scanned and emptied again before the next.
#include <cstdint>
#include <string>

struct ContainTextItem {
    std::string pattern;           // ANSI (UTF-8) bytes, UTF-16LE code units, or the hex bytes
    int32_t patternLength = 0;     // == pattern.size()
    int32_t isNot = 0;
    int32_t isCaseSensitive = 0;
    bool isAnsi = true;
    int32_t isWholeWord = 0;
    int32_t relation = 0;          // 0 AND, 1 OR, 2 XOR; ignored on the first term
    bool isHex = false;
    mutable std::string snippetBefore;
    mutable std::string snippetMatch;
    mutable std::string snippetAfter;
};
