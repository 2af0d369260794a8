#pragma once
// Turns Ctrl+C (SIGINT) and SIGTERM into a stop request for the running search.
//
// The signal handler only writes one byte to a pipe (async-signal-safe); a small thread
// waits on the pipe and sets Search_Man::s_hStopSearchEvent. The first signal asks the
// search to stop; the handler is then back to the default, so a second Ctrl+C ends the
// program at once. One instance at a time; the destructor restores the previous handlers.
#include <atomic>
#include <csignal>
#include <thread>

#include "platform/UniqueFd.h"

class QdInterruptWatcher {
public:
    QdInterruptWatcher();
    ~QdInterruptWatcher();
    QdInterruptWatcher(const QdInterruptWatcher&) = delete;
    QdInterruptWatcher& operator=(const QdInterruptWatcher&) = delete;

    // True once a signal asked the search to stop.
    bool interrupted() const { return m_interrupted.load(); }
    bool active() const { return m_thread.joinable(); }

private:
    static void onSignal(int);
    void watch();

    UniqueFd m_readFd;    // the pipe's ends; the watching thread reads, the handler writes
    UniqueFd m_writeFd;
    std::atomic<bool> m_interrupted{false};
    std::thread m_thread;
    struct sigaction m_oldInt{};
    struct sigaction m_oldTerm{};
    static std::atomic<int> s_writeFd;
};
