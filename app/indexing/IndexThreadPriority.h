#pragma once
// Idle priority for the calling thread alone: nice 19 (setpriority on the thread's id,
// which Linux applies per thread) and the idle I/O scheduling class (ioprio_set on the
// thread's id). Other threads of the process keep their priorities. An unprivileged thread
// can lower but not raise these again, so only the indexing thread, which ends with its
// run, calls this. Failure of either call is ignored by the indexer (the run still
// works, only faster); the answer says whether both took effect.
#include <sys/types.h>

class IndexThreadPriority {
public:
    static bool makeCallingThreadIdle();
    static pid_t callingThreadId();
    // The nice value of a thread of this process; 0 when it cannot be read.
    static int niceOf(pid_t tid);
    // The I/O scheduling class of a thread (3 = idle); -1 when it cannot be read.
    static int ioClassOf(pid_t tid);
};
