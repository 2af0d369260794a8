// SizePanel: the size test of a search.
#include "options/SizePanel.h"

#include <cfloat>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>

#include "records/Search_Rule.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kSmallerText = 580, kLargerText = 581, kUnitText = 598;
constexpr double kArrowLimit = 32767.0;

// A size value: any float from 0 up, but the arrows step within 0..32767.
class SizeSpin : public QDoubleSpinBox {
public:
    explicit SizeSpin(QWidget* parent)
        : QDoubleSpinBox(parent)
    {
        setRange(0.0, double(FLT_MAX));
        setDecimals(2);
        setLocale(QLocale::c());
        setFixedWidth(64);
    }
    void stepBy(int steps) override
    {
        const double next = value() + steps;
        if (next >= 0.0 && next <= kArrowLimit)
            setValue(next);
        else if (value() <= kArrowLimit)
            setValue(next < 0.0 ? 0.0 : kArrowLimit);
    }

protected:
    StepEnabled stepEnabled() const override
    {
        StepEnabled e = StepNone;
        if (value() > 0.0 && value() <= kArrowLimit)
            e |= StepDownEnabled;
        if (value() < kArrowLimit)
            e |= StepUpEnabled;
        return e;
    }
};

QComboBox* unitCombo(const char* name, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setAccessibleName(LanguageText::plain(kUnitText));
    c->addItems({QStringLiteral("Bytes"), QStringLiteral("KB"), QStringLiteral("MB")});
    return c;
}
}  // namespace

SizePanel::SizePanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("sizePanel"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(4);
    m_smaller = new QCheckBox(LanguageText::get(kSmallerText), this);
    m_smaller->setObjectName(QStringLiteral("smallerCheck"));
    m_smaller->setAccessibleName(LanguageText::plain(kSmallerText));
    m_larger = new QCheckBox(LanguageText::get(kLargerText), this);
    m_larger->setObjectName(QStringLiteral("largerCheck"));
    m_larger->setAccessibleName(LanguageText::plain(kLargerText));
    m_smallerValue = new SizeSpin(this);
    m_smallerValue->setObjectName(QStringLiteral("smallerValue"));
    m_smallerValue->setAccessibleName(LanguageText::plain(kSmallerText));
    m_largerValue = new SizeSpin(this);
    m_largerValue->setObjectName(QStringLiteral("largerValue"));
    m_largerValue->setAccessibleName(LanguageText::plain(kLargerText));
    m_smallerUnit = unitCombo("smallerUnit", this);
    m_largerUnit = unitCombo("largerUnit", this);
    grid->addWidget(m_smaller, 0, 0);
    grid->addWidget(m_smallerValue, 0, 1);
    grid->addWidget(m_smallerUnit, 0, 2);
    grid->addWidget(m_larger, 1, 0);
    grid->addWidget(m_largerValue, 1, 1);
    grid->addWidget(m_largerUnit, 1, 2);
    grid->setColumnStretch(0, 1);
    load(SizeValue());
}

void SizePanel::load(const SizeValue& v)
{
    m_largerUnit->setCurrentIndex(v.iLargeSizeDW >= 0 && v.iLargeSizeDW <= 2 ? v.iLargeSizeDW : 1);
    m_smallerUnit->setCurrentIndex(v.iSmallSizeDW >= 0 && v.iSmallSizeDW <= 2 ? v.iSmallSizeDW : 1);
    m_largerValue->setValue(double(v.fLargeSize));
    m_smallerValue->setValue(double(v.fSmallSize));
    m_larger->setChecked(v.iLargeState != 0);
    m_smaller->setChecked(v.iSmallState != 0);
}

SizeValue SizePanel::value() const
{
    SizeValue v;
    v.iLargeSizeDW = m_largerUnit->currentIndex();
    v.iSmallSizeDW = m_smallerUnit->currentIndex();
    v.fLargeSize = float(m_largerValue->value());
    v.fSmallSize = float(m_smallerValue->value());
    v.iLargeState = m_larger->isChecked() ? 1 : 0;
    v.iSmallState = m_smaller->isChecked() ? 1 : 0;
    return v;
}

bool SizePanel::fillRule(Search_Rule& rule)
{
    const SizeValue v = value();
    rule.bSmallerOn = v.iSmallState != 0;
    if (rule.bSmallerOn) {
        rule.fSmallerSize = v.fSmallSize;
        rule.wSmallerUnit = static_cast<uint16_t>(v.iSmallSizeDW);
    }
    rule.bLargerOn = v.iLargeState != 0;
    if (rule.bLargerOn) {
        rule.fLargerSize = v.fLargeSize;
        rule.wLargerUnit = static_cast<uint16_t>(v.iLargeSizeDW);
    }
    return true;
}
