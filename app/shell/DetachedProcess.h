#pragma once
// Starts a program detached from this one (it is not our child once started, so it is
// never left a zombie and outlives the program), with arguments given as raw bytes: a file
// name that is not UTF-8 reaches the program unchanged. No shell is involved; the program
// is looked up on PATH when it has no '/'.
//
// start() returns the new process's id, or -1 with `error` set to the errno of the failure
// (ENOENT for a program that was not found, EACCES, ...), including a failed exec. Any
// thread; forks, so it is cheap only for occasional use.
#include <sys/types.h>

#include <string>
#include <vector>

class DetachedProcess {
public:
    static pid_t start(const std::vector<std::string>& argv, const std::string& workingFolder, int* error = nullptr);
};
