#pragma once
// qdsearch --duplicates LEVEL: the search runs as usual, its results are collected instead
// of printed, and the duplicate finder groups them at LEVEL; the groups are printed in the
// order found (see QdDuplicatePrinter). Progress goes to standard error when that is a
// terminal.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/QdSearchOptions.h"

class QdDuplicateMode {
public:
    // "name", "size", "time", "crc32", "md5", "bytes" (case ignored) or the digits 0 to 5.
    static bool parseLevel(const std::string& text, int32_t& level);
    // The option table's action for --duplicates: enables duplicate grouping in the rule.
    static std::string applyOption(QdSearchOptions& options, const std::vector<std::string>& values);

    // Runs the search and the grouping and prints the groups. Returns the exit status:
    // 0 groups were found, 1 none (an interrupt keeps and counts the groups delivered so far).
    static int run(QdSearchOptions& options, int outFd, int errFd);
};
