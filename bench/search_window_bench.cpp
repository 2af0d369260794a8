// The window's side of bench_search_window.sh (Qt, offscreen): a disk search started from
// the main window, from the command until the status bar shows the count (the rows are
// announced by then). Prints one line "ms rows status-text".
//   search_window_bench ROOT NAME-LINE
#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "WindowSearchTiming.h"
#include "shell/AppSettings.h"

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
    timeWindowSearch(frame, root, QString::fromLocal8Bit(argv[2]), false);
    return 0;
}
