#include "platform/PipedChildProcess.h"

#include <algorithm>
#include <utility>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/Event.h"
#include "platform/UniqueFd.h"

extern char** environ;

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Descriptors the child sets up before execve.
constexpr int kInheritedFd = 3;
constexpr int kExecErrorFd = 4;   // close-on-exec: stays open only when execve fails

// Runs in the child between fork and execve: async-signal-safe calls only, no allocation,
// no locks. Never returns.
[[noreturn]] void runChild(pid_t parent, const char* program, char* const* argv, char* const* envp, int devNull,
                           int outWrite, int inheritFd, int errWrite, int maxFd) {
    // The signal mask is full here (the parent blocked everything around fork), so no
    // handler of the parent can run in the child while dispositions are reset.
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction sa {};
        if (::sigaction(sig, nullptr, &sa) == 0 && sa.sa_handler != SIG_IGN && sa.sa_handler != SIG_DFL) {
            sa = {};
            sa.sa_handler = SIG_DFL;
            ::sigaction(sig, &sa, nullptr);
        }
    }
    int error = 0;
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
        error = errno;
    else if (::getppid() != parent)   // the parent was gone before the death signal was armed
        ::_exit(127);

    // Copy every source above the target numbers first, so no dup2 below overwrites a
    // source that a later one still needs.
    const int nullHigh = error ? -1 : ::fcntl(devNull, F_DUPFD, 10);
    const int outHigh = error ? -1 : ::fcntl(outWrite, F_DUPFD, 10);
    const int inheritHigh = error || inheritFd < 0 ? -1 : ::fcntl(inheritFd, F_DUPFD, 10);
    const int errHigh = ::fcntl(errWrite, F_DUPFD, 10);
    if (errHigh < 0 || ::dup3(errHigh, kExecErrorFd, O_CLOEXEC) < 0)
        ::_exit(127);
    if (!error && (nullHigh < 0 || outHigh < 0 || (inheritFd >= 0 && inheritHigh < 0)))
        error = errno;
    if (!error && (::dup2(nullHigh, 0) < 0 || ::dup2(outHigh, 1) < 0 || ::dup2(nullHigh, 2) < 0 ||
                   (inheritHigh >= 0 && ::dup2(inheritHigh, kInheritedFd) < 0)))
        error = errno;
    if (!error) {
        if (inheritHigh < 0)
            ::close(kInheritedFd);
        if (::close_range(unsigned(kExecErrorFd + 1), ~0U, 0) != 0)
            for (int fd = kExecErrorFd + 1; fd < maxFd; ++fd)
                ::close(fd);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(program, argv, envp);
        error = errno;
    }
    ssize_t ignored = ::write(kExecErrorFd, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

}  // namespace

PipedChildProcess::~PipedChildProcess() { kill(); }

std::string PipedChildProcess::findProgram(const std::string& name) {
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? name : std::string();
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    size_t from = 0;
    for (;;) {
        const size_t colon = path.find(':', from);
        const std::string folder = path.substr(from, colon == std::string::npos ? std::string::npos : colon - from);
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
        if (colon == std::string::npos)
            return {};
        from = colon + 1;
    }
}

bool PipedChildProcess::start(const std::string& program, const std::vector<std::string>& args, int inheritFd) {
    kill();
    if (program.empty() || args.empty())
        return false;
    // Everything the child needs is prepared here: it may not allocate.
    std::vector<std::string> storage(args);
    std::vector<char*> argv;
    argv.reserve(storage.size() + 1);
    for (auto& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    struct rlimit limit {};
    int maxFd = 1024;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        maxFd = int(std::min<rlim_t>(limit.rlim_cur, 1 << 20));

    UniqueFd devNull(::open("/dev/null", O_RDWR | O_CLOEXEC));
    int outPipeRaw[2] = {-1, -1}, errPipeRaw[2] = {-1, -1};
    const bool outOk = devNull.valid() && ::pipe2(outPipeRaw, O_CLOEXEC) == 0;
    UniqueFd outRead(outPipeRaw[0]), outWrite(outPipeRaw[1]);
    const bool errOk = outOk && ::pipe2(errPipeRaw, O_CLOEXEC) == 0;
    UniqueFd errRead(errPipeRaw[0]), errWrite(errPipeRaw[1]);
    if (!errOk)
        return false;

    const pid_t parent = ::getpid();
    sigset_t all, old;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &old);
    const pid_t pid = ::fork();
    if (pid == 0)
        runChild(parent, program.c_str(), argv.data(), environ, devNull.get(), outWrite.get(), inheritFd,
                 errWrite.get(), maxFd);
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    devNull.reset();
    outWrite.reset();
    errWrite.reset();
    if (pid < 0)
        return false;
    m_pid = pid;
    m_outFd = std::move(outRead);

    // The error pipe closes on a successful execve; an error number arrives otherwise.
    int childError = 0;
    ssize_t n;
    do
        n = ::read(errRead.get(), &childError, sizeof childError);
    while (n < 0 && errno == EINTR);
    errRead.reset();
    if (n != 0) {
        kill();
        return false;
    }
    return true;
}

PipedChildProcess::ReadResult PipedChildProcess::readOutput(std::string& out, size_t maxBytes, const Event* stop) {
    if (!m_outFd.valid())
        return ReadResult::Failed;
    char buf[64 * 1024];
    for (;;) {
        if (stop && stop->isSet())
            return ReadResult::Stopped;
        if (out.size() >= maxBytes)
            return ReadResult::Full;
        pollfd p{m_outFd.get(), POLLIN, 0};
        const int ready = ::poll(&p, 1, 50);
        if (ready < 0 && errno != EINTR)
            return ReadResult::Failed;
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(m_outFd.get(), buf, std::min(sizeof buf, maxBytes - out.size()));
        if (n == 0)
            return ReadResult::End;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return ReadResult::Failed;
        }
        out.append(buf, size_t(n));
    }
}

int PipedChildProcess::wait(const Event* stop) {
    // A child still writing gets EPIPE or SIGPIPE instead of blocking on a full pipe.
    closeOutput();
    while (m_pid > 0) {
        int status = 0;
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_pid = -1;
            return status;
        }
        if (done < 0 && errno != EINTR) {
            m_pid = -1;
            return -1;
        }
        if (stop && stop->isSet()) {
            kill();
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return -1;
}

void PipedChildProcess::kill() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }
    closeOutput();
}

void PipedChildProcess::closeOutput() { m_outFd.reset(); }
