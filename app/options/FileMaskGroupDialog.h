#pragma once
// Edits one file-mask group: its name and its masks as one comma-separated line. OK is
// enabled only while the name is not blank. User-interface thread only.
#include <QDialog>

#include "options/FileMaskGroup.h"

class QLineEdit;
class QPushButton;

class FileMaskGroupDialog : public QDialog {
    Q_OBJECT
public:
    explicit FileMaskGroupDialog(const FileMaskGroup& group, QWidget* parent = nullptr);
    // The name trimmed; the masks split at the commas, each trimmed, empty ones dropped.
    FileMaskGroup group() const;
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* masksEdit() const { return m_masks; }
    QPushButton* okButton() const { return m_ok; }

    static QStringList splitMasks(const QString& text);

private:
    QLineEdit* m_name = nullptr;
    QLineEdit* m_masks = nullptr;
    QPushButton* m_ok = nullptr;
};
