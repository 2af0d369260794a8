// Linked into the window tests of the sanitized build only.
//
// QThread::wait() returns once run() has ended, while the system thread still runs its
// thread-local clean-up, which frees the thread's QThreadData. QtTest stops its watchdog
// thread that way just before main() returns, so on a busy machine LeakSanitizer's check at
// exit can run first and report that QThreadData (152 bytes from QThreadPrivate) as leaked.
// The object below is destroyed after main() and before the sanitizer's check; it waits, at
// most a second, until the process has no thread left but the main one. Threads that live
// for the whole process (a D-Bus or GLib worker) only make it wait the full second.
#include <dirent.h>
#include <unistd.h>

namespace {

int threadCount()
{
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks)
        return 1;
    int count = 0;
    while (const dirent* entry = ::readdir(tasks))
        if (entry->d_name[0] != '.')
            ++count;
    ::closedir(tasks);
    return count;
}

struct SettleThreadsAtExit {
    ~SettleThreadsAtExit()
    {
        for (int waited = 0; waited < 1000 && threadCount() > 1; ++waited)
            ::usleep(1000);
    }
} settleThreadsAtExit;

}  // namespace
