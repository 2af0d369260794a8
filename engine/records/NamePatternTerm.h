#pragma once
#include <cstdint>
#include <string>

// One term of a prepared name group: a wildcard pattern joined to the terms before it.
struct NamePatternTerm {
    static constexpr int32_t OP_AND = 0;
    static constexpr int32_t OP_OR = 1;
    static constexpr int32_t OP_XOR = 2;

    int32_t op = OP_AND;
    bool bNegate = false;
    std::string strTitlePattern;   // tried against the file title
    std::string strPathPattern;    // tried against the relative folder path; empty unless bMatchPath
};
