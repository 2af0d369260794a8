#include "platform/XdgFolders.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string absoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return {};
    return withoutTrailingSlash(value);
}

std::string underHome(const char* relative) {
    const std::string h = XdgFolders::home();
    return (h == "/" ? "" : h) + "/" + relative;
}

const char* userDirKey(XdgFolders::UserDir which) {
    switch (which) {
    case XdgFolders::UserDir::Desktop: return "DESKTOP";
    case XdgFolders::UserDir::Documents: return "DOCUMENTS";
    case XdgFolders::UserDir::Download: return "DOWNLOAD";
    case XdgFolders::UserDir::Music: return "MUSIC";
    case XdgFolders::UserDir::Pictures: return "PICTURES";
    case XdgFolders::UserDir::PublicShare: return "PUBLICSHARE";
    case XdgFolders::UserDir::Templates: return "TEMPLATES";
    case XdgFolders::UserDir::Videos: return "VIDEOS";
    }
    return "";
}

const char* userDirDefault(XdgFolders::UserDir which) {
    switch (which) {
    case XdgFolders::UserDir::Desktop: return "Desktop";
    case XdgFolders::UserDir::Documents: return "Documents";
    case XdgFolders::UserDir::Download: return "Downloads";
    case XdgFolders::UserDir::Music: return "Music";
    case XdgFolders::UserDir::Pictures: return "Pictures";
    case XdgFolders::UserDir::PublicShare: return "Public";
    case XdgFolders::UserDir::Templates: return "Templates";
    case XdgFolders::UserDir::Videos: return "Videos";
    }
    return "";
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

std::string XdgFolders::home() {
    const char* h = std::getenv("HOME");
    if (h && h[0] == '/')
        return withoutTrailingSlash(h);
    struct passwd pw {};
    struct passwd* result = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &pw, buffer, sizeof buffer, &result) == 0 && result && result->pw_dir &&
        result->pw_dir[0] == '/')
        return withoutTrailingSlash(result->pw_dir);
    return "/";
}

std::string XdgFolders::configHome() {
    std::string v = absoluteEnv("XDG_CONFIG_HOME");
    return v.empty() ? underHome(".config") : v;
}

std::string XdgFolders::dataHome() {
    std::string v = absoluteEnv("XDG_DATA_HOME");
    return v.empty() ? underHome(".local/share") : v;
}

std::string XdgFolders::cacheHome() {
    std::string v = absoluteEnv("XDG_CACHE_HOME");
    return v.empty() ? underHome(".cache") : v;
}

std::string XdgFolders::runtimeDir() { return absoluteEnv("XDG_RUNTIME_DIR"); }

std::string XdgFolders::programConfigFolder() { return configHome() + "/Quendrel"; }
std::string XdgFolders::programDataFolder() { return dataHome() + "/Quendrel"; }
std::string XdgFolders::programCacheFolder() { return cacheHome() + "/Quendrel"; }

std::string XdgFolders::parseUserDir(std::string_view text, UserDir which, const std::string& homeFolder) {
    const std::string key = std::string("XDG_") + userDirKey(which) + "_DIR";
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        std::string_view line = trimBlanks(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        if (line.empty() || line.front() == '#')
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || trimBlanks(line.substr(0, eq)) != key)
            continue;
        std::string_view value = trimBlanks(line.substr(eq + 1));
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            return {};
        value = value.substr(1, value.size() - 2);
        // The file escapes the double quote, the backslash and the dollar sign with a backslash.
        std::string raw;
        for (size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size())
                ++i;
            raw += value[i];
        }
        std::string unescaped;
        if (value.substr(0, 5) == "$HOME" && (value.size() == 5 || value[5] == '/'))
            unescaped = homeFolder + raw.substr(5);
        else if (!raw.empty() && raw.front() == '/')
            unescaped = raw;
        else
            return {};
        return withoutTrailingSlash(unescaped);
    }
    return {};
}

std::string XdgFolders::userDir(UserDir which) {
    const std::string h = home();
    std::ifstream file(configHome() + "/user-dirs.dirs", std::ios::binary);
    if (file) {
        std::ostringstream text;
        text << file.rdbuf();
        std::string found = parseUserDir(text.str(), which, h);
        if (!found.empty())
            return found;
    }
    return (h == "/" ? "" : h) + "/" + userDirDefault(which);
}

bool XdgFolders::ensureFolder(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const size_t slash = path.rfind('/');
    if (slash > 0 && !ensureFolder(path.substr(0, slash)))
        return false;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
