#pragma once
// The whole qdsearch program: parses the command line, runs one search, prints the
// results, and returns the exit status (0 found, 1 nothing found, 2 usage error or bad
// value, 130 interrupted).
#include <string>
#include <vector>

class QdSearchApp {
public:
    static constexpr int EXIT_FOUND = 0;
    static constexpr int EXIT_NOTHING = 1;
    static constexpr int EXIT_USAGE = 2;
    static constexpr int EXIT_INTERRUPTED = 130;

    static int run(int argc, char** argv);
    // Same with explicit arguments (without the program name) and output descriptors.
    static int run(const std::vector<std::string>& args, int outFd, int errFd);
};
