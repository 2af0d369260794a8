#pragma once
// Everything one qdsearch run was asked for: the search rule being built and how results
// are printed. Filled by QdOptionParser.
#include <memory>
#include <string>
#include <vector>

#include "cli/IndexCommands.h"
#include "content/ContentTermBuilder.h"
#include "records/Search_Rule.h"

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

    // The index commands (--index, --list-indexes) and the quick search (--quick, --cache
    // for all three).
    IndexCommands::IndexOptions indexing;
    IndexCommands::QuickOptions quick;

    // Messages for standard error that do not stop the run (a folder argument that is a
    // file, a lone folder argument read as the name line), in the order found.
    std::vector<std::string> notices;

    // Output.
    bool nulSeparated = false;   // -0
    bool longFormat = false;     // --long
    bool snippets = false;       // --snippets
    bool countOnly = false;      // --count
    bool stats = false;          // --stats
    bool pdfCache = true;        // false: --no-pdf-cache
    unsigned scannerThreads = 0; // --threads; 0: automatic
    int readAhead = 0;           // 1: --read-ahead, -1: --no-read-ahead, 0: automatic
    bool quiet = false;          // -q: no messages about unreadable folders and files
    bool help = false;
    bool version = false;
};
