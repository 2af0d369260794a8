// Control characters in names and excerpts are escaped on a terminal and nowhere else.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "cli/QdTerminalText.h"
#include "support/TempDir.h"
#include "tests/cli/InProcessRun.h"

namespace {

struct EscapeCase {
    const char* name;
    std::string text;
    std::string shown;
};

class EscapeControls : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeControls, AsShownOnATerminal) {
    EXPECT_EQ(QdTerminalText::escapeControls(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, EscapeControls,
    ::testing::Values(EscapeCase{"PlainAsciiStays", "report 2024.txt", "report 2024.txt"},
                      EscapeCase{"Utf8Stays", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
                      EscapeCase{"Escape", "a\x1b[31mred", "a\\e[31mred"},
                      EscapeCase{"Bell", "ding\a", "ding\\a"},
                      EscapeCase{"NamedC0", std::string("\b\t\n\v\f\r", 6), "\\b\\t\\n\\v\\f\\r"},
                      EscapeCase{"OtherC0", std::string("\x00\x01\x1f", 3), "\\x00\\x01\\x1f"},
                      EscapeCase{"Delete", "x\x7fy", "x\\x7fy"},
                      EscapeCase{"C1InUtf8", "\xc2\x9b" "2J\xc2\x80\xc2\x9f", "\\u009b2J\\u0080\\u009f"},
                      EscapeCase{"FirstCharacterAfterC1Stays", "\xc2\xa0", "\xc2\xa0"},
                      EscapeCase{"LoneC1Byte", "\x9b" "2J", "\\x9b2J"},
                      EscapeCase{"CutSequence", "ab\xe2\x82", "ab\\xe2\\x82"},
                      EscapeCase{"InvalidLead", "\xff\xfe", "\\xff\\xfe"},
                      EscapeCase{"BackslashIsDoubled", "a\\e", "a\\\\e"}),
    [](const auto& info) { return std::string(info.param.name); });

// A pseudo-terminal in raw mode (no newline translation) for standard output.
class Pty {
public:
    Pty() {
        if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0)
            return;
        termios mode{};
        ::tcgetattr(m_slave, &mode);
        ::cfmakeraw(&mode);
        ::tcsetattr(m_slave, TCSANOW, &mode);
    }
    ~Pty() {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    bool ok() const { return m_master >= 0 && m_slave >= 0; }
    int slave() const { return m_slave; }
    // Everything written to the terminal so far.
    std::string drain() const {
        std::string text;
        char buffer[4096];
        pollfd p{m_master, POLLIN, 0};
        while (::poll(&p, 1, 100) == 1 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, static_cast<size_t>(n));
        }
        return text;
    }

private:
    int m_master = -1, m_slave = -1;
};

class TerminalOutput : public ::testing::Test {
protected:
    void SetUp() override {
        tmp.write("t/evil\x1b]0;owned\a.txt", "see \x1b[2Jthe needle\a here");
        ASSERT_TRUE(pty.ok());
    }
    TempDir tmp;
    Pty pty;
};

TEST_F(TerminalOutput, NamesAndSnippetsAreEscapedOnATerminalRegression) {
    const InProcessRun run = runInProcess({"--text", "needle", "--snippets", "", tmp / "t"}, pty.slave());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(pty.drain(), tmp / "t/evil\\e]0;owned\\a.txt\n\tsee \\e[2Jthe [needle]\\a here\n");
}

TEST_F(TerminalOutput, LongFormatEscapesThePathOnly) {
    const InProcessRun run = runInProcess({"--long", "evil", tmp / "t"}, pty.slave());
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string shown = pty.drain();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\t'), 3) << shown;
    EXPECT_NE(shown.find("\t" + tmp / "t/evil\\e]0;owned\\a.txt\n"), std::string::npos) << shown;
}

TEST_F(TerminalOutput, NulSeparatedOutputStaysExactEvenOnATerminal) {
    const InProcessRun run = runInProcess({"-0", "evil", tmp / "t"}, pty.slave());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(pty.drain(), tmp / "t/evil\x1b]0;owned\a.txt" + std::string(1, '\0'));
}

TEST_F(TerminalOutput, PipesAndNulOutputStayByteExact) {
    InProcessRun run = runInProcess({"--text", "needle", "--snippets", "", tmp / "t"});
    EXPECT_EQ(run.out, tmp / "t/evil\x1b]0;owned\a.txt\n\tsee \x1b[2Jthe [needle]\a here\n");
    run = runInProcess({"-0", "evil", tmp / "t"});
    EXPECT_EQ(run.out, tmp / "t/evil\x1b]0;owned\a.txt" + std::string(1, '\0'));
}

}  // namespace
