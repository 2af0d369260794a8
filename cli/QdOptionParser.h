#pragma once
// The options of qdsearch: one table, one row per option, each row applying its values to a
// QdSearchOptions. Adding an option is adding a row (see QdOptionParser.cpp).
//
// Accepted forms: "--name", "--name VALUE", "--name=VALUE" (one-value options), "-x",
// "-x VALUE", "-xVALUE", "--" ending the options. The first positional argument is the name
// line, the others are folders.
#include <string>
#include <vector>

#include "cli/QdSearchOptions.h"

class QdOptionParser {
public:
    // One row of the table. `apply` returns an error text, empty when the values are good.
    struct Option {
        const char* longName;    // without the leading "--"
        char shortName;          // 0: none
        int valueCount;          // 0, 1 or 2
        const char* valueNames;  // shown in the help, e.g. "DIR"
        const char* help;
        std::string (*apply)(QdSearchOptions& options, const std::vector<std::string>& values);
    };

    static const std::vector<Option>& table();

    // Parses the arguments (without the program name) and completes the rule: name groups,
    // folders (made absolute, normalised, slimmed; relative ones against `currentFolder`),
    // content terms. False with a message on a usage error or a bad value.
    // A usage error: its text, or (nonzero languageString) the number of the language string
    // that describes it (invalid hexadecimal values).
    struct Error {
        std::string text;
        unsigned languageString = 0;
    };
    static bool parse(const std::vector<std::string>& args, const std::string& currentFolder,
                      QdSearchOptions& options, Error& error);

    // The text of --help.
    static std::string helpText();

    // Parse helpers, exposed for their tests. Sizes: a non-negative number with an optional
    // unit B, K or M (default K; case ignored). Periods: a positive count and d, w, m or y.
    // Dates: YYYY-MM-DD.
    static bool parseSize(const std::string& text, float& value, uint16_t& unit);
    static bool parsePeriod(const std::string& text, int32_t& count, int32_t& unit);
    static bool parseDate(const std::string& text, int& year, int& month, int& day);

private:
    static bool completeRule(const std::string& currentFolder, QdSearchOptions& options, Error& error);
};
