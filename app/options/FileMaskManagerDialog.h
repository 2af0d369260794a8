#pragma once
// The file-mask manager: the list of groups with Add, Edit, Delete and Delete all, working
// on a copy; groups() is the edited list, to be taken only when the dialog was accepted.
// Edit and Delete act on the current row and are enabled only when there is one.
// User-interface thread only.
#include <QDialog>
#include <QList>

#include "options/FileMaskGroup.h"

class QListWidget;
class QPushButton;

class FileMaskManagerDialog : public QDialog {
    Q_OBJECT
public:
    explicit FileMaskManagerDialog(const QList<FileMaskGroup>& groups, QWidget* parent = nullptr);
    const QList<FileMaskGroup>& groups() const { return m_groups; }

    // The buttons' work, with the group the edit dialog returned.
    void addGroup(const FileMaskGroup& group);
    void replaceCurrent(const FileMaskGroup& group);
    void deleteCurrent();
    void deleteAll();

    QListWidget* list() const { return m_list; }
    QPushButton* editButton() const { return m_edit; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* deleteAllButton() const { return m_deleteAll; }

private:
    void refill(int current);
    void updateButtons();
    void editGroup(bool adding);

    QList<FileMaskGroup> m_groups;
    QListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_deleteAll = nullptr;
};
