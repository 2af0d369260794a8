#pragma once
// Asks where to move the selected files: a target folder (typed, or chosen with the browse
// button) and whether a taken name is replaced by a free one automatically. The folder
// is not checked here; the caller says when it does not exist. User-interface thread.
#include <QDialog>

class QCheckBox;
class QLineEdit;

class MoveDialog : public QDialog {
    Q_OBJECT
public:
    explicit MoveDialog(const QString& folder, bool autoRename, QWidget* parent = nullptr);

    QString folder() const;
    bool autoRename() const;
    QLineEdit* folderEdit() const { return m_folder; }
    QCheckBox* autoRenameBox() const { return m_autoRename; }

private:
    QLineEdit* m_folder = nullptr;
    QCheckBox* m_autoRename = nullptr;
};
