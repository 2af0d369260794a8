#pragma once
// The folders behind the six exclusion presets ("ppdebInternetCookie" ... "ppdebWindows"),
// as candidates in preset order. A candidate that is not an existing folder when the
// indexer's arguments are built is left out, as is an empty one.
//   cookies:        the browsers' profile folders ~/.mozilla, ~/.config/chromium,
//                   ~/.config/google-chrome, ~/.config/BraveSoftware (they hold the cookies)
//   history:        $XDG_STATE_HOME, else ~/.local/state
//   internet cache: $XDG_CACHE_HOME, else ~/.cache
//   temporary:      $TMPDIR, else /tmp
//   cache folder:   the index cache folder
//   system:         /usr
// Plain value; fromEnvironment() reads the environment of the calling process.
#include <QString>
#include <QStringList>

struct ExcludePresetFolders {
    QStringList cookies;
    QString history;
    QString internetCache;
    QString temporary;
    QString cacheFolder;
    QString system;

    static ExcludePresetFolders fromEnvironment(const QString& cacheFolder);
};
