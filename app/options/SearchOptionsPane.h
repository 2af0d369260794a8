#pragma once
// The search options of the main window: owns the five option panels (name and location,
// contained text, date, size, duplicates), puts them into the option side's desk pages,
// and turns them into a search rule.
//
// State: on construction every panel is reset and then, when the settings hold a
// non-empty "DialogsData", the panels take what it holds (a broken value: what was read
// before the break). saveState() writes "DialogsData" and the file-mask groups into the
// settings records (the owner then saves the store); the destructor calls it while the
// panels still exist. The mask groups come from "FileMasksGroup" (the four default groups
// when it is missing, empty or unreadable).
//
// Ownership: the panels belong to the desk pages of `side`; `settings` must outlive the
// pane. User-interface thread only.
#include <functional>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "options/SearchOptionsValues.h"

class AppSettings;
class ContainTextPanel;
class DatePanel;
class DuplicatePanel;
class File_HoldWnd;
class NameLocationPanel;
class QDialog;
class QFileDialog;
class QWidget;
class SizePanel;
struct Search_Rule;

class SearchOptionsPane : public QObject {
    Q_OBJECT
public:
    SearchOptionsPane(File_HoldWnd* side, AppSettings& settings, QObject* parent = nullptr);
    ~SearchOptionsPane() override;

    // Fills `rule` from the panels in panel order: the settings' bDisableBooleanOpt and
    // bAutoNormalSearch first, then name and location, contained text, date, size and
    // duplicates. The first panel that fails (after its message box) ends it with false:
    // the search must not start. On success the name and text histories take the texts.
    bool fillRule(Search_Rule& rule);

    // Folders handed over by "/path" or by a second instance: they become the path text
    // and the typed path is searched.
    void setSearchFolders(const QStringList& folders);

    // Every panel to its defaults.
    void reset();
    SearchOptionsValues values() const;
    void load(const SearchOptionsValues& values);
    void saveState();

    // A preset search: reset, search in the typed path "all local drives", `pattern` as
    // the name. The caller stops a running search before and starts the new one after.
    void preparePreset(const QString& pattern);
    // The pattern of a preset command (images, music, video); empty for other ids.
    static QString presetPattern(int commandId);
    // "*." + extension, the specified-type preset.
    static QString typePattern(const QString& extension);

    // The search-options file commands. `run` runs a dialog modally (the main window's
    // runModal). A failure is shown in a message box; the panels change only when a file
    // was read. Return whether a file was written / read.
    bool saveOptionsInteractively(QWidget* parent, const std::function<int(QDialog&)>& run);
    bool openOptionsInteractively(QWidget* parent, const std::function<int(QDialog&)>& run);
    // The file dialog of those commands, set up for saving or opening (extension qdp,
    // filter string 25, overwrite prompt).
    static void prepareFileDialog(QFileDialog& dialog, bool save);

    NameLocationPanel* general() const;
    ContainTextPanel* containText() const;
    DatePanel* date() const;
    SizePanel* size() const;
    DuplicatePanel* duplicate() const;

signals:
    // A file-mask group was chosen from the name field's menu.
    void maskGroupChosen();

private:
    bool panelsAlive() const;

    AppSettings& m_settings;
    QPointer<NameLocationPanel> m_general;
    QPointer<ContainTextPanel> m_containText;
    QPointer<DatePanel> m_date;
    QPointer<SizePanel> m_size;
    QPointer<DuplicatePanel> m_duplicate;
};
