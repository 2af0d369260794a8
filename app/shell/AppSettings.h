#pragma once
// The program's settings store: the only code that touches QSettings.
//
// The store is the INI file <GenericConfigLocation>/Quendrel/Quendrel.ini
// ($XDG_CONFIG_HOME/Quendrel/Quendrel.ini; under QStandardPaths test mode the test
// location), every key in the group "Settings". Integers are stored as integers, strings as
// strings and binary values as byte arrays. The records (SettingsRecords.h) hold the values
// in memory; a default-constructed store holds every default, and nothing is written until
// save() / savePlacement().
//
// Order of use: the application object calls loadPlacement() before it makes the main
// window; the main window calls load() once while it is built, and save() when it is
// destroyed and when the session ends (commitDataRequest, aboutToQuit); the application
// calls savePlacement() at exit. The option pages edit the records through the accessors.
//
// Failure: reading never fails visibly (a missing or unreadable value gives its default).
// A failed write is reported by the return value of save()/savePlacement() and otherwise
// ignored. The new contents are written to a scratch file beside the store, read back and
// checked, then put in place by a flushed write-aside-and-rename, so a failed write leaves
// the previous file whole.
//
// Threads: user-interface thread only. Not copyable.
#include <memory>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "shell/SettingsRecords.h"

class QSettings;

class AppSettings {
public:
    enum class ValueType { Int, String, Binary };
    enum class Record { General, SearchDisplay, Frame, Placement, IndexTime, Exclude, Panels };
    // One fixed key of the table, for code that walks every key.
    struct KeyInfo {
        const char* key;
        ValueType type;
        QVariant defaultValue;
        Record record;
    };

    // The store at defaultFilePath(), column captions from the loaded language.
    AppSettings();
    // The store at `iniPath`, with the result-list column captions `columnCaptions` (8, for
    // the "show_" key names; loadedColumnCaptions() is what the program passes).
    AppSettings(const QString& iniPath, const QStringList& columnCaptions);
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // <GenericConfigLocation>/Quendrel/Quendrel.ini
    static QString defaultFilePath();
    // Captions of result-list columns 0..7 from the current language strings.
    static QStringList loadedColumnCaptions();
    // Every fixed key of SettingsKeys.h, in table order.
    static const QList<KeyInfo>& keyTable();
    // "show_" + the caption; '/' and '\' in a caption become '_' (QSettings would read
    // them as groups).
    QString columnKey(int column) const;
    QString filePath() const { return m_path; }

    // Reads every record except the placement, in this order: "iButtonState",
    // "strLastIndexTime", the column flags, the general options, the search-display
    // options, the indexed paths, the index time options, the exclude list, the open-with
    // entries (then "FirstRun" and the panel blobs).
    void load();
    // Writes every record except the placement in the same order and flushes the file.
    // False when the file could not be written (the old file is then left as it was).
    bool save();
    void loadPlacement();
    bool savePlacement();

    // ---- typed accessors --------------------------------------------------------------
    GeneralOptions& general() { return m_general; }
    const GeneralOptions& general() const { return m_general; }
    SearchDisplayOptions& searchDisplay() { return m_searchDisplay; }
    const SearchDisplayOptions& searchDisplay() const { return m_searchDisplay; }
    ColumnFlags& columns() { return m_columns; }
    const ColumnFlags& columns() const { return m_columns; }
    FrameState& frame() { return m_frame; }
    const FrameState& frame() const { return m_frame; }
    QList<OpenWithEntry>& openWith() { return m_openWith; }
    const QList<OpenWithEntry>& openWith() const { return m_openWith; }
    WindowPlacement& placement() { return m_placement; }
    const WindowPlacement& placement() const { return m_placement; }
    IndexTimeOptions& indexTime() { return m_indexTime; }
    const IndexTimeOptions& indexTime() const { return m_indexTime; }
    IndexedPaths& indexedPaths() { return m_indexedPaths; }
    const IndexedPaths& indexedPaths() const { return m_indexedPaths; }
    ExcludeList& excludeList() { return m_exclude; }
    const ExcludeList& excludeList() const { return m_exclude; }
    PanelState& panels() { return m_panels; }
    const PanelState& panels() const { return m_panels; }

    // ---- "PatternString" rules (exposed for the Search option page and tests) ----------
    // The stored text of an extension list: entries joined with ",", an empty entry as
    // " ", trailing commas trimmed, an empty list as " ".
    static QString encodePatternString(const QStringList& extensions);
    // The list of a stored text: missing or empty -> the default list, " " -> empty, else
    // split at the commas.
    static QStringList decodePatternString(const QVariant& stored);

private:
    void loadColumnFlags();
    void saveColumnFlags();
    void loadIndexedPaths();
    void saveIndexedPaths();
    void loadExcludeList();
    void saveExcludeList();
    void loadOpenWith();
    void saveOpenWith();
    void beginWrite();
    bool flush();

    QString m_path;
    QString m_scratchPath;
    QStringList m_columnCaptions;
    std::unique_ptr<QSettings> m_store;

    GeneralOptions m_general;
    SearchDisplayOptions m_searchDisplay;
    ColumnFlags m_columns;
    FrameState m_frame;
    QList<OpenWithEntry> m_openWith;
    WindowPlacement m_placement;
    IndexTimeOptions m_indexTime;
    IndexedPaths m_indexedPaths;
    ExcludeList m_exclude;
    PanelState m_panels;
};
