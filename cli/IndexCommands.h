#pragma once
// The index commands of qdsearch:
//   --index ROOT... [--cache DIR] [--exclude DIR]... [--exclude-type EXT]... [--no-archives]
//           [--priority 0-10]        build (or rebuild) the caches of the roots, make them live
//   --list-indexes [--cache DIR]     each indexed root, its entry count, when it was written
//   --quick [--cache DIR] [--indexed ROOT]... [--no-auto-normal]   with any search options:
//           answer the search from the live caches (the roots with caches in the cache
//           folder, unless --indexed names them); pending caches are made live first.
// The cache folder defaults to $XDG_CACHE_HOME/Quendrel.
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

    // Runs --index or --list-indexes and returns the exit status; otherwise takes the
    // quick-search options out of `args` into `quick`, leaves the rest in `rest` and
    // returns -1. A bad index option gives status 2 with a message on errFd.
    static int handle(const std::vector<std::string>& args, int outFd, int errFd, std::vector<std::string>& rest,
                      QuickOptions& quick);
    // For a quick search: sets the rule's quick flags, makes pending caches live and opens
    // the searchers of the indexed roots in `man`.
    static void prepareQuick(const QuickOptions& quick, Search_Rule& rule, Search_Man& man);
    // Help lines for the options above.
    static std::string helpText();
};
