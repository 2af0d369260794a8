#pragma once
// Everything one qdsearch run was asked for: the search rule being built and how results
// are printed. Filled by QdOptionParser.
#include <memory>
#include <string>
#include <vector>

#include "content/ContentTermBuilder.h"
#include "search/Search_Rule.h"

struct QdSearchOptions {
    QdSearchOptions() : rule(std::make_unique<Search_Rule>()) {}

    std::unique_ptr<Search_Rule> rule;

    // Collected while parsing, turned into rule fields when parsing ends.
    std::string nameLine;
    bool nameLineGiven = false;
    std::vector<std::string> folders;      // as given (-f and positional)
    ContentTermRequest mainTerm;           // --text / --hex with --not, --case, --word, --encoding
    bool mainTermGiven = false;
    std::string expression;                // --expr

    // Output.
    bool nulSeparated = false;   // -0
    bool longFormat = false;     // --long
    bool snippets = false;       // --snippets
    bool countOnly = false;      // --count
    bool stats = false;          // --stats
    bool help = false;
    bool version = false;
};
