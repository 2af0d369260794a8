// The cell texts of the result list (sizes, times, attributes) and the language-text
// formatting the list's status lines go through.
#include <QtTest>

#include "records/Data_FileItem.h"
#include "shell/LanguageFormat.h"
#include "shell/LanguageText.h"
#include "shell/ResultCellText.h"
#include "shell/ResultDisplayOptions.h"
#include "shell/ResultStatistics.h"
#include "shell/StatisticsDialog.h"

Q_DECLARE_METATYPE(FILETIME)

namespace {
// Local FILETIME ticks of a calendar time (the ticks hold local time, so no zone applies).
FILETIME at(int year, int month, int day, int h, int m, int s)
{
    const QDateTime t(QDate(year, month, day), QTime(h, m, s), Qt::UTC);
    const quint64 seconds = quint64(t.toSecsSinceEpoch() + 11644473600LL);
    return FILETIME::fromU64(seconds * 10000000ULL);
}
}  // namespace

class ResultCellTextTest : public QObject {
    Q_OBJECT
private slots:
    void sizeText_data();
    void sizeText();
    void timeText_data();
    void timeText();
    void localeDateLeavesOutMidnight();
    void attributeLetters_data();
    void attributeLetters();
    void cellsOfAnItem();
    void languageFormat_data();
    void languageFormat();
    void statisticsSizeText_data();
    void statisticsSizeText();
    void statisticsCounts();
};

void ResultCellTextTest::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("grouping");
    QTest::addColumn<int>("numberOnly");
    QTest::addColumn<QString>("expected");
    const QString bytes = u' ' + LanguageText::plain(34);
    QTest::newRow("KB: 0 bytes") << qint64(0) << 1 << 1 << 0 << QStringLiteral("0 KB");
    QTest::newRow("KB: 1 byte is rounded up") << qint64(1) << 1 << 1 << 0 << QStringLiteral("1 KB");
    QTest::newRow("KB: exactly 1024") << qint64(1024) << 1 << 1 << 0 << QStringLiteral("1 KB");
    QTest::newRow("KB: 1025") << qint64(1025) << 1 << 1 << 0 << QStringLiteral("2 KB");
    QTest::newRow("KB: grouped") << qint64(5000LL * 1024) << 1 << 1 << 0 << QStringLiteral("5,000 KB");
    QTest::newRow("KB: not grouped") << qint64(5000LL * 1024) << 1 << 0 << 0 << QStringLiteral("5000 KB");
    QTest::newRow("bytes grouped") << qint64(1234567) << 0 << 1 << 0 << QStringLiteral("1,234,567") + bytes;
    QTest::newRow("bytes, 3 digits") << qint64(999) << 0 << 1 << 0 << QStringLiteral("999") + bytes;
    QTest::newRow("bytes ungrouped") << qint64(1234567) << 0 << 0 << 0 << QStringLiteral("1234567") + bytes;
    QTest::newRow("number only") << qint64(1234567) << 0 << 1 << 1 << QStringLiteral("1,234,567");
    QTest::newRow("KB number only") << qint64(1) << 1 << 1 << 1 << QStringLiteral("1");
    QTest::newRow("large") << qint64(5) * 1024 * 1024 * 1024 * 1024 << 0 << 1 << 1
                           << QStringLiteral("5,497,558,138,880");
}

void ResultCellTextTest::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(int, format);
    QFETCH(int, grouping);
    QFETCH(int, numberOnly);
    QFETCH(QString, expected);
    ResultDisplayOptions o;
    o.sizeFormat = format;
    o.separatedUseComma = grouping;
    o.showNumberOnly = numberOnly;
    QCOMPARE(ResultCellText::sizeText(bytes, o), expected);
}

