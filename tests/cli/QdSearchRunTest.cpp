// qdsearch run as a program: output formats, exit statuses, Ctrl+C.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "tools/Tool_Resource.h"

extern char** environ;

namespace {

std::string qdsearch() { return TestPaths::binDir() + "/qdsearch"; }

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> out;
    std::string current;
    for (char c : text) {
        if (c == separator) {
            out.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    EXPECT_TRUE(current.empty()) << "output does not end with a separator";
    return out;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

class QdSearchRun : public ::testing::Test {
protected:
    TempDir tmp;
    std::string out, err;
};

TEST_F(QdSearchRun, PrintsOnePathPerResultAndExitsZero) {
    tmp.write("t/a.txt", "x");
    tmp.write("t/sub/b.txt", "x");
    tmp.write("t/c.doc", "x");
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"*.txt", tmp / "t"}, &out, &err), 0) << err;
    EXPECT_EQ(sorted(split(out, '\n')), sorted({tmp / "t/a.txt", tmp / "t/sub/b.txt"}));
}

TEST_F(QdSearchRun, NothingFoundExitsOne) {
    tmp.write("a.txt", "x");
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"nomatch", tmp.path()}, &out, &err), 1);
    EXPECT_TRUE(out.empty());
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    unsigned languageString;   // 0: any message
};

class QdSearchUsage : public QdSearchRun, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(QdSearchUsage, ExitsTwoWithAMessage) {
    const auto& a = GetParam().args;
    int rc = -1;
    switch (a.size()) {
    case 1: rc = TestPaths::runProgram(qdsearch(), {a[0]}, &out, &err); break;
    case 2: rc = TestPaths::runProgram(qdsearch(), {a[0], a[1]}, &out, &err); break;
    case 3: rc = TestPaths::runProgram(qdsearch(), {a[0], a[1], a[2]}, &out, &err); break;
    default: FAIL();
    }
    EXPECT_EQ(rc, 2);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(err.rfind("qdsearch: ", 0), 0u) << err;
    if (GetParam().languageString) {
        Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
        const std::string text = Tool_Resource::loadString(GetParam().languageString);
        EXPECT_NE(text, "Failed String");
        EXPECT_NE(err.find(text), std::string::npos) << err;
    }
}

INSTANTIATE_TEST_SUITE_P(Options, QdSearchUsage,
                         ::testing::Values(UsageCase{"UnknownOption", {"--bogus"}, 0},
                                           UsageCase{"MissingFolder", {"x", "/nonexistent/folder/q"}, 0},
                                           UsageCase{"BadSize", {"--larger", "big"}, 0},
                                           UsageCase{"BadTarget", {"--target", "x"}, 0},
                                           UsageCase{"HexOddDigits", {"--hex", "414"}, 90},
                                           UsageCase{"HexBadDigit", {"--hex", "zz"}, 91}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QdSearchRun, NulSeparatedOutputKeepsNewlinesInNames) {
    tmp.write("n/line\nbreak.txt", "x");
    tmp.write("n/bad\xff.txt", "x");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"-0", "", tmp / "n"}, &out, &err), 0) << err;
    EXPECT_EQ(sorted(split(out, '\0')), sorted({tmp / "n/line\nbreak.txt", tmp / "n/bad\xff.txt"}));
}

TEST_F(QdSearchRun, LongFormatIsTabSeparated) {
    tmp.write("l/data.bin", std::string(1234, 'a'));
    tmp.setTimes("l/data.bin", 1'600'000'000);
    tmp.mkdir("l/folder");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--long", "", tmp / "l"}, &out, &err), 0) << err;
    auto lines = split(out, '\n');
    ASSERT_EQ(lines.size(), 2u);
    if (lines[0].find("data.bin") == std::string::npos)
        std::swap(lines[0], lines[1]);
    const std::regex format(R"(^(\d+)\t(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)\t([-d][-h][-r][-s][-l])\t(/.*)$)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m, format)) << lines[0];
    EXPECT_EQ(m[1], "1234");
    EXPECT_EQ(m[3], "-----");
    EXPECT_EQ(m[4], tmp / "l/data.bin");
    char expectedTime[32];
    const time_t t = 1'600'000'000;
    std::strftime(expectedTime, sizeof expectedTime, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
    EXPECT_EQ(m[2], expectedTime);
    ASSERT_TRUE(std::regex_match(lines[1], m, format)) << lines[1];
    EXPECT_EQ(m[1], "0");
    EXPECT_EQ(m[3], "d----");
}

TEST_F(QdSearchRun, CountAndStats) {
    tmp.write("c/a.txt", "x");
    tmp.write("c/b.txt", "x");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--count", "--stats", "*.txt", tmp / "c"}, &out, &err), 0);
    EXPECT_EQ(out, "2\n");
    EXPECT_TRUE(std::regex_match(err, std::regex(R"(2 results in \d+ ms\n)"))) << err;
}

TEST_F(QdSearchRun, ContentSearchWithSnippets) {
    tmp.write("s/hit.txt", "before the needle after");
    tmp.write("s/miss.txt", "nothing here");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "NEEDLE", "--snippets", "", tmp / "s"}, &out, &err), 0)
        << err;
    const auto lines = split(out, '\n');
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], tmp / "s/hit.txt");
    EXPECT_EQ(lines[1].front(), '\t');
    EXPECT_NE(lines[1].find("[needle]"), std::string::npos) << lines[1];
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "NEEDLE", "--case", "", tmp / "s"}, &out, &err), 1);
}

