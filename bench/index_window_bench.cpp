// The window's side of bench_index_window.sh (Qt, offscreen). Prints one line "ms N".
//   index_window_bench index ROOT CACHE            a run from the window at speed 10, from
//                                                  the command to the end of the run
//   index_window_bench quick ROOT CACHE PATTERN    a quick search from the window, from the
//                                                  command until the status bar shows the count
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

#include "WindowSearchTiming.h"
#include "indexing/CIndexManager.h"
#include "options/HistoryCombo.h"
#include "options/NameLocationPanel.h"
#include "options/SearchOptionsPane.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/MainStatusBar.h"
#include "shell/ResultListModel.h"
#include "shell/SearchController.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc < 4)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString root = QString::fromLocal8Bit(argv[2]);
    const QString cache = QString::fromLocal8Bit(argv[3]);
    QTemporaryDir dir;
    AppSettings settings(dir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    CMainFrame frame(settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    settings.indexedPaths().paths = {root};
    settings.indexTime().IndexCacheLocation = cache;
    settings.indexTime().iIndexPriority = 10;
    settings.indexTime().IndexTimeOption = 0;
    settings.general().AutoIndex = 0;
    settings.frame().FirstRun = 0;
    settings.excludeList().ppdebIndexCompressed = 0;   // as qdsearch --no-archives
    settings.excludeList().ppdebTemporary = 0;
    settings.excludeList().extensions.clear();
    frame.indexedPathsChanged();
    frame.indexManager()->setLog(IndexLog(dir.filePath(QStringLiteral("QDIndex.log"))));
    frame.startIndexing();
    QElapsedTimer clock;
    if (mode == QLatin1String("index")) {
        // A real event loop: it sleeps between events as the program's own does (a polling
        // loop here would take the processor from the idle-priority indexing thread).
        QEventLoop loop;
        QObject::connect(frame.indexManager(), &CIndexManager::runEnded, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        clock.start();
        frame.commands().action(CommandIds::RebuildAllIndexes)->trigger();
        loop.exec();
        std::printf("%lld %u\n", static_cast<long long>(clock.elapsed()), 0u);
        return 0;
    }
    if (mode == QLatin1String("quick") && argc > 4) {
        timeWindowSearch(frame, root, QString::fromLocal8Bit(argv[4]), true);
        return 0;
    }
    return 2;
}
