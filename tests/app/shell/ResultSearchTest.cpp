// The search controller and the result model together: real searches of a temporary tree
// on the search thread, rows announced in batches, duplicates, stopping, searches in the
// current results, removal and sorting, with QAbstractItemModelTester watching the model.
#include <QtTest>

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <numeric>
#include <set>

#include "content/ContentTermBuilder.h"
#include "index/IIndexResultReceiver.h"
#include "index/SF_Man.h"
#include "index/SF_SaverSet.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "shell/AppSettings.h"
#include "shell/ResultCellText.h"
#include "shell/ResultListModel.h"
#include "shell/SearchController.h"
#include "tools/Tool_Resource.h"

namespace {
void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

std::multiset<std::string> namesOf(ResultListModel& model)
{
    std::multiset<std::string> out;
    for (int r = 0; r < model.rowCount(); ++r)
        out.insert(model.itemAt(r).getFileName());
    return out;
}
}  // namespace

class ResultSearchTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void searchStreamsRowsIntoTheModel();
    void largeListIsEmptiedForTheNextSearch();
    void refusedRuleKeepsThePreviousResults();
    void noFillerDoesNothing();
    void oneSearchAtATime();
    void rowsArriveInBatchesNotAtOnce();
    void duplicatesGrowTheListOnlyAtTheEnd();
    void stopDiscardsQueuedTexts();
    void stoppedSearchSendsNothingAfterwards();
    void searchInResultsMovesItemsAndKeepsSurvivors();
    void removeRowsKeepsTheRest_data();
    void removeRowsKeepsTheRest();
    void sortingUnderTheTester();
    void contentSearchReportsExcerpts();
    void indexHitsStayPendingUntilUsed();

private:
    // Fills the rule for the tree with a typed name line.
    SearchController::RuleFiller filler(const QString& nameLine, int searchIn = 0);
    void runToEnd();
    // kBigFiles files holding "needle" after 8 KB, below big/.
    static constexpr int kBigFiles = 1500;
    void makeBigTree();
    SearchController::RuleFiller contentFiller();

    QTemporaryDir* m_dir = nullptr;
    AppSettings* m_settings = nullptr;
    ResultListModel* m_model = nullptr;
    SearchController* m_controller = nullptr;
    QAbstractItemModelTester* m_tester = nullptr;
};

void ResultSearchTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void ResultSearchTest::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    const QString root = m_dir->path();
    for (int i = 0; i < 60; ++i)
        writeFile(root + QStringLiteral("/a/f%1.txt").arg(i), QByteArray(i, 'x'));
    for (int i = 0; i < 40; ++i)
        writeFile(root + QStringLiteral("/b/c/g%1.dat").arg(i), QByteArray(i % 5, 'y'));
    writeFile(root + QStringLiteral("/b/notes.txt"), "the quick brown fox jumps over the lazy dog");
    m_settings = new AppSettings(QDir(root).filePath(QStringLiteral("q.ini")), AppSettings::loadedColumnCaptions());
    m_settings->indexedPaths().paths.clear();
    m_model = new ResultListModel;
    m_tester = new QAbstractItemModelTester(m_model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_controller = new SearchController(*m_settings, *m_model);
}

void ResultSearchTest::cleanup()
{
    delete m_controller;
    delete m_tester;
    delete m_model;
    delete m_settings;
    delete m_dir;
    Search_Man::s_hStopSearchEvent.reset();
}

SearchController::RuleFiller ResultSearchTest::filler(const QString& nameLine, int searchIn)
{
    const std::string folder = m_dir->path().toStdString();
    const std::string line = nameLine.toStdString();
    return [folder, line, searchIn](Search_Rule& rule) {
        NameLinePreparer::prepare(line, false, rule);
        rule.iSearchIn = searchIn;
        if (searchIn != 3)
            rule.folders.push_back(folder);
        return true;
    };
}

void ResultSearchTest::makeBigTree()
{
    for (int i = 0; i < kBigFiles; ++i)
        writeFile(m_dir->path() + QStringLiteral("/big/h%1.txt").arg(i), QByteArray(8192, 'z') + "needle");
}

SearchController::RuleFiller ResultSearchTest::contentFiller()
{
    const auto base = filler(QStringLiteral("*"));
    return [base](Search_Rule& rule) {
        base(rule);
        ContentTermRequest request;
        request.text = "needle";
        return ContentTermBuilder::addTerms(rule.containText, request).ok;
    };
}

