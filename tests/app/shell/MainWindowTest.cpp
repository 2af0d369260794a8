// The real main window, offscreen: commands and menus, start-up hidden, the close box,
// placement, layout of the option side, status bar and toolbar, and accessibility.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

#include "panels/AW_Desk.h"
#include "panels/AW_Item.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/File_HoldWnd.h"
#include "shell/LanguageText.h"
#include "shell/MainStatusBar.h"
#include "shell/MainToolBar.h"
#include "shell/TrayIcon.h"

using namespace CommandIds;
using Availability = TrayIcon::Availability;

Q_DECLARE_METATYPE(TrayIcon::Availability)

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyCommandRegisteredOnceWithTextAndMenu();
    void enablingFollowsTheState();
    void minimizedStartsHidden_data();
    void minimizedStartsHidden();
    void closeBox_data();
    void closeBox();
    void exitAlwaysExits();
    void placementRoundTrip_data();
    void placementRoundTrip();
    void optionSideLayout_data();
    void optionSideLayout();
    void deskItems();
    void panelCommandsOpenPanels();
    void statusPanes();
    void toolbarButtonsAndStyle();
    void trayMenu();
    void welcomeOnFirstRun();
    void focusChainHasAccessibleNames();
    void everyActionHasText();

private:
    // A fresh window over the store; the store is re-read from the file.
    void makeWindow(Availability tray);
    QString iniPath() const { return m_dir->filePath(QStringLiteral("Quendrel.ini")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CMainFrame> m_window;
};

void MainWindowTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void MainWindowTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    makeWindow(Availability::ForceAvailable);
}

void MainWindowTest::cleanup()
{
    m_window.reset();
    m_settings.reset();
    m_dir.reset();
}

void MainWindowTest::makeWindow(Availability tray)
{
    m_window.reset();
    m_settings = std::make_unique<AppSettings>(iniPath(), AppSettings::loadedColumnCaptions());
    m_settings->loadPlacement();
    CMainFrame::Options options;
    options.tray = tray;
    m_window = std::make_unique<CMainFrame>(*m_settings, options);
    m_settings->frame().FirstRun = 0;  // only welcomeOnFirstRun wants the dialog
}

namespace {
void collectMenuActions(const QMenu* menu, QList<QAction*>& out)
{
    for (QAction* a : menu->actions()) {
        out.append(a);
        if (a->menu())
            collectMenuActions(a->menu(), out);
    }
}
}  // namespace

