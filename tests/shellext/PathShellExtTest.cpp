// The folder context-menu entry: selection, menu, help text, and the "/path" start.
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

#include "ExtResult.h"
#include "PathShellExt.h"
#include "ProgramStarter.h"
#include "ShellExtTestSupport.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "tools/Tool_Resource.h"

using namespace ShellExtTestSupport;

namespace {

// Waits until the detached recorder has written `count` calls (or gives up after a long
// while; the caller's check then fails with what was recorded).
std::vector<std::vector<std::string>> waitForCalls(const std::string& log, size_t count)
{
    for (int i = 0; i < 1000; ++i) {
        auto calls = readCalls(log);
        if (calls.size() >= count)
            return calls;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return readCalls(log);
}

class RecordingProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
        m_log = m_dir / "calls.log";
        ::setenv("QUENDREL_PROGRAM", writeRecorder(m_dir / "quendrel", m_log).c_str(), 1);
    }
    void TearDown() override { ::unsetenv("QUENDREL_PROGRAM"); }

    TempDir m_dir;
    std::string m_log;
};

struct ArgumentCase {
    const char* name;
    std::vector<std::string> folders;
    std::string argument;  // empty: refused
};

}  // namespace

TEST(PathShellExt, ProgramArgumentsFollowTheJoinedForm)
{
    const ArgumentCase cases[] = {
        {"one folder", {"/data"}, "\"/data \""},
        {"root", {"/"}, "\"/ \""},
        {"two folders", {"/a", "/b"}, "\"/a\"/b \""},
        {"three folders keep their order", {"/z", "/a", "/m"}, "\"/z\"/a\"/m \""},
        {"spaces", {"/my docs/old files"}, "\"/my docs/old files \""},
        {"single quotes", {"/it's here"}, "\"/it's here \""},
        {"non-ASCII", {"/données/日本語"}, "\"/données/日本語 \""},
        {"a trailing blank keeps the folder", {"/x ", "/y"}, "\"/x /\"/y \""},
        {"a double quote cannot be carried", {"/a", "/say \"hi\""}, ""},
        {"an empty folder", {"/a", ""}, ""},
        {"nothing", {}, ""},
    };
    for (const ArgumentCase& c : cases) {
        const std::vector<std::string> args = PathShellExt::programArguments(c.folders);
        if (c.argument.empty()) {
            EXPECT_TRUE(args.empty()) << c.name;
        } else {
            EXPECT_EQ(args, (std::vector<std::string>{"/path", c.argument})) << c.name;
        }
    }
    EXPECT_TRUE(PathShellExt::programArguments({"/" + std::string(PathShellExt::kMaxParameter, 'a')}).empty());
}

TEST(PathShellExt, InitializeKeepsTheReadablePathsAndReportsTheRest)
{
    PathShellExt ext;
    EXPECT_EQ(ext.Initialize({}), ExtResult::kInvalidArg);
    EXPECT_TRUE(ext.paths().empty());

    EXPECT_EQ(ext.Initialize({"/a", "/b"}), ExtResult::kOk);
    EXPECT_EQ(ext.paths(), (std::vector<std::string>{"/a", "/b"}));

    const std::string tooLong = "/" + std::string(PathShellExt::kMaxPath, 'x');
    EXPECT_EQ(ext.Initialize({"/c", nullptr, "", tooLong.c_str(), "/d"}), ExtResult::kInvalidArg);
    EXPECT_EQ(ext.paths(), (std::vector<std::string>{"/c", "/d"}));  // the old list was replaced
}

TEST(PathShellExt, MenuOffersOneEntryUnlessOnlyTheDefaultIsAsked)
{
    Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
    PathShellExt ext;
    std::vector<PathShellExt::MenuItem> menu = {{0, 7, "Open"}, {1, 8, "Copy"}};

    EXPECT_EQ(ext.QueryContextMenu(menu, 1, 100, 200, PathShellExt::kDefaultOnly), ExtResult::itemCount(0));
    EXPECT_EQ(menu.size(), 2u);
    EXPECT_EQ(ext.QueryContextMenu(menu, 1, 300, 299, 0), ExtResult::itemCount(0));  // no id free
    EXPECT_EQ(menu.size(), 2u);

    EXPECT_EQ(ext.QueryContextMenu(menu, 1, 100, 200, 0), ExtResult::itemCount(1));
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[1].commandId, 100u);
    EXPECT_EQ(menu[1].text, "Search with Quendrel");
    EXPECT_EQ(menu[2].text, "Copy");
    EXPECT_EQ(menu[2].position, 2u);
}

TEST(PathShellExt, HelpTextIsCutToTheCallersBuffer)
{
    Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
    PathShellExt ext;
    const std::string help = Tool_Resource::loadString(81);
    ASSERT_EQ(help, "Search the selected folders with Quendrel");

    char narrow[64];
    EXPECT_EQ(ext.GetCommandString(0, PathShellExt::kHelpText, narrow, sizeof narrow), ExtResult::kOk);
    EXPECT_EQ(std::string(narrow), help);
    EXPECT_EQ(ext.GetCommandString(0, PathShellExt::kHelpText, narrow, 7), ExtResult::kOk);
    EXPECT_EQ(std::string(narrow), "Search");
    EXPECT_EQ(ext.GetCommandString(0, PathShellExt::kHelpText, narrow, 1), ExtResult::kOk);
    EXPECT_EQ(std::string(narrow), "");

    char16_t wide[8];
    EXPECT_EQ(ext.GetCommandString(0, PathShellExt::kHelpText | PathShellExt::kUnicode, wide, 8), ExtResult::kOk);
    EXPECT_EQ(std::u16string(wide), u"Search ");

    // Refused: another command, a request that is not the help text, no buffer.
    EXPECT_EQ(ext.GetCommandString(1, PathShellExt::kHelpText, narrow, sizeof narrow), ExtResult::kInvalidArg);
    EXPECT_EQ(ext.GetCommandString(0, 0x0 /* verb */, narrow, sizeof narrow), ExtResult::kInvalidArg);
    EXPECT_EQ(ext.GetCommandString(0, 0x2 /* validate */, narrow, sizeof narrow), ExtResult::kInvalidArg);
    EXPECT_EQ(ext.GetCommandString(0, PathShellExt::kHelpText, nullptr, 10), ExtResult::kInvalidArg);
}