void ResultSearchTest::runToEnd()
{
    QTRY_VERIFY_WITH_TIMEOUT(!m_controller->isRunning(), 20000);
}

void ResultSearchTest::searchStreamsRowsIntoTheModel()
{
    QSignalSpy completed(m_model, &ResultListModel::searchCompleted);
    m_controller->setRuleFiller(filler(QStringLiteral("*")));
    QVERIFY(m_controller->start());
    runToEnd();
    QCOMPARE(completed.count(), 1);
    // 60 + 40 + 1 files and the folders a, b, b/c.
    QCOMPARE(m_model->rowCount(), 104);
    QCOMPARE(completed.first().at(0).toInt(), 104);
    QCOMPARE(m_model->unannouncedRows(), 0);
    QVERIFY(!m_model->isSearching());
    const auto names = namesOf(*m_model);
    QCOMPARE(names.count("f59.txt"), size_t(1));
    QCOMPARE(names.count("c"), size_t(1));
}

void ResultSearchTest::largeListIsEmptiedForTheNextSearch()
{
    // A list this long is freed on a helper thread when the next search empties it; the
    // next search's rows must be the only ones, also when it starts at once.
    const int rows = int(ResultItemRelease::kBackgroundFrom) + 5000;
    Search_Rule rule;
    for (int round = 0; round < 2; ++round) {
        m_model->clear();
        m_model->beginSearch(false);
        for (int i = 0; i < rows; ++i) {
            auto item = std::make_unique<Data_FileItem>();
            item->setFileName("old" + std::to_string(i));
            item->m_vecSnippets.push_back(std::make_shared<ContentSnippet>());
            m_model->addResult(rule, std::move(item), true);
        }
        m_model->endSearch(false);
        QCOMPARE(m_model->rowCount(), rows);
        m_controller->setRuleFiller(filler(QStringLiteral("*.txt")));
        QVERIFY(m_controller->start());
        runToEnd();
        QCOMPARE(m_model->rowCount(), 61);
        const auto names = namesOf(*m_model);
        QCOMPARE(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.rfind("old", 0) == 0; }),
                 0);
    }
}

void ResultSearchTest::refusedRuleKeepsThePreviousResults()
{
    m_controller->setRuleFiller(filler(QStringLiteral("*.txt")));
    QVERIFY(m_controller->start());
    runToEnd();
    QCOMPARE(m_model->rowCount(), 61);
    Data_FileItem* first = &m_model->itemAt(0);
    bool asked = false;
    m_controller->setRuleFiller([&asked](Search_Rule& rule) {
        asked = true;
        rule.names = {"ignored"};
        return false;  // a panel found an error
    });
    QVERIFY(!m_controller->start());
    QVERIFY(asked);
    QVERIFY(!m_controller->isRunning());
    QCOMPARE(m_model->rowCount(), 61);
    QCOMPARE(&m_model->itemAt(0), first);
}

void ResultSearchTest::noFillerDoesNothing()
{
    QVERIFY(!m_controller->start());
    QVERIFY(!m_controller->isRunning());
    QCOMPARE(m_model->rowCount(), 0);
}

void ResultSearchTest::oneSearchAtATime()
{
    makeBigTree();
    int fills = 0;
    const auto base = contentFiller();
    m_controller->setRuleFiller([&](Search_Rule& rule) {
        ++fills;
        return base(rule);
    });
    QVERIFY(m_controller->start());
    // The content search of the big tree is still running (its end is only taken note of
    // from the event loop or by start() itself).
    QVERIFY(m_controller->isRunning());
    QVERIFY(!m_controller->start());
    QCOMPARE(fills, 1);
    runToEnd();
    QCOMPARE(m_model->rowCount(), kBigFiles);
}

