// The file managers' entry: register, register again, unregister; uca.xml editing; and
// each installed entry's command line starting the program with the folder.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

#include "FileManagerEntries.h"
#include "ShellExtTestSupport.h"
#include "UcaXml.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "tools/Tool_Resource.h"

using namespace ShellExtTestSupport;
using Manager = FileManagerEntries::Manager;

namespace {

const std::string kForeignUca =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- kept by hand -->\n"
    "<actions>\n"
    "<action>\n\t<icon>utilities-terminal</icon>\n\t<name>Open Terminal Here</name>\n"
    "\t<unique-id>1398520935447-1</unique-id>\n\t<command>exo-open --working-directory %f</command>\n"
    "\t<description>Example for a custom action &amp; more</description>\n\t<patterns>*</patterns>\n"
    "\t<startup-notify/>\n\t<directories/>\n</action>\n"
    "<action><name>Sum <![CDATA[</action>]]></name><unique-id>sum-2</unique-id>"
    "<command>sha256sum %F</command><other-files/></action>\n"
    "</actions>\n";

class Entries : public ::testing::Test {
protected:
    void SetUp() override
    {
        Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
        m_data = m_dir.mkdir("data");
        m_config = m_dir.mkdir("config");
        m_log = m_dir / "calls.log";
        ::setenv("QUENDREL_PROGRAM", writeRecorder(m_dir / "quendrel", m_log).c_str(), 1);
    }
    void TearDown() override { ::unsetenv("QUENDREL_PROGRAM"); }

    FileManagerEntries entries() const { return FileManagerEntries(TestPaths::binDir() + "/qdext", m_data, m_config); }
    std::string uca() const { return m_config + "/Thunar/uca.xml"; }

    std::vector<std::vector<std::string>> waitForCalls(size_t count) const
    {
        for (int i = 0; i < 1000; ++i) {
            auto calls = readCalls(m_log);
            if (calls.size() >= count)
                return calls;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return readCalls(m_log);
    }

    TempDir m_dir;
    std::string m_data, m_config, m_log;
};

// The arguments of a desktop-entry Exec value: the string escapes undone, then split
// into words with the double-quote rules, %F replaced by `folder`.
std::vector<std::string> execArguments(std::string value, const std::string& folder)
{
    std::string unescaped;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char n = value[++i];
            unescaped += n == 's' ? ' ' : n == 'n' ? '\n' : n == 't' ? '\t' : n;
        } else {
            unescaped += value[i];
        }
    }
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < unescaped.size(); ++i) {
        const char c = unescaped[i];
        if (quoted) {
            if (c == '\\' && i + 1 < unescaped.size())
                word += unescaped[++i];
            else if (c == '"')
                quoted = false;
            else
                word += c;
        } else if (c == '"') {
            quoted = inWord = true;
        } else if (c == ' ') {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    std::vector<std::string> out;
    for (const std::string& w : words) {
        if (w == "%F")
            out.push_back(folder);
        else if (w.find("%%") != std::string::npos)
            out.push_back(w.substr(0, w.find("%%")) + "%" + w.substr(w.find("%%") + 2));
        else
            out.push_back(w);
    }
    return out;
}

std::string keyValue(const std::string& text, const std::string& key)
{
    const size_t at = text.find("\n" + key + "=");
    if (at == std::string::npos)
        return {};
    const size_t begin = at + key.size() + 2;
    return text.substr(begin, text.find('\n', begin) - begin);
}

bool isExecutable(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0111) == 0111;
}

}  // namespace