void ResultCellTextTest::timeText_data()
{
    QTest::addColumn<FILETIME>("time");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("expected");
    const FILETIME afternoon = at(2024, 3, 7, 14, 5, 9);
    const FILETIME midnight = at(2024, 3, 7, 0, 0, 0);
    QTest::newRow("date only") << afternoon << 0 << QStringLiteral("03-07-2024");
    QTest::newRow("HH:mm") << afternoon << 1 << QStringLiteral("03-07-2024 14:05");
    QTest::newRow("HH:mm:ss") << afternoon << 2 << QStringLiteral("03-07-2024 14:05:09");
    QTest::newRow("midnight, format 0") << midnight << 0 << QStringLiteral("03-07-2024");
    QTest::newRow("midnight, format 1") << midnight << 1 << QStringLiteral("03-07-2024");
    QTest::newRow("midnight, format 2") << midnight << 2 << QStringLiteral("03-07-2024");
    QTest::newRow("one second past midnight") << at(2024, 3, 7, 0, 0, 1) << 2 << QStringLiteral("03-07-2024 00:00:01");
    QTest::newRow("1980-01-01 00:00:00 is empty") << at(1980, 1, 1, 0, 0, 0) << 2 << QString();
    QTest::newRow("1980-01-01 00:00:00, format 0") << at(1980, 1, 1, 0, 0, 0) << 0 << QString();
    QTest::newRow("1980-01-01 later that day") << at(1980, 1, 1, 8, 30, 0) << 1 << QStringLiteral("01-01-1980 08:30");
    QTest::newRow("zero time is empty") << FILETIME{} << 2 << QString();
    QTest::newRow("before 1970") << at(1965, 12, 31, 23, 59, 59) << 2 << QStringLiteral("12-31-1965 23:59:59");
}

void ResultCellTextTest::timeText()
{
    QFETCH(FILETIME, time);
    QFETCH(int, format);
    QFETCH(QString, expected);
    ResultDisplayOptions o;
    o.dateFormat = format;
    o.useWindowsLocale = 0;
    QCOMPARE(ResultCellText::timeText(time, o), expected);
}

void ResultCellTextTest::localeDateLeavesOutMidnight()
{
    ResultDisplayOptions o;
    o.useWindowsLocale = 1;
    const QString longDate = QLocale::system().toString(QDate(2024, 3, 7), QLocale::LongFormat);
    for (int format : {0, 1, 2}) {
        o.dateFormat = format;
        QCOMPARE(ResultCellText::timeText(at(2024, 3, 7, 0, 0, 0), o), longDate);
        QCOMPARE(ResultCellText::timeText(at(1980, 1, 1, 0, 0, 0), o), QString());
    }
    o.dateFormat = 0;
    QCOMPARE(ResultCellText::timeText(at(2024, 3, 7, 14, 5, 9), o), longDate);
    o.dateFormat = 1;
    QCOMPARE(ResultCellText::timeText(at(2024, 3, 7, 14, 5, 9), o), longDate + QStringLiteral(" 14:05"));
    o.dateFormat = 2;
    QCOMPARE(ResultCellText::timeText(at(2024, 3, 7, 14, 5, 9), o), longDate + QStringLiteral(" 14:05:09"));
}

void ResultCellTextTest::attributeLetters_data()
{
    QTest::addColumn<uint>("attributes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << 0u << QString();
    QTest::newRow("folder bit alone shows nothing") << 0x10u << QString();
    QTest::newRow("read-only hidden") << 0x03u << QStringLiteral("RH");
    QTest::newRow("all six in order") << (0x800u | 0x100u | 0x01u | 0x02u | 0x04u | 0x20u) << QStringLiteral("CTRHSA");
    QTest::newRow("archive system") << (0x20u | 0x04u) << QStringLiteral("SA");
    QTest::newRow("reparse point ignored") << 0x400u << QString();
}

void ResultCellTextTest::attributeLetters()
{
    QFETCH(uint, attributes);
    QFETCH(QString, expected);
    QCOMPARE(ResultCellText::attributeText(attributes), expected);
}

void ResultCellTextTest::cellsOfAnItem()
{
    Data_FileItem item;
    item.setFileName("report.tar.gz");
    item.m_strPath = "/home/u/docs/";
    item.m_nSize = 2049;
    item.m_strTypeName = "Gzip archive";
    item.m_ftLastWrite = at(2023, 12, 24, 18, 0, 0);
    item.m_ftCreation = at(2023, 12, 1, 0, 0, 0);
    item.m_dwAttributes = 0x01;
    ResultDisplayOptions o;
    o.dateFormat = 1;
    const QStringList expected{QStringLiteral("report.tar.gz"), QStringLiteral("/home/u/docs/"), QStringLiteral("3 KB"),
                               QStringLiteral("Gzip archive"), QStringLiteral("12-24-2023 18:00"),
                               QStringLiteral("12-01-2023"), QString(), QStringLiteral("R")};
    for (int c = 0; c < ResultCellText::kColumnCount; ++c)
        QCOMPARE(ResultCellText::text(item, c, o), expected[c]);
    QCOMPARE(ResultCellText::text(item, 8, o), QString());
}

void ResultCellTextTest::languageFormat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("count and seconds") << QStringLiteral("%s items found in %.3f seconds")
                                       << QStringLiteral("1,234 items found in 2.500 seconds");
    QTest::newRow("percent sign") << QStringLiteral("100%% of %s") << QStringLiteral("100% of 1,234");
    QTest::newRow("more conversions than arguments")
        << QStringLiteral("%s %f %s %d") << QStringLiteral("1,234 2.500000 %s %d");
    QTest::newRow("unknown conversion copied") << QStringLiteral("%q %s") << QStringLiteral("%q 1,234");
    QTest::newRow("text where a number is asked") << QStringLiteral("%d/%.1f") << QStringLiteral("1,234/2.5");
    QTest::newRow("width and zero padding") << QStringLiteral("[%8s|%06.2f]") << QStringLiteral("[   1,234|002.50]");
    QTest::newRow("lone percent at the end") << QStringLiteral("%s %") << QStringLiteral("1,234 %");
}

