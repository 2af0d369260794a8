// IndexThreadPriority: nice and I/O class of one thread.
#include "indexing/IndexThreadPriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// From the kernel's ioprio interface (not in the C library headers).
constexpr int kIoprioWhoProcess = 1;   // "process" here is the thread id given
constexpr int kIoprioClassShift = 13;
constexpr int kIoprioClassIdle = 3;
constexpr int kIdleNice = 19;
}  // namespace

pid_t IndexThreadPriority::callingThreadId()
{
    return static_cast<pid_t>(::syscall(SYS_gettid));
}

bool IndexThreadPriority::makeCallingThreadIdle()
{
    const pid_t tid = callingThreadId();
    const bool niceOk = ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), kIdleNice) == 0;
    const bool ioOk =
        ::syscall(SYS_ioprio_set, kIoprioWhoProcess, tid, kIoprioClassIdle << kIoprioClassShift) == 0;
    return niceOk && ioOk;
}

int IndexThreadPriority::niceOf(pid_t tid)
{
    errno = 0;
    const int value = ::getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    return errno ? 0 : value;
}

int IndexThreadPriority::ioClassOf(pid_t tid)
{
    const long value = ::syscall(SYS_ioprio_get, kIoprioWhoProcess, tid);
    return value < 0 ? -1 : int(value >> kIoprioClassShift);
}
