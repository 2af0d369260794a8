#pragma once
// The whole qdsearch program: parses the command line, runs one search, prints the
// results, and returns the exit status (0 found, 1 nothing found, 2 usage error or bad
// value). An interrupted search says so on standard error and exits by what it found.
#include <functional>
#include <string>
#include <vector>

class QdSearchApp {
public:
    static constexpr int EXIT_FOUND = 0;
    static constexpr int EXIT_NOTHING = 1;
    static constexpr int EXIT_USAGE = 2;

    static int run(int argc, char** argv);
    // Same with explicit arguments (without the program name) and output descriptors.
    static int run(const std::vector<std::string>& args, int outFd, int errFd);

    // The last resort of main: runs `body` and returns its status; an exception that
    // escapes it becomes a message on errFd and the status EXIT_USAGE.
    static int guarded(int errFd, const std::function<int()>& body);
};