TEST_F(Entries, RegisterKeepsOtherThunarActionsAndUnregisterRestoresTheFile)
{
    m_dir.write("config/Thunar/uca.xml", kForeignUca);
    std::string error;
    ASSERT_TRUE(entries().registerAll(&error)) << error;
    EXPECT_TRUE(entries().isRegistered());

    const std::string registered = readWhole(uca());
    UcaXml::Layout layout;
    ASSERT_TRUE(UcaXml::read(registered, layout));
    ASSERT_EQ(layout.actions.size(), 3u);
    EXPECT_EQ(layout.actions[0].uniqueId, "1398520935447-1");
    EXPECT_EQ(layout.actions[1].uniqueId, "sum-2");
    EXPECT_EQ(layout.actions[2].uniqueId, FileManagerEntries::kThunarId);
    // Every byte of the other actions, the comment and the declaration is still there.
    const size_t close = kForeignUca.rfind("</actions>");
    EXPECT_EQ(registered.substr(0, close), kForeignUca.substr(0, close));

    struct stat before {};
    ::stat(uca().c_str(), &before);
    ASSERT_TRUE(entries().registerAll(&error)) << error;
    struct stat after {};
    ::stat(uca().c_str(), &after);
    EXPECT_EQ(readWhole(uca()), registered);
    EXPECT_EQ(before.st_ino, after.st_ino);  // not even rewritten

    ASSERT_TRUE(entries().unregisterAll(&error)) << error;
    EXPECT_EQ(readWhole(uca()), kForeignUca);
    EXPECT_FALSE(entries().anyRegistered());
    for (Manager m : FileManagerEntries::managers()) {
        if (m != Manager::Thunar) {
            EXPECT_FALSE(std::ifstream(entries().entryPath(m)).good()) << entries().entryPath(m);
        }
    }
}

TEST_F(Entries, RegisterTwiceChangesNothingAndAMovedEntryIsPutBack)
{
    std::string error;
    ASSERT_TRUE(entries().registerAll(&error)) << error;
    std::vector<std::string> first;
    for (Manager m : FileManagerEntries::managers())
        first.push_back(readWhole(entries().entryPath(m)));
    ASSERT_TRUE(entries().registerAll(&error)) << error;
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(readWhole(entries().entryPath(FileManagerEntries::managers()[i])), first[i]);

    UcaXml::Layout layout;
    ASSERT_TRUE(UcaXml::read(readWhole(uca()), layout));
    EXPECT_EQ(layout.actions.size(), 1u);
    for (Manager m : {Manager::Dolphin, Manager::Nautilus, Manager::Caja})
        EXPECT_TRUE(isExecutable(entries().entryPath(m)));

    // A second copy of our Thunar action (a hand edit) is folded back into one.
    const std::string twice = first[3].substr(0, first[3].rfind("</actions>")) + entries().entryText(Manager::Thunar) +
                              "</actions>\n";
    m_dir.write("config/Thunar/uca.xml", twice);
    EXPECT_FALSE(entries().isRegistered());
    ASSERT_TRUE(entries().registerAll(&error)) << error;
    EXPECT_EQ(readWhole(uca()), first[3]);
}

