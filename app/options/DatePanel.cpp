// DatePanel: the date test of a search.
#include "options/DatePanel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

#include "options/OptionValueLimits.h"
#include "records/Search_Rule.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kAnyText = 574, kWithinText = 575, kBetweenText = 576, kFromText = 577, kToText = 578,
                   kDateKindText = 579, kUnitText = 598;
constexpr unsigned kUnitTexts[] = {3, 4, 5, 6};
constexpr unsigned kTimeKindTexts[] = {7, 8, 9};

QDateEdit* dateEdit(const char* name, unsigned accessible, QWidget* parent)
{
    auto* e = new QDateEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setAccessibleName(LanguageText::plain(accessible));
    e->setCalendarPopup(true);
    e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return e;
}
}  // namespace

DatePanel::DatePanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("datePanel"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);

    m_kind = new QButtonGroup(this);
    const unsigned radioTexts[] = {kAnyText, kWithinText, kBetweenText};
    const char* const radioNames[] = {"anyDateRadio", "withinRadio", "specifiedDatesRadio"};
    QRadioButton* radios[3];
    for (int i = 0; i < 3; ++i) {
        radios[i] = new QRadioButton(LanguageText::get(radioTexts[i]), this);
        radios[i]->setObjectName(QLatin1String(radioNames[i]));
        radios[i]->setAccessibleName(LanguageText::plain(radioTexts[i]));
        m_kind->addButton(radios[i], i);
    }
    grid->addWidget(radios[0], 0, 0, 1, 3);

    m_count = new QSpinBox(this);
    m_count->setObjectName(QStringLiteral("periodCountSpin"));
    m_count->setAccessibleName(LanguageText::plain(kWithinText));
    m_count->setRange(1, OptionValueLimits::kMaxPeriodCount);
    
    m_unit = new QComboBox(this);
    m_unit->setObjectName(QStringLiteral("periodUnitCombo"));
    m_unit->setAccessibleName(LanguageText::plain(kUnitText));
    for (unsigned id : kUnitTexts)
        m_unit->addItem(LanguageText::plain(id));
    grid->addWidget(radios[1], 1, 0, 1, 3);
    grid->addWidget(m_count, 2, 1);
    grid->addWidget(m_unit, 2, 2);

    // The time kind belongs to the specified dates: only that test looks at it.
    m_timeKind = new QComboBox(this);
    m_timeKind->setObjectName(QStringLiteral("timeKindCombo"));
    m_timeKind->setAccessibleName(LanguageText::plain(kDateKindText));
    for (unsigned id : kTimeKindTexts)
        m_timeKind->addItem(LanguageText::plain(id));
    m_timeKind->setToolTip(LanguageText::plain(kDateKindText));
    grid->addWidget(radios[2], 3, 0, 1, 2);
    grid->addWidget(m_timeKind, 3, 2);

    auto* fromLabel = new QLabel(LanguageText::get(kFromText), this);
    auto* toLabel = new QLabel(LanguageText::get(kToText), this);
    m_from = dateEdit("fromDateEdit", kFromText, this);
    m_to = dateEdit("toDateEdit", kToText, this);
    fromLabel->setBuddy(m_from);
    toLabel->setBuddy(m_to);
    grid->addWidget(fromLabel, 4, 0, Qt::AlignRight);
    grid->addWidget(m_from, 4, 1, 1, 2);
    grid->addWidget(toLabel, 5, 0, Qt::AlignRight);
    grid->addWidget(m_to, 5, 1, 1, 2);
    grid->setColumnStretch(2, 1);

    connect(m_kind, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            updateEnabling();
    });
    load(DateValue());
}

QRadioButton* DatePanel::radio(int index) const
{
    return qobject_cast<QRadioButton*>(m_kind->button(index));
}

void DatePanel::updateEnabling()
{
    const int kind = m_kind->checkedId();
    m_count->setEnabled(kind == 1);
    m_unit->setEnabled(kind == 1);
    m_from->setEnabled(kind == 2);
    m_to->setEnabled(kind == 2);
    // Only the specified-dates test looks at the time kind; a period counts back from now
    // over the modified time.
    m_timeKind->setEnabled(kind == 2);
}

void DatePanel::load(const DateValue& v)
{
    m_unit->setCurrentIndex(v.iDateType >= 0 && v.iDateType <= 3 ? v.iDateType : 0);
    m_timeKind->setCurrentIndex(v.iModifyType >= 0 && v.iModifyType <= 2 ? v.iModifyType : 0);
    m_count->setValue(v.dwPreviousDate);
    m_from->setDate(v.from.date());
    m_to->setDate(v.to.date());
    m_fromTime = v.from.time();
    m_toTime = v.to.time();
    if (QAbstractButton* b = m_kind->button(v.iType >= 0 && v.iType <= 2 ? v.iType : 0))
        b->setChecked(true);
    updateEnabling();
}

DateValue DatePanel::value() const
{
    DateValue v;
    v.iDateType = m_unit->currentIndex();
    v.iModifyType = m_timeKind->currentIndex();
    v.dwPreviousDate = m_count->value();
    v.from = QDateTime(m_from->date(), m_fromTime);
    v.to = QDateTime(m_to->date(), m_toTime);
    v.iType = m_kind->checkedId() >= 0 ? m_kind->checkedId() : 0;
    return v;
}

bool DatePanel::fillRule(Search_Rule& rule)
{
    Rule_Date& date = rule.date;
    switch (m_kind->checkedId()) {
    case 0:
        date.bAny = true;
        date.bWithin = date.bSpecify = false;
        return true;
    case 1:
        date.bWithin = true;
        date.bAny = date.bSpecify = false;
        date.nPrevious = m_count->value();
        date.nUnit = m_unit->currentIndex();
        return true;
    case 2:
        date.bSpecify = true;
        date.bAny = date.bWithin = false;
        date.specifyDate.wTimeKind = static_cast<uint16_t>(m_timeKind->currentIndex());
        date.specifyDate.tFrom = QDateTime(m_from->date(), QTime(0, 0, 0)).toSecsSinceEpoch();
        date.specifyDate.tTo = QDateTime(m_to->date(), QTime(23, 59, 59)).toSecsSinceEpoch();
        return true;
    default:
        return false;
    }
}
