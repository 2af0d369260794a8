#pragma once
// The name-and-location option panel: name combo with its history and the file-mask menu
// button, path combo (the local disk mount points, then "all local drives", selected by
// default), folder list with Add, Delete and Clear, search-in combo, the check boxes quick
// search, include subfolders and search inside compressed files, and the target radios.
// It shows a NameLocationValue (load/value) and writes its part of a search rule.
// User-interface thread only.
#include <QList>
#include <QWidget>

#include "options/FileMaskGroup.h"
#include "options/NameLocationValue.h"

class HistoryCombo;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;
struct Search_Rule;

class NameLocationPanel : public QWidget {
    Q_OBJECT
public:
    explicit NameLocationPanel(QWidget* parent = nullptr);

    void load(const NameLocationValue& value);
    NameLocationValue value() const;

    // Fills iSearchIn, bMatchPath, names, folders, include subfolders, target, quick search
    // and compressed. rule.bDisableBooleanOpt must already be set. Without any folder to
    // search (search-in 0, 1 or 2) it shows message 63 (naming the typed path) or 74, puts
    // the focus on the path combo and returns false. Search-in 3 succeeds with no folders.
    bool fillRule(Search_Rule& rule);
    // Puts the name text at the top of the name history.
    void rememberHistory();
    void setHistoryLimit(int limit);

    // The path combo's text becomes `folders` (joined with '"') and search-in becomes 0.
    void setSearchFolders(const QStringList& folders);
    // Appends `folder` (normalised, with a trailing '/') unless it is listed already.
    void addFolder(const QString& folder);

    // The file-mask groups of the mask menu.
    void setMaskGroups(const QList<FileMaskGroup>& groups);
    const QList<FileMaskGroup>& maskGroups() const { return m_groups; }
    // The mask menu as it pops up: the group names, a separator when groups exist, and
    // string 190. Choosing group k (menu data k, 1-based) puts its masks into the name field.
    QMenu* buildMaskMenu();
    void chooseMaskGroup(int index);  // 0-based

    HistoryCombo* nameCombo() const { return m_name; }
    QComboBox* pathCombo() const { return m_path; }
    QListWidget* folderList() const { return m_folders; }
    QComboBox* searchInCombo() const { return m_searchIn; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* clearButton() const { return m_clear; }
    QToolButton* maskButton() const { return m_maskButton; }
    QCheckBox* quickCheck() const { return m_quick; }
    QCheckBox* compressedCheck() const { return m_compressed; }

signals:
    // A group was chosen from the mask menu (the search may be started anew).
    void maskGroupChosen();
    // The manager dialog changed the groups.
    void maskGroupsChanged(const QList<FileMaskGroup>& groups);

private:
    void browseFolder();
    void deleteSelectedFolders();
    void updateFolderButtons();
    void showMaskMenu();
    void manageMasks();

    HistoryCombo* m_name = nullptr;
    QToolButton* m_maskButton = nullptr;
    QComboBox* m_path = nullptr;
    QListWidget* m_folders = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_clear = nullptr;
    QComboBox* m_searchIn = nullptr;
    QCheckBox* m_quick = nullptr;
    QCheckBox* m_subDirs = nullptr;
    QCheckBox* m_compressed = nullptr;
    QButtonGroup* m_target = nullptr;
    QList<FileMaskGroup> m_groups;
};