TEST_F(Entries, AForeignFileOrAnUnreadableUcaIsLeftAlone)
{
    const std::string foreign = "[Desktop Entry]\nType=Service\nName=Someone else's\n";
    m_dir.write("data/kio/servicemenus/quendrel-search.desktop", foreign);
    const std::string broken = "<actions><action><unique-id>x</unique-id></actions>";
    m_dir.write("config/Thunar/uca.xml", broken);
    std::string error;
    EXPECT_FALSE(entries().registerAll(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readWhole(m_data + "/kio/servicemenus/quendrel-search.desktop"), foreign);
    EXPECT_EQ(readWhole(uca()), broken);
    // The others were still installed.
    EXPECT_TRUE(std::ifstream(entries().entryPath(Manager::Nemo)).good());

    EXPECT_FALSE(entries().unregisterAll(&error));  // uca.xml still unreadable
    EXPECT_EQ(readWhole(m_data + "/kio/servicemenus/quendrel-search.desktop"), foreign);
    EXPECT_FALSE(std::ifstream(entries().entryPath(Manager::Nemo)).good());
}

TEST(UcaXml, ReaderRefusesWhatItCannotRead)
{
    const struct {
        const char* text;
        bool ok;
    } cases[] = {
        {"<actions/>", true},
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE actions>\n<actions></actions>", true},
        {"<actions><action a='>'><unique-id> a&amp;b </unique-id></action></actions>", true},
        {"<actions><action></actions>", false},
        {"<actions></action></actions>", false},
        {"<other></other>", false},
        {"<actions></actions><actions></actions>", false},
        {"<actions><!-- open </actions>", false},
        {"<actions><action", false},
        {"text<actions></actions>", false},
        {"<!DOCTYPE a [<!ENTITY x 'y'>]><actions></actions>", false},
        {"", false},
    };
    for (const auto& c : cases) {
        UcaXml::Layout layout;
        EXPECT_EQ(UcaXml::read(c.text, layout), c.ok) << c.text;
    }
    UcaXml::Layout layout;
    ASSERT_TRUE(UcaXml::read("<actions><action a='>'><unique-id> a&amp;b </unique-id></action></actions>", layout));
    ASSERT_EQ(layout.actions.size(), 1u);
    EXPECT_EQ(layout.actions[0].uniqueId, "a&b");

    std::string deep;
    for (int i = 0; i < UcaXml::kMaxDepth + 1; ++i)
        deep += "<actions>";
    EXPECT_FALSE(UcaXml::read(deep, layout));

    std::string out;
    ASSERT_TRUE(UcaXml::edit("<actions/>\n", "id", "<action><unique-id>id</unique-id></action>\n", out));
    EXPECT_EQ(out, "<actions>\n<action><unique-id>id</unique-id></action>\n</actions>\n");
}

TEST_F(Entries, EachInstalledCommandLineStartsTheProgramWithTheFolder)
{
    std::string error;
    ASSERT_TRUE(entries().registerAll(&error)) << error;
    const std::string folder = m_dir.mkdir("My 'odd' folder $HOME");
    size_t expected = 0;

    // Desktop-entry style: Dolphin, Nemo, PCManFM-Qt.
    for (Manager m : {Manager::Dolphin, Manager::Nemo, Manager::PcmanfmQt}) {
        const std::string exec = keyValue(readWhole(entries().entryPath(m)), "Exec");
        ASSERT_FALSE(exec.empty());
        EXPECT_EQ(run(execArguments(exec, folder)), 0) << exec;
        ++expected;
    }
    // Scripts: Nautilus and Caja run them in the shown folder with the names selected.
    for (Manager m : {Manager::Nautilus, Manager::Caja}) {
        EXPECT_EQ(run({entries().entryPath(m), "My 'odd' folder $HOME"}, m_dir.path()), 0);
        ++expected;
    }
    // Thunar: the command with %F replaced by the quoted folder, read by a shell.
    UcaXml::Layout layout;
    const std::string text = readWhole(uca());
    ASSERT_TRUE(UcaXml::read(text, layout));
    const std::string action = text.substr(layout.actions[0].begin, layout.actions[0].end - layout.actions[0].begin);
    const size_t begin = action.find("<command>") + 9;
    std::string command = UcaXml::unescape(action.substr(begin, action.find("</command>") - begin));
    command.replace(command.find("%F"), 2, FileManagerEntries::shellQuote(folder));
    EXPECT_EQ(run({"/bin/sh", "-c", command}), 0) << command;
    ++expected;

    const auto calls = waitForCalls(expected);
    ASSERT_EQ(calls.size(), expected);
    for (const auto& call : calls)
        EXPECT_EQ(call, (std::vector<std::string>{"/path", "\"" + folder + " \""}));
}

TEST(FileManagerEntries, QuotingFollowsTheDesktopEntryRules)
{
    EXPECT_EQ(FileManagerEntries::quoteExecArgument("/usr/bin/qdext"), "/usr/bin/qdext");
    EXPECT_EQ(FileManagerEntries::quoteExecArgument("/opt/my apps/qdext"), "\"/opt/my apps/qdext\"");
    EXPECT_EQ(FileManagerEntries::quoteExecArgument("/a\"b$c`d\\e"), "\"/a\\\"b\\$c\\`d\\\\e\"");
    EXPECT_EQ(FileManagerEntries::quoteExecArgument("/100%/x"), "/100%%/x");
    EXPECT_EQ(FileManagerEntries::shellQuote("it's"), "'it'\\''s'");
}