void MainWindowTest::everyCommandRegisteredOnceWithTextAndMenu()
{
    CommandRegistry& commands = m_window->commands();
    const QList<int> expected{32771, 32772, 32774, 32775, 32777, 32776, 32778, 32779, 32780, 32795, 57609,
                              57606, 57607, 57665, 32781, 32782, 32783, 32784, 32823, 32785, 57634, 32845,
                              32789, 32790, 32791, 32792, 32793, 57642, 32794, 32834, 32835, 32818, 32827,
                              32822, 32848, 32819, 32820, 32821, 32829, 32803, 32804, 57664, 32836, 32837,
                              32838, 32839, 32840, 32841, 32843, 32844, 32846, 32847};
    QList<QAction*> inMenus;
    for (QAction* top : m_window->menuBar()->actions())
        collectMenuActions(top->menu(), inMenus);

    QSet<QAction*> seen;
    for (int id : expected) {
        QAction* action = commands.action(id);
        QVERIFY2(action, qPrintable(QStringLiteral("command %1 not registered").arg(id)));
        QVERIFY2(!action->text().isEmpty() && action->text() != QLatin1String("Failed String"),
                 qPrintable(QStringLiteral("command %1 has no text").arg(id)));
        QVERIFY2(inMenus.contains(action), qPrintable(QStringLiteral("command %1 is in no menu").arg(id)));
        if (!commands.aliases().contains(id)) {
            QVERIFY2(!seen.contains(action), qPrintable(QStringLiteral("command %1 shares an action").arg(id)));
            seen.insert(action);
        }
    }
    // No command registered twice, none beyond the table.
    QCOMPARE(QSet<int>(commands.ids().begin(), commands.ids().end()).size(), commands.ids().size());
    QCOMPARE(commands.ids().size() + commands.aliases().size(), expected.size());

    // The accelerators of the table, spot checks across the menus.
    QCOMPARE(commands.action(OpenResult)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(commands.action(SearchOrStop)->shortcut(), QKeySequence(QStringLiteral("Alt+S")));
    QCOMPARE(commands.action(OpenPanel1 + 2)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+3")));
    QVERIFY(commands.action(CopyFilesAlt)->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Ins"))));
    QCOMPARE(commands.action(Help)->shortcut(), QKeySequence(Qt::Key_F1));
    // Alt+S is the search command, so no menu title may take S as its mnemonic.
    for (QAction* top : m_window->menuBar()->actions())
        QVERIFY2(!top->text().contains(QLatin1String("&S"), Qt::CaseInsensitive), qPrintable(top->text()));
}

void MainWindowTest::enablingFollowsTheState()
{
    CommandRegistry& commands = m_window->commands();
    QVERIFY(commands.action(About)->isEnabled());
    QVERIFY(commands.action(Exit)->isEnabled());
    QVERIFY(!commands.action(SaveResult)->isEnabled());  // no rows to save
    QVERIFY(commands.action(RebuildAllIndexes)->isEnabled());  // no run is going on
    QVERIFY(!commands.action(StopIndexing)->isEnabled());
    QVERIFY(commands.action(Options)->isEnabled());

    // Index paths of the store become range commands, enabled like the other index commands.
    const QList<QAction*> paths = commands.rangeActions(IndexPathFirst, IndexPathLast);
    QCOMPARE(paths.size(), m_settings->indexedPaths().paths.size());
    for (QAction* a : paths)
        QVERIFY(a->isEnabled());

    // The tray's proxies follow the commands they stand for.
    CommandState state;
    state.modalDialogOpen = true;
    m_window->setCommandState(state);
    QCOMPARE(m_window->commandState(), state);
    QVERIFY(!commands.action(SearchOrStop)->isEnabled());
    QVERIFY(!commands.action(Options)->isEnabled());  // no option sheet over another dialog
}

void MainWindowTest::minimizedStartsHidden_data()
{
    QTest::addColumn<Availability>("tray");
    QTest::addColumn<bool>("minimized");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("hiddenToTray");
    QTest::newRow("plain start") << Availability::ForceAvailable << false << true << false;
    QTest::newRow("/minimized with a tray") << Availability::ForceAvailable << true << false << true;
    // Without a tray a hidden window could not be reached: it starts minimized instead.
    QTest::newRow("/minimized without a tray") << Availability::ForceUnavailable << true << true << false;
}

void MainWindowTest::minimizedStartsHidden()
{
    QFETCH(Availability, tray);
    QFETCH(bool, minimized);
    QFETCH(bool, visible);
    QFETCH(bool, hiddenToTray);
    makeWindow(tray);
    QSignalSpy afterStart(m_window.get(), &CMainFrame::afterStart);
    m_window->startUp(minimized);
    QCOMPARE(m_window->isVisible(), visible);
    QCOMPARE(m_window->isHiddenToTray(), hiddenToTray);
    QCOMPARE(afterStart.count(), minimized ? 0 : 1);
    if (minimized && visible)
        QVERIFY(m_window->isMinimized());
    // The tray entry offers what the window needs.
    QCOMPARE(m_window->tray()->showHideEntry()->text(), LanguageText::get(visible ? 58 : 57));
}

void MainWindowTest::closeBox_data()
{
    QTest::addColumn<int>("clickXToExit");
    QTest::addColumn<Availability>("tray");
    QTest::addColumn<bool>("exits");
    QTest::newRow("0 with a tray: hides") << 0 << Availability::ForceAvailable << false;
    QTest::newRow("1 with a tray: exits") << 1 << Availability::ForceAvailable << true;
    QTest::newRow("0 without a tray: exits") << 0 << Availability::ForceUnavailable << true;
    QTest::newRow("1 without a tray: exits") << 1 << Availability::ForceUnavailable << true;
}

void MainWindowTest::closeBox()
{
    QFETCH(int, clickXToExit);
    QFETCH(Availability, tray);
    QFETCH(bool, exits);
    makeWindow(tray);
    m_settings->general().ClickXToExit = clickXToExit;
    m_window->startUp(false);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QSignalSpy closed(m_window.get(), &CMainFrame::closedForExit);

    QCOMPARE(m_window->close(), exits);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(closed.count(), exits ? 1 : 0);
    QCOMPARE(m_window->isHiddenToTray(), !exits);
    if (!exits) {
        // Hidden, not gone: the tray brings it back.
        m_window->tray()->showHideEntry()->trigger();
        QTRY_VERIFY(m_window->isVisible());
        QVERIFY(!m_window->isHiddenToTray());
    }
}

void MainWindowTest::exitAlwaysExits()
{
    m_settings->general().ClickXToExit = 0;
    m_window->startUp(false);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QSignalSpy closed(m_window.get(), &CMainFrame::closedForExit);
    m_window->commands().action(Exit)->trigger();
    QTRY_COMPARE(closed.count(), 1);
    QVERIFY(!m_window->isVisible());

    // The tray's Exit ends a program hidden to the tray too.
    makeWindow(Availability::ForceAvailable);
    m_window->startUp(true);
    QSignalSpy closedHidden(m_window.get(), &CMainFrame::closedForExit);
    m_window->tray()->exitEntry()->trigger();
    QTRY_COMPARE(closedHidden.count(), 1);
}

void MainWindowTest::placementRoundTrip_data()
{
    QTest::addColumn<QRect>("normal");
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal window") << QRect(40, 60, 700, 500) << false;
    QTest::newRow("maximized window") << QRect(30, 40, 640, 480) << true;
}

void MainWindowTest::placementRoundTrip()
{
    QFETCH(QRect, normal);
    QFETCH(bool, maximized);
    m_window.reset();  // it would store its own placement on its way out
    AppSettings store(iniPath(), AppSettings::loadedColumnCaptions());
    WindowPlacement& record = store.placement();
    record.MainWinLeft = normal.left();
    record.MainWinTop = normal.top();
    record.MainWinRight = normal.left() + normal.width();
    record.MainWinBottom = normal.top() + normal.height();
    record.MainWinState = maximized ? 1 : 0;
    QVERIFY(store.savePlacement());

    makeWindow(Availability::ForceAvailable);
    m_window->startUp(false);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(m_window->isMaximized(), maximized);
    if (!maximized)
        QCOMPARE(m_window->geometry(), normal);

    // Store it, read it back from the file.
    m_window.reset();
    AppSettings reread(iniPath(), AppSettings::loadedColumnCaptions());
    reread.loadPlacement();
    QCOMPARE(reread.placement().MainWinState, maximized ? 1 : 0);
    QCOMPARE(reread.placement().MainWinLeft, normal.left());
    QCOMPARE(reread.placement().MainWinTop, normal.top());
    QCOMPARE(reread.placement().MainWinRight - reread.placement().MainWinLeft, normal.width());
    QCOMPARE(reread.placement().MainWinBottom - reread.placement().MainWinTop, normal.height());
}

void MainWindowTest::optionSideLayout_data()
{
    QTest::addColumn<bool>("large");
    QTest::addColumn<QRect>("desk");
    QTest::addColumn<QRect>("search");
    QTest::addColumn<QRect>("newSearch");
    // For an option side of 300 x 600.
    QTest::newRow("large buttons") << true << QRect(6, 6, 288, 530) << QRect(46, 544, 100, 50) << QRect(158, 544, 130, 50);
    QTest::newRow("small buttons") << false << QRect(6, 6, 288, 550) << QRect(101, 567, 75, 27) << QRect(182, 567, 112, 27);
}

void MainWindowTest::optionSideLayout()
{
    QFETCH(bool, large);
    QFETCH(QRect, desk);
    QFETCH(QRect, search);
    QFETCH(QRect, newSearch);
    m_window->resize(1000, 700);
    m_window->startUp(false);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(m_window->splitter()->sizes().first(), CMainFrame::kOptionSideWidth);

    File_HoldWnd side;
    side.resize(300, 600);
    side.setLargeButtons(large);
    QCOMPARE(side.desk()->geometry(), desk);
    QCOMPARE(side.searchButton()->geometry(), search);
    QCOMPARE(side.newSearchButton()->geometry(), newSearch);
    QCOMPARE(side.searchButton()->iconSize(), large ? QSize(32, 32) : QSize(16, 16));

    // The window's own option side follows the toolbar's style and the store.
    m_window->toolBar()->setLargeButtons(large);
    emit m_window->toolBar()->buttonStyleToggled(large);
    QCOMPARE(m_window->optionSide()->largeButtons(), large);
    QCOMPARE(m_settings->frame().iButtonState, large ? 1 : 0);
    const QSize s = m_window->optionSide()->size();
    QCOMPARE(m_window->optionSide()->searchButton()->geometry(), File_HoldWnd::searchButtonRect(s, large));
}

void MainWindowTest::deskItems()
{
    const QList<unsigned> captions{31, 51, 52, 14, 107};
    File_HoldWnd* side = m_window->optionSide();
    QCOMPARE(side->desk()->itemCount(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        AW_Item* item = side->desk()->item(i);
        QCOMPARE(item->caption(), LanguageText::plain(captions[i]));
        QCOMPARE(item->hint(), QStringLiteral("Ctrl+Alt+%1").arg(i + 1));
        QCOMPARE(side->isPanelOpen(i), i == 0);
        // An open item is its page's height plus the caption and frame.
        if (i == 0)
            QCOMPARE(item->height(), File_HoldWnd::pageHeight(0) + AW_Item::PageMargin);
    }
    QCOMPARE(side->searchButton()->text(), LanguageText::plain(53));
    QCOMPARE(side->searchButton()->toolTip(), LanguageText::plain(345));
    QCOMPARE(side->newSearchButton()->toolTip(), LanguageText::plain(346));
    side->setSearchRunning(true);
    QCOMPARE(side->searchButton()->text(), LanguageText::plain(64));
}

void MainWindowTest::panelCommandsOpenPanels()
{
    m_window->startUp(false);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    File_HoldWnd* side = m_window->optionSide();
    m_window->commands().action(OpenPanel1 + 3)->trigger();
    QVERIFY(side->isPanelOpen(3));
    QVERIFY(!side->isPanelOpen(2));
    m_window->commands().action(OpenAllPanels)->trigger();
    for (int i = 0; i < side->panelCount(); ++i)
        QVERIFY(side->isPanelOpen(i));
}

void MainWindowTest::statusPanes()
{
    MainStatusBar* bar = m_window->statusPanes();
    for (int i = 1; i < MainStatusBar::kPaneCount; ++i)
        QCOMPARE(bar->pane(i)->width(), MainStatusBar::kPaneWidths[i]);
    QCOMPARE(bar->paneText(2), LanguageText::get(70));
    bar->setPaneText(0, QStringLiteral("message"));
    bar->setPaneText(7, QStringLiteral("ignored"));
    QCOMPARE(bar->paneText(0), QStringLiteral("message"));
}

void MainWindowTest::toolbarButtonsAndStyle()
{
    MainToolBar* bar = m_window->toolBar();
    QList<int> ids;
    for (QAction* a : bar->actions())
        ids.append(a->isSeparator() ? 0 : a->data().toInt());
    const QList<int> expected{OpenResult, SaveResult, Execute, CopyPaths, CopyFiles, DeleteToTrash, Options,
                              RebuildLocalPaths, SearchImages, SearchMusic, SearchVideos, SearchSpecifiedType,
                              0, About};
    QCOMPARE(ids, expected);
    for (int id : {RebuildLocalPaths, CopyPaths, SearchSpecifiedType})
        QCOMPARE(bar->buttonFor(id)->popupMode(), QToolButton::MenuButtonPopup);
    QCOMPARE(bar->copyPathMenu()->actions().at(0)->text(), LanguageText::get(11));
    QCOMPARE(bar->copyPathMenu()->actions().at(1)->text(), LanguageText::get(12));
    QCOMPARE(bar->rebuildMenu()->actions().at(0)->text(), LanguageText::get(76));
    // One entry per default extension of "PatternString".
    QCOMPARE(bar->typeMenu()->actions().size(), m_settings->searchDisplay().patternExtensions.size());
    QVERIFY(bar->typeMenu()->actions().first()->text().startsWith(QStringLiteral("(*.doc) ")));

    bar->setLargeButtons(true);
    QCOMPARE(bar->iconSize(), QSize(44, 44));
    QCOMPARE(bar->buttonFor(About)->size(), QSize(51, 50));
    bar->setLargeButtons(false);
    QCOMPARE(bar->iconSize(), QSize(24, 24));
    QCOMPARE(bar->buttonFor(About)->size(), QSize(31, 30));
}

void MainWindowTest::trayMenu()
{
    TrayIcon* tray = m_window->tray();
    QVERIFY(tray->available());
    m_window->setHotKeyText(QStringLiteral("Alt+F1"));
    m_window->startUp(false);
    QCOMPARE(tray->showHideEntry()->text(), LanguageText::get(58) + QStringLiteral("\tAlt+F1"));
    QCOMPARE(tray->menu()->defaultAction(), tray->showHideEntry());
    QStringList texts;
    for (QAction* a : tray->menu()->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    const QStringList expected{tray->showHideEntry()->text(), LanguageText::get(59), QStringLiteral("-"),
                               LanguageText::get(76), LanguageText::get(77), LanguageText::get(79),
                               QStringLiteral("-"), LanguageText::get(83), LanguageText::get(60)};
    QCOMPARE(texts, expected);
    QCOMPARE(tray->toolTip(), LanguageText::plain(55));
    tray->setIndexProgress(QStringLiteral("12 items"));
    QCOMPARE(tray->toolTip(), LanguageText::plain(55) + QStringLiteral("\n12 items"));

    // Double-click (the tray's toggle) hides and shows again.
    m_window->toggleFromTray();
    QVERIFY(!m_window->isVisible());
    QCOMPARE(tray->showHideEntry()->text(), LanguageText::get(57) + QStringLiteral("\tAlt+F1"));
    m_window->toggleFromTray();
    QVERIFY(m_window->isVisible());
}

void MainWindowTest::welcomeOnFirstRun()
{
    m_settings->frame().FirstRun = 1;
    int shown = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&shown] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            if (dialog->objectName() == QLatin1String("welcomeDialog"))
                ++shown;
            dialog->reject();
        }
    });
    closer.start(20);
    m_window->startUp(false);
    QTRY_COMPARE(shown, 1);
    QCOMPARE(m_settings->frame().FirstRun, 0);
    QVERIFY(!m_window->commandState().modalDialogOpen);

    // The cleared flag reaches the store, so the next start does not greet again.
    closer.stop();
    m_window.reset();
    AppSettings reread(iniPath(), AppSettings::loadedColumnCaptions());
    reread.load();
    QCOMPARE(reread.frame().FirstRun, 0);
}

void MainWindowTest::focusChainHasAccessibleNames()
{
    m_window->startUp(false);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    int focusable = 0;
    QWidget* w = m_window.get();
    QSet<QWidget*> visited;
    while (w && !visited.contains(w)) {
        visited.insert(w);
        if (w != m_window.get() && w->isVisibleTo(m_window.get()) && (w->focusPolicy() & Qt::TabFocus)) {
            ++focusable;
            QVERIFY2(!w->accessibleName().isEmpty(),
                     qPrintable(QStringLiteral("%1 (%2) has no accessible name")
                                    .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())));
        }
        w = w->nextInFocusChain();
    }
    // The option panels' captions, the two buttons and the list at least.
    QVERIFY(focusable >= File_HoldWnd::kPanelCount + 3);
}

void MainWindowTest::everyActionHasText()
{
    // Menus fill their range entries when they show: do so, then look at every action.
    for (QMenu* menu : m_window->findChildren<QMenu*>())
        emit menu->aboutToShow();
    QList<QAction*> actions = m_window->findChildren<QAction*>();
    for (QMenu* menu : m_window->findChildren<QMenu*>())
        actions += menu->actions();
    actions += m_window->tray()->menu()->actions();
    QVERIFY(actions.size() > 50);
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        QVERIFY2(!a->text().isEmpty() && a->text() != QLatin1String("Failed String"),
                 qPrintable(QStringLiteral("action %1 has no text").arg(a->objectName())));
    }
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
