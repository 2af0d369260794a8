#pragma once
// The column chooser of the CSV export: one check box per column caption in column order,
// title and label from the language file. The name column may be left out like any
// other. OK is disabled while no column is chosen. User-interface thread.
#include <QDialog>

#include "shell/ResultExport.h"

class QListWidget;
class QPushButton;

class CsvColumnDialog : public QDialog {
    Q_OBJECT
public:
    CsvColumnDialog(const QStringList& captions, const ResultExport::Columns& initial, QWidget* parent = nullptr);

    ResultExport::Columns columns() const;
    void setColumns(const ResultExport::Columns& columns);
    QListWidget* list() const { return m_list; }

private:
    void updateOk();

    QListWidget* m_list = nullptr;
    QPushButton* m_ok = nullptr;
};
