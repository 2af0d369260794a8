#pragma once
// The statistics dialog of the result list: the counts of ResultStatistics, the total size
// of the files and the elapsed time of the last search. Read-only; user-interface thread.
#include <QDialog>

struct ResultStatistics;

class StatisticsDialog : public QDialog {
    Q_OBJECT
public:
    StatisticsDialog(const ResultStatistics& figures, uint32_t lastElapsedMilliseconds, QWidget* parent = nullptr);
    // The value text shown for a row of the dialog, by its object name (tests).
    QString valueText(const QString& objectName) const;
};
