#pragma once
// The "search here" entry of the user's file managers, for the welcome dialog's question
// and the General options page: whether it is installed, and adding or removing it. The
// entries start the qdext launcher installed beside the program (FileManagerEntries in
// the qdext library writes them: Dolphin, Nautilus, Nemo, Thunar, Caja, PCManFM-Qt).
//
// Folders: QStandardPaths' generic data and config locations ($XDG_DATA_HOME and
// $XDG_CONFIG_HOME; in test mode the test's own). Failure: false with the reason of the
// first file that could not be changed (the others are still done). User-interface thread.
#include <QString>

class FileManagerEntry {
public:
    // qdext beside the running program.
    static QString launcherPath();

    explicit FileManagerEntry(QString launcher = launcherPath());

    // The launcher exists (without it there is nothing to offer).
    bool isAvailable() const;
    // Every entry is installed as registerEntry() writes it.
    bool isRegistered() const;
    // Some entry of ours is installed.
    bool anyRegistered() const;
    bool registerEntry(QString* error = nullptr) const;
    bool unregisterEntry(QString* error = nullptr) const;

private:
    QString m_launcher;
};
