#pragma once
// The options of qdsearch: one table, one row per option, each row applying its values to a
// QdSearchOptions. The table drives parsing and --help; adding an option is adding a row
// (see QdOptionParser.cpp).
//
// Accepted forms: "--name", "--name VALUE", "--name=VALUE" (one-value options), "-x",
// "-x VALUE", "-xVALUE", "--" ending the options. A run is a search (the default; the first
// positional argument is the name line, the others are folders), --index (the positional
// arguments are the roots) or --list-indexes (no positional arguments); each row says in
// which runs it may appear.
#include <string>
#include <vector>

#include "cli/QdNumberText.h"
#include "cli/QdSearchOptions.h"

class QdOptionParser {
public:
    // The runs an option may appear in (a bit set).
    enum Mode : unsigned { MODE_SEARCH = 1, MODE_INDEX = 2, MODE_LIST = 4, MODE_ANY = 7 };

    // One row of the table. `apply` returns an error text, empty when the values are good.
    struct Option {
        const char* longName;    // without the leading "--"
        char shortName;          // 0: none
        int valueCount;          // 0, 1 or 2
        const char* valueNames;  // shown in the help, e.g. "DIR"
        const char* help;
        std::string (*apply)(QdSearchOptions& options, const std::vector<std::string>& values);
        unsigned modes = MODE_SEARCH;
        const char* section = nullptr;   // the help's heading above this row, when it starts one
    };

    static const std::vector<Option>& table();

    // Parses the arguments (without the program name). For a search it completes the rule:
    // name groups, folders (made absolute, normalised, slimmed; relative ones against
    // `currentFolder`; a folder argument that is a file is dropped with a notice), content
    // terms. For --index the positional arguments become options.indexing.roots.
    // False with a message on a usage error or a bad value (a number out of range included).
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

    // Parse helpers, exposed for their tests. Sizes: QdNumberText::parseSize with the
    // default unit K; `bytes` is exact, `value` and `unit` (0 B, 1 K, 2 M; a G size is given
    // in M) fill the rule's float fields. Periods: a count from 1 to 2^31-1 and d, w, m or y.
    // Dates: YYYY-MM-DD.
    static QdNumberText::Status parseSize(const std::string& text, int64_t& bytes, float& value, uint16_t& unit);
    static QdNumberText::Status parsePeriod(const std::string& text, int32_t& count, int32_t& unit);
    static bool parseDate(const std::string& text, int& year, int& month, int& day);

private:
    static bool completeRule(const std::string& currentFolder, QdSearchOptions& options, Error& error);
};
