// The option values' reset states.
#include "options/DateValue.h"
#include "options/NameLocationValue.h"

#include "shell/LanguageText.h"

namespace {
constexpr unsigned kAllLocalDrivesText = 1;
}

NameLocationValue NameLocationValue::resetValue(bool searchInCompressedSetting)
{
    NameLocationValue v;
    v.path = LanguageText::plain(kAllLocalDrivesText);
    v.bSearchInCompressed = searchInCompressedSetting ? 1 : 0;
    return v;
}

QDateTime DateValue::nowToTheSecond()
{
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
}
