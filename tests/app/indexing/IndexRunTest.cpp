// Indexing runs of the window: the schedule against a set clock, option 2's restarts and
// the stop command, the first-run speed, the idle thread, the progress and end texts, the
// log, and a run stopped in its second root.
#include <QtTest>

#include <QDirIterator>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <thread>

#include "index/IndexCacheCatalog.h"
#include "indexing/CIndexManager.h"
#include "indexing/IndexLogDialog.h"
#include "indexing/IndexRunText.h"
#include "indexing/IndexThreadPriority.h"
#include "search/Search_Man.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"
#include "tools/Tool_Resource.h"

class IndexRunTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void sizeTexts_data();
    void sizeTexts();
    void idlePriorityForThatThreadAlone();
    void dailyWindow_data();
    void dailyWindow();
    void optionTwoRestartsAndStopMakesItOne();
    void firstLaunchRunsAtFullSpeed();
    void finishedRunWritesOneLogLine();
    void stopInSecondRootKeepsTheFirst();
    void logViewerClears();

private:
    void makeTree(const QString& root, int files, int bytesEach);
    QDateTime at(int h, int m, int s) const { return QDateTime(QDate(2026, 12, 6), QTime(h, m, s)); }

    QTemporaryDir m_dir;
    QString m_cache;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CIndexManager> m_manager;
    QDateTime m_now;
};

