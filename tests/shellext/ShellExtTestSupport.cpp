// ShellExtTestSupport: recorder script and argv runner.
#include "ShellExtTestSupport.h"

#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;

namespace ShellExtTestSupport {

std::string writeRecorder(const std::string& scriptPath, const std::string& logPath)
{
    std::ofstream out(scriptPath, std::ios::binary);
    out << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" << logPath << "'; done\n"
        << "printf -- '--\\n' >> '" << logPath << "'\n";
    out.close();
    ::chmod(scriptPath.c_str(), 0755);
    return scriptPath;
}

std::vector<std::vector<std::string>> readCalls(const std::string& logPath)
{
    std::vector<std::vector<std::string>> calls;
    std::ifstream in(logPath, std::ios::binary);
    std::vector<std::string> current;
    std::string line;
    while (std::getline(in, line)) {
        if (line == "--") {
            calls.push_back(current);
            current.clear();
        } else {
            current.push_back(line);
        }
    }
    return calls;
}

int run(const std::vector<std::string>& argv, const std::string& workingFolder)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace ShellExtTestSupport