void ResultSearchTest::rowsArriveInBatchesNotAtOnce()
{
    // The receiver is driven directly, as the search thread drives it: appending does not
    // touch the views; the batch timer announces the rows once the event loop runs.
    Search_Rule rule;
    QSignalSpy inserted(m_model, &QAbstractItemModel::rowsInserted);
    m_model->beginSearch(false);
    for (int i = 0; i < 500; ++i) {
        auto item = std::make_unique<Data_FileItem>();
        item->setFileName("x" + std::to_string(i));
        m_model->addResult(rule, std::move(item), true);
    }
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(m_model->unannouncedRows(), 500);
    QTRY_COMPARE(m_model->rowCount(), 500);
    QCOMPARE(inserted.count(), 1);  // one batch, not one signal per row
    // Appends without the update flag (a search in results without content) wait for the end.
    for (int i = 0; i < 10; ++i)
        m_model->addResult(rule, std::make_unique<Data_FileItem>(), false);
    QTest::qWait(3 * ResultListModel::kBatchMilliseconds);
    QCOMPARE(m_model->rowCount(), 500);
    m_model->searchFinished(7, rule);
    QTRY_COMPARE(m_model->rowCount(), 510);
    QCOMPARE(m_model->lastElapsed(), 7u);
    m_model->endSearch(false);
}

void ResultSearchTest::duplicatesGrowTheListOnlyAtTheEnd()
{
    {
        // Driven as the search thread drives it: the batches announce nothing until the
        // groups come.
        Search_Rule rule;
        rule.duplicate.bEnable = 1;
        rule.duplicate.iLevel = 1;
        QSignalSpy inserted(m_model, &QAbstractItemModel::rowsInserted);
        QSignalSpy completed(m_model, &ResultListModel::searchCompleted);
        m_model->beginSearch(true);
        for (int i = 0; i < 30; ++i) {
            auto item = std::make_unique<Data_FileItem>();
            item->setFileName("d" + std::to_string(i));
            item->m_nSize = i % 3 == 0 ? 7 : 1000 + i;  // ten files of 7 bytes, the rest unique
            m_model->addResult(rule, std::move(item), true);
        }
        QTest::qWait(3 * ResultListModel::kBatchMilliseconds);
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(m_model->rowCount(), 0);
        m_model->searchFinished(5, rule);
        QTRY_COMPARE(m_model->rowCount(), 10);
        m_model->endSearch(false);
        QCOMPARE(m_model->rowCount(), 10);
        QCOMPARE(completed.count(), 0);
        for (int r = 0; r < 10; ++r)
            QCOMPARE(m_model->itemAt(r).m_nDupGroup, 1);
        m_model->clear();
    }
    // Files of equal sizes: g0..g39 have sizes 0..4, so five groups of eight.
    QSignalSpy completed(m_model, &ResultListModel::searchCompleted);
    QSignalSpy status(m_model, &ResultListModel::statusText);
    QSignalSpy inserted(m_model, &QAbstractItemModel::rowsInserted);
    const auto base = filler(QStringLiteral("*.dat"));
    m_controller->setRuleFiller([&](Search_Rule& rule) {
        base(rule);
        rule.duplicate.bEnable = 1;
        rule.duplicate.iLevel = 1;  // same size
        return true;
    });
    QVERIFY(m_controller->start());
    runToEnd();
    QCOMPARE(completed.count(), 0);  // no finish message with duplicates
    QCOMPARE(m_model->rowCount(), 40);
    QCOMPARE(inserted.count(), 1);  // all groups at once, after the walk
    std::set<int> groups;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const Data_FileItem& item = m_model->itemAt(r);
        QVERIFY(item.m_nDupGroup > 0);
        QCOMPARE(item.m_nSize, m_model->itemAt(r - r % 8).m_nSize);  // groups are contiguous
        groups.insert(item.m_nDupGroup);
    }
    QCOMPARE(groups.size(), size_t(5));
    QVERIFY(!status.isEmpty());
    QCOMPARE(status.last().at(1).toString(), QStringLiteral("40 duplicate files found"));
}

void ResultSearchTest::stopDiscardsQueuedTexts()
{
    QSignalSpy status(m_model, &ResultListModel::statusText);
    m_model->beginSearch(false);
    for (int i = 0; i < 5; ++i)
        m_model->showMessage(std::make_unique<std::string>("Searching: /x/" + std::to_string(i)));
    QCOMPARE(m_model->pendingMessageCount(), size_t(5));
    m_model->endSearch(true);  // stopped
    QCOMPARE(m_model->pendingMessageCount(), size_t(0));
    QTest::qWait(2 * ResultListModel::kBatchMilliseconds);
    QCOMPARE(status.count(), 0);
    // Finished normally, the newest queued text is shown once and the rest freed.
    m_model->beginSearch(false);
    m_model->showMessage(std::make_unique<std::string>("one"));
    m_model->showMessage(std::make_unique<std::string>("two"));
    m_model->endSearch(false);
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.first().at(1).toString(), QStringLiteral("two"));
    QCOMPARE(m_model->pendingMessageCount(), size_t(0));
}

