#include "tools/Tool_System.h"

#include "tools/Tool_Resource.h"

std::string Tool_System::getProgramPath(bool withSlash) { return Tool_Resource::getMyPath(withSlash); }
std::string Tool_System::getConfigPath() { return XdgFolders::programConfigFolder(); }
std::string Tool_System::getDataPath() { return XdgFolders::programDataFolder(); }
std::string Tool_System::getCachePath() { return XdgFolders::programCacheFolder(); }
std::string Tool_System::getRuntimePath() { return XdgFolders::runtimeDir(); }
std::string Tool_System::getAutostartPath() { return XdgFolders::configHome() + "/autostart"; }
std::string Tool_System::getUserFolder(XdgFolders::UserDir which) { return XdgFolders::userDir(which); }
