// The result list's sort without full collation keys: AsciiCollation against the collator
// itself in several locales (including ones whose contractions must turn it off), the
// comparator's fast path against full collation for every column and direction, and a
// model of many index hits read on two threads, under QAbstractItemModelTester.
// Runs in the en_US locale (set before the application starts), whose collation differs
// from byte order in case and punctuation.
#include <QtTest>

#include <QAbstractItemModelTester>
#include <QCollator>
#include <QCollatorSortKey>
#include <QTemporaryDir>
#include <random>

#include "index/IIndexResultReceiver.h"
#include "index/SF_Man.h"
#include "index/SF_SaverSet.h"
#include "index/Search_CachePathSearcher.h"
#include "records/Data_FileItem.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "shell/AsciiCollation.h"
#include "shell/ResultCellText.h"
#include "shell/ResultItemComparator.h"
#include "shell/ResultListModel.h"
#include "tools/Tool_Resource.h"

namespace {
int signOf(int c)
{
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

QCollator collatorFor(const QString& locale)
{
    QCollator collator{QLocale(locale)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

// Random names: letters of both cases, digits, spaces and punctuation, sometimes
// sharing long beginnings (so the packed first eight weights tie), and with `foreign` > 0
// one name in `foreign` holding a non-ASCII character.
std::vector<std::string> randomNames(size_t count, unsigned seed, int foreign)
{
    static const char* const kStems[] = {"file_", "File_", "report-2024", "Report 2024", "a", "A.", "_x", "~tmp",
                                         "", "data.backup.", "zz", "0001"};
    static const char* const kForeign[] = {"é", "Ü", "ß", "中文", "Ω", "ø", "å", "ï"};
    std::mt19937 rng(seed);
    std::vector<std::string> out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::string s = kStems[rng() % std::size(kStems)];
        const size_t extra = 1 + rng() % 12;
        for (size_t k = 0; k < extra; ++k)
            s += rng() % 3 == 0 ? char(0x20 + rng() % 95) : "aBcdEz019 ._-"[rng() % 13];
        if (foreign > 0 && rng() % unsigned(foreign) == 0)
            s.insert(rng() % (s.size() + 1), kForeign[rng() % std::size(kForeign)]);
        out.push_back(std::move(s));
    }
    return out;
}

// Items for the comparator: names as above, split at their last dot, a few folders, some
// duplicate groups, repeated sizes and times, several folder texts.
std::vector<std::unique_ptr<Data_FileItem>> randomItems(size_t count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::unique_ptr<Data_FileItem>> out;
    const std::vector<std::string> names = randomNames(count, seed, 20);
    static const char* const kFolders[] = {"/data/", "/Data/", "/data/a b/", "/home/ü/", "/srv/x-1/", "/srv/x_1/"};
    for (const std::string& name : names) {
        auto item = std::make_unique<Data_FileItem>();
        item->setFileName(name.empty() ? std::string("n") : name);
        item->m_strPath = kFolders[rng() % std::size(kFolders)];
        item->m_nSize = int64_t(rng() % 50);
        item->m_dwAttributes = rng() % 10 == 0 ? Data_FileItem::ATTR_DIRECTORY : uint32_t(rng() % 4);
        item->m_nDupGroup = rng() % 8 == 0 ? int(1 + rng() % 5) : 0;
        item->m_ftLastWrite = FILETIME::fromU64(130000000000000000ULL + rng() % 30);
        item->m_ftCreation = FILETIME::fromU64(130000000000000000ULL + rng() % 30);
        item->m_ftLastAccess = FILETIME::fromU64(130000000000000000ULL + rng() % 30);
        out.push_back(std::move(item));
    }
    return out;
}

std::vector<Data_FileItem*> pointers(const std::vector<std::unique_ptr<Data_FileItem>>& items)
{
    std::vector<Data_FileItem*> out;
    for (const auto& item : items)
        out.push_back(item.get());
    return out;
}

struct Quiet : IIndexResultReceiver {
    void showIndexMessage(std::unique_ptr<std::string>) override {}
    void indexFinished() override {}
};
}  // namespace

class ResultSortTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fastPathIsOnWhereCollationAllowsIt_data();
    void fastPathIsOnWhereCollationAllowsIt();
    void weightsOrderLikeTheCollator_data();
    void weightsOrderLikeTheCollator();
    void comparatorFastPathMatchesFullCollation_data();
    void comparatorFastPathMatchesFullCollation();
    void rankedSortsMatchFullCollation();
    void manyIndexHitsReadOnTwoThreads();
};

void ResultSortTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCOMPARE(QLocale::system().name(), QStringLiteral("en_US"));
}

