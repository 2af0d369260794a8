#pragma once
// The size option panel: smaller than and larger than, each a check box with a value
// (0 .. 3.4028235e38, two decimals; the arrows step by 1 within 0..32767) and a unit combo
// ("Bytes", "KB", "MB"). It shows a SizeValue and writes the size test of a search rule.
// User-interface thread only.
#include <QWidget>

#include "options/SizeValue.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
struct Search_Rule;

class SizePanel : public QWidget {
    Q_OBJECT
public:
    explicit SizePanel(QWidget* parent = nullptr);

    void load(const SizeValue& value);
    SizeValue value() const;
    // Sets or clears bSmallerOn (with fSmallerSize, wSmallerUnit) and bLargerOn (with
    // fLargerSize, wLargerUnit). Never fails.
    bool fillRule(Search_Rule& rule);

    QCheckBox* smallerCheck() const { return m_smaller; }
    QCheckBox* largerCheck() const { return m_larger; }
    QDoubleSpinBox* smallerValue() const { return m_smallerValue; }
    QDoubleSpinBox* largerValue() const { return m_largerValue; }
    QComboBox* smallerUnit() const { return m_smallerUnit; }
    QComboBox* largerUnit() const { return m_largerUnit; }

private:
    QCheckBox* m_smaller = nullptr;
    QCheckBox* m_larger = nullptr;
    QDoubleSpinBox* m_smallerValue = nullptr;
    QDoubleSpinBox* m_largerValue = nullptr;
    QComboBox* m_smallerUnit = nullptr;
    QComboBox* m_largerUnit = nullptr;
};
