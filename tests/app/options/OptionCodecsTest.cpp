// The option values' stored forms without any widget: search-options files, "DialogsData"
// and "FileMasksGroup".
#include <QtTest>

#include <QFile>
#include <QTemporaryDir>

#include "options/DialogsDataCodec.h"
#include "options/FileMasksGroupCodec.h"
#include "options/SearchOptionsFile.h"
#include "platform/IniFile.h"

namespace {
// A value with every field away from its default.
SearchOptionsValues unusualValues()
{
    SearchOptionsValues v;
    v.general.name = QStringLiteral("*.txt,report?");
    v.general.path = QStringLiteral("/srv/data\"/home/ann");
    v.general.folders = {QStringLiteral("/opt/a b/"), QStringLiteral("/var/log/"), QStringLiteral("/home/ann/Schöne/")};
    v.general.iSearchIn = 1;
    v.general.bIncludeSubDir = 0;
    v.general.iTargetOption = 1;
    v.general.bQuickSearch = 0;
    v.general.bSearchInCompressed = 0;
    v.containText = {1, 1, 1, QStringLiteral("  needle  "), 1, 2, QStringLiteral("+alpha -beta")};
    v.date.iDateType = 3;
    v.date.iModifyType = 2;
    v.date.dwPreviousDate = 32767;
    v.date.from = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
    v.date.to = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58));
    v.date.iType = 2;
    v.size = {2, 0, 2.5f, 1024.25f, 1, 1};
    v.duplicate = {1, 5, QStringLiteral("/home/ann/keep"), QStringLiteral("*.bak")};
    return v;
}

QByteArray fileText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class OptionCodecsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void searchOptionsFileRoundTripsEveryField();
    void searchOptionsFileMissingKeysTakeDefaults();
    void searchOptionsFileValuesOutOfRange_data();
    void searchOptionsFileValuesOutOfRange();
    void searchOptionsFileFailuresChangeNothing();
    void dialogsDataRoundTripAndLayout();
    void dialogsDataBrokenStreamKeepsWhatWasRead();
    void fileMasksGroupRoundTripLayoutAndDefaults();
};

void OptionCodecsTest::searchOptionsFileRoundTripsEveryField()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("my search.qdp"));
    const SearchOptionsValues written = unusualValues();
    QVERIFY(SearchOptionsFile::save(path, written));

    SearchOptionsValues read;
    QVERIFY(SearchOptionsFile::open(path, read));
    SearchOptionsValues expected = written;
    expected.general.name = written.general.name.trimmed();
    expected.general.path = written.general.path.trimmed();
    expected.containText.mainText = written.containText.mainText;  // the main text keeps its blanks
    QCOMPARE(read.general, expected.general);
    QCOMPARE(read.containText.mainText, QStringLiteral("  needle  "));
    QCOMPARE(read.containText, expected.containText);
    QCOMPARE(read.date.from, expected.date.from);
    QCOMPARE(read.date.to, expected.date.to);
    QCOMPARE(read.date, expected.date);
    QCOMPARE(read.size, expected.size);
    QCOMPARE(read.duplicate, expected.duplicate);

    const QByteArray text = fileText(path);
    QVERIFY(text.contains("[Main]\nName=my search\n"));
    QVERIFY(text.contains("Folders=/opt/a b/\"/var/log/\"/home/ann/Schöne/\n"));
    QVERIFY(text.contains("fLargeSize=2.50\n"));
    QVERIFY(text.contains("fSmallSize=1024.25\n"));
    QVERIFY(text.contains("frmYear=2001\n"));
    QVERIFY(text.contains("toSecond=58\n"));
    // Sections in panel order.
    const qsizetype g = text.indexOf("[General]"), c = text.indexOf("[ContainText]"), d = text.indexOf("[Date]"),
                    s = text.indexOf("[Size]"), u = text.indexOf("[Duplicate]");
    QVERIFY(g > 0 && g < c && c < d && d < s && s < u);
}

void OptionCodecsTest::searchOptionsFileMissingKeysTakeDefaults()
{
    IniFile ini;
    ini.parse("[General]\nName=abc\n[Date]\nfrmYear=1999\ntoMonth=2\n");
    SearchOptionsValues read = unusualValues();
    SearchOptionsFile::readSections(ini, read);

    NameLocationValue general;
    general.name = QStringLiteral("abc");
    QCOMPARE(read.general, general);
    QCOMPARE(read.containText, ContainTextValue());
    QCOMPARE(read.size, SizeValue());
    QCOMPARE(read.duplicate, DuplicateValue());
    QCOMPARE(read.date.iType, 0);
    QCOMPARE(read.date.dwPreviousDate, 1);
    QCOMPARE(read.date.from.date().year(), 1999);
    QCOMPARE(read.date.to.date().month(), 2);
}

