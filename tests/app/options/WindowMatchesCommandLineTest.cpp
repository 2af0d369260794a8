// The same search from the window's real panels and from qdsearch over the same tree gives
// the same set of paths: the panels fill the rule the way the command line does.
#include <QtTest>

#include "../CommandLineResults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <set>
#include <string>

#include "options/ContainTextPanel.h"
#include "options/HistoryCombo.h"
#include "options/NameLocationPanel.h"
#include "options/SearchOptionsPane.h"
#include "records/Data_FileItem.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/File_HoldWnd.h"
#include "shell/ResultListModel.h"
#include "shell/SearchController.h"

class WindowMatchesCommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sameResultsAsTheCommandLine_data();
    void sameResultsAsTheCommandLine();

private:
    QTemporaryDir m_dir;
    QString m_root;
};


void WindowMatchesCommandLineTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFileInfo::exists(QStringLiteral(QUENDREL_BIN_DIR "/qdsearch")), "qdsearch is not built");
    m_root = m_dir.filePath(QStringLiteral("tree"));
    writeTestFile(m_root + "/notes.txt", "hello world\n");
    writeTestFile(m_root + "/Hello.TXT", "HELLO there\n");
    writeTestFile(m_root + "/archive.tar.gz", "not really gzip");
    writeTestFile(m_root + "/my.report.pdf", "%PDF-");
    writeTestFile(m_root + "/report", "hello");
    writeTestFile(m_root + "/sub/deep/report.txt", "say hello\n");
    writeTestFile(m_root + "/sub/with space 'quoted'.txt", "nothing here\n");
    writeTestFile(m_root + "/sub/-leading.txt", "hello again\n");
    writeTestFile(m_root + "/sub/bytes.bin", QByteArray("\x00\x01hello\x02", 8));
    QDir().mkpath(m_root + "/folder.txt");
}

void WindowMatchesCommandLineTest::sameResultsAsTheCommandLine_data()
{
    QTest::addColumn<QString>("nameLine");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("wholeWord");
    QTest::newRow("every name") << "" << "" << false << false;
    QTest::newRow("extension") << "*.txt" << "" << false << false;
    QTest::newRow("two dots") << "archive.tar.gz" << "" << false << false;
    QTest::newRow("dotted wildcard") << "*.tar.*" << "" << false << false;
    QTest::newRow("title only") << "report" << "" << false << false;
    QTest::newRow("two patterns") << "*.pdf *.gz" << "" << false << false;
    QTest::newRow("text") << "" << "hello" << false << false;
    QTest::newRow("text, case") << "*.txt" << "HELLO" << true << false;
    QTest::newRow("text, word") << "" << "hello" << false << true;
}

void WindowMatchesCommandLineTest::sameResultsAsTheCommandLine()
{
    QFETCH(QString, nameLine);
    QFETCH(QString, text);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, wholeWord);

    QTemporaryDir settingsDir;
    AppSettings settings(settingsDir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    CMainFrame frame(settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    SearchOptionsPane* pane = frame.searchOptions();
    frame.setSearchFolders({m_root});
    pane->general()->nameCombo()->setCurrentText(nameLine);
    // The disk walk without archive members, as qdsearch searches by default.
    pane->general()->quickCheck()->setChecked(false);
    pane->general()->compressedCheck()->setChecked(false);
    pane->containText()->textCombo()->setCurrentText(text);
    pane->containText()->caseCheck()->setChecked(caseSensitive);
    pane->containText()->wholeWordCheck()->setChecked(wholeWord);

    // The Search button, as a person starts it.
    QTest::mouseClick(frame.findChild<File_HoldWnd*>()->searchButton(), Qt::LeftButton);
    QVERIFY(frame.searchController()->isRunning() || frame.resultModel()->rowCount() > 0 ||
            frame.searchController()->checkFinished());
    QTRY_VERIFY_WITH_TIMEOUT(!frame.searchController()->isRunning(), 60000);
    frame.searchController()->checkFinished();
    std::set<std::string> window;
    for (int r = 0; r < frame.resultModel()->rowCount(); ++r)
        window.insert(frame.resultModel()->itemAt(r).getFullFileName());

    QStringList args{QStringLiteral("-0"), QStringLiteral("-q")};
    if (!text.isEmpty())
        args << QStringLiteral("--text") << text;
    if (caseSensitive)
        args << QStringLiteral("--case");
    if (wholeWord)
        args << QStringLiteral("--word");
    args << QStringLiteral("--") << nameLine << m_root;
    const std::set<std::string> commandLine = commandLineResults(args);

    QVERIFY(!commandLine.empty());
    QString difference;
    for (const std::string& p : window)
        if (!commandLine.count(p))
            difference += QStringLiteral("\n  only the window: ") + QString::fromStdString(p);
    for (const std::string& p : commandLine)
        if (!window.count(p))
            difference += QStringLiteral("\n  only qdsearch: ") + QString::fromStdString(p);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_MAIN(WindowMatchesCommandLineTest)
#include "WindowMatchesCommandLineTest.moc"
