// qdsearch with PDF documents: what is converted and what is scanned as it is, and what a
// stopped or killed search leaves behind (no converter process, no file).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "content/CT_PDF.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "support/TestPdf.h"

extern char** environ;

namespace {

std::string qdsearch() { return TestPaths::binDir() + "/qdsearch"; }

std::vector<std::string> sortedLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1)
        lines.push_back(text.substr(from, nl - from));
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        ::closedir(d);
    }
    return names;
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old, m_had = true;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_had)
            ::setenv(m_name, m_old.c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

// A file that merely ends in ".pdf" is searched as what it is; a document the converter
// cannot read is listed neither with nor without --not.
TEST(QdsearchPdf, PlainTextNamedPdfIsSearchedAsItIsRegression) {
    TempDir tmp;
    const std::string docs = tmp.mkdir("docs");
    tmp.write("docs/notes.pdf", "plain secretword\n");
    tmp.write("docs/broken.pdf", "%PDF-1.4\nsecretword and garbage\n");
    tmp.write("docs/real.pdf", TestPdf::document("Quarterly secretword figures"));
    tmp.write("docs/other.txt", "nothing here\n");
    const std::string privateTmp = tmp.mkdir("tmp");
    ScopedEnv tmpdir("TMPDIR", privateTmp);
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "secretword", "", docs}, &out, &err), 0) << err;
    EXPECT_EQ(sortedLines(out), (std::vector<std::string>{docs + "/notes.pdf", docs + "/real.pdf"}));
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "secretword", "--not", "", docs}, &out, &err), 0) << err;
    EXPECT_EQ(sortedLines(out), (std::vector<std::string>{docs + "/other.txt"}));
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "SECRETWORD", "--word", "", docs}, &out, &err), 0) << err;
    EXPECT_EQ(sortedLines(out), (std::vector<std::string>{docs + "/notes.pdf", docs + "/real.pdf"}));
    EXPECT_TRUE(entriesOf(privateTmp).empty());
}

class QdsearchPdfStop : public ::testing::TestWithParam<int> {
protected:
    // Orphans of qdsearch come to this process, so a converter that outlives it can be
    // seen (and reaped) here.
    void SetUp() override { ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0); }
    void TearDown() override { ::prctl(PR_SET_CHILD_SUBREAPER, 0); }
};

// qdsearch is stopped by a signal while the converter runs. The converter stand-in never
// ends on its own; it must not outlive qdsearch, and no file may be left in TMPDIR.
TEST_P(QdsearchPdfStop, KilledPdfSearchLeavesNoConverterAndNoFileRegression) {
    if (CT_PDF::converterProgram() != "pdftotext")
        GTEST_SKIP() << "a converter is installed in the program folder";
    const int signal = GetParam();
    TempDir tmp;
    const std::string docs = tmp.mkdir("docs");
    tmp.write("docs/Report.pdf", TestPdf::document("Quarterly zanzibar figures"));
    const std::string bin = tmp.mkdir("bin");
    const std::string pidFile = tmp / "converter.pid";
    tmp.write("bin/pdftotext", "#!/bin/sh\necho $$ > '" + pidFile + ".new'\nmv '" + pidFile + ".new' '" + pidFile +
                                   "'\nexec sleep 600\n");
    ASSERT_EQ(::chmod((bin + "/pdftotext").c_str(), 0755), 0);
    const std::string privateTmp = tmp.mkdir("tmp");
    const char* oldPath = std::getenv("PATH");
    ScopedEnv path("PATH", bin + ":" + (oldPath ? oldPath : "/usr/bin:/bin"));
    ScopedEnv tmpdir("TMPDIR", privateTmp);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string program = qdsearch(), text = "--text", term = "zanzibar", line = "";
    std::string folder = docs;
    char* argv[] = {program.data(), text.data(), term.data(), line.data(), folder.data(), nullptr};
    pid_t search = -1;
    ASSERT_EQ(::posix_spawn(&search, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    // Wait (generously) until the converter runs.
    pid_t converter = 0;
    int status = 0;
    for (int i = 0; i < 6000 && !converter; ++i) {
        std::ifstream in(pidFile);
        if (!(in >> converter)) {
            converter = 0;
            if (::waitpid(search, &status, WNOHANG) == search) {
                search = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ASSERT_GT(search, 0) << "qdsearch ended before the converter ran";
    if (!converter) {
        ::kill(search, SIGKILL);
        ::waitpid(search, &status, 0);
        FAIL() << "the converter did not start";
    }

    ASSERT_EQ(::kill(search, signal), 0);
    ASSERT_EQ(::waitpid(search, &status, 0), search);
    if (signal == SIGKILL)
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    else
        EXPECT_TRUE(WIFEXITED(status)) << "qdsearch was killed by signal " << WTERMSIG(status);

    // Gone: reaped by qdsearch (then not our child, and no such process), or an orphan
    // that was killed and now waits here to be reaped.
    bool gone = false;
    for (int i = 0; i < 3000 && !gone; ++i) {
        const pid_t r = ::waitpid(converter, &status, WNOHANG);
        if (r == converter)
            gone = true;
        else if (r < 0 && errno == ECHILD)
            gone = ::kill(converter, 0) != 0 && errno == ESRCH;
        if (!gone)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!gone) {
        ::kill(converter, SIGKILL);
        ::waitpid(converter, &status, 0);
    }
    EXPECT_TRUE(gone) << "the converter outlived qdsearch";
    EXPECT_EQ(entriesOf(privateTmp), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Signals, QdsearchPdfStop, ::testing::Values(SIGKILL, SIGTERM, SIGINT),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGKILL   ? "Kill"
                                                : info.param == SIGTERM ? "Term"
                                                                        : "Interrupt");
                         });

}  // namespace

namespace {

// The printed output, excerpts and order included, does not depend on the scanner count.
TEST(QdsearchThreads, SameOutputForEveryThreadCount) {
    TempDir tmp;
    const std::string docs = tmp.mkdir("docs");
    for (int i = 0; i < 40; ++i)
        tmp.write("docs/d" + std::to_string(i % 4) + "/f" + std::to_string(i) + (i % 5 == 0 ? ".pdf" : ".txt"),
                  std::string(size_t(i) * 911 % 5000, 'a') + (i % 3 ? " secretword tail" : " nothing"));
    tmp.write("docs/real.pdf", TestPdf::document("Quarterly secretword figures"));
    ScopedEnv cache("XDG_CACHE_HOME", tmp.mkdir("cache"));
    std::string one, err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--threads", "1", "--snippets", "--text", "secretword", "", docs},
                                    &one, &err),
              0)
        << err;
    EXPECT_NE(one.find("real.pdf"), std::string::npos);
    for (const char* threads : {"2", "0", "7"}) {
        std::string out;
        ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--threads", threads, "--snippets", "--text", "secretword", "", docs},
                                        &out, &err),
                  0)
            << err;
        EXPECT_EQ(out, one) << "--threads " << threads;
    }
}

}  // namespace
