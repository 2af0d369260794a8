// ResultCellText: the cell texts of the result list.
#include "shell/ResultCellText.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <string>

#include "records/Data_FileItem.h"
#include "shell/LanguageText.h"
#include "shell/ResultDisplayOptions.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kBytesText = 34;
constexpr uint64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochDifference = 11'644'473'600;

QString fromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
}  // namespace

QString ResultCellText::text(Data_FileItem& item, int column, const ResultDisplayOptions& options)
{
    switch (column) {
    case kName: return fromUtf8(item.getFileName());
    case kFolder: return fromUtf8(item.m_strPath);
    case kSize: return sizeText(item.m_nSize, options);
    case kType: return fromUtf8(item.m_strTypeName);
    case kLastWrite: return timeText(item.m_ftLastWrite, options);
    case kCreation: return timeText(item.m_ftCreation, options);
    case kLastAccess: return timeText(item.m_ftLastAccess, options);
    case kAttributes: return attributeText(item.m_dwAttributes);
    default: return {};
    }
}

QString ResultCellText::sizeText(int64_t bytes, const ResultDisplayOptions& options)
{
    const bool kb = options.sizeFormat == 1;
    int64_t value = bytes;
    if (kb)
        value = bytes <= 0 ? 0 : bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    std::string number = std::to_string(value);
    if (options.separatedUseComma == 1)
        Tool_Resource::seperateStringToString(number);
    QString out = fromUtf8(number);
    if (options.showNumberOnly != 1)
        out += kb ? QStringLiteral(" KB") : u' ' + LanguageText::plain(kBytesText);
    return out;
}

QString ResultCellText::timeText(const FILETIME& time, const ResultDisplayOptions& options)
{
    const uint64_t ticks = time.toU64();
    if (ticks == 0)
        return {};
    // The ticks are local time already: break them down without any zone conversion.
    const int64_t seconds = int64_t(ticks / kTicksPerSecond) - kEpochDifference;
    int64_t days = seconds / 86400;
    int64_t secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    const QDate date = QDate(1970, 1, 1).addDays(days);
    const QTime clock = QTime(0, 0).addSecs(int(secondOfDay));
    if (!date.isValid() || (date == QDate(1980, 1, 1) && secondOfDay == 0))
        return {};
    const bool midnight = secondOfDay == 0;
    if (options.useWindowsLocale == 1) {
        QString out = QLocale::system().toString(date, QLocale::LongFormat);
        if (!midnight && options.dateFormat == 1)
            out += u' ' + clock.toString(QStringLiteral("HH:mm"));
        else if (!midnight && options.dateFormat == 2)
            out += u' ' + clock.toString(QStringLiteral("HH:mm:ss"));
        return out;
    }
    const QString day = QString::asprintf("%02d-%02d-%04d", date.month(), date.day(), date.year());
    if (!midnight && options.dateFormat == 1)
        return day + QString::asprintf(" %02d:%02d", clock.hour(), clock.minute());
    if (!midnight && options.dateFormat == 2)
        return day + QString::asprintf(" %02d:%02d:%02d", clock.hour(), clock.minute(), clock.second());
    return day;
}

QString ResultCellText::attributeText(uint32_t a)
{
    QString out;
    if (a & 0x800)
        out += u'C';
    if (a & 0x100)
        out += u'T';
    if (a & 0x01)
        out += u'R';
    if (a & 0x02)
        out += u'H';
    if (a & 0x04)
        out += u'S';
    if (a & 0x20)
        out += u'A';
    return out;
}