TEST(PathShellExt, TextIsNeverCutInsideACharacter)
{
    const std::string text = "用 Quendrel 搜索𝄞";  // 13 + 3 + 3 + 4 bytes; 11 + 1 + 1 + 2 UTF-16 units
    const struct {
        unsigned chars;
        std::string expected;
    } narrow[] = {{14, "用 Quendrel "}, {15, "用 Quendrel "}, {17, "用 Quendrel 搜"}, {23, "用 Quendrel 搜索"},
                  {24, text}, {3, ""}, {4, "用"}};
    for (const auto& c : narrow) {
        std::vector<char> buffer(c.chars, 'x');
        PathShellExt::copyText(text, false, buffer.data(), c.chars);
        EXPECT_EQ(std::string(buffer.data()), c.expected) << c.chars;
    }
    const struct {
        unsigned chars;
        std::u16string expected;
    } wide[] = {{13, u"用 Quendrel 搜"}, {14, u"用 Quendrel 搜索"}, {15, u"用 Quendrel 搜索"}, {16, u"用 Quendrel 搜索𝄞"}};
    for (const auto& c : wide) {
        std::vector<char16_t> buffer(c.chars, u'x');
        PathShellExt::copyText(text, true, buffer.data(), c.chars);
        EXPECT_EQ(std::u16string(buffer.data()), c.expected) << c.chars;
    }
}

TEST_F(RecordingProgram, InvokeStartsTheProgramWithThePathArgument)
{
    PathShellExt ext;
    ASSERT_EQ(ext.Initialize({"/srv/my data", "/home/ünï"}), ExtResult::kOk);
    EXPECT_EQ(ext.InvokeCommand(nullptr, 0), ExtResult::kOk);
    const auto calls = waitForCalls(m_log, 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (std::vector<std::string>{"/path", "\"/srv/my data\"/home/ünï \""}));
}

TEST_F(RecordingProgram, StringVerbsOtherCommandsAndUncarriableSelectionsStartNothing)
{
    PathShellExt ext;
    ASSERT_EQ(ext.Initialize({"/data"}), ExtResult::kOk);
    EXPECT_EQ(ext.InvokeCommand("open", 0), ExtResult::kInvalidArg);
    EXPECT_EQ(ext.InvokeCommand(nullptr, 1), ExtResult::kInvalidArg);
    PathShellExt quoted;
    ASSERT_EQ(quoted.Initialize({"/a \"b\""}), ExtResult::kOk);
    EXPECT_EQ(quoted.InvokeCommand(nullptr, 0), ExtResult::kInvalidArg);
    PathShellExt empty;
    EXPECT_EQ(empty.InvokeCommand(nullptr, 0), ExtResult::kInvalidArg);
    // One accepted start afterwards is the only call recorded.
    EXPECT_EQ(ext.InvokeCommand(nullptr, 0), ExtResult::kOk);
    const auto calls = waitForCalls(m_log, 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (std::vector<std::string>{"/path", "\"/data \""}));
}

TEST_F(RecordingProgram, LauncherTakesFoldersRelativeToItsFolderAndFileAddresses)
{
    const std::string qdext = TestPaths::binDir() + "/qdext";
    m_dir.mkdir("here/sub folder");
    EXPECT_EQ(run({qdext, "sub folder", "file:///tmp/a%20b"}, m_dir / "here"), 0);
    const auto calls = waitForCalls(m_log, 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (std::vector<std::string>{"/path", "\"" + (m_dir / "here/sub folder") + "\"/tmp/a b \""}));
    EXPECT_NE(run({qdext}), 0);  // nothing selected
}

TEST(ProgramStarter, FindsTheProgramBesideItselfBeforeThePath)
{
    TempDir dir;
    const std::string beside = writeRecorder(dir.mkdir("bin") + "/quendrel", dir / "log");
    const std::string onPath = writeRecorder(dir.mkdir("other") + "/quendrel", dir / "log");
    dir.write("plain/quendrel", "not executable");
    EXPECT_EQ(ProgramStarter::findProgramIn(dir / "bin", dir / "plain:" + dir / "other"), beside);
    EXPECT_EQ(ProgramStarter::findProgramIn(dir / "none", "relative:" + dir / "plain:" + dir / "other"), onPath);
    EXPECT_EQ(ProgramStarter::findProgramIn(dir / "none", dir / "plain"), "");
    EXPECT_EQ(ProgramStarter::folderOf("/usr/bin/quendrel"), "/usr/bin");
    EXPECT_EQ(ProgramStarter::folderOf("/quendrel"), "/");
    EXPECT_FALSE(ProgramStarter::start(dir / "missing", {}, {}));
}