namespace {
// Threads of this process with the nice value 19.
int idleThreads()
{
    int count = 0;
    QDirIterator it(QStringLiteral("/proc/self/task"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const pid_t tid = it.next().section(u'/', -1).toInt();
        count += IndexThreadPriority::niceOf(tid) == 19;
    }
    return count;
}

// The regular expression of a language text with "%s" conversions.
QRegularExpression patternOf(unsigned id)
{
    QStringList parts = LanguageText::plain(id).split(QStringLiteral("%s"));
    for (QString& part : parts)
        part = QRegularExpression::escape(part);
    return QRegularExpression(u'^' + parts.join(QStringLiteral("(.+)")) + u'$');
}
}  // namespace

void IndexRunTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void IndexRunTest::init()
{
    static int n = 0;
    const QString base = m_dir.filePath(QString::number(++n));
    m_cache = base + "/cache";
    QVERIFY(QDir().mkpath(m_cache));
    m_settings = std::make_unique<AppSettings>(base + "/Quendrel.ini", AppSettings::loadedColumnCaptions());
    m_settings->indexedPaths().paths.clear();
    m_settings->indexTime().IndexCacheLocation = m_cache;
    m_settings->frame().FirstRun = 0;
    m_settings->general().AutoIndex = 0;
    // The trees live in the temporary folder; its preset would exclude them.
    m_settings->excludeList().ppdebTemporary = 0;
    m_manager = std::make_unique<CIndexManager>(*m_settings);
    m_manager->setLog(IndexLog(base + "/QDIndex.log"));
    m_now = at(9, 0, 0);
    m_manager->setClock([this] { return m_now; });
}

void IndexRunTest::cleanup()
{
    m_manager.reset();
    m_settings.reset();
}

void IndexRunTest::makeTree(const QString& root, int files, int bytesEach)
{
    QVERIFY(QDir().mkpath(root + "/sub"));
    for (int i = 0; i < files; ++i) {
        QFile f(root + (i % 2 ? "/sub/f" : "/f") + QString::number(i) + ".txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(bytesEach, 'x'));
    }
}

void IndexRunTest::sizeTexts_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("text");
    const QString bytesWord = LanguageText::plain(34);
    QTest::newRow("0") << quint64(0) << "0 " + bytesWord;
    QTest::newRow("1023") << quint64(1023) << "1,023 " + bytesWord;
    QTest::newRow("1024") << quint64(1024) << "1 KB";
    QTest::newRow("1536 rounds up") << quint64(1536) << "2 KB";
    QTest::newRow("just below 1 MiB") << quint64(1024 * 1024 - 1) << "1,024 KB";
    QTest::newRow("1.5 MiB") << quint64(1536 * 1024) << "1.50 MB";
    QTest::newRow("5 GiB") << quint64(5) * 1024 * 1024 * 1024 << "5.000 GB";
    QTest::newRow("2.25 GiB") << quint64(2304) * 1024 * 1024 << "2.250 GB";
}

void IndexRunTest::sizeTexts()
{
    QFETCH(quint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(IndexRunText::sizeText(bytes), text);
    QVERIFY(patternOf(170).match(IndexRunText::progress(bytes, 1234567)).hasMatch());
    QVERIFY(IndexRunText::summary(bytes, 1234567).contains(QStringLiteral("1,234,567")));
}

void IndexRunTest::idlePriorityForThatThreadAlone()
{
    const pid_t self = IndexThreadPriority::callingThreadId();
    const int niceBefore = IndexThreadPriority::niceOf(self);
    const int ioBefore = IndexThreadPriority::ioClassOf(self);
    bool ok = false;
    int nice = 0, io = 0;
    std::thread t([&] {
        ok = IndexThreadPriority::makeCallingThreadIdle();
        const pid_t tid = IndexThreadPriority::callingThreadId();
        nice = IndexThreadPriority::niceOf(tid);
        io = IndexThreadPriority::ioClassOf(tid);
    });
    t.join();
    QVERIFY(ok);
    QCOMPARE(nice, 19);
    QCOMPARE(io, 3);
    QCOMPARE(IndexThreadPriority::niceOf(self), niceBefore);
    QCOMPARE(IndexThreadPriority::ioClassOf(self), ioBefore);
    QVERIFY(niceBefore != 19);
}

void IndexRunTest::dailyWindow_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<bool>("starts");
    QTest::newRow("13:00:00") << QTime(13, 0, 0) << true;
    QTest::newRow("13:00:29") << QTime(13, 0, 29) << true;
    QTest::newRow("13:00:30") << QTime(13, 0, 30) << false;
    QTest::newRow("13:01:10") << QTime(13, 1, 10) << false;
    QTest::newRow("12:59:59") << QTime(12, 59, 59) << false;
    QTest::newRow("14:00:00") << QTime(14, 0, 0) << false;
}

void IndexRunTest::dailyWindow()
{
    QFETCH(QTime, now);
    QFETCH(bool, starts);
    const QString root = m_dir.filePath(QStringLiteral("daily"));
    makeTree(root, 2, 10);
    m_settings->indexedPaths().paths = {root};
    QCOMPARE(m_settings->indexTime().IndexTimeOption, 1);
    m_now = QDateTime(QDate(2026, 12, 6), now);
    m_manager->scheduleCheck(false);
    QCOMPARE(m_manager->runsStarted(), starts ? 1 : 0);
    QTRY_VERIFY_WITH_TIMEOUT(!m_manager->isRunning(), 30000);
    // Option 0 never starts; force always does.
    m_settings->indexTime().IndexTimeOption = 0;
    m_manager->scheduleCheck(false);
    QCOMPARE(m_manager->runsStarted(), starts ? 1 : 0);
    m_manager->scheduleCheck(true);
    QCOMPARE(m_manager->runsStarted(), starts ? 2 : 1);
    QTRY_VERIFY_WITH_TIMEOUT(!m_manager->isRunning(), 30000);
}

void IndexRunTest::optionTwoRestartsAndStopMakesItOne()
{
    const QString root = m_dir.filePath(QStringLiteral("again"));
    makeTree(root, 3, 10);
    m_settings->indexedPaths().paths = {root};
    m_settings->indexTime().IndexTimeOption = 2;
    QSignalSpy ended(m_manager.get(), &CIndexManager::runEnded);
    // The schedule timer alone starts run after run.
    m_manager->startUp();
    QTRY_VERIFY_WITH_TIMEOUT(m_manager->runsStarted() >= 3, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(ended.count() >= 2, 30000);
    for (const QList<QVariant>& e : ended)
        QVERIFY(!e.at(0).toBool());   // each ended on its own
    m_manager->stopCommand();
    QCOMPARE(m_settings->indexTime().IndexTimeOption, 1);
    QVERIFY(!m_manager->isRunning());
    const int runs = m_manager->runsStarted();
    QTest::qWait(400);   // several schedule ticks at 09:00: option 1 starts nothing
    QCOMPARE(m_manager->runsStarted(), runs);

    // No indexed paths: a scheduled check is silent, a forced one asks for text 72.
    m_settings->indexedPaths().paths.clear();
    m_settings->indexTime().IndexTimeOption = 2;
    QSignalSpy none(m_manager.get(), &CIndexManager::noIndexedPaths);
    m_manager->scheduleCheck(false);
    QCOMPARE(none.count(), 0);
    m_manager->scheduleCheck(true);
    QCOMPARE(none.count(), 1);
    QCOMPARE(m_manager->runsStarted(), runs);
}

void IndexRunTest::firstLaunchRunsAtFullSpeed()
{
    const QString root = m_dir.filePath(QStringLiteral("first"));
    makeTree(root, 2, 10);
    m_settings->indexedPaths().paths = {root};
    m_settings->indexTime().iIndexPriority = 3;
    m_settings->frame().FirstRun = 1;
    QCOMPARE(m_manager->effectiveSpeed(), 10);
    m_manager->indexAll();
    QCOMPARE(m_manager->man().getIndexThreadPriority(), 10);
    QTRY_VERIFY_WITH_TIMEOUT(!m_manager->isRunning(), 30000);
    m_settings->frame().FirstRun = 0;
    QCOMPARE(m_manager->effectiveSpeed(), 3);
    m_manager->indexAll();
    QCOMPARE(m_manager->man().getIndexThreadPriority(), 3);
    m_manager->stop();
}

void IndexRunTest::finishedRunWritesOneLogLine()
{
    const QString root = m_dir.filePath(QStringLiteral("logged"));
    makeTree(root, 4, 384);   // 1536 bytes of files
    m_settings->indexedPaths().paths = {root};
    m_now = at(14, 30, 5);
    QSignalSpy panes(m_manager.get(), &CIndexManager::paneText);
    QSignalSpy ended(m_manager.get(), &CIndexManager::runEnded);
    m_manager->indexAll();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 30000);
    QVERIFY(!m_manager->isRunning());

    const auto caches = IndexCacheCatalog::list(Tool_Resource::INDEX_STAGE_PENDING);
    QCOMPARE(caches.size(), size_t(1));
    QCOMPARE(QString::fromStdString(caches[0].root), root);
    const QString label = LanguageText::plain(68);
    const QString time = QStringLiteral(" 12-06-2026 14:30:05");
    const QString summary = IndexRunText::summary(1536, caches[0].entries);
    QVERIFY(summary.contains(QStringLiteral("2 KB")));
    const QString line = "[" + label + time + "] " + summary;

    QFile log(m_manager->log().path());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()), line + "\n");
    QCOMPARE(ended.at(0).at(1).toString(), line);
    QCOMPARE(m_settings->frame().strLastIndexTime, time);
    // The end texts are the last ones of panes 2 and 3.
    QString pane2, pane3;
    for (const QList<QVariant>& p : panes)
        (p.at(0).toInt() == 2 ? pane2 : pane3) = p.at(1).toString();
    QCOMPARE(pane2, label + time);
    QCOMPARE(pane3, summary);

    // A second run appends a second line; the first stays.
    m_manager->indexAll();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 30000);
    log.seek(0);
    const QList<QByteArray> lines = log.readAll().split('\n');
    QCOMPARE(lines.size(), 3);   // two lines and the empty rest after the last line end
    QCOMPARE(QString::fromUtf8(lines[0]), line);
    QVERIFY(lines[1].startsWith("[" + label.toUtf8()));
}

