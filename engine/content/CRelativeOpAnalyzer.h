#pragma once
// Splits a content-search expression into operator-led terms.
#include <string>
#include <vector>

#include "content/CStringAnalyzer.h"

class CRelativeOpAnalyzer : public CStringAnalyzer {
public:
    // Appends to `out` one segment per separating operator (+ ^ ! -) of the trimmed
    // expression, each starting with its operator: "+foo -bar ^baz" gives "+foo", "-bar",
    // "^baz". Segments other than the last are trimmed and dropped when empty or a lone
    // operator (so of adjacent operators only the last survives); the last segment is kept
    // as it stands. An expression without any separating operator appends nothing: callers
    // put OPC_AND in front of it first.
    static void analyzeExpression(const std::string& expression, std::vector<std::string>& out);
};
