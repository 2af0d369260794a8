#pragma once
// Runs qdsearch's whole program logic in the test process, with standard output and
// standard error captured in memory files (no terminal, no pipe limit), or with standard
// output on a given descriptor (a pseudo-terminal).
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "cli/QdSearchApp.h"

struct InProcessRun {
    int status = -1;
    std::string out, err;
};

inline std::string readAllFrom(int fd) {
    std::string text;
    ::lseek(fd, 0, SEEK_SET);
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

// outFd >= 0: standard output goes there instead of into `out`.
inline InProcessRun runInProcess(const std::vector<std::string>& args, int outFd = -1) {
    InProcessRun run;
    const int out = outFd >= 0 ? -1 : ::memfd_create("qdsearch-out", MFD_CLOEXEC);
    const int err = ::memfd_create("qdsearch-err", MFD_CLOEXEC);
    run.status = QdSearchApp::guarded(err, [&] { return QdSearchApp::run(args, outFd >= 0 ? outFd : out, err); });
    if (out >= 0) {
        run.out = readAllFrom(out);
        ::close(out);
    }
    run.err = readAllFrom(err);
    ::close(err);
    return run;
}