void IndexRunTest::stopInSecondRootKeepsTheFirst()
{
    const QString first = m_dir.filePath(QStringLiteral("stopA"));
    const QString second = m_dir.filePath(QStringLiteral("stopB"));
    makeTree(first, 3, 10);
    makeTree(second, 60, 10);
    m_settings->indexedPaths().paths = {first, second};
    m_settings->indexTime().iIndexPriority = 0;   // every entry waits 100 ms
    QSignalSpy panes(m_manager.get(), &CIndexManager::paneText);
    QSignalSpy ended(m_manager.get(), &CIndexManager::runEnded);
    m_manager->indexAll();
    QVERIFY(m_manager->isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(idleThreads() == 1, 5000);   // the indexing thread, not this one
    QVERIFY(IndexThreadPriority::niceOf(IndexThreadPriority::callingThreadId()) != 19);
    QTRY_VERIFY_WITH_TIMEOUT(!IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_PENDING).empty(), 30000);
    // The progress display each second, text 170, in pane 3.
    const QRegularExpression progress = patternOf(170);
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(panes.cbegin(), panes.cend(),
                                         [&](const QList<QVariant>& p) {
                                             return p.at(0).toInt() == 3 && progress.match(p.at(1).toString()).hasMatch();
                                         }),
                             5000);
    QVERIFY(m_manager->isRunning());
    m_manager->stop();
    QVERIFY(!m_manager->isRunning());
    QCOMPARE(ended.count(), 1);
    QVERIFY(ended.at(0).at(0).toBool());
    QVERIFY(ended.at(0).at(1).toString().startsWith("[" + LanguageText::plain(71) + " "));
    QVERIFY(m_settings->frame().strLastIndexTime.isEmpty());

    // The first root's cache was committed and becomes live; the second left nothing.
    QCOMPARE(IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_PENDING), std::vector<std::string>{first.toStdString()});
    Search_Man man;
    man.refreshNewIndexCacheFile({first.toStdString(), second.toStdString()});
    const auto live = IndexCacheCatalog::list(Tool_Resource::INDEX_STAGE_LIVE);
    QCOMPARE(live.size(), size_t(1));
    QCOMPARE(QString::fromStdString(live[0].root), first);
    QVERIFY(live[0].entries >= 4);   // three files and a folder at least
    QVERIFY(man.initSearcher({first.toStdString()}));
    QVERIFY(man.findSearcher(first.toStdString()) != nullptr);
    man.uninitSearcher();
}

void IndexRunTest::logViewerClears()
{
    IndexLog log(m_dir.filePath(QStringLiteral("viewer/QDIndex.log")));
    QVERIFY(log.append(QStringLiteral("[one] a\n")));
    QVERIFY(log.append(QStringLiteral("[two] b\n")));
    IndexLogDialog dialog(log, QStringLiteral(" 12-06-2026 14:30:05"));
    QCOMPARE(dialog.textBox()->toPlainText(), QStringLiteral("[one] a\n[two] b\n"));
    dialog.clearButton()->click();
    QVERIFY(dialog.textBox()->toPlainText().isEmpty());
    QCOMPARE(QFileInfo(log.path()).size(), 0);
    QVERIFY(log.append(QStringLiteral("[three] c\n")));
    QCOMPARE(log.readAll(), QStringLiteral("[three] c\n"));
}

QTEST_MAIN(IndexRunTest)
#include "IndexRunTest.moc"
