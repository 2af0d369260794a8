// IndexerArguments: the exclusion settings turned into the indexer's arguments.
#include "indexing/IndexerArguments.h"

#include <QFileInfo>

#include "indexing/ExcludePresetFolders.h"
#include "indexing/IndexPathRules.h"
#include "shell/SettingsRecords.h"

namespace {
void addPreset(std::vector<std::string>& out, int flag, const QString& folder)
{
    if (flag == 0 || folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QString stored = IndexPathRules::storedForm(folder);
    if (!stored.isEmpty())
        out.push_back(stored.toStdString());
}
}  // namespace

IndexerArguments IndexerArguments::build(const ExcludeList& exclude, const ExcludePresetFolders& presets)
{
    IndexerArguments a;
    for (const QString& f : exclude.folders) {
        const QString stored = IndexPathRules::storedForm(f);
        if (!stored.isEmpty())
            a.folders.push_back(stored.toStdString());
    }
    for (const QString& cookie : presets.cookies)
        addPreset(a.folders, exclude.ppdebInternetCookie, cookie);
    addPreset(a.folders, exclude.ppdebInternetHistoryPath, presets.history);
    addPreset(a.folders, exclude.ppdebInternetTemporary, presets.internetCache);
    addPreset(a.folders, exclude.ppdebTemporary, presets.temporary);
    addPreset(a.folders, exclude.ppdebQDPath, presets.cacheFolder);
    addPreset(a.folders, exclude.ppdebWindows, presets.system);
    for (const QString& t : exclude.extensions)
        a.types.push_back(t.toStdString());
    a.archives = exclude.ppdebIndexCompressed != 0;
    return a;
}
