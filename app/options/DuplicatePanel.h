#pragma once
// The duplicates option panel: find duplicate files, the compare-level combo (strings
// 108..113), select all copies, select by folder (edit, Select, Browse) and select by mask
// (edit, Select). It shows a DuplicateValue and writes the duplicate part of a search rule.
// The selection buttons only announce what to select; the result list does the selecting.
// User-interface thread only.
#include <QWidget>

#include "options/DuplicateValue.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;
struct Search_Rule;

class DuplicatePanel : public QWidget {
    Q_OBJECT
public:
    explicit DuplicatePanel(QWidget* parent = nullptr);

    void load(const DuplicateValue& value);
    DuplicateValue value() const;
    // duplicate.bEnable and duplicate.iLevel. Never fails.
    bool fillRule(Search_Rule& rule);

    // The select-by-mask text completed as a file mask ("txt" -> "*.txt").
    QString completedMask() const;

    QCheckBox* enableCheck() const { return m_enable; }
    QComboBox* levelCombo() const { return m_level; }
    QLineEdit* folderEdit() const { return m_folder; }
    QLineEdit* maskEdit() const { return m_mask; }
    QPushButton* selectAllButton() const { return m_selectAll; }
    QPushButton* selectFolderButton() const { return m_selectFolder; }
    QPushButton* selectMaskButton() const { return m_selectMask; }

signals:
    void selectAllCopiesRequested();
    // Select the copies inside `folder` (as typed, trimmed).
    void selectByFolderRequested(const QString& folder);
    // Select the copies whose names match `mask` (already completed).
    void selectByMaskRequested(const QString& mask);

private:
    QCheckBox* m_enable = nullptr;
    QComboBox* m_level = nullptr;
    QPushButton* m_selectAll = nullptr;
    QLineEdit* m_folder = nullptr;
    QPushButton* m_selectFolder = nullptr;
    QToolButton* m_browse = nullptr;
    QLineEdit* m_mask = nullptr;
    QPushButton* m_selectMask = nullptr;
};