void ResultCellTextTest::languageFormat()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(LanguageFormat::format(text, {QStringLiteral("1,234"), 2.5}), expected);
    QCOMPARE(LanguageFormat::format(QStringLiteral("%d items, %d per page"), {qint64(10), 42}),
             QStringLiteral("10 items, 42 per page"));
}

void ResultCellTextTest::statisticsSizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("expected");
    const QString bytes = u' ' + LanguageText::plain(34);
    const QString up = u' ' + LanguageText::plain(80);
    QTest::newRow("0") << qint64(0) << QStringLiteral("0") + bytes;
    QTest::newRow("1023, grouped") << qint64(1023) << QStringLiteral("1,023") + bytes;
    QTest::newRow("1024") << qint64(1024) << QStringLiteral("1 KB") + up;
    QTest::newRow("1025 rounds up") << qint64(1025) << QStringLiteral("2 KB") + up;
    QTest::newRow("just below 1 MB") << qint64(1024 * 1024 - 1) << QStringLiteral("1,024 KB") + up;
    QTest::newRow("1 MB") << qint64(1024 * 1024) << QStringLiteral("1 MB") + up;
    QTest::newRow("1 MB + 1") << qint64(1024 * 1024 + 1) << QStringLiteral("2 MB") + up;
    QTest::newRow("1 GB") << (qint64(1) << 30) << QStringLiteral("1 GB") + up;
    QTest::newRow("5 GB + 1") << (qint64(5) << 30) + 1 << QStringLiteral("6 GB") + up;
}

void ResultCellTextTest::statisticsSizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, expected);
    QCOMPARE(ResultStatistics::sizeText(bytes), expected);
}

void ResultCellTextTest::statisticsCounts()
{
    std::vector<Data_FileItem> items(5);
    items[0].m_dwAttributes = 0x10 | 0x02;  // hidden folder, its size not counted
    items[0].m_nSize = 4096;
    items[1].m_dwAttributes = 0x01 | 0x20;
    items[1].m_nSize = 1000;
    items[2].m_dwAttributes = 0x800 | 0x100 | 0x04;
    items[2].m_nSize = 24;
    items[3].m_nSize = 1500;
    items[4].m_dwAttributes = 0x02;
    std::vector<const Data_FileItem*> pointers;
    for (const auto& item : items)
        pointers.push_back(&item);
    const ResultStatistics s = ResultStatistics::of(pointers);
    QCOMPARE(s.rows, int64_t(5));
    QCOMPARE(s.files, int64_t(4));
    QCOMPARE(s.folders, int64_t(1));
    QCOMPARE(s.hidden, int64_t(2));
    QCOMPARE(s.readOnly, int64_t(1));
    QCOMPARE(s.archive, int64_t(1));
    QCOMPARE(s.compressed, int64_t(1));
    QCOMPARE(s.temporary, int64_t(1));
    QCOMPARE(s.system, int64_t(1));
    QCOMPARE(s.totalFileBytes, int64_t(2524));
    const StatisticsDialog dialog(s, 1500);
    QCOMPARE(dialog.valueText(QStringLiteral("files")), QStringLiteral("4"));
    QCOMPARE(dialog.valueText(QStringLiteral("totalSize")), QStringLiteral("3 KB ") + LanguageText::plain(80));
    QCOMPARE(dialog.valueText(QStringLiteral("elapsed")), QStringLiteral("1.500 seconds"));
}

QTEST_MAIN(ResultCellTextTest)
#include "ResultCellTextTest.moc"