void OptionCodecsTest::searchOptionsFileValuesOutOfRange_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("searchIn");
    QTest::addColumn<int>("previous");
    QTest::addColumn<float>("larger");
    QTest::addColumn<int>("level");
    QTest::newRow("in range") << QByteArray("[General]\niSearchIn=3\n[Date]\ndwPreviousDate=7\n[Size]\nfLargeSize=0.50\n[Duplicate]\niLevel=4\n") << 3 << 7 << 0.5f << 4;
    QTest::newRow("too large") << QByteArray("[General]\niSearchIn=4\n[Date]\ndwPreviousDate=32768\n[Size]\nfLargeSize=1e39\n[Duplicate]\niLevel=6\n") << 2 << 1 << 1.0f << 0;
    QTest::newRow("negative") << QByteArray("[General]\niSearchIn=-1\n[Date]\ndwPreviousDate=-5\n[Size]\nfLargeSize=-3\n[Duplicate]\niLevel=-1\n") << 2 << 1 << 1.0f << 0;
    QTest::newRow("not numbers") << QByteArray("[General]\niSearchIn=x\n[Date]\ndwPreviousDate=\n[Size]\nfLargeSize=abc\n[Duplicate]\niLevel=2x\n") << 0 << 1 << 0.0f << 2;
    QTest::newRow("huge integer") << QByteArray("[General]\niSearchIn=99999999999\n") << 2 << 1 << 1.0f << 0;
}

void OptionCodecsTest::searchOptionsFileValuesOutOfRange()
{
    QFETCH(QByteArray, text);
    QFETCH(int, searchIn);
    QFETCH(int, previous);
    QFETCH(float, larger);
    QFETCH(int, level);
    IniFile ini;
    ini.parse(text.toStdString());
    SearchOptionsValues read;
    SearchOptionsFile::readSections(ini, read);
    QCOMPARE(read.general.iSearchIn, searchIn);
    QCOMPARE(read.date.dwPreviousDate, previous);
    QCOMPARE(read.size.fLargeSize, larger);
    QCOMPARE(read.duplicate.iLevel, level);
}

