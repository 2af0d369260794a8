#pragma once
// Operating-system queries the program needs on this platform: its own folders and the
// per-user folders. Paths are absolute, without a trailing '/', unless a flag asks for one.
#include <string>

#include "platform/XdgFolders.h"

class Tool_System {
public:
    // The program folder (read-only data: Language/, the manual), as Tool_Resource::getMyPath.
    static std::string getProgramPath(bool withSlash);
    // $XDG_CONFIG_HOME/Quendrel: the settings file.
    static std::string getConfigPath();
    // $XDG_DATA_HOME/Quendrel: what the program writes (macros, the index log).
    static std::string getDataPath();
    // $XDG_CACHE_HOME/Quendrel: the default index cache folder.
    static std::string getCachePath();
    // $XDG_RUNTIME_DIR, empty when the session has none.
    static std::string getRuntimePath();
    // $XDG_CONFIG_HOME/autostart: where the start-up entry lives.
    static std::string getAutostartPath();
    // A user folder (desktop, documents, ...) from the user-dirs settings.
    static std::string getUserFolder(XdgFolders::UserDir which);
};
