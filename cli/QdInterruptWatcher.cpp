#include "cli/QdInterruptWatcher.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "search/Search_Man.h"

std::atomic<int> QdInterruptWatcher::s_writeFd{-1};

namespace {
constexpr char kSignalled = 's';
constexpr char kQuit = 'q';
}  // namespace

void QdInterruptWatcher::onSignal(int) {
    const int saved = errno;
    const int fd = s_writeFd.load();
    if (fd >= 0) {
        const char byte = kSignalled;
        [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
    }
    errno = saved;
}

QdInterruptWatcher::QdInterruptWatcher() {
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;   // no watcher: Ctrl+C keeps its default effect
    m_readFd.reset(ends[0]);
    m_writeFd.reset(ends[1]);
    s_writeFd = m_writeFd.get();
    m_thread = std::thread([this] { watch(); });
    struct sigaction action{};
    action.sa_handler = &QdInterruptWatcher::onSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and writes are resumed; a second signal gets the default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    ::sigaction(SIGINT, &action, &m_oldInt);
    ::sigaction(SIGTERM, &action, &m_oldTerm);
}

QdInterruptWatcher::~QdInterruptWatcher() {
    if (!m_thread.joinable())
        return;
    ::sigaction(SIGINT, &m_oldInt, nullptr);
    ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    s_writeFd = -1;
    const char byte = kQuit;
    while (::write(m_writeFd.get(), &byte, 1) < 0 && errno == EINTR) {
    }
    m_thread.join();
}

void QdInterruptWatcher::watch() {
    for (;;) {
        char byte = 0;
        const ssize_t n = ::read(m_readFd.get(), &byte, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || byte == kQuit)
            return;
        m_interrupted = true;
        Search_Man::s_hStopSearchEvent.set();
    }
}
