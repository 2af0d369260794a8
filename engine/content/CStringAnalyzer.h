#pragma once
// The operator characters of content expressions and name patterns, and the reading of them.
//
// Nine single-byte operators may lead a term. Four of them also separate terms
// (isDivideChar): + AND, ^ OR, ! XOR, - NOT. The other five only modify the term:
// # hexadecimal, $ whole word, % case-sensitive, @ ANSI, ~ UTF-16.
#include <string>

#include "content/Analysis_Data.h"

class CStringAnalyzer {
public:
    static constexpr char OPC_AND = '+';
    static constexpr char OPC_OR = '^';
    static constexpr char OPC_XOR = '!';
    static constexpr char OPC_NOT = '-';
    static constexpr char OPC_HEX = '#';
    static constexpr char OPC_WW = '$';
    static constexpr char OPC_CS = '%';
    static constexpr char OPC_ASI = '@';
    static constexpr char OPC_UNI = '~';

    CStringAnalyzer() = default;
    CStringAnalyzer(const CStringAnalyzer&) = default;
    CStringAnalyzer& operator=(const CStringAnalyzer&) = default;
    virtual ~CStringAnalyzer();

    // Reads one term: trims it, applies every leading operator character to `data` and puts
    // the rest (from the first non-operator byte, not trimmed again) in data.text. A term of
    // operators only leaves data.text untouched. Returns false, leaving `data` unchanged,
    // when the term is empty after trimming; true otherwise.
    bool analysis(std::string text, Analysis_Data& data);

    // True for the four operators that separate terms: + ^ ! -.
    static bool isDivideChar(char ch) {
        return ch == OPC_AND || ch == OPC_OR || ch == OPC_XOR || ch == OPC_NOT;
    }

    // Splits the leading run of separating operators (and the spaces among and after them)
    // off the trimmed `src`: "+- ^abc" gives ops "+- ^" and rest "abc". Without a leading
    // separating operator ops is empty and rest is the whole trimmed text.
    static void divideString(const std::string& src, std::string& ops, std::string& rest);

protected:
    // True for any of the nine operator characters.
    static bool isOPC(char ch);
    // Applies one operator character to `data`; any other byte changes nothing. Always true.
    static bool chooseInTable(char ch, Analysis_Data& data);
};
