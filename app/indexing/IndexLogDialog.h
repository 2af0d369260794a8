#pragma once
// The index log viewer: the whole of the log file in a read-only text box, the time of the
// last complete indexing ("strLastIndexTime", text 601), a Clear button (text 600) that
// truncates the file and empties the box, and Close. User-interface thread.
#include <QDialog>

#include "indexing/IndexLog.h"

class QPlainTextEdit;
class QPushButton;

class IndexLogDialog : public QDialog {
    Q_OBJECT
public:
    IndexLogDialog(IndexLog log, const QString& lastIndexTime, QWidget* parent = nullptr);

    QPlainTextEdit* textBox() const { return m_text; }
    QPushButton* clearButton() const { return m_clear; }
    void clearLog();

private:
    IndexLog m_log;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_clear = nullptr;
};
