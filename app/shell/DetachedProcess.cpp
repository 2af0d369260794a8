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
    // Two pipes, one writer each: the middle child reports the grandchild's pid (or its fork
    // error), the grandchild reports a failed exec. With one shared pipe the two writes
    // could arrive in either order and a pid be taken for an errno.
    int pidPipe[2];
    int execPipe[2];
    if (::pipe2(pidPipe, O_CLOEXEC) != 0)
        return fail(errno);
    if (::pipe2(execPipe, O_CLOEXEC) != 0) {
        const int e = errno;
        ::close(pidPipe[0]);
        ::close(pidPipe[1]);
        return fail(e);
    }
    const pid_t child = ::fork();
    if (child < 0) {
        const int e = errno;
        for (int fd : {pidPipe[0], pidPipe[1], execPipe[0], execPipe[1]})
            ::close(fd);
        return fail(e);
    }
    if (child == 0) {
        ::close(pidPipe[0]);
        ::close(execPipe[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            int data[2] = {int(grandchild), grandchild < 0 ? errno : 0};
            (void)!::write(pidPipe[1], data, sizeof data);
            ::_exit(0);
        }
        ::close(pidPipe[1]);
        if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) {
            // the program runs where it can; a missing folder is not a reason to fail
        }
        ::execvp(args[0], args.data());
        const int e = errno;
        (void)!::write(execPipe[1], &e, sizeof e);
        ::_exit(127);
    }
    ::close(pidPipe[1]);
    ::close(execPipe[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    auto readInts = [](int fd, int* into, size_t count) {
        ssize_t n;
        while ((n = ::read(fd, into, count * sizeof(int))) < 0 && errno == EINTR) {
        }
        return n == ssize_t(count * sizeof(int));
    };
    int forkReport[2] = {-1, 0};
    const bool forked = readInts(pidPipe[0], forkReport, 2);
    ::close(pidPipe[0]);
    int execError = 0;
    if (forked && forkReport[0] > 0 && !readInts(execPipe[0], &execError, 1))
        execError = 0;  // the pipe closed on a successful exec
    ::close(execPipe[0]);
    if (!forked)
        return fail(ECHILD);
    if (forkReport[0] <= 0)
        return fail(forkReport[1] ? forkReport[1] : ECHILD);
    if (execError != 0)
        return fail(execError);
    const int pid = forkReport[0];
    return pid_t(pid);
}
