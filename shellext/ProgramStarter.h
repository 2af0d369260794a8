#pragma once
// Finds and starts the main program for the folder context-menu entry.
//
// findProgram(): the program named by $QUENDREL_PROGRAM when that is set and executable,
// else "quendrel" beside the running executable (/proc/self/exe), else the first
// executable "quendrel" on $PATH; empty when there is none.
// start(): runs the program detached (own session, working folder given, no shell: the
// arguments are passed as they are). Returns whether the program was started; the exit of
// the started program is never waited for (it is reaped by the system once the caller
// exits). Any thread; no exceptions.
#include <string>
#include <vector>

class ProgramStarter {
public:
    static std::string findProgram();
    // `self`: the folder of the running executable; `pathVariable`: a $PATH value.
    static std::string findProgramIn(const std::string& self, const std::string& pathVariable);
    static bool start(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& workingFolder);
    // The folder part of a path ("/usr/bin/quendrel" -> "/usr/bin"; "/x" -> "/").
    static std::string folderOf(const std::string& path);
};
