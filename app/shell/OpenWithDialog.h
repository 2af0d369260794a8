#pragma once
// The dialog that configures the open-with programs: a list of entry titles with New,
// Delete and Rename, and for the selected entry its program (with a browse button) and
// its parameter template. New asks for a title and adds an entry with no program and the
// template "%F%"; Delete asks first. Without entries the program and template fields are
// disabled. The dialog edits a copy; entries() gives it back after OK.
// User-interface thread.
#include <QDialog>
#include <QList>

#include <functional>

#include "shell/SettingsRecords.h"

class QLineEdit;
class QListWidget;
class QPushButton;

class OpenWithDialog : public QDialog {
    Q_OBJECT
public:
    explicit OpenWithDialog(const QList<OpenWithEntry>& entries, QWidget* parent = nullptr);

    const QList<OpenWithEntry>& entries() const { return m_entries; }

    // Asking for a title and confirming a delete; tests answer them. The title asker gives
    // an empty string for Cancel, the delete asker true for Yes.
    void setAskTitle(std::function<QString(const QString& current)> ask) { m_askTitle = std::move(ask); }
    void setAskDelete(std::function<bool(const QString& question)> ask) { m_askDelete = std::move(ask); }

    void addEntry();
    void deleteEntry();
    void renameEntry();

    QListWidget* list() const { return m_list; }
    QLineEdit* programEdit() const { return m_program; }
    QLineEdit* paramsEdit() const { return m_params; }

private:
    void showEntry(int row);
    void updateControls();

    QList<OpenWithEntry> m_entries;
    QListWidget* m_list = nullptr;
    QLineEdit* m_program = nullptr;
    QLineEdit* m_params = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_rename = nullptr;
    std::function<QString(const QString&)> m_askTitle;
    std::function<bool(const QString&)> m_askDelete;
    bool m_showing = false;
};
