#include "support/TestPaths.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace TestPaths {

std::string binDir() { return QUENDREL_BIN_DIR; }
std::string sourceDir() { return QUENDREL_SOURCE_DIR; }

int runProgram(const std::string& program, const std::initializer_list<std::string>& args, std::string* out,
               std::string* err) {
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    std::vector<std::string> storage{program};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    std::string outText, errText;
    if (rc == 0) {
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
        int open = 2;
        char buf[65536];
        while (open > 0 && poll(fds, 2, -1) > 0) {
            for (auto& f : fds) {
                if (f.fd < 0 || !(f.revents & (POLLIN | POLLHUP)))
                    continue;
                ssize_t n = read(f.fd, buf, sizeof buf);
                if (n <= 0) {
                    f.fd = -1;
                    --open;
                } else {
                    (f.fd == outPipe[0] ? outText : errText).append(buf, static_cast<size_t>(n));
                }
            }
        }
    }
    close(outPipe[0]);
    close(errPipe[0]);
    if (out)
        *out = outText;
    if (err)
        *err = errText;
    if (rc != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace TestPaths