TEST_F(QdSearchRun, ExpressionTermsFollowTheMainTerm) {
    tmp.write("e/only.txt", "alpha");
    tmp.write("e/both.txt", "alpha beta");
    tmp.write("e/none.txt", "gamma");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--expr", "alpha -beta", "", tmp / "e"}, &out, &err), 0) << err;
    EXPECT_EQ(out, tmp / "e/only.txt\n");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "gamma", "--expr", "^alpha", "", tmp / "e"}, &out, &err), 0);
    EXPECT_EQ(sorted(split(out, '\n')), sorted({tmp / "e/only.txt", tmp / "e/both.txt", tmp / "e/none.txt"}));
}

// A term in the file's last bytes used to be missed when a longer term was searched too,
// and a file shorter than the longest term never matched.
TEST_F(QdSearchRun, ShortTermInTheLastBytesIsFoundRegression) {
    tmp.write("r/exact.txt", "alpha beta");
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"--expr", "alpha -beta", "", tmp / "r"}, &out, &err), 1) << out;
    EXPECT_EQ(out, "");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--expr", "alpha +beta", "", tmp / "r"}, &out, &err), 0) << err;
    EXPECT_EQ(out, tmp / "r/exact.txt\n");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "alpha", "--expr", "+beta", "--snippets", "", tmp / "r"},
                                    &out, &err),
              0)
        << err;
    EXPECT_NE(out.find("[beta]"), std::string::npos) << out;
}

TEST_F(QdSearchRun, FileShorterThanLongestTermIsStillEvaluatedRegression) {
    tmp.write("s/short.txt", "abc!!");
    tmp.write("s/empty.txt", "");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--expr", "abc -averylongterm", "", tmp / "s"}, &out, &err), 0)
        << err;
    EXPECT_EQ(out, tmp / "s/short.txt\n");
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--text", "averylongterm", "--not", "", tmp / "s"}, &out, &err), 0)
        << err;
    EXPECT_EQ(sorted(split(out, '\n')), sorted({tmp / "s/short.txt", tmp / "s/empty.txt"}));
}

TEST_F(QdSearchRun, ArchiveMembersPrintAsArchivePathPlusInnerPath) {
    const std::string zip = tmp / "z/pack.zip";
    tmp.mkdir("z");
    ASSERT_EQ(TestPaths::runProgram("python3", {"-c",
                                                "import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1],'w')\n"
                                                "z.writestr('in/deep.txt','x')\nz.close()",
                                                zip},
                                    nullptr, &err),
              0)
        << err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--archives", "deep", tmp / "z"}, &out, &err), 0) << err;
    EXPECT_EQ(out, zip + "/in/deep.txt\n");
    EXPECT_EQ(TestPaths::runProgram(qdsearch(), {"deep", tmp / "z"}, &out, &err), 1);
}

TEST_F(QdSearchRun, HelpAndVersion) {
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--help"}, &out, &err), 0);
    EXPECT_NE(out.find("Usage: qdsearch"), std::string::npos);
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--version"}, &out, &err), 0);
    EXPECT_EQ(out.rfind("qdsearch ", 0), 0u);
}

TEST_F(QdSearchRun, InterruptStopsCleanlyAndKeepsWholeResults) {
    // Enough results to fill the pipe: qdsearch blocks writing until we read, so the
    // interrupt certainly arrives while the search runs.
    const std::string name(120, 'n');
    for (int i = 0; i < 3000; ++i)
        tmp.write("big/" + name + std::to_string(i), "");
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::string program = qdsearch(), line = "", folder = tmp / "big";
    char* argv[] = {program.data(), line.data(), folder.data(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);

    pollfd p{pipeFds[0], POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 60'000), 1);   // the search runs (the watcher is installed first)
    ::usleep(200'000);                     // let it fill the pipe and block
    ASSERT_EQ(::kill(pid, SIGINT), 0);
    std::string text;
    char buf[65536];
    for (ssize_t n; (n = ::read(pipeFds[0], buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);   // results were found before the interrupt
    const auto lines = split(text, '\n');
    EXPECT_GT(lines.size(), 0u);
    EXPECT_LT(lines.size(), 3000u);
    for (const auto& l : lines)
        EXPECT_EQ(l.rfind(tmp / "big/" + name, 0), 0u) << l;
}

}  // namespace
