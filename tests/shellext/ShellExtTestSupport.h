#pragma once
// Helpers of the file-manager entry tests: a recording stand-in for the main program and
// a runner for argument vectors (no shell).
#include <string>
#include <vector>

namespace ShellExtTestSupport {
// Writes an executable script at `scriptPath` that appends each of its arguments, one per
// line, to `logPath`, then a line "--". Returns the script's path.
std::string writeRecorder(const std::string& scriptPath, const std::string& logPath);
// The recorded calls: each call's argument list.
std::vector<std::vector<std::string>> readCalls(const std::string& logPath);
// Runs argv[0] with argv in `workingFolder` (empty: the current one); the exit status or -1.
int run(const std::vector<std::string>& argv, const std::string& workingFolder = {});
std::string readWhole(const std::string& path);
}  // namespace ShellExtTestSupport
