#pragma once
// The index commands of qdsearch (their options are rows of QdOptionParser's table):
//   --index ROOT... [--cache DIR] [--exclude DIR]... [--exclude-type EXT]... [--no-archives]
//           [--priority 0-10]        build (or rebuild) the caches of the roots, make them live
//   --list-indexes [--cache DIR]     each indexed root, its entry count, when it was written
//   --quick [--cache DIR] [--indexed ROOT]... [--no-auto-normal]   with any search options:
//           answer the search from the live caches (the roots with caches in the cache
//           folder, unless --indexed names them); pending caches are made live first.
// The cache folder defaults to $XDG_CACHE_HOME/Quendrel. Only --index creates it:
// --list-indexes and --quick treat a missing cache folder as one without caches.
#include <string>
#include <vector>

class Search_Man;
struct Search_Rule;

class IndexCommands {
public:
    struct QuickOptions {
        bool quick = false;
        bool noAutoNormal = false;
        std::string cacheFolder;
        std::vector<std::string> indexed;
    };

    struct IndexOptions {
        bool index = false;    // --index: the positional arguments are the roots
        bool list = false;     // --list-indexes
        bool archives = true;  // --no-archives clears it
        int priority = 10;     // --priority, 0-10
        std::vector<std::string> roots;
        std::vector<std::string> excluded;   // --exclude
        std::vector<std::string> types;      // --exclude-type
    };

    // Runs --index (with options.index) or --list-indexes and returns the exit status.
    // The cache folder is `cacheFolder` (--cache), empty for the default. A bad request
    // gives status 2 with a message on errFd.
    static int run(const IndexOptions& options, const std::string& cacheFolder, int outFd, int errFd);
    // For a quick search: sets the rule's quick flags, makes pending caches live and opens
    // the searchers of the indexed roots in `man`.
    static void prepareQuick(const QuickOptions& quick, Search_Rule& rule, Search_Man& man);
};
