// The window's side of bench_search_window.sh (Qt, offscreen): a disk search started from
// the main window, from the command until the status bar shows the count (the rows are
// announced by then). Prints one line "ms rows status-text".
//   search_window_bench ROOT NAME-LINE
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

#include "options/HistoryCombo.h"
#include "options/NameLocationPanel.h"
#include "options/SearchOptionsPane.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/MainStatusBar.h"
#include "shell/ResultListModel.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc < 3)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    AppSettings settings(dir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    settings.general().AutoIndex = 0;
    settings.frame().FirstRun = 0;
    CMainFrame frame(settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    SearchOptionsPane* pane = frame.searchOptions();
    frame.setSearchFolders({root});
    pane->general()->nameCombo()->setCurrentText(QString::fromLocal8Bit(argv[2]));
    pane->general()->quickCheck()->setChecked(false);
    pane->general()->compressedCheck()->setChecked(false);  // as qdsearch without --archives
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 ms = 0;
    // Connected after the window's own handler, so pane 0 shows the count by now.
    QObject::connect(frame.resultModel(), &ResultListModel::searchCompleted, &loop, [&] {
        ms = clock.elapsed();
        loop.quit();
    });
    clock.start();
    frame.commands().action(CommandIds::SearchOrStop)->trigger();
    loop.exec();
    std::printf("%lld %d %s\n", static_cast<long long>(ms), frame.resultModel()->rowCount(),
                qPrintable(frame.statusPanes()->paneText(0)));
    return 0;
}