void OptionCodecsTest::searchOptionsFileFailuresChangeNothing()
{
    QTemporaryDir dir;
    SearchOptionsValues values = unusualValues();
    const SearchOptionsValues before = values;
    QString error;
    QVERIFY(!SearchOptionsFile::open(dir.filePath(QStringLiteral("missing.qdp")), values, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(values, before);

    // A save into a missing folder fails and leaves nothing behind.
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/x.qdp"));
    QVERIFY(!SearchOptionsFile::save(nowhere, values, &error));
    QVERIFY(!QFile::exists(nowhere));

    // Saving over an old file replaces it as a whole: no stray keys survive.
    const QString path = dir.filePath(QStringLiteral("old.qdp"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Main]\nName=old\nwModifier=3\n[General]\nStale=1\n");
    }
    QVERIFY(SearchOptionsFile::save(path, values));
    const QByteArray text = fileText(path);
    QVERIFY(!text.contains("Stale"));
    QVERIFY(!text.contains("wModifier"));
    QVERIFY(text.contains("Name=old\n"));
}

void OptionCodecsTest::dialogsDataRoundTripAndLayout()
{
    const SearchOptionsValues written = unusualValues();
    const QByteArray blob = DialogsDataCodec::encode(written);
    SearchOptionsValues read;
    QCOMPARE(DialogsDataCodec::decode(blob, read), DialogsDataCodec::kRecordCount);
    SearchOptionsValues expected = written;
    expected.general.name = written.general.name.trimmed();
    QCOMPARE(read, expected);

    // The byte layout of a small value, record by record in the stored order.
    SearchOptionsValues small;
    small.general = {QStringLiteral("a"), QStringLiteral("/"), {QStringLiteral("/x/")}, 1, 0, 2, 1, 0};
    small.date.from = QDateTime::fromSecsSinceEpoch(0x01020304);
    small.date.to = QDateTime::fromSecsSinceEpoch(0x0A0B0C0D);
    small.date.iDateType = 1;
    small.date.iModifyType = 2;
    small.date.dwPreviousDate = 3;
    small.date.iType = 2;
    small.size = {2, 0, 1.0f, 0.5f, 1, 0};
    small.containText = {1, 0, 1, QStringLiteral("t"), 0, 2, QString()};
    small.duplicate = {1, 4, QString(), QStringLiteral("*")};
    const QByteArray expectedBytes = QByteArray::fromHex(
        "0161" "012f" "0100" "032f782f" "01000000" "00000000" "02000000" "01000000" "00000000"
        "01000000" "02000000" "03000000" "04030201" "0d0c0b0a" "02000000"
        "02000000" "00000000" "0000803f" "0000003f" "01000000" "00000000"
        "01000000" "00000000" "01000000" "0174" "00000000" "02000000" "00"
        "01" "04000000" "00" "012a");
    QCOMPARE(DialogsDataCodec::encode(small).toHex(), expectedBytes.toHex());
}

void OptionCodecsTest::dialogsDataBrokenStreamKeepsWhatWasRead()
{
    const SearchOptionsValues written = unusualValues();
    const QByteArray blob = DialogsDataCodec::encode(written);
    // Where each record ends in the blob, found by encoding prefixes of the order.
    SearchOptionsValues previous;  // what the panels held before (their reset state)
    previous.general = NameLocationValue::resetValue(true);
    int lastTaken = 0;
    for (qsizetype cut = 0; cut < blob.size(); ++cut) {
        SearchOptionsValues read = previous;
        const int taken = DialogsDataCodec::decode(blob.left(cut), read);
        QVERIFY2(taken < DialogsDataCodec::kRecordCount, qPrintable(QString::number(cut)));
        QVERIFY(taken >= lastTaken);
        lastTaken = taken;
        // Records taken equal what was written; the others are untouched.
        QCOMPARE(read.general == previous.general, taken < 1);
        if (taken >= 1)
            QCOMPARE(read.general.folders, written.general.folders);
        QCOMPARE(read.date == previous.date, taken < 2);
        QCOMPARE(read.size == previous.size, taken < 3);
        QCOMPARE(read.containText == previous.containText, taken < 4);
        QCOMPARE(read.duplicate, previous.duplicate);
    }
    QCOMPARE(lastTaken, DialogsDataCodec::kRecordCount - 1);

    // A huge list count in an otherwise short stream reads nothing and allocates nothing.
    SearchOptionsValues read = previous;
    QCOMPARE(DialogsDataCodec::decode(QByteArray::fromHex("0000ffffffffff7f"), read), 0);
    QCOMPARE(read, previous);
    // Values out of range in a sound stream take their defaults.
    SearchOptionsValues wild = written;
    wild.general.iSearchIn = 77;
    wild.size.iLargeSizeDW = -4;
    read = previous;
    QCOMPARE(DialogsDataCodec::decode(DialogsDataCodec::encode(wild), read), DialogsDataCodec::kRecordCount);
    QCOMPARE(read.general.iSearchIn, 2);
    QCOMPARE(read.size.iLargeSizeDW, 1);
}

void OptionCodecsTest::fileMasksGroupRoundTripLayoutAndDefaults()
{
    const QList<FileMaskGroup> groups = {{QStringLiteral("Mine"), {QStringLiteral("*.a"), QStringLiteral("*.bc")}},
                                         {QStringLiteral("Empty"), {}}};
    const QByteArray blob = FileMasksGroupCodec::encode(groups);
    QCOMPARE(blob.toHex(), QByteArray("02000000" "044d696e65" "0200" "032a2e61" "042a2e6263" "05456d707479" "0000"));
    QList<FileMaskGroup> read;
    QVERIFY(FileMasksGroupCodec::decode(blob, read));
    QCOMPARE(read, groups);
    QCOMPARE(FileMasksGroupCodec::load(blob), groups);

    // Truncated anywhere: refused, the list untouched; load() falls back to the defaults.
    for (qsizetype cut = 0; cut < blob.size(); ++cut) {
        QList<FileMaskGroup> untouched = {{QStringLiteral("keep"), {}}};
        QVERIFY(!FileMasksGroupCodec::decode(blob.left(cut), untouched));
        QCOMPARE(untouched.size(), 1);
        QCOMPARE(FileMasksGroupCodec::load(blob.left(cut)), FileMasksGroupCodec::defaultGroups());
    }
    // A stored empty list also gives the defaults.
    QCOMPARE(FileMasksGroupCodec::load(FileMasksGroupCodec::encode({})), FileMasksGroupCodec::defaultGroups());

    const QList<FileMaskGroup> defaults = FileMasksGroupCodec::defaultGroups();
    QCOMPARE(defaults.size(), 4);
    QCOMPARE(defaults[0].masks, QStringList({"*.doc", "*.ppt", "*.xls", "*.mdb"}));
    QCOMPARE(defaults[1].masks, QStringList({"*.mp3", "*.ogg", "*.wma", "*.wav"}));
    QCOMPARE(defaults[2].masks, QStringList({"*.bmp", "*.jpg", "*.jpeg", "*.tif", "*.tiff", "*.gif", "*.pcx"}));
    QCOMPARE(defaults[3].masks, QStringList({"*.avi", "*.mpg", "*.wmv", "*.mov"}));
    for (const FileMaskGroup& g : defaults)
        QVERIFY(!g.name.isEmpty() && g.name != QStringLiteral("Failed String"));
}

QTEST_GUILESS_MAIN(OptionCodecsTest)
#include "OptionCodecsTest.moc"