void ResultSearchTest::stoppedSearchSendsNothingAfterwards()
{
    // A large content search of the tree, stopped at once: nothing of it arrives later.
    makeBigTree();
    QSignalSpy completed(m_model, &ResultListModel::searchCompleted);
    m_controller->setRuleFiller(contentFiller());
    QVERIFY(m_controller->start());
    m_controller->stop(true);
    QVERIFY(!m_controller->isRunning());
    QCOMPARE(m_model->pendingMessageCount(), size_t(0));
    const int rows = m_model->rowCount();
    QSignalSpy status(m_model, &ResultListModel::statusText);
    QTest::qWait(3 * ResultListModel::kBatchMilliseconds);
    QCOMPARE(status.count(), 0);
    QCOMPARE(completed.count(), 0);
    QCOMPARE(m_model->rowCount(), rows);
    QCOMPARE(m_model->unannouncedRows(), 0);
    // The next search runs normally.
    m_controller->setRuleFiller(filler(QStringLiteral("*.dat")));
    QVERIFY(m_controller->start());
    runToEnd();
    QCOMPARE(completed.count(), 1);
    QCOMPARE(m_model->rowCount(), 40);
}

void ResultSearchTest::searchInResultsMovesItemsAndKeepsSurvivors()
{
    m_controller->setRuleFiller(filler(QStringLiteral("*")));
    QVERIFY(m_controller->start());
    runToEnd();
    QCOMPARE(m_model->rowCount(), 104);
    std::map<std::string, const Data_FileItem*> before;
    for (int r = 0; r < m_model->rowCount(); ++r)
        before[m_model->itemAt(r).getFullFileName()] = &m_model->itemAt(r);

    m_controller->setRuleFiller(filler(QStringLiteral("g1*.dat"), 3));
    QVERIFY(m_controller->start());
    runToEnd();
    // g1, g10..g19.
    QCOMPARE(m_model->rowCount(), 11);
    for (int r = 0; r < m_model->rowCount(); ++r) {
        Data_FileItem& item = m_model->itemAt(r);
        QVERIFY2(item.getFileName().rfind("g1", 0) == 0, item.getFileName().c_str());
        const auto found = before.find(item.getFullFileName());
        QVERIFY(found != before.end());
        QCOMPARE(&item, found->second);  // the same object: moved, not copied
    }
    QVERIFY(m_controller->rule().previousResults.empty());
}

void ResultSearchTest::removeRowsKeepsTheRest_data()
{
    QTest::addColumn<std::vector<int>>("remove");
    QTest::addColumn<int>("left");
    QTest::newRow("one") << std::vector<int>{5} << 103;
    QTest::newRow("runs, unsorted, repeated") << std::vector<int>{9, 3, 4, 5, 9, 100, 103} << 98;
    QTest::newRow("out of range ignored") << std::vector<int>{-1, 0, 104, 500} << 103;
    QTest::newRow("all") << [] {
        std::vector<int> v(104);
        std::iota(v.begin(), v.end(), 0);
        return v;
    }() << 0;
}

void ResultSearchTest::removeRowsKeepsTheRest()
{
    QFETCH(std::vector<int>, remove);
    QFETCH(int, left);
    m_controller->setRuleFiller(filler(QStringLiteral("*")));
    QVERIFY(m_controller->start());
    runToEnd();
    std::vector<const Data_FileItem*> kept;
    const std::set<int> gone(remove.begin(), remove.end());
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (!gone.count(r))
            kept.push_back(&m_model->itemAt(r));
    m_model->removeRows(remove);
    QCOMPARE(m_model->rowCount(), left);
    for (int r = 0; r < left; ++r)
        QCOMPARE(&m_model->itemAt(r), kept[size_t(r)]);
}

