#pragma once
// What CStringAnalyzer::analysis read from the operator characters in front of one term.
// The caller owns it and starts from the zero state below before each call: relation AND,
// contained, case-insensitive, not whole-word, ANSI (UTF-8), plain text.
#include <cstdint>
#include <string>

struct Analysis_Data {
    int32_t isNot = 0;             // 1: the term must be absent
    int32_t isCaseSensitive = 0;
    int32_t isWholeWord = 0;
    int32_t relation = 0;          // 0 AND, 1 OR, 2 XOR (the last of + ^ ! seen)
    int32_t isUnicode = 0;         // 0 ANSI, 1 UTF-16LE (the last of @ ~ seen)
    int32_t isHex = 0;             // 1: the text is hexadecimal byte values
    std::string text;              // the term after its operator characters, untrimmed
};
