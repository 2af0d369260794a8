// The search option commands of the main window, on the real window: new search, the
// preset searches, folders handed in from outside, and the panels' state kept across runs.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTemporaryDir>

#include "options/ContainTextPanel.h"
#include "options/HistoryCombo.h"
#include "options/NameLocationPanel.h"
#include "options/SizePanel.h"
#include "options/SearchOptionsPane.h"
#include "records/Search_Rule.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/LanguageText.h"

using namespace CommandIds;

class OptionCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();
    void newSearchAndPresetsResetThePanels_data();
    void newSearchAndPresetsResetThePanels();
    void foldersFromOutsideFillThePath();
    void panelStateSurvivesTheWindow();
    void panelKeysFocusTheirControls();

private:
    void makeWindow();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CMainFrame> m_window;
};

void OptionCommandsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    makeWindow();
}

void OptionCommandsTest::makeWindow()
{
    m_window.reset();
    m_settings = std::make_unique<AppSettings>(m_dir->filePath(QStringLiteral("Quendrel.ini")),
                                               AppSettings::loadedColumnCaptions());
    CMainFrame::Options options;
    options.tray = TrayIcon::Availability::ForceUnavailable;
    m_window = std::make_unique<CMainFrame>(*m_settings, options);
    m_settings->frame().FirstRun = 0;
}

void OptionCommandsTest::cleanup()
{
    m_window.reset();
    m_settings.reset();
    m_dir.reset();
}

void OptionCommandsTest::newSearchAndPresetsResetThePanels_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("searchIn");
    QTest::newRow("new search") << NewSearch << QString() << 2;
    QTest::newRow("images") << SearchImages << "*.bmp,*.jpg,*.jpeg,*.tiff,*.tif,*.pic,*.gif" << 0;
    QTest::newRow("music") << SearchMusic << "*.mp3,*.wav,*.mid,*.midi,*.wma" << 0;
    QTest::newRow("video") << SearchVideos << "*.avi,*.mpg,*.mpeg,*.mov,*.wmv" << 0;
}

void OptionCommandsTest::newSearchAndPresetsResetThePanels()
{
    QFETCH(int, command);
    QFETCH(QString, name);
    QFETCH(int, searchIn);
    SearchOptionsPane* pane = m_window->searchOptions();
    QVERIFY(pane);
    SearchOptionsValues v = pane->values();
    v.general.name = QStringLiteral("old");
    v.general.path = m_dir->path();
    v.general.folders = {m_dir->path() + QLatin1Char('/')};
    v.general.iSearchIn = 1;
    v.size.iLargeState = 1;
    v.containText.mainText = QStringLiteral("text");
    pane->load(v);

    QAction* action = m_window->commands().action(command);
    QVERIFY(action->isEnabled());
    action->trigger();
    const SearchOptionsValues got = pane->values();
    QCOMPARE(got.general.name, name);
    QCOMPARE(got.general.iSearchIn, searchIn);
    QCOMPARE(got.general.path, LanguageText::plain(1));
    QVERIFY(got.general.folders.isEmpty());
    QCOMPARE(got.size, SizeValue());
    QCOMPARE(got.containText, ContainTextValue());
}

void OptionCommandsTest::foldersFromOutsideFillThePath()
{
    const QString folder = m_dir->path();
    m_window->searchOptions()->general()->searchInCombo()->setCurrentIndex(3);
    m_window->setSearchFolders({folder});
    QCOMPARE(m_window->searchOptions()->general()->pathCombo()->currentText(), folder);
    Search_Rule rule;
    QVERIFY(m_window->searchOptions()->fillRule(rule));
    QCOMPARE(rule.folders, std::vector<std::string>{(folder + QLatin1Char('/')).toStdString()});
}

void OptionCommandsTest::panelStateSurvivesTheWindow()
{
    SearchOptionsPane* pane = m_window->searchOptions();
    SearchOptionsValues v = pane->values();
    v.general.name = QStringLiteral("*.log");
    v.general.folders = {m_dir->path() + QLatin1Char('/')};
    v.date.iType = 1;
    v.date.dwPreviousDate = 9;
    v.duplicate.bEnableDuplicate = 1;
    v.duplicate.iLevel = 5;
    pane->load(v);
    const SearchOptionsValues before = pane->values();
    makeWindow();  // the old window saves everything as it goes; the new one reads it
    QCOMPARE(m_window->searchOptions()->values(), before);
}

void OptionCommandsTest::panelKeysFocusTheirControls()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    SearchOptionsPane* pane = m_window->searchOptions();
    // Panel 1 is open from the start, panel 2 closed: both keys land in their panel's first control.
    m_window->commands().action(OpenPanel1)->trigger();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(pane->general()->nameCombo()));
    m_window->commands().action(OpenPanel1 + 1)->trigger();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(pane->containText()->textCombo()));
    m_window->commands().action(OpenPanel1 + 3)->trigger();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(pane->size()->smallerCheck()));
    // Back to an open panel: its last focused control again.
    pane->general()->pathCombo()->setFocus();
    m_window->commands().action(OpenPanel1 + 1)->trigger();
    m_window->commands().action(OpenPanel1)->trigger();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(pane->general()->pathCombo()));
}

QTEST_MAIN(OptionCommandsTest)
#include "OptionCommandsTest.moc"
