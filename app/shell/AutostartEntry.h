#pragma once
// The log-on start-up entry: the XDG autostart file
// <GenericConfigLocation>/autostart/quendrel.desktop ($XDG_CONFIG_HOME/autostart), whose
// Exec line starts the program with /minimized. The General option page applies it when it
// is confirmed with changes ("AutoRun").
//
// The file is written crash-safely (a temporary beside it, flushed and renamed), so a
// desktop session never reads half an entry. Failure is reported by the return value;
// nothing is shown. User-interface thread (or any single thread).
#include <QString>

class AutostartEntry {
public:
    // <GenericConfigLocation>/autostart/quendrel.desktop
    static QString filePath();
    // Writes the entry for `programPath` when `autoRun`, else removes it. True when the
    // file is in the asked state afterwards (a missing file to remove counts as done).
    static bool apply(bool autoRun, const QString& programPath);
    // apply() for the running program (QCoreApplication::applicationFilePath()).
    static bool apply(bool autoRun);
    // The entry's text; the program path is quoted and escaped as desktop entries ask.
    static QString desktopFileText(const QString& programPath);
    // The Exec value: the quoted program path, a space and /minimized.
    static QString execLine(const QString& programPath);
};
