#pragma once
// The General page of the option sheet: the general options record of AppSettings
// (start-up, dates, sizes, the show/hide hot key, the close box, the splash image, the sort
// after searching and the number of history items).
//
// loadFromSettings() shows the record; the sort-column list is enabled only while "sort
// after searching" is checked. Checking that box asks message 166 first (object name
// "sortQuestion"); No unchecks it again. Any change by the user marks the page modified.
// applyToSettings() copies the controls into the record only when the page was modified,
// and returns whether a value of the record changed. A stored value no control can show
// (a date or size format, or a sort column, out of range) is kept unless the user picks
// another; the history count is kept within 1..255 by its spin box.
// When the qdext launcher is installed beside the program, a further box adds or removes
// the "search here" entry of the file managers (FileManagerEntry); it shows whether the
// entry is installed, and applyToSettings() adds or removes it when the box was changed
// (failure: message 711 with the reason). That entry is no settings value: it does not
// count as a change of the record.
// Owned by the sheet; the AppSettings outlives it. User-interface thread only.
#include "options/OptionPage.h"
#include "shell/FileManagerEntry.h"
#include "shell/SettingsRecords.h"

class AppSettings;
class HotKeyEdit;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QSpinBox;

class PP_General : public OptionPage {
    Q_OBJECT
public:
    static constexpr int kHistoryMin = 1;
    static constexpr int kHistoryMax = 255;

    explicit PP_General(AppSettings& settings, QWidget* parent = nullptr);

    QString pageTitle() const override;
    void loadFromSettings() override;
    // Takes a number still being typed into the history box (a text out of range falls back
    // to the last value); never refuses.
    bool validate() override;
    bool applyToSettings() override;

    bool isModified() const { return m_modified; }
    // The record as the controls show it now (the hot key read from its control).
    GeneralOptions shownOptions() const;
    QCheckBox* fileManagerEntryBox() const { return m_fileManagerEntry; }

private:
    QCheckBox* addCheck(unsigned textId, const char* name);
    void markModified();
    void onSortClicked(bool checked);

    AppSettings& m_settings;
    QCheckBox* m_autoRun = nullptr;
    QCheckBox* m_autoIndex = nullptr;
    FileManagerEntry m_entry;
    QCheckBox* m_fileManagerEntry = nullptr;  // null when the launcher is missing
    bool m_entryWasInstalled = false;
    QButtonGroup* m_dateFormat = nullptr;
    QCheckBox* m_systemLocale = nullptr;
    QButtonGroup* m_sizeFormat = nullptr;
    QCheckBox* m_grouping = nullptr;
    QCheckBox* m_numberOnly = nullptr;
    HotKeyEdit* m_hotKey = nullptr;
    QCheckBox* m_closeExits = nullptr;
    QCheckBox* m_splash = nullptr;
    QCheckBox* m_sortAfter = nullptr;
    QComboBox* m_sortColumn = nullptr;
    QSpinBox* m_history = nullptr;
    bool m_loading = false;
    bool m_modified = false;
};
