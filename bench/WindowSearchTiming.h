#pragma once
// Shared by the window benches: one search started from the main window's Search command,
// timed until the status bar shows the count (the rows are announced by then). Prints one
// line "ms rows status-text" to standard output. Runs the GUI thread's event loop meanwhile.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cstdio>

#include "options/HistoryCombo.h"
#include "options/NameLocationPanel.h"
#include "options/SearchOptionsPane.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/MainStatusBar.h"
#include "shell/ResultListModel.h"

// Sets the panels for a search of `root` with the name line, as qdsearch runs it without
// --archives: quick (index) search or a disk walk, no archives opened.
inline void fillWindowRule(CMainFrame& frame, const QString& root, const QString& nameLine, bool quick)
{
    SearchOptionsPane* pane = frame.searchOptions();
    frame.setSearchFolders({root});
    pane->general()->nameCombo()->setCurrentText(nameLine);
    pane->general()->quickCheck()->setChecked(quick);
    pane->general()->compressedCheck()->setChecked(false);
}

inline void timeWindowSearch(CMainFrame& frame, const QString& root, const QString& nameLine, bool quick)
{
    fillWindowRule(frame, root, nameLine, quick);
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
}
