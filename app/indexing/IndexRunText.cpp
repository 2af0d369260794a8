// IndexRunText: the texts of an indexing run.
#include "indexing/IndexRunText.h"

#include "shell/LanguageFormat.h"
#include "shell/LanguageText.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kBytesText = 34;
constexpr unsigned kFinishedLabel = 68;
constexpr unsigned kStoppedLabel = 71;
constexpr unsigned kProgressText = 170;
constexpr unsigned kSummaryText = 171;
constexpr uint64_t kKiB = 1024, kMiB = kKiB * 1024, kGiB = kMiB * 1024;

QString grouped(uint64_t n)
{
    std::string out;
    Tool_Resource::seperateNumberToString(static_cast<int64_t>(n), out);
    return QString::fromStdString(out);
}
}  // namespace

QString IndexRunText::sizeText(uint64_t bytes)
{
    if (bytes < kKiB)
        return grouped(bytes) + u' ' + LanguageText::plain(kBytesText);
    if (bytes < kMiB)
        return grouped((bytes + kKiB - 1) / kKiB) + QStringLiteral(" KB");
    if (bytes < kGiB)
        return QString::asprintf("%.2f", double(bytes) / double(kMiB)) + QStringLiteral(" MB");
    return QString::asprintf("%.3f", double(bytes) / double(kGiB)) + QStringLiteral(" GB");
}

QString IndexRunText::countText(uint64_t entries)
{
    return grouped(entries);
}

QString IndexRunText::progress(uint64_t bytes, uint64_t entries)
{
    return LanguageFormat::format(LanguageText::plain(kProgressText), {countText(entries), sizeText(bytes)});
}

QString IndexRunText::summary(uint64_t bytes, uint64_t entries)
{
    return LanguageFormat::format(LanguageText::plain(kSummaryText), {countText(entries), sizeText(bytes)});
}

QString IndexRunText::timeText(const QDateTime& when)
{
    return when.toString(QStringLiteral(" MM-dd-yyyy HH:mm:ss"));
}

QString IndexRunText::label(bool stopped)
{
    return LanguageText::plain(stopped ? kStoppedLabel : kFinishedLabel);
}

QString IndexRunText::logLine(const QString& label, const QString& timeText, const QString& summary)
{
    return u'[' + label + timeText + QStringLiteral("] ") + summary + u'\n';
}
