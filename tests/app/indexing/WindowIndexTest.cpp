// From the main window: a folder is added on the index page, indexed with the Index menu's
// command, the status bar and the log show the run's end, and a quick search then answers
// from the new cache (without a restart) with the same set as qdsearch --quick.
#include <QtTest>

#include "../CommandLineResults.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <set>
#include <string>

#include "indexing/CIndexManager.h"
#include "indexing/PP_FileIndex.h"
#include "options/HistoryCombo.h"
#include "options/NameLocationPanel.h"
#include "options/SearchOptionsPane.h"
#include "records/Data_FileItem.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/LanguageText.h"
#include "shell/MainStatusBar.h"
#include "shell/ResultListModel.h"
#include "shell/SearchController.h"

class WindowIndexTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void addIndexSearch();
    void commandsFollowTheRun();
};

namespace {

std::set<std::string> windowSearch(CMainFrame& frame, const QString& nameLine)
{
    SearchOptionsPane* pane = frame.searchOptions();
    pane->general()->nameCombo()->setCurrentText(nameLine);
    pane->general()->quickCheck()->setChecked(true);
    pane->general()->compressedCheck()->setChecked(false);
    frame.commands().action(CommandIds::SearchOrStop)->trigger();
    if (!QTest::qWaitFor([&] { return !frame.searchController()->isRunning(); }, 60000))
        return {{"<window search did not end>"}};
    frame.searchController()->checkFinished();
    std::set<std::string> paths;
    for (int r = 0; r < frame.resultModel()->rowCount(); ++r)
        paths.insert(frame.resultModel()->itemAt(r).getFullFileName());
    return paths;
}

QString difference(const std::set<std::string>& window, const std::set<std::string>& cli)
{
    QString d;
    for (const std::string& p : window)
        if (!cli.count(p))
            d += QStringLiteral("\n  only the window: ") + QString::fromStdString(p);
    for (const std::string& p : cli)
        if (!window.count(p))
            d += QStringLiteral("\n  only qdsearch: ") + QString::fromStdString(p);
    return d;
}
}  // namespace

void WindowIndexTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(QFileInfo::exists(QStringLiteral(QUENDREL_BIN_DIR "/qdsearch")), "qdsearch is not built");
}

