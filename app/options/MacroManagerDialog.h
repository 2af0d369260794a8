#pragma once
// The manage-macros dialog: the macros with their hot keys, and Edit, Delete and Delete
// all. It works on a copy of the list: nothing is written or deleted here; on OK the
// caller takes macros() and hands it to MacroList::replaceAll. Modal; user-interface thread.
#include <functional>
#include <QDialog>
#include <QList>

#include "options/MacroRecord.h"

class QDialogButtonBox;
class QPushButton;
class QTreeWidget;

class MacroManagerDialog : public QDialog {
    Q_OBJECT
public:
    // `runModal` runs the edit dialog (the main window's modal runner); null runs exec().
    MacroManagerDialog(const QList<MacroRecord>& macros, std::function<int(QDialog&)> runModal = {},
                       QWidget* parent = nullptr);

    const QList<MacroRecord>& macros() const { return m_macros; }
    QTreeWidget* list() const { return m_list; }
    QPushButton* editButton() const { return m_edit; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* deleteAllButton() const { return m_deleteAll; }
    QDialogButtonBox* buttons() const { return m_buttons; }

    // The button actions on the current row.
    void editCurrent();
    void deleteCurrent();
    void deleteAll();

signals:
    // The edit dialog is open (tests fill it in here).
    void editDialogOpened(QDialog* dialog);

private:
    void fill(int current);
    void updateButtons();

    QList<MacroRecord> m_macros;
    std::function<int(QDialog&)> m_runModal;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_deleteAll = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
