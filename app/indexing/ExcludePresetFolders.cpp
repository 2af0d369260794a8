// ExcludePresetFolders: the preset folders of this user's environment.
#include "indexing/ExcludePresetFolders.h"

#include "platform/XdgFolders.h"
#include "tools/Tool_Resource.h"

namespace {
QString absoluteEnv(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.startsWith(u'/') ? value : fallback;
}
}  // namespace

ExcludePresetFolders ExcludePresetFolders::fromEnvironment(const QString& cacheFolder)
{
    const QString home = QString::fromStdString(XdgFolders::home());
    const QString config = QString::fromStdString(XdgFolders::configHome());
    ExcludePresetFolders f;
    f.cookies = {home + QStringLiteral("/.mozilla"), config + QStringLiteral("/chromium"),
                 config + QStringLiteral("/google-chrome"), config + QStringLiteral("/BraveSoftware")};
    f.history = absoluteEnv("XDG_STATE_HOME", home + QStringLiteral("/.local/state"));
    f.internetCache = QString::fromStdString(XdgFolders::cacheHome());
    f.temporary = QString::fromStdString(Tool_Resource::getTempPath(false));
    f.cacheFolder = cacheFolder;
    f.system = QStringLiteral("/usr");
    return f;
}
