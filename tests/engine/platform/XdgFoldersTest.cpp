#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>

#include "platform/XdgFolders.h"
#include "support/TempDir.h"

namespace {

// Sets or clears environment variables for one test and restores them afterwards.
class EnvGuard {
public:
    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        m_saved.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvGuard() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST(XdgFolders, EnvironmentOverridesHomeDefaults) {
    EnvGuard env;
    env.set("HOME", "/home/tester/");
    env.set("XDG_CONFIG_HOME", "/x/cfg/");
    env.set("XDG_DATA_HOME", nullptr);
    env.set("XDG_CACHE_HOME", "relative/cache");  // relative values are ignored
    env.set("XDG_RUNTIME_DIR", "/run/user/1000");
    EXPECT_EQ(XdgFolders::home(), "/home/tester");
    EXPECT_EQ(XdgFolders::configHome(), "/x/cfg");
    EXPECT_EQ(XdgFolders::dataHome(), "/home/tester/.local/share");
    EXPECT_EQ(XdgFolders::cacheHome(), "/home/tester/.cache");
    EXPECT_EQ(XdgFolders::runtimeDir(), "/run/user/1000");
    EXPECT_EQ(XdgFolders::programConfigFolder(), "/x/cfg/Quendrel");
    EXPECT_EQ(XdgFolders::programDataFolder(), "/home/tester/.local/share/Quendrel");
    EXPECT_EQ(XdgFolders::programCacheFolder(), "/home/tester/.cache/Quendrel");
    env.set("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(XdgFolders::runtimeDir(), "");
}

TEST(XdgFolders, HomeFallsBackToThePasswordDatabase) {
    EnvGuard env;
    env.set("HOME", nullptr);
    const std::string h = XdgFolders::home();
    ASSERT_FALSE(h.empty());
    EXPECT_EQ(h[0], '/');
}

struct UserDirCase {
    const char* name;
    std::string text;
    XdgFolders::UserDir which;
    std::string expected;
};
class UserDirParse : public ::testing::TestWithParam<UserDirCase> {};

TEST_P(UserDirParse, ReadsTheUserDirsFile) {
    EXPECT_EQ(XdgFolders::parseUserDir(GetParam().text, GetParam().which, "/h"), GetParam().expected);
}

using UD = XdgFolders::UserDir;
INSTANTIATE_TEST_SUITE_P(
    Lines, UserDirParse,
    ::testing::Values(
        UserDirCase{"HomeRelative", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", UD::Desktop, "/h/Desktop"},
        UserDirCase{"Absolute", "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n", UD::Documents, "/srv/docs"},
        UserDirCase{"Localised", "XDG_MUSIC_DIR=\"$HOME/Musik\"\n", UD::Music, "/h/Musik"},
        UserDirCase{"TurnedOffMeansHome", "XDG_VIDEOS_DIR=\"$HOME/\"\n", UD::Videos, "/h"},
        UserDirCase{"EscapedQuote", "XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\"\"\n", UD::Pictures, "/h/My \"Pics\""},
        UserDirCase{"Unquoted", "XDG_DOWNLOAD_DIR=$HOME/Downloads\n", UD::Download, ""},
        UserDirCase{"RelativeRejected", "XDG_TEMPLATES_DIR=\"Templates\"\n", UD::Templates, ""},
        UserDirCase{"HomePrefixMustEndThere", "XDG_PUBLICSHARE_DIR=\"$HOMEX/p\"\n", UD::PublicShare, ""},
        UserDirCase{"OtherKeyOnly", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", UD::Documents, ""},
        UserDirCase{"CrLf", "XDG_DESKTOP_DIR=\"$HOME/D\"\r\n", UD::Desktop, "/h/D"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XdgFolders, UserDirUsesTheFileElseDefaults) {
    TempDir dir;
    EnvGuard env;
    env.set("HOME", "/home/t");
    env.set("XDG_CONFIG_HOME", dir.path().c_str());
    EXPECT_EQ(XdgFolders::userDir(UD::Documents), "/home/t/Documents");
    EXPECT_EQ(XdgFolders::userDir(UD::Download), "/home/t/Downloads");
    dir.write("user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(XdgFolders::userDir(UD::Documents), "/home/t/Dokumente");
    EXPECT_EQ(XdgFolders::userDir(UD::Desktop), "/home/t/Desktop");
}

TEST(XdgFolders, EnsureFolderCreatesMissingParents) {
    TempDir dir;
    const std::string deep = dir / "a/b/c";
    EXPECT_TRUE(XdgFolders::ensureFolder(deep));
    struct stat st {};
    ASSERT_EQ(::stat(deep.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_TRUE(XdgFolders::ensureFolder(deep));
    dir.write("file", "x");
    EXPECT_FALSE(XdgFolders::ensureFolder(dir / "file"));
    EXPECT_FALSE(XdgFolders::ensureFolder(dir / "file/sub"));
    EXPECT_FALSE(XdgFolders::ensureFolder("relative/path"));
}

}  // namespace
