#pragma once
// A helper program run as a child process whose standard output is read through a pipe,
// for converters (a document in, its text on standard output).
//
// The child:
//  * is started without a shell by fork + execve: its standard input and standard error
//    are /dev/null, its standard output the pipe, and it inherits no other descriptor
//    except, when asked, one given descriptor as descriptor 3 (so it can read an already
//    opened file as "/dev/fd/3"); signal dispositions the parent set are reset to default
//    and its signal mask is empty;
//  * gets SIGKILL when the thread that started it ends, the process included, however it
//    ends (PR_SET_PDEATHSIG; a parent that died before that was set up is noticed through
//    getppid and the child exits with status 127 before running the program).
//    So start it on the thread that waits for it.
//
// One object runs at most one child. The destructor kills a child still running and
// reaps it, so no zombie outlives the object. Not thread-safe: one thread uses the object.
// No exceptions; failures are returned.
#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/UniqueFd.h"

class Event;

class PipedChildProcess {
public:
    PipedChildProcess() = default;
    ~PipedChildProcess();
    PipedChildProcess(const PipedChildProcess&) = delete;
    PipedChildProcess& operator=(const PipedChildProcess&) = delete;

    // The program that execvp would run for `name`: `name` itself when it holds a '/' (and
    // is an executable regular file), else the first executable regular file of that name
    // in a folder of PATH (an empty entry is the working folder; no PATH: /usr/local/bin,
    // /usr/bin, /bin). Empty when there is none.
    static std::string findProgram(const std::string& name);

    // Starts `program` (a path, see findProgram) with argv = args (args[0] is the program's
    // name as it sees it). `inheritFd` >= 0 becomes the child's descriptor 3. False when it
    // could not be started (no pipe, no process, or execve failed); nothing is left running.
    bool start(const std::string& program, const std::vector<std::string>& args, int inheritFd = -1);

    enum class ReadResult { End, Full, Stopped, Failed };
    // Appends the child's standard output to `out` until the child closes it (End), `out`
    // holds `maxBytes` bytes (Full; the rest is not read), `stop` is set (Stopped; polled at
    // least every 50 ms while no output comes), or a read fails (Failed). The pipe stays
    // open; the child keeps running in every case.
    ReadResult readOutput(std::string& out, size_t maxBytes, const Event* stop);

    // Waits for the child to end and reaps it; `stop` is polled every few milliseconds and,
    // when set, the child is killed. Returns the wait status (see waitpid), or -1 when the
    // wait was stopped or there is no child.
    int wait(const Event* stop);

    // Kills the child with SIGKILL and reaps it; nothing when no child runs.
    void kill();

    bool isRunning() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

private:
    void closeOutput();

    pid_t m_pid = -1;
    UniqueFd m_outFd;
};
