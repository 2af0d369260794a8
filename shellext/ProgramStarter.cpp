// ProgramStarter: locating and spawning the main program.
#include "ProgramStarter.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
const char* const kProgramName = "quendrel";

bool isExecutableFile(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string selfFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    return ProgramStarter::folderOf(std::string(buffer, size_t(n)));
}
}  // namespace

std::string ProgramStarter::folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string ProgramStarter::findProgramIn(const std::string& self, const std::string& pathVariable)
{
    if (!self.empty()) {
        const std::string beside = (self == "/" ? std::string() : self) + "/" + kProgramName;
        if (isExecutableFile(beside))
            return beside;
    }
    size_t begin = 0;
    while (begin <= pathVariable.size()) {
        size_t end = pathVariable.find(':', begin);
        if (end == std::string::npos)
            end = pathVariable.size();
        const std::string folder = pathVariable.substr(begin, end - begin);
        if (!folder.empty() && folder[0] == '/') {  // relative entries would depend on the caller's folder
            const std::string candidate = folder + (folder.back() == '/' ? "" : "/") + kProgramName;
            if (isExecutableFile(candidate))
                return candidate;
        }
        begin = end + 1;
    }
    return {};
}

std::string ProgramStarter::findProgram()
{
    if (const char* forced = std::getenv("QUENDREL_PROGRAM"); forced && isExecutableFile(forced))
        return forced;
    const char* path = std::getenv("PATH");
    return findProgramIn(selfFolder(), path ? path : "");
}

bool ProgramStarter::start(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingFolder)
{
    if (program.empty())
        return false;
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return false;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0;
}
