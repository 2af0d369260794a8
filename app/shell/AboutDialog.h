#pragma once
// The About dialog: program name and version, licence, and the versions of Qt, of the
// 7-Zip handler library and of the PDF converter found on this machine. Modal, owned by
// whoever shows it.
#include <QDialog>

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    // The text shown (rich text), for tests.
    QString text() const { return m_text; }

private:
    QString m_text;
};