void WindowIndexTest::addIndexSearch()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("tree"));
    const QString cache = dir.filePath(QStringLiteral("cache"));
    writeTestFile(root + "/notes.txt", "hello");
    writeTestFile(root + "/Report.TXT", "x");
    writeTestFile(root + "/sub/deep/report.txt", "y");
    writeTestFile(root + "/sub/image.png", "z");
    QDir().mkpath(root + "/empty folder");

    AppSettings settings(dir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    CMainFrame frame(settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    // The window loads the settings file; the test's values come after.
    settings.indexedPaths().paths.clear();
    settings.indexTime().IndexCacheLocation = cache;
    settings.general().AutoIndex = 0;
    settings.frame().FirstRun = 0;
    settings.excludeList().ppdebTemporary = 0;   // the tree is in the temporary folder
    frame.startIndexing();
    QCOMPARE(frame.statusPanes()->paneText(2), LanguageText::plain(70));
    CIndexManager* manager = frame.indexManager();
    manager->setLog(IndexLog(dir.filePath(QStringLiteral("QDIndex.log"))));

    // The index page: type the folder, Add, apply.
    PP_FileIndex page(settings, manager);
    page.loadFromSettings();
    page.pathField()->setText(root + "/");
    QTest::keyClick(page.pathField(), Qt::Key_Return);
    QCOMPARE(page.paths(), QStringList{root});
    QVERIFY(page.applyToSettings());
    frame.indexedPathsChanged();
    QAction* pathEntry = frame.commands().action(CommandIds::IndexPathFirst);
    QVERIFY(pathEntry);
    QCOMPARE(pathEntry->text(), root);

    // Rebuild all (F6): the stop command is enabled while it runs; the end shows in the panes.
    QSignalSpy ended(manager, &CIndexManager::runEnded);
    frame.commands().action(CommandIds::RebuildAllIndexes)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
    QVERIFY(!ended.at(0).at(0).toBool());
    QVERIFY(frame.statusPanes()->paneText(2).startsWith(LanguageText::plain(68) + " "));
    QVERIFY(!frame.statusPanes()->paneText(3).isEmpty());
    QFile log(manager->log().path());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray logText = log.readAll();
    QCOMPARE(logText.count('\n'), 1);
    QVERIFY(logText.startsWith("[" + LanguageText::plain(68).toUtf8()));
    QVERIFY(!frame.commands().action(CommandIds::StopIndexing)->isEnabled());
    QVERIFY(frame.commands().action(CommandIds::RebuildAllIndexes)->isEnabled());

    // A file made after the run: a search from the cache does not see it.
    writeTestFile(root + "/later.txt", "new");
    frame.setSearchFolders({root});
    const QStringList cli{QStringLiteral("-0"), QStringLiteral("-q"),  QStringLiteral("--quick"),
                          QStringLiteral("--cache"), cache, QStringLiteral("--indexed"), root, QStringLiteral("--")};
    for (const QString& nameLine : {QString(), QStringLiteral("*.txt"), QStringLiteral("report")}) {
        const std::set<std::string> window = windowSearch(frame, nameLine);
        const std::set<std::string> commandLine = commandLineResults(cli + QStringList{nameLine, root});
        QVERIFY2(!window.empty(), qPrintable(nameLine));
        QVERIFY2(!window.count((root + "/later.txt").toStdString()), "the window walked instead of the cache");
        const QString d = difference(window, commandLine);
        QVERIFY2(d.isEmpty(), qPrintable(nameLine + d));
    }

    // Index the one path again from its own entry: the next quick search sees the new file
    // without a restart.
    pathEntry->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 60000);
    const std::set<std::string> fresh = windowSearch(frame, QStringLiteral("*.txt"));
    QVERIFY(fresh.count((root + "/later.txt").toStdString()));
    const QString d = difference(fresh, commandLineResults(cli + QStringList{QStringLiteral("*.txt"), root}));
    QVERIFY2(d.isEmpty(), qPrintable(d));
}

void WindowIndexTest::commandsFollowTheRun()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("slow"));
    for (int i = 0; i < 80; ++i)
        writeTestFile(root + QStringLiteral("/f%1").arg(i), "x");
    AppSettings settings(dir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    CMainFrame frame(settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    settings.indexedPaths().paths = {root};
    settings.indexTime().IndexCacheLocation = dir.filePath(QStringLiteral("cache"));
    settings.indexTime().iIndexPriority = 0;
    settings.indexTime().IndexTimeOption = 2;
    settings.general().AutoIndex = 1;   // the start-up rule starts a run
    settings.frame().FirstRun = 0;
    settings.excludeList().ppdebTemporary = 0;
    frame.indexedPathsChanged();
    frame.indexManager()->setLog(IndexLog(dir.filePath(QStringLiteral("QDIndex.log"))));
    frame.startIndexing();
    QVERIFY(frame.indexManager()->isRunning());
    QVERIFY(frame.commands().action(CommandIds::StopIndexing)->isEnabled());
    QVERIFY(!frame.commands().action(CommandIds::RebuildAllIndexes)->isEnabled());
    QVERIFY(!frame.commands().action(CommandIds::IndexPathFirst)->isEnabled());
    // Stop (F7): the run ends as stopped, option 2 becomes 1, the commands turn back.
    frame.commands().action(CommandIds::StopIndexing)->trigger();
    QVERIFY(!frame.indexManager()->isRunning());
    QCOMPARE(settings.indexTime().IndexTimeOption, 1);
    QVERIFY(frame.statusPanes()->paneText(2).startsWith(LanguageText::plain(71) + " "));
    QVERIFY(!frame.commands().action(CommandIds::StopIndexing)->isEnabled());
    QVERIFY(frame.commands().action(CommandIds::RebuildAllIndexes)->isEnabled());
}

QTEST_MAIN(WindowIndexTest)
#include "WindowIndexTest.moc"