void ResultSearchTest::sortingUnderTheTester()
{
    m_controller->setRuleFiller(filler(QStringLiteral("*")));
    QVERIFY(m_controller->start());
    runToEnd();
    // A persistent index follows its row through the sort.
    const QPersistentModelIndex watched = m_model->index(17, 0);
    Data_FileItem* watchedItem = &m_model->itemAt(17);
    for (int column = 0; column < ResultCellText::kColumnCount; ++column) {
        for (int direction : {1, -1}) {
            m_model->sortRows(column, direction);
            QCOMPARE(m_model->rowCount(), 104);
            QCOMPARE(&m_model->itemAt(watched.row()), watchedItem);
        }
    }
    m_model->sortRows(2, 1);
    // Folders first, then sizes ascending.
    int r = 0;
    for (; r < 3; ++r)
        QVERIFY(m_model->itemAt(r).isDirectory());
    for (; r + 1 < m_model->rowCount(); ++r)
        QVERIFY(m_model->itemAt(r).m_nSize <= m_model->itemAt(r + 1).m_nSize);
}

void ResultSearchTest::contentSearchReportsExcerpts()
{
    QSignalSpy started(m_controller, &SearchController::contentSearchStarted);
    const auto base = filler(QStringLiteral("*.txt"));
    m_controller->setRuleFiller([&](Search_Rule& rule) {
        base(rule);
        ContentTermRequest request;
        request.text = "brown";
        return ContentTermBuilder::addTerms(rule.containText, request).ok;
    });
    QVERIFY(m_controller->start());
    runToEnd();
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.first().at(0).toBool(), true);
    QCOMPARE(m_model->rowCount(), 1);
    Data_FileItem& item = m_model->itemAt(0);
    QCOMPARE(item.getFileName(), std::string("notes.txt"));
    QVERIFY(!item.m_vecSnippets.empty());
    QCOMPARE(item.m_vecSnippets[0]->match, std::string("brown"));
    QVERIFY(m_model->rowHasSnippets(0));
}

namespace {
struct IndexDone : IIndexResultReceiver {
    void showIndexMessage(std::unique_ptr<std::string>) override {}
    void indexFinished() override {}
};
}  // namespace

void ResultSearchTest::indexHitsStayPendingUntilUsed()
{
    // A real index cache of the tree, answered by a quick search without the disk walk.
    // No tester here: it reads rows itself, and this case counts the rows read.
    delete m_tester;
    m_tester = nullptr;
    QTemporaryDir cache;
    const std::string root = QDir(m_dir->path()).canonicalPath().toStdString();
    std::string cacheFolder = cache.path().toStdString() + '/';
    Tool_Resource::setIndexCachePath(cacheFolder);
    {
        SF_Man indexer;
        indexer.init();
        indexer.addPath(std::vector<std::string>{root});
        indexer.setExcludeListInfo({}, {}, false);
        SF_Man::s_hCancelEvent.reset();
        IndexDone done;
        indexer.startIndex(&done);
        indexer.reset();
        QVERIFY(SF_SaverSet::makeLive(root));
    }
    m_settings->indexedPaths().paths = {QString::fromStdString(root)};
    m_settings->indexTime().IndexCacheLocation = cache.path();
    m_settings->searchDisplay().bAutoNormalSearch = 0;
    m_controller->setRuleFiller([root](Search_Rule& rule) {
        NameLinePreparer::prepare("*.dat", false, rule);
        rule.folders.push_back(root);
        rule.bQuickSearch = 1;
        return true;
    });
    QSignalSpy completed(m_model, &ResultListModel::searchCompleted);
    QVERIFY(m_controller->start());
    runToEnd();
    QCOMPARE(completed.count(), 1);
    QCOMPARE(m_model->rowCount(), 40);
    QCOMPARE(m_model->pendingRows(), 40);  // nothing read yet
    QCOMPARE(m_model->index(3, ResultCellText::kName).data().toString().endsWith(QStringLiteral(".dat")), true);
    QCOMPARE(m_model->pendingRows(), 39);  // the row shown was read, and only it
    Data_FileItem& item = m_model->itemAt(7);
    QCOMPARE(item.m_strPath, root + "/b/c/");
    QCOMPARE(m_model->pendingRows(), 38);
    // A sort reads every row first and keeps the set.
    m_model->sortRows(ResultCellText::kName, 1);
    QCOMPARE(m_model->pendingRows(), 0);
    std::set<std::string> names;
    for (int r = 0; r < 40; ++r)
        names.insert(m_model->itemAt(r).getFileName());
    QCOMPARE(names.size(), size_t(40));
    QVERIFY(names.count("g0.dat") && names.count("g39.dat"));
}

QTEST_MAIN(ResultSearchTest)
#include "ResultSearchTest.moc"
