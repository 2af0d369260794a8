#pragma once
// The per-user folders of the freedesktop base-directory and user-directory conventions,
// and the program's own folders below them. Every path is absolute, without a trailing '/'.
// Nothing is created unless ensureFolder() is asked to.
#include <string>
#include <string_view>

class XdgFolders {
public:
    // $HOME, else the password database's home folder, else "/".
    static std::string home();
    // $XDG_CONFIG_HOME / $XDG_DATA_HOME / $XDG_CACHE_HOME when set to an absolute path,
    // else ~/.config, ~/.local/share, ~/.cache (relative values are ignored as the
    // convention asks).
    static std::string configHome();
    static std::string dataHome();
    static std::string cacheHome();
    // $XDG_RUNTIME_DIR when absolute; else empty (no private runtime folder exists).
    static std::string runtimeDir();

    // The program's folders: settings, written data (macros, the index log), index caches.
    static std::string programConfigFolder();  // <configHome>/Quendrel
    static std::string programDataFolder();    // <dataHome>/Quendrel
    static std::string programCacheFolder();   // <cacheHome>/Quendrel

    enum class UserDir { Desktop, Documents, Download, Music, Pictures, PublicShare, Templates, Videos };
    // The user folder from <configHome>/user-dirs.dirs, else ~/Desktop, ~/Documents,
    // ~/Downloads, ~/Music, ~/Pictures, ~/Public, ~/Templates, ~/Videos.
    static std::string userDir(UserDir which);
    // The value of XDG_<NAME>_DIR in the text of a user-dirs.dirs file: "$HOME/..." or an
    // absolute path in double quotes, $HOME expanded to `homeFolder`; empty when absent or
    // malformed. A value of "$HOME/" (the folder turned off) gives the home folder.
    static std::string parseUserDir(std::string_view fileText, UserDir which, const std::string& homeFolder);

    // Creates the folder and its missing parents (mode 0700 for new ones); true when it
    // exists as a folder afterwards.
    static bool ensureFolder(const std::string& path);
};
