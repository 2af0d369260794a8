// DetachedProcess: double fork, exec and report.
#include "shell/DetachedProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

pid_t DetachedProcess::start(const std::vector<std::string>& argv, const std::string& workingFolder, int* error)
{
    auto fail = [error](int e) {
        if (error)
            *error = e;
        return pid_t(-1);
    };
    if (argv.empty() || argv.front().empty())
        return fail(ENOENT);
    // Everything the children need is made before the fork: after it only async-signal-safe
    // calls are allowed.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int report[2];  // the grandchild's pid, then an errno if its exec fails
    if (::pipe2(report, O_CLOEXEC) != 0)
        return fail(errno);
    const pid_t child = ::fork();
    if (child < 0) {
        const int e = errno;
        ::close(report[0]);
        ::close(report[1]);
        return fail(e);
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            int data[2] = {int(grandchild), grandchild < 0 ? errno : 0};
            if (grandchild < 0)
                (void)!::write(report[1], data, sizeof data);
            else
                (void)!::write(report[1], data, sizeof data[0]);
            ::_exit(0);
        }
        if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) {
            // the program runs where it can; a missing folder is not a reason to fail
        }
        ::execvp(args[0], args.data());
        const int e = errno;
        (void)!::write(report[1], &e, sizeof e);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int pid = -1;
    int execError = 0;
    ssize_t n;
    while ((n = ::read(report[0], &pid, sizeof pid)) < 0 && errno == EINTR) {
    }
    if (n == ssize_t(sizeof pid)) {
        while ((n = ::read(report[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
        }
        if (n != ssize_t(sizeof execError))
            execError = 0;  // the pipe closed on a successful exec
    } else {
        execError = ECHILD;
    }
    ::close(report[0]);
    if (pid <= 0 || execError != 0)
        return fail(execError ? execError : ECHILD);
    return pid_t(pid);
}
