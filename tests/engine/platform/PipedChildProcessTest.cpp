// A child process read through a pipe: what it inherits, its output, its exit status, and
// that it dies with the thread that started it.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/Event.h"
#include "platform/PipedChildProcess.h"
#include "support/TempDir.h"

namespace {

std::string sh() { return PipedChildProcess::findProgram("sh"); }

TEST(PipedChildProcess, FindsProgramsLikeExecvp) {
    EXPECT_FALSE(sh().empty());
    EXPECT_EQ(sh().back(), 'h');
    EXPECT_EQ(PipedChildProcess::findProgram("no-such-program-here"), "");
    TempDir tmp;
    const std::string plain = tmp.write("not-executable", "#!/bin/sh\n");
    EXPECT_EQ(PipedChildProcess::findProgram(plain), "");
    EXPECT_EQ(PipedChildProcess::findProgram(tmp.path()), "");   // a folder
}

TEST(PipedChildProcess, ReadsOutputAndExitStatusAndInheritsOnlyDescriptorThree) {
    TempDir tmp;
    const int file = ::open(tmp.write("input", "from descriptor three").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(file, 0);
    const int stray = ::open("/dev/null", O_RDONLY);   // no close-on-exec: still not inherited
    ASSERT_GE(stray, 0);
    PipedChildProcess child;
    ASSERT_TRUE(child.start(sh(), {"sh", "-c", "cat /proc/self/fd/3; echo; ls /proc/$$/fd; exit 7"}, file));
    std::string out;
    EXPECT_EQ(child.readOutput(out, 1 << 20, nullptr), PipedChildProcess::ReadResult::End);
    const int status = child.wait(nullptr);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_FALSE(child.isRunning());
    EXPECT_EQ(out, "from descriptor three\n0\n1\n2\n3\n");
    ::close(stray);
    ::close(file);
}

TEST(PipedChildProcess, ProgramThatCannotRunIsNotStarted) {
    TempDir tmp;
    const std::string garbage = tmp.write("garbage", "\x7f" "ELF not really");
    ASSERT_EQ(::chmod(garbage.c_str(), 0755), 0);
    PipedChildProcess child;
    EXPECT_FALSE(child.start(garbage, {"garbage"}));
    EXPECT_FALSE(child.isRunning());
}

TEST(PipedChildProcess, OutputStopsAtTheBoundAndAtAStopRequest) {
    PipedChildProcess child;
    ASSERT_TRUE(child.start(sh(), {"sh", "-c", "while :; do echo 0123456789; done"}));
    std::string out;
    EXPECT_EQ(child.readOutput(out, 1000, nullptr), PipedChildProcess::ReadResult::Full);
    EXPECT_EQ(out.size(), 1000u);
    Event stop;
    stop.set();
    EXPECT_EQ(child.readOutput(out, 1 << 20, &stop), PipedChildProcess::ReadResult::Stopped);
    const pid_t pid = child.pid();
    EXPECT_EQ(child.wait(&stop), -1);   // killed and reaped
    EXPECT_FALSE(child.isRunning());
    EXPECT_EQ(::kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

// Left behind on purpose (still reachable): only the end of the thread may kill the child.
PipedChildProcess* g_leftBehind = nullptr;

TEST(PipedChildProcess, ChildDiesWithTheThreadThatStartedIt) {
    pid_t pid = -1;
    std::thread starter([&pid] {
        g_leftBehind = new PipedChildProcess;
        if (g_leftBehind->start(sh(), {"sh", "-c", "exec sleep 600"}))
            pid = g_leftBehind->pid();
    });
    starter.join();
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
}

}  // namespace
