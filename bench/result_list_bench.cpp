// The result list with a million index hits, offscreen: memory of a row not read yet,
// first paint after the search's end, a screen painted deep in the list (rows read from
// the cache included), and sorts by name (every row read first) and then by size.
// Index hits come from a real cache of a generated tree; with fewer files than hits the
// record numbers repeat, which costs the list the same as distinct ones.
//
// usage: result_list_bench [HITS] [FILES]   (defaults 1000000 and 20000)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>

#include "index/IIndexResultReceiver.h"
#include "index/SF_Man.h"
#include "index/SF_SaverSet.h"
#include "index/Search_CachePathSearcher.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "shell/AppSettings.h"
#include "shell/File_ListView.h"
#include "shell/ResultCellText.h"
#include "shell/ResultListModel.h"
#include "tools/Tool_Resource.h"

namespace {
struct Quiet : IIndexResultReceiver {
    void showIndexMessage(std::unique_ptr<std::string>) override {}
    void indexFinished() override {}
};

double msSince(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}
}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int hits = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int files = argc > 2 ? std::atoi(argv[2]) : 20000;

    QTemporaryDir tree, cache;
    const std::string root = QDir(tree.path()).canonicalPath().toStdString();
    for (int i = 0; i < files; ++i) {
        const QString folder = tree.path() + QStringLiteral("/d%1").arg(i / 500);
        if (i % 500 == 0)
            QDir().mkpath(folder);
        QFile f(folder + QStringLiteral("/file_%1.%2").arg((i * 7919) % files).arg(i % 3 ? "txt" : "dat"));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(QByteArray(i % 4096, 'x'));
    }
    Tool_Resource::setIndexCachePath(cache.path().toStdString() + '/');
    {
        SF_Man indexer;
        indexer.init();
        indexer.addPath(std::vector<std::string>{root});
        indexer.setExcludeListInfo({}, {}, false);
        SF_Man::s_hCancelEvent.reset();
        Quiet quiet;
        indexer.startIndex(&quiet);
        indexer.reset();
        if (!SF_SaverSet::makeLive(root))
            return 1;
    }
    Search_Man man;
    man.initSearcher({root});
    Search_CachePathSearcher* searcher = man.findSearcher(root);
    if (!searcher)
        return 1;

    AppSettings settings(QDir(tree.path()).filePath(QStringLiteral("bench.ini")), AppSettings::loadedColumnCaptions());
    const size_t heapBefore = mallinfo2().uordblks + mallinfo2().hblkhd;  // the list's own reserve included
    ResultListModel model;
    // As in the window, whose name cells are editable (the view asks every row's flags).
    model.setRenameHandler([](int, const QString&) { return false; });
    File_ListView view(settings, model);
    view.resize(1000, 700);
    view.show();
    app.processEvents();

    // Appending (as the search thread does; here on this thread).
    Search_Rule rule;
    model.beginSearch(false);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < hits; ++i)
        model.addIndexedResult(uint32_t(i % (files + 20)), searcher);
    const double appendMs = msSince(t);
    const size_t heapAfter = mallinfo2().uordblks + mallinfo2().hblkhd;
    model.searchFinished(1, rule);
    t.restart();
    app.processEvents();
    model.endSearch(false);
    view.viewport()->repaint();
    const double firstPaintMs = msSince(t);
    std::printf("rows %d (records of %d cached entries)\n", model.rowCount(), files);
    std::printf("append: %.1f ms; heap per unread row: %.1f bytes\n", appendMs,
                double(heapAfter - heapBefore) / hits);
    std::printf("first paint after the end: %.1f ms (pending rows left %d)\n", firstPaintMs, model.pendingRows());
    const size_t heapLaidOut = mallinfo2().uordblks + mallinfo2().hblkhd;
    std::printf("heap per row with the view's layout of the rows: %.1f bytes\n",
                double(heapLaidOut - heapBefore) / hits);

    t.restart();
    view.scrollTo(model.index(hits / 2, 0), QAbstractItemView::PositionAtTop);
    view.viewport()->repaint();
    std::printf("one screen at row %d, rows read from the cache: %.1f ms\n", hits / 2, msSince(t));

    t.restart();
    model.materializeAll();
    const double readMs = msSince(t);
    t.restart();
    view.sortByLogicalColumn(ResultCellText::kName);
    const double nameMs = msSince(t);
    std::printf("reading every row from the cache: %.0f ms\n", readMs);
    std::printf("then sort by name: %.0f ms (with the reading: %.0f ms)\n", nameMs, readMs + nameMs);
    t.restart();
    view.sortByLogicalColumn(ResultCellText::kSize);
    std::printf("then sort by size: %.0f ms\n", msSince(t));
    t.restart();
    view.viewport()->repaint();
    std::printf("paint after the sorts: %.1f ms\n", msSince(t));
    model.clear();
    man.uninitSearcher();
    return 0;
}
