#pragma once
// The date option panel: do not know / within a period / specified dates radios, the
// period count spin (1..32767) and unit combo (strings 3..6), the time-kind combo (strings
// 7..9) and the from and to date pickers. It shows a DateValue (the pickers edit the dates;
// the times of day of the loaded value are kept) and writes the date test of a search rule.
// User-interface thread only.
#include <QTime>
#include <QWidget>

#include "options/DateValue.h"

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QRadioButton;
class QSpinBox;
struct Search_Rule;

class DatePanel : public QWidget {
    Q_OBJECT
public:
    explicit DatePanel(QWidget* parent = nullptr);

    void load(const DateValue& value);
    DateValue value() const;

    // Sets exactly one of bAny, bWithin (with nPrevious, nUnit) and bSpecify (with
    // wTimeKind, tFrom = the from date at 00:00:00 and tTo = the to date at 23:59:59, local);
    // false when no radio is checked.
    bool fillRule(Search_Rule& rule);

    QRadioButton* radio(int index) const;
    QSpinBox* countSpin() const { return m_count; }
    QComboBox* unitCombo() const { return m_unit; }
    QComboBox* timeKindCombo() const { return m_timeKind; }
    QDateEdit* fromEdit() const { return m_from; }
    QDateEdit* toEdit() const { return m_to; }

private:
    void updateEnabling();

    QButtonGroup* m_kind = nullptr;
    QSpinBox* m_count = nullptr;
    QComboBox* m_unit = nullptr;
    QComboBox* m_timeKind = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QTime m_fromTime;
    QTime m_toTime;
};
