// OptionValueLimits: back into range.
#include "options/OptionValueLimits.h"

#include <cfloat>
#include <cmath>

#include "options/SearchOptionsValues.h"

namespace {
void range(int& value, int low, int high, int fallback)
{
    if (value < low || value > high)
        value = fallback;
}
void flag(int& value)
{
    value = value != 0 ? 1 : 0;
}
void size(float& value)
{
    if (!std::isfinite(value) || value < 0.0f || value > FLT_MAX)
        value = 1.0f;
}
}  // namespace

void OptionValueLimits::fix(NameLocationValue& v)
{
    range(v.iSearchIn, 0, 3, 2);
    range(v.iTargetOption, 0, 2, 2);
    flag(v.bIncludeSubDir);
    flag(v.bQuickSearch);
    flag(v.bSearchInCompressed);
}

void OptionValueLimits::fix(ContainTextValue& v)
{
    flag(v.bCaseMain);
    flag(v.bMainWholeWord);
    flag(v.bMainNot);
    range(v.iMainHex, 0, 1, 0);
    range(v.iMainType, 0, 2, 0);
}

void OptionValueLimits::fix(DateValue& v)
{
    range(v.iDateType, 0, 3, 0);
    range(v.iModifyType, 0, 2, 0);
    range(v.dwPreviousDate, 1, kMaxPeriodCount, 1);
    range(v.iType, 0, 2, 0);
    if (!v.from.isValid())
        v.from = DateValue::nowToTheSecond();
    if (!v.to.isValid())
        v.to = DateValue::nowToTheSecond();
}

void OptionValueLimits::fix(SizeValue& v)
{
    range(v.iLargeSizeDW, 0, 2, 1);
    range(v.iSmallSizeDW, 0, 2, 1);
    size(v.fLargeSize);
    size(v.fSmallSize);
    flag(v.iLargeState);
    flag(v.iSmallState);
}

void OptionValueLimits::fix(DuplicateValue& v)
{
    flag(v.bEnableDuplicate);
    range(v.iLevel, 0, 5, 0);
}

void OptionValueLimits::fix(SearchOptionsValues& v)
{
    fix(v.general);
    fix(v.containText);
    fix(v.date);
    fix(v.size);
    fix(v.duplicate);
}
