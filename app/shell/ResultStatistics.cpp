// ResultStatistics: counts and total size of the result list.
#include "shell/ResultStatistics.h"

#include <string>

#include "records/Data_FileItem.h"
#include "shell/LanguageText.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kBytesText = 34;
constexpr unsigned kRoundedUpText = 80;
}  // namespace

ResultStatistics ResultStatistics::of(const std::vector<const Data_FileItem*>& items)
{
    ResultStatistics s;
    for (const Data_FileItem* item : items) {
        if (!item)
            continue;
        ++s.rows;
        const uint32_t a = item->m_dwAttributes;
        if (item->isDirectory()) {
            ++s.folders;
        } else {
            ++s.files;
            s.totalFileBytes += item->m_nSize;
        }
        s.compressed += (a & 0x800) != 0;
        s.archive += (a & 0x20) != 0;
        s.readOnly += (a & 0x01) != 0;
        s.hidden += (a & 0x02) != 0;
        s.system += (a & 0x04) != 0;
        s.temporary += (a & 0x100) != 0;
    }
    return s;
}

QString ResultStatistics::countText(int64_t count)
{
    std::string out;
    Tool_Resource::seperateNumberToString(count, out);
    return QString::fromStdString(out);
}

QString ResultStatistics::sizeText(int64_t bytes)
{
    constexpr int64_t KB = 1024, MB = KB * 1024, GB = MB * 1024;
    if (bytes < KB)
        return countText(bytes) + u' ' + LanguageText::plain(kBytesText);
    const int64_t unit = bytes >= GB ? GB : (bytes < MB ? KB : MB);
    const int64_t units = bytes / unit + (bytes % unit != 0 ? 1 : 0);
    const QString name = unit == GB ? QStringLiteral("GB") : (unit == MB ? QStringLiteral("MB") : QStringLiteral("KB"));
    return countText(units) + u' ' + name + u' ' + LanguageText::plain(kRoundedUpText);
}
