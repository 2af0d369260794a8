#pragma once
// Where the build put things, for tests that run programs or read installed data.
#include <string>

namespace TestPaths {
// The program folder of the build (executables, libraries, Language/), no trailing '/'.
std::string binDir();
// The source tree's root, no trailing '/'.
std::string sourceDir();
// Runs argv (no shell), feeding nothing on stdin; returns the exit status (or -1) and
// captures standard output and standard error when the pointers are given.
int runProgram(const std::string& program, const std::initializer_list<std::string>& args,
               std::string* out = nullptr, std::string* err = nullptr);
}
