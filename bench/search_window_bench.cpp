// The window's side of bench_search_window.sh (Qt, offscreen).
//
//   search_window_bench ROOT NAME-LINE
//     A disk search started from the main window, from the command until the status bar
//     shows the count (the rows are announced by then). Prints "ms rows status-text".
//
//   search_window_bench --responsiveness ROOT NAME-LINE TEXT
//     The window shown, a probe timer ticking every millisecond on the user-interface thread.
//     Prints the longest gap between ticks during a name search (NAME-LINE) and during a
//     content search (TEXT in files matching NAME-LINE), then stops that content search
//     after several delays and prints how long each Stop took (the command returns once the
//     search thread has ended) and the longest gap around it.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "WindowSearchTiming.h"
#include "options/ContainTextPanel.h"
#include "shell/AppSettings.h"
#include "shell/SearchController.h"

namespace {

qint64 threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// Gaps between ticks of a 1 ms precise timer on the user-interface thread: a gap is as long
// as the thread was busy with something else, waited, or was not given a processor. The
// thread's processor time during the longest gap tells which: busy time is the thread's own.
class UiGapProbe {
public:
    UiGapProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        m_longestNs = 0;
        m_longestEndNs = 0;
        m_over50 = 0;
        m_clock.start();
        m_lastNs = 0;
        m_lastCpuNs = threadCpuNs();
        m_timer.start();
    }
    void finish()
    {
        tick();
        m_timer.stop();
    }
    double longestMs() const { return m_longestNs / 1e6; }
    // When the longest gap ended, in milliseconds after start().
    double longestEndMs() const { return m_longestEndNs / 1e6; }
    // The thread's processor time during the longest gap.
    double longestCpuMs() const { return m_longestCpuNs / 1e6; }
    int gapsOver50Ms() const { return m_over50; }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        const qint64 gap = now - m_lastNs;
        if (gap > m_longestNs) {
            m_longestNs = gap;
            m_longestEndNs = now;
            m_longestCpuNs = cpu - m_lastCpuNs;
        }
        m_lastCpuNs = cpu;
        if (gap > 50'000'000)
            ++m_over50;
        m_lastNs = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
    qint64 m_longestEndNs = 0;
    qint64 m_lastCpuNs = 0;
    qint64 m_longestCpuNs = 0;
    int m_over50 = 0;
};

void setRule(CMainFrame& frame, const QString& root, const QString& nameLine, const QString& text)
{
    fillWindowRule(frame, root, nameLine, false);
    frame.searchOptions()->containText()->textCombo()->setCurrentText(text);
}

// Runs one search to its end with the probe on.
void probeWholeSearch(CMainFrame& frame, UiGapProbe& probe, const char* what)
{
    QEventLoop loop;
    QObject::connect(frame.resultModel(), &ResultListModel::searchCompleted, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    probe.start();
    clock.start();
    frame.commands().action(CommandIds::SearchOrStop)->trigger();
    loop.exec();
    probe.finish();
    std::printf("%s: %lld ms, %d rows; longest user-interface gap %.1f ms (ending %.0f ms after the start, "
                "%.1f ms of it busy), gaps over 50 ms: %d\n",
                what, static_cast<long long>(clock.elapsed()), frame.resultModel()->rowCount(), probe.longestMs(),
                probe.longestEndMs(), probe.longestCpuMs(), probe.gapsOver50Ms());
}

// Starts the search, presses Stop after `delayMs`, and reports how long the Stop took.
void probeStop(CMainFrame& frame, UiGapProbe& probe, int delayMs)
{
    SearchController* search = frame.searchController();
    QEventLoop loop;
    qint64 stopNs = -1;
    bool ranToEnd = false;
    auto finished = QObject::connect(frame.resultModel(), &ResultListModel::searchCompleted, &loop, [&] {
        ranToEnd = true;
        loop.quit();
    });
    QTimer::singleShot(delayMs, &loop, [&] {
        search->checkFinished();
        if (!search->isRunning()) {
            loop.quit();
            return;
        }
        QElapsedTimer stopClock;
        stopClock.start();
        frame.commands().action(CommandIds::SearchOrStop)->trigger();
        stopNs = stopClock.nsecsElapsed();
        if (search->isRunning())
            std::printf("stop after %d ms: the search still runs after Stop\n", delayMs);
        QTimer::singleShot(100, &loop, &QEventLoop::quit);   // the gaps just after the stop count too
    });
    probe.start();
    frame.commands().action(CommandIds::SearchOrStop)->trigger();
    loop.exec();
    probe.finish();
    QObject::disconnect(finished);
    if (ranToEnd || stopNs < 0)
        std::printf("stop after %d ms: the search had finished before\n", delayMs);
    else
        std::printf("stop after %d ms: Stop took %.1f ms, %d rows kept; longest user-interface gap %.1f ms "
                    "(%.1f ms of it busy)\n",
                    delayMs, stopNs / 1e6, frame.resultModel()->rowCount(), probe.longestMs(), probe.longestCpuMs());
}

int runResponsiveness(CMainFrame& frame, const QString& root, const QString& nameLine, const QString& text)
{
    frame.resize(1100, 750);
    frame.show();
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
    UiGapProbe probe;
    setRule(frame, root, nameLine, QString());
    probeWholeSearch(frame, probe, "name search");
    setRule(frame, root, nameLine, text);
    probeWholeSearch(frame, probe, "content search");
    for (int delay : {50, 150, 300, 600, 1000})
        probeStop(frame, probe, delay);
    return 0;
}

}   // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const bool responsiveness = argc >= 2 && std::strcmp(argv[1], "--responsiveness") == 0;
    if (argc < (responsiveness ? 5 : 3))
        return 2;
    char** args = argv + (responsiveness ? 1 : 0);
    const QString root = QString::fromLocal8Bit(args[1]);
    QTemporaryDir dir;
    AppSettings settings(dir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    settings.general().AutoIndex = 0;
    settings.frame().FirstRun = 0;
    CMainFrame frame(settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    if (responsiveness)
        return runResponsiveness(frame, root, QString::fromLocal8Bit(args[2]), QString::fromLocal8Bit(args[3]));
    timeWindowSearch(frame, root, QString::fromLocal8Bit(args[2]), false);
    return 0;
}
