#include "content/CT_PDF.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "search/Search_Man.h"
#include "tools/Tool_Resource.h"

extern char** environ;

CT_PDF::~CT_PDF() { CT_PDF::close(); }

std::string CT_PDF::converterProgram() {
    const std::string bundled = Tool_Resource::getMyPath(true) + "XPDF/pdftotext";
    if (::access(bundled.c_str(), X_OK) == 0)
        return bundled;
    return "pdftotext";
}

bool CT_PDF::open(const Location& file, bool firstTermIsHex) {
    CT_Root::close();
    removeTempFile();
    // Qualified calls: the base's open(string) would come back here.
    if (firstTermIsHex)
        return CT_Root::open(file, firstTermIsHex);
    switch (convert(file.fullName)) {
    case Conversion::Done:
        return CT_Root::open(Location{m_strTempFile.c_str()}, firstTermIsHex);
    case Conversion::NotStarted:
        return CT_Root::open(file, firstTermIsHex);
    case Conversion::Stopped:
        break;
    }
    return false;
}

void CT_PDF::close() {
    CT_Root::close();
    removeTempFile();
}

void CT_PDF::removeTempFile() {
    if (!m_strTempFile.empty()) {
        ::unlink(m_strTempFile.c_str());
        m_strTempFile.clear();
    }
}

CT_PDF::Conversion CT_PDF::convert(const std::string& pdfFile) {
    std::string name = Tool_Resource::getTempPath(true) + "~qdtmpXXXXXX.txt";
    const int fd = ::mkostemps(name.data(), 4, O_CLOEXEC);
    if (fd < 0)
        return Conversion::NotStarted;
    ::close(fd);
    m_strTempFile = name;

    const std::string program = converterProgram();
    std::vector<std::string> args{program, "-raw", pdfFile, m_strTempFile};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = -1;
    const int rc = program.find('/') == std::string::npos
                       ? ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ)
                       : ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        removeTempFile();
        return Conversion::NotStarted;
    }

    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            return Conversion::Done;
        if (Search_Man::s_hStopSearchEvent.isSet()) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return Conversion::Stopped;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
