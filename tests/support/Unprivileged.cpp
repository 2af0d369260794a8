#include "support/Unprivileged.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>

namespace Unprivileged {

int run(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(255);
        const int result = body();
        ::_exit(result < 0 || result > 200 ? 201 : result);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 200)
        return -1;
    return WEXITSTATUS(status);
}

void openUp(const std::string& path) { ::chmod(path.c_str(), 0777); }

}  // namespace Unprivileged