void ResultSortTest::fastPathIsOnWhereCollationAllowsIt_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("usable");
    QTest::newRow("C") << "C" << true;
    QTest::newRow("English") << "en_US" << true;
    QTest::newRow("German") << "de_DE" << true;
    // "aa" is a contraction (it sorts as å, after z); "ch" sorts after h.
    QTest::newRow("Danish") << "da_DK" << false;
    QTest::newRow("Czech") << "cs_CZ" << false;
}

void ResultSortTest::fastPathIsOnWhereCollationAllowsIt()
{
    QFETCH(QString, locale);
    QFETCH(bool, usable);
    QCOMPARE(AsciiCollation(collatorFor(locale)).usable(), usable);
}

void ResultSortTest::weightsOrderLikeTheCollator_data()
{
    QTest::addColumn<QString>("locale");
    for (const char* name : {"C", "en_US", "de_DE", "fr_FR", "sv_SE", "tr_TR", "ja_JP", "da_DK"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void ResultSortTest::weightsOrderLikeTheCollator()
{
    QFETCH(QString, locale);
    const QCollator collator = collatorFor(locale);
    const AsciiCollation fast(collator);
    if (!fast.usable())
        QSKIP("this locale's collation is not per-character on ASCII; the comparator collates");
    // A table of pairs where byte order and collation part, then random names.
    std::vector<std::string> names = {"a", "A", "b", "B", "ab", "aB", "Ab", "a b", "a-b", "a_b", "a.b", "a~b",
                                      "a1", "a10", "a2", "1a", "_a", "-a", " a", "~a", "Z", "z", "zz", "Zz",
                                      "file_10.txt", "File_9.txt", "file-9.txt", "file 9.txt", "file.9",
                                      "[x]", "(x)", "{x}", "x!", "x?", "x#", "x$", "x%", "x&", "x'", "x\"",
                                      "12345678", "12345678a", "12345678A", "12345678-", "123456789"};
    const std::vector<std::string> random = randomNames(6000, 7, 0);
    names.insert(names.end(), random.begin(), random.end());
    std::vector<QCollatorSortKey> keys;
    for (const std::string& s : names) {
        QVERIFY(AsciiCollation::covers(s));
        keys.push_back(collator.sortKey(QString::fromLatin1(s.data(), qsizetype(s.size()))));
    }
    // Every pair of the table and the first random names, then random pairs.
    const size_t table = 200;
    for (size_t i = 0; i < table; ++i)
        for (size_t j = 0; j < table; ++j)
            if (signOf(fast.compare(names[i], names[j])) != signOf(keys[i].compare(keys[j])))
                QFAIL(qPrintable(QStringLiteral("'%1' vs '%2'").arg(QString::fromStdString(names[i]),
                                                                    QString::fromStdString(names[j]))));
    std::mt19937 rng(11);
    for (int k = 0; k < 200000; ++k) {
        const size_t i = rng() % names.size(), j = rng() % names.size();
        QCOMPARE(signOf(fast.compare(names[i], names[j])), signOf(keys[i].compare(keys[j])));
        // The packed prefix never contradicts the full comparison.
        const uint64_t pi = fast.prefix(names[i]), pj = fast.prefix(names[j]);
        if (pi != pj)
            QCOMPARE(signOf(fast.compare(names[i], names[j])), pi < pj ? -1 : 1);
    }
    QVERIFY(!AsciiCollation::covers("caf\xc3\xa9"));
    QVERIFY(!AsciiCollation::covers("tab\there"));
}

void ResultSortTest::comparatorFastPathMatchesFullCollation_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("direction");
    // Below and above the two-thread limit (the halves are merged).
    for (int count : {3000, 30000})
        for (int column = 0; column < ResultCellText::kColumnCount; ++column)
            for (int direction : {1, -1})
                QTest::addRow("%d rows, column %d, %s", count, column, direction > 0 ? "up" : "down")
                    << count << column << direction;
}

void ResultSortTest::comparatorFastPathMatchesFullCollation()
{
    QFETCH(int, count);
    QFETCH(int, column);
    QFETCH(int, direction);
    const auto items = randomItems(size_t(count), unsigned(count + column));
    const std::vector<Data_FileItem*> rows = pointers(items);
    const std::vector<int> fast = ResultItemComparator::order(rows, column, direction);
    const std::vector<int> full =
        ResultItemComparator::order(rows, column, direction, nullptr, ResultItemComparator::Collation::Full);
    QCOMPARE(fast.size(), size_t(count));
    QVERIFY(fast == full);
}

void ResultSortTest::rankedSortsMatchFullCollation()
{
    // After a name sort the name ranks replace collation; an ascending sort by size, type
    // or folder from those ranks orders as one with full collation.
    const auto items = randomItems(25000, 3);
    const std::vector<Data_FileItem*> rows = pointers(items);
    const std::vector<int> byName = ResultItemComparator::order(rows, ResultCellText::kName, 1);
    std::vector<int> rank(rows.size());
    for (size_t k = 0; k < byName.size(); ++k)
        rank[size_t(byName[k])] = int(k);
    for (int column : {ResultCellText::kFolder, ResultCellText::kSize, ResultCellText::kType}) {
        const std::vector<int> ranked = ResultItemComparator::order(rows, column, 1, &rank);
        const std::vector<int> full =
            ResultItemComparator::order(rows, column, 1, nullptr, ResultItemComparator::Collation::Full);
        QVERIFY2(ranked == full, qPrintable(QString::number(column)));
    }
}

void ResultSortTest::manyIndexHitsReadOnTwoThreads()
{
    // A real cache of 300 files; 30,000 hits repeat its records (more than one thread's
    // share), are read by materializeAll and must equal the records read one by one.
    QTemporaryDir tree, cache;
    const std::string root = QDir(tree.path()).canonicalPath().toStdString();
    for (int i = 0; i < 300; ++i) {
        const QString folder = tree.path() + QStringLiteral("/d%1").arg(i / 100);
        QDir().mkpath(folder);
        QFile f(folder + QStringLiteral("/File %1%2").arg(i).arg(i % 3 ? ".txt" : "-é.dat"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(i % 17, 'x'));
    }
    Tool_Resource::setIndexCachePath(cache.path().toStdString() + '/');
    {
        SF_Man indexer;
        indexer.init();
        indexer.addPath(std::vector<std::string>{root});
        indexer.setExcludeListInfo({}, {}, false);
        SF_Man::s_hCancelEvent.reset();
        Quiet quiet;
        indexer.startIndex(&quiet);
        indexer.reset();
        QVERIFY(SF_SaverSet::makeLive(root));
    }
    Search_Man man;
    man.initSearcher({root});
    Search_CachePathSearcher* searcher = man.findSearcher(root);
    QVERIFY(searcher);
    const uint32_t records = 300;  // within the cache (it also holds the folders)
    {
        ResultListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.beginSearch(false);
        const int hits = 30000;
        for (int i = 0; i < hits; ++i)
            model.addIndexedResult(uint32_t(i * 7) % records, searcher);
        model.endSearch(false);
        QCOMPARE(model.rowCount(), hits);
        QVERIFY(model.pendingRows() >= hits - 2);  // the tester looks at the first rows
        model.materializeAll();
        QCOMPARE(model.pendingRows(), 0);
        for (int i = 0; i < hits; ++i) {
            Data_FileItem expected;
            searcher->readFileInfo(uint32_t(i * 7) % records, expected);
            Data_FileItem& got = model.itemAt(i);
            QCOMPARE(got.getFullFileName(), expected.getFullFileName());
            QCOMPARE(got.m_nSize, expected.m_nSize);
            QCOMPARE(got.m_dwAttributes, expected.m_dwAttributes);
        }
        // The model's sorts order as full collation does.
        std::vector<Data_FileItem*> before;
        for (int i = 0; i < hits; ++i)
            before.push_back(&model.itemAt(i));
        for (int column : {ResultCellText::kName, ResultCellText::kSize}) {
            const std::vector<int> expected =
                ResultItemComparator::order(before, column, 1, nullptr, ResultItemComparator::Collation::Full);
            model.sortRows(column, 1);
            for (int k = 0; k < hits; ++k)
                QCOMPARE(&model.itemAt(k), before[size_t(expected[size_t(k)])]);
            before.clear();
            for (int i = 0; i < hits; ++i)
                before.push_back(&model.itemAt(i));
        }
        model.clear();
    }
    man.uninitSearcher();
}

int main(int argc, char** argv)
{
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication app(argc, argv);
    ResultSortTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ResultSortTest.moc"
