#pragma once
// The option page of the exclusions: the excluded folders (Add through a folder dialog,
// Remove), the excluded file types (Add through a prompt, Remove) and the seven flags
// (archives, cookies, history, Internet cache, temporary, cache folder, system folder).
//
// Add folder f (a symbolic link is resolved to its target): an equal entry is selected
// and nothing added; an entry containing f is selected and text 36 shown; an entry inside
// f is selected and text 37 shown; otherwise f is appended and selected.
// Add type: text 164 asks for it; blanks are trimmed and leading dots removed; a non-empty
// text that no entry equals (ignoring case) is appended and selected.
// Remove with nothing selected shows text 163 (folders) or 165 (types).
// Apply copies the flags and both lists into the settings; a running index is not affected.
// User-interface thread.
#include <QStringList>

#include "options/OptionPage.h"

class AppSettings;
class QCheckBox;
class QListWidget;

class PP_ExcludeList : public OptionPage {
    Q_OBJECT
public:
    static constexpr int kFlagCount = 7;

    PP_ExcludeList(AppSettings& settings, QWidget* parent = nullptr);

    QString pageTitle() const override;
    void loadFromSettings() override;
    bool applyToSettings() override;

    const QStringList& folders() const { return m_folders; }
    const QStringList& types() const { return m_types; }
    QListWidget* folderList() const { return m_folderList; }
    QListWidget* typeList() const { return m_typeList; }
    // Flags in the order archives, cookies, history, Internet cache, temporary, cache, system.
    QCheckBox* flag(int i) const { return m_flags[i]; }

    // The buttons' actions; addType takes the text the prompt would give.
    void addFolder(const QString& folder);
    void addType(const QString& typed);
    void removeFolders();
    void removeTypes();

private:
    void refill(QListWidget* list, const QStringList& items, int selectRow);
    void browseFolder();
    void promptType();

    AppSettings& m_settings;
    QStringList m_folders;
    QStringList m_types;
    QListWidget* m_folderList = nullptr;
    QListWidget* m_typeList = nullptr;
    QCheckBox* m_flags[kFlagCount] = {};
};
