#pragma once
// The option page of the indexed paths: a path field with a browse button and Add (enabled
// while the field is not empty), the list of indexed paths with their icons, and Remove,
// Index selected (both enabled while paths are selected) and Add all local drives.
//
// Add: the trimmed field must name an existing folder (else text 63); it is inserted by
// IndexPathRules (repeats are ignored, nested paths refused with text 36 or 37); on
// success the field is emptied, on a refusal its text is selected.
// Remove: with a run going on, text 75 (No gives up; Yes stops it); then text 38; with
// rows of a quick search shown, text 175; then the result list is cleared, the paths leave
// the page's list and their live caches are deleted at once.
// Index selected: a run over the selected paths (text 75 first while one runs).
// Apply: the page's list becomes the indexed-path list.
//
// `manager` may be null (no run control, no cache deletion). User-interface thread.
#include <QStringList>

#include "options/OptionPage.h"

class AppSettings;
class CIndexManager;
class QLineEdit;
class QListWidget;
class QPushButton;

class PP_FileIndex : public OptionPage {
    Q_OBJECT
public:
    PP_FileIndex(AppSettings& settings, CIndexManager* manager, QWidget* parent = nullptr);

    QString pageTitle() const override;
    void loadFromSettings() override;
    bool applyToSettings() override;

    const QStringList& paths() const { return m_paths; }
    QLineEdit* pathField() const { return m_field; }
    QListWidget* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* indexButton() const { return m_index; }

    // The buttons' actions.
    bool addTyped();
    void addAllLocalDrives();
    void removeSelected();
    void indexSelected();

private:
    bool insert(const QString& path);
    void refill();
    void updateButtons();
    QStringList selectedPaths() const;
    void browse();

    AppSettings& m_settings;
    CIndexManager* m_manager;
    QStringList m_paths;
    QLineEdit* m_field = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_index = nullptr;
    QPushButton* m_allDrives = nullptr;
};
