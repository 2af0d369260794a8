#pragma once
// The welcome dialog shown once, on the first start ("FirstRun" 1): what the program does
// and where to begin, and the question whether the file managers' folder menu should get
// the "search here" entry (asked only when `offerFileManagerEntry`; unticked until the
// user agrees). Modal.
#include <QDialog>

class QCheckBox;

class WelcomeDialog : public QDialog {
    Q_OBJECT
public:
    explicit WelcomeDialog(QWidget* parent = nullptr, bool offerFileManagerEntry = false);

    // The user agreed to the file managers' entry.
    bool addFileManagerEntry() const;
    QCheckBox* fileManagerBox() const { return m_fileManager; }

private:
    QCheckBox* m_fileManager = nullptr;
};
