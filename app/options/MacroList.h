#pragma once
// The macros of the program: one record per "*.qdp" file of the macro folder (by default
// "Macros" below the per-user data folder, $XDG_DATA_HOME/Quendrel/Macros), at most 512.
//
// A file is "Main" (keys "Name", "wModifier", "wVirtual", "RunAfterLaunch") followed by
// the five option-panel sections. Missing keys read as: the name = the file title (read
// with a 256-byte buffer), no hot key, run after launch on. A macro's file title is its
// name with the characters a file name cannot hold (\ / : * ? " < > |) turned into '~',
// so "a/b:c" lives in "a~b~c.qdp" and keeps its name.
//
// Failure: every write replaces the file crash-safely (a failed write leaves the old file
// as it was) and reports the reason; the list in memory changes only when its files were
// written. Loading skips folders and unreadable files. User-interface thread (plain
// value code, no widgets).
#include <QList>
#include <QString>

#include "options/MacroRecord.h"
#include "options/SearchOptionsValues.h"

class IniFile;

class MacroList {
public:
    static constexpr int kMaxMacros = 512;
    static constexpr size_t kNameBuffer = 256;

    explicit MacroList(QString folder = defaultFolder());

    // <per-user data folder>/Quendrel/Macros (QStandardPaths' generic data location).
    static QString defaultFolder();
    const QString& folder() const { return m_folder; }

    // Reads every "*.qdp" of the folder, sorted by file name, the first 512 of them. A
    // missing folder gives an empty list.
    void load();
    const QList<MacroRecord>& macros() const { return m_macros; }
    int count() const { return int(m_macros.size()); }
    bool isFull() const { return count() >= kMaxMacros; }

    // The file of a macro (exists or not).
    QString filePath(const MacroRecord& macro) const;
    static QString fileTitleFor(const QString& name);
    // The record of a parsed macro file with the file title `fileTitle`.
    static MacroRecord recordFrom(const IniFile& ini, const QString& fileTitle);

    // A new macro named `macro.strName` (trimmed) with its hot key and flag, its options
    // `values`. A macro of the same name (compared without case) or of the same file title
    // is replaced: its record goes and its file is deleted after the new file is written.
    // The folder is created when missing. False (list and files as they were) with the
    // reason when the name is empty, the list is full or the file cannot be written.
    bool add(const MacroRecord& macro, const SearchOptionsValues& values, QString* error = nullptr);

    // The outcome of the manage dialog: `edited` replaces the list. Files of old macros
    // that no macro of `edited` uses any more are deleted; every remaining file gets the
    // four "Main" keys of its record rewritten (the option sections stay as they are; a
    // file that went missing is not recreated). Returns false with the reason of the first
    // failure; the list is replaced all the same, as its files now hold it.
    bool replaceAll(const QList<MacroRecord>& edited, QString* error = nullptr);

    // Index of the first macro with exactly these modifiers and this key; -1 for none
    // (a key code of 0 never matches).
    int findHotKey(int modifiers, int virtualKey) const;

    // The options stored in a macro's file, read over `values` (every field is set).
    // False with the reason when the file cannot be read.
    bool readOptions(const MacroRecord& macro, SearchOptionsValues& values, QString* error = nullptr) const;

private:
    static void writeMain(IniFile& ini, const MacroRecord& macro);

    QString m_folder;
    QList<MacroRecord> m_macros;
};
