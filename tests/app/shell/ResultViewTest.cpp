// The result list's view: sorting by header clicks and after a search, duplicate-group
// colours, the column chooser and settings, the list commands, type-ahead and the
// web-page style rows. With QUENDREL_RESULT_SHOT set to a PNG path, one more case runs a
// content search in the real main window and saves a picture of it there.
#include <QtTest>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QTemporaryDir>
#include <map>
#include <set>

#include "content/ContentTermBuilder.h"
#include "options/ContainTextPanel.h"
#include "options/HistoryCombo.h"
#include "options/NameLocationPanel.h"
#include "options/SearchOptionsPane.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/File_HoldWnd.h"
#include "shell/File_ListView.h"
#include "shell/MainStatusBar.h"
#include "shell/ResultCellText.h"
#include "shell/ResultItemDelegate.h"
#include "shell/ResultListModel.h"
#include "shell/ResultPrinter.h"
#include "shell/SearchController.h"

namespace {
std::unique_ptr<Data_FileItem> makeItem(const std::string& name, int64_t size, int group = 0, bool folder = false)
{
    auto item = std::make_unique<Data_FileItem>();
    item->setFileName(name);
    item->m_strPath = "/data/";
    item->m_nSize = size;
    item->m_nDupGroup = group;
    item->m_dwAttributes = folder ? Data_FileItem::ATTR_DIRECTORY : 0;
    item->m_ftLastWrite = FILETIME::fromU64(uint64_t(130000000000000000ULL + uint64_t(size) * 10000000ULL));
    return item;
}

std::vector<std::string> names(ResultListModel& model)
{
    std::vector<std::string> out;
    for (int r = 0; r < model.rowCount(); ++r)
        out.push_back(model.itemAt(r).getFileName());
    return out;
}
}  // namespace

class ResultViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sortBySizeTwiceReverses();
    void sortAfterSearchIsAscending();
    void sortPositionsFollowShownColumns();
    void sortAfterANameSortMatchesAFreshSort();
    void duplicateGroupsStayTogetherUnderEverySort();
    void duplicateGroupsAlternateColours();
    void columnChooserTogglesColumnAndFlag();
    void applySettingsRereadsFormats();
    void invertAndRemoveSelection();
    void typeAhead_data();
    void typeAhead();
    void webPageRowsAreThreeLinesHigh();
    void printLayout_data();
    void printLayout();
    void printsEveryRowOnFixedPages();
    void replacingTheRowsChoosesTheView();
    void windowSortsAfterSearchAndReportsTheCount();
    void renameEditsTheNameInItsCell();
    void screenshotOfContentSearch();

private:
    void fill(std::vector<std::unique_ptr<Data_FileItem>> items);

    QTemporaryDir* m_dir = nullptr;
    AppSettings* m_settings = nullptr;
    ResultListModel* m_model = nullptr;
    QAbstractItemModelTester* m_tester = nullptr;
    File_ListView* m_view = nullptr;
};

void ResultViewTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void ResultViewTest::init()
{
    m_dir = new QTemporaryDir;
    m_settings = new AppSettings(m_dir->filePath(QStringLiteral("q.ini")), AppSettings::loadedColumnCaptions());
    m_model = new ResultListModel;
    m_tester = new QAbstractItemModelTester(m_model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_view = new File_ListView(*m_settings, *m_model);
    m_view->resize(900, 500);
}

void ResultViewTest::cleanup()
{
    delete m_view;
    delete m_tester;
    delete m_model;
    delete m_settings;
    delete m_dir;
}

void ResultViewTest::fill(std::vector<std::unique_ptr<Data_FileItem>> items)
{
    m_model->replaceAll(std::move(items));
}

void ResultViewTest::sortBySizeTwiceReverses()
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int size : {30, 10, 50, 20, 40})
        items.push_back(makeItem("n" + std::to_string(size), size));
    items.push_back(makeItem("dir", 0, 0, true));
    fill(std::move(items));
    m_view->sortByLogicalColumn(ResultCellText::kSize);
    const std::vector<std::string> ascending{"dir", "n10", "n20", "n30", "n40", "n50"};
    QCOMPARE(names(*m_model), ascending);
    QCOMPARE(m_view->header()->sortIndicatorSection(), ResultCellText::kSize);
    QCOMPARE(m_view->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    m_view->sortByLogicalColumn(ResultCellText::kSize);
    const std::vector<std::string> descending(ascending.rbegin(), ascending.rend());
    QCOMPARE(names(*m_model), descending);
    QCOMPARE(m_view->header()->sortIndicatorOrder(), Qt::DescendingOrder);
}

void ResultViewTest::sortAfterSearchIsAscending()
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (const char* n : {"b", "d", "a", "c"})
        items.push_back(makeItem(n, 1));
    fill(std::move(items));
    // The name column was sorted ascending, then descending by hand.
    m_view->sortByLogicalColumn(0);
    m_view->sortByLogicalColumn(0);
    QCOMPARE(names(*m_model), (std::vector<std::string>{"d", "c", "b", "a"}));
    QSignalSpy status(m_view, &File_ListView::statusText);
    m_view->sortAfterSearch(0);
    QCOMPARE(names(*m_model), (std::vector<std::string>{"a", "b", "c", "d"}));
    QCOMPARE(m_view->sortDirection(0), 1);
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.first().at(1).toString(), QStringLiteral("Sorting..."));
}

void ResultViewTest::sortAfterANameSortMatchesAFreshSort()
{
    // After a name sort the name tie-breaks come from the rows' kept name order; the result
    // must equal a sort of the same rows that collates afresh. Unique names, many equal
    // sizes, times and attributes, two duplicate groups, folders, one row removed between.
    const auto build = [] {
        std::vector<std::unique_ptr<Data_FileItem>> items;
        for (int i = 0; i < 300; ++i) {
            const int k = (i * 7919) % 300;
            auto item = makeItem("n" + std::to_string(k) + (k % 2 ? ".txt" : ".dat"), k % 5, k % 40 == 0 ? 1 + k % 2 : 0,
                                 k % 17 == 0);
            item->m_strPath = "/f" + std::to_string(k % 3) + "/";
            item->m_dwAttributes |= uint32_t(k % 4 == 0 ? 0x01 : 0);
            item->m_ftCreation = FILETIME::fromU64(uint64_t(k % 6));
            items.push_back(std::move(item));
        }
        return items;
    };
    for (int column = 1; column < ResultCellText::kColumnCount; ++column) {
        if (column == ResultCellText::kType)
            continue;  // files of one extension keep their previous order: no name tie-break
        for (int nameDirection : {1, -1}) {
            for (int direction : {1, -1}) {
                ResultListModel ranked;
                ranked.replaceAll(build());
                ranked.sortRows(0, nameDirection);
                ranked.removeRows(std::vector<int>{7});
                ranked.sortRows(3, 1);  // one more sort in between, ranks carried along
                ranked.sortRows(column, direction);
                ResultListModel fresh;
                fresh.replaceAll(build());
                fresh.removeRows(std::vector<int>{[&] {
                    // the row removed above, found by its name
                    const std::string gone = [&] {
                        ResultListModel probe;
                        probe.replaceAll(build());
                        probe.sortRows(0, nameDirection);
                        return probe.itemAt(7).getFullFileName();
                    }();
                    for (int r = 0; r < fresh.rowCount(); ++r)
                        if (fresh.itemAt(r).getFullFileName() == gone)
                            return r;
                    return -1;
                }()});
                fresh.sortRows(column, direction);
                QCOMPARE(ranked.rowCount(), 299);
                QVERIFY2(names(ranked) == names(fresh),
                         qPrintable(QStringLiteral("column %1, name direction %2, direction %3")
                                        .arg(column)
                                        .arg(nameDirection)
                                        .arg(direction)));
            }
        }
    }
}

void ResultViewTest::sortPositionsFollowShownColumns()
{
    // Default columns 0..4 shown: positions and numbers agree.
    for (int p = 0; p < 5; ++p)
        QCOMPARE(m_view->logicalColumnAtPosition(p), p);
    QCOMPARE(m_view->logicalColumnAtPosition(5), -1);
    m_view->setColumnShown(1, false);
    m_view->setColumnShown(7, true);
    QCOMPARE(m_view->logicalColumnAtPosition(0), 0);
    QCOMPARE(m_view->logicalColumnAtPosition(1), 2);
    QCOMPARE(m_view->logicalColumnAtPosition(4), 7);
    QCOMPARE(m_view->logicalColumnAtPosition(5), -1);
}

void ResultViewTest::duplicateGroupsStayTogetherUnderEverySort()
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    // Members of one group share nothing but the group: names and sizes interleave.
    const std::vector<std::pair<std::string, int>> rows{{"m", 1}, {"b", 2}, {"x", 3}, {"a", 1}, {"k", 4},
                                                        {"c", 2}, {"z", 3}, {"d", 4}, {"e", 1}, {"y", 2}};
    int size = 900;
    for (const auto& [name, group] : rows)
        items.push_back(makeItem(name, size -= 77, group));
    fill(std::move(items));
    for (int column = 0; column < ResultCellText::kColumnCount; ++column) {
        for (int twice = 0; twice < 2; ++twice) {
            m_view->sortByLogicalColumn(column);
            std::set<int> closed;
            int current = -1;
            for (int r = 0; r < m_model->rowCount(); ++r) {
                const int g = m_model->itemAt(r).m_nDupGroup;
                if (g != current) {
                    QVERIFY2(!closed.count(g), qPrintable(QStringLiteral("column %1: group %2 split").arg(column).arg(g)));
                    if (current >= 0)
                        closed.insert(current);
                    current = g;
                }
            }
            // Groups in order of their number, by the column's direction.
            const int first = m_model->itemAt(0).m_nDupGroup;
            QCOMPARE(first, m_view->sortDirection(column) > 0 ? 1 : 4);
        }
    }
}

void ResultViewTest::duplicateGroupsAlternateColours()
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int g = 1; g <= 5; ++g)
        items.push_back(makeItem("g" + std::to_string(g), g, g));
    items.push_back(makeItem("plain", 9, 0));
    fill(std::move(items));
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    m_view->clearSelection();
    m_view->setCurrentIndex(QModelIndex());
    const QImage shot = m_view->viewport()->grab().toImage();
    const auto backgroundOf = [&](int row) {
        const QRect r = m_view->visualRect(m_model->index(row, ResultCellText::kType));
        return QColor(shot.pixel(r.right() - 2, r.center().y()));
    };
    std::vector<QColor> seen;
    for (int row = 0; row < 5; ++row) {
        const int g = m_model->itemAt(row).m_nDupGroup;
        QCOMPARE(backgroundOf(row), ResultItemDelegate::groupColour(g));
        seen.push_back(backgroundOf(row));
    }
    // Four different colours, the fifth group repeats the first.
    QCOMPARE(seen[4], seen[0]);
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            QVERIFY(seen[size_t(a)] != seen[size_t(b)]);
    QCOMPARE(backgroundOf(5), m_view->palette().color(QPalette::Base));
    QCOMPARE(ResultItemDelegate::groupColour(1), QColor(0xD7, 0xD7, 0xEE));
    QCOMPARE(ResultItemDelegate::groupColour(4), QColor(0xE4, 0xE4, 0xCB));
}

void ResultViewTest::columnChooserTogglesColumnAndFlag()
{
    std::unique_ptr<QMenu> menu(m_view->makeColumnMenu());
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 8);
    QVERIFY(!actions[0]->isEnabled());
    QVERIFY(actions[0]->isChecked());
    QVERIFY(actions[4]->isChecked());
    QVERIFY(!actions[5]->isChecked());
    QVERIFY(m_view->isColumnHidden(5));
    actions[5]->trigger();
    QVERIFY(!m_view->isColumnHidden(5));
    QCOMPARE(m_settings->columns().show[5], 1);
    QCOMPARE(m_view->header()->sectionSize(5), 130);
    actions[1]->trigger();
    QVERIFY(m_view->isColumnHidden(1));
    QCOMPARE(m_settings->columns().show[1], 0);
}

void ResultViewTest::applySettingsRereadsFormats()
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(makeItem("a", 123456));
    fill(std::move(items));
    const QModelIndex size = m_model->index(0, ResultCellText::kSize);
    QCOMPARE(size.data().toString(), QStringLiteral("121 KB"));
    m_settings->general().sizeFormat = 0;
    m_settings->general().SeparatedUseComma = 1;
    m_settings->general().ShowNumberOnly = 1;
    m_view->applySettings();
    QCOMPARE(size.data().toString(), QStringLiteral("123,456"));
    m_settings->columns().show[6] = 1;
    m_view->applySettings();
    QVERIFY(!m_view->isColumnHidden(6));
    QCOMPARE(size.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, int(Qt::AlignRight));
}

void ResultViewTest::invertAndRemoveSelection()
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (const char* n : {"r0", "r1", "r2", "r3", "r4", "r5"})
        items.push_back(makeItem(n, 1));
    fill(std::move(items));
    QItemSelectionModel* sel = m_view->selectionModel();
    sel->select(m_model->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->select(m_model->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_view->invertSelection();
    QCOMPARE(m_model->selectedRows(), (std::vector<int>{0, 3, 4, 5}));
    m_view->invertSelection();
    QCOMPARE(m_model->selectedRows(), (std::vector<int>{1, 2}));
    m_view->removeSelectedRows();
    QCOMPARE(names(*m_model), (std::vector<std::string>{"r0", "r3", "r4", "r5"}));
    // The row now at the first removed position is selected and current.
    QCOMPARE(m_model->selectedRows(), (std::vector<int>{1}));
    QCOMPARE(m_view->currentIndex().row(), 1);
    sel->select(m_model->index(3, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->removeSelectedRows();
    QCOMPARE(names(*m_model), (std::vector<std::string>{"r0", "r3", "r4"}));
    QCOMPARE(m_model->selectedRows(), (std::vector<int>{2}));
}

void ResultViewTest::typeAhead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");
    QTest::newRow("from the start") << QStringLiteral("be") << 0 << 1;
    QTest::newRow("case ignored") << QStringLiteral("BE") << 0 << 1;
    QTest::newRow("from the start row on") << QStringLiteral("b") << 2 << 3;
    QTest::newRow("wraps to the top") << QStringLiteral("alp") << 3 << 0;
    QTest::newRow("start row itself") << QStringLiteral("beta") << 1 << 1;
    QTest::newRow("prefix only") << QStringLiteral("eta") << 0 << -1;
    QTest::newRow("nothing") << QStringLiteral("zz") << 0 << -1;
}

void ResultViewTest::typeAhead()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, expected);
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (const char* n : {"Alpha.txt", "Beta.doc", "gamma", "bravo.txt", "delta"})
        items.push_back(makeItem(n, 1));
    fill(std::move(items));
    QCOMPARE(m_view->findRowByPrefix(text, start), expected);
}

void ResultViewTest::webPageRowsAreThreeLinesHigh()
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(makeItem("a", 1));
    items.push_back(makeItem("b", 1));
    fill(std::move(items));
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    const int line = ResultItemDelegate::lineHeight(m_view->fontMetrics());
    QTRY_COMPARE(m_view->visualRect(m_model->index(1, 0)).height(), line);
    m_view->setViewMode(File_ListView::kWebPageView);
    QTRY_COMPARE(m_view->visualRect(m_model->index(1, 0)).height(), 3 * line);
    QCOMPARE(m_view->visualRect(m_model->index(1, 0)).top(), 3 * line);
    m_view->setViewMode(File_ListView::kReportView);
    QTRY_COMPARE(m_view->visualRect(m_model->index(1, 0)).height(), line);
}

void ResultViewTest::printLayout_data()
{
    QTest::addColumn<QRectF>("page");
    QTest::addColumn<int>("rowWidth");
    QTest::addColumn<int>("rowHeight");
    QTest::addColumn<double>("footer");
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("perPage");
    QTest::addColumn<int>("pages");
    QTest::newRow("width fills the page") << QRectF(0, 0, 1000, 1100) << 500 << 20 << 100.0 << 95 << 2.0 << 25 << 4;
    QTest::newRow("exact pages") << QRectF(0, 0, 1000, 1100) << 500 << 20 << 100.0 << 50 << 2.0 << 25 << 2;
    QTest::newRow("no rows") << QRectF(0, 0, 1000, 1100) << 500 << 20 << 100.0 << 0 << 2.0 << 25 << 0;
    QTest::newRow("row taller than the page") << QRectF(0, 0, 100, 100) << 10 << 50 << 10.0 << 3 << 10.0 << 1 << 3;
    QTest::newRow("shrinking") << QRectF(0, 0, 400, 300) << 800 << 20 << 20.0 << 100 << 0.5 << 28 << 4;
}

void ResultViewTest::printLayout()
{
    QFETCH(QRectF, page);
    QFETCH(int, rowWidth);
    QFETCH(int, rowHeight);
    QFETCH(double, footer);
    QFETCH(int, rows);
    QFETCH(double, scale);
    QFETCH(int, perPage);
    QFETCH(int, pages);
    const ResultPrinter::Layout l = ResultPrinter::layoutFor(page, rowWidth, rowHeight, footer, rows);
    QCOMPARE(l.scale, scale);
    QCOMPARE(l.rowsPerPage, perPage);
    QCOMPARE(l.pages, pages);
}

void ResultViewTest::printsEveryRowOnFixedPages()
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (int i = 0; i < 150; ++i)
        items.push_back(makeItem("row" + std::to_string(i), i));
    fill(std::move(items));
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = m_dir->filePath(QStringLiteral("list.pdf"));
    printer.setOutputFileName(pdf);
    QVERIFY(ResultPrinter::print(printer, *m_view));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    QFont italic = m_view->font();
    italic.setItalic(true);
    const double footer = QFontMetricsF(italic, &printer).height() * 2;
    const ResultPrinter::Layout l =
        ResultPrinter::layoutFor(QRectF(QPointF(0, 0), page.size()), m_view->rowWidth(), m_view->rowHeight(), footer, 150);
    QVERIFY(l.pages >= 2);
    // One page object per page.
    QCOMPARE(int(bytes.count("/Type /Page\n")) + int(bytes.count("/Type /Page\r")) + int(bytes.count("/Type /Page ")) +
                 int(bytes.count("/Type /Page>")) + int(bytes.count("/Type /Page/")),
             l.pages);
}

void ResultViewTest::replacingTheRowsChoosesTheView()
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(makeItem("with.txt", 1));
    items.back()->m_vecSnippets.push_back(std::make_shared<ContentSnippet>(ContentSnippet{"a ", "key", " b"}));
    items.push_back(makeItem("without.txt", 1));
    fill(std::move(items));
    QCOMPARE(m_view->viewMode(), File_ListView::kWebPageView);
    items.clear();
    items.push_back(makeItem("without.txt", 1));
    fill(std::move(items));
    QCOMPARE(m_view->viewMode(), File_ListView::kReportView);
}

void ResultViewTest::windowSortsAfterSearchAndReportsTheCount()
{
    const QString root = m_dir->filePath(QStringLiteral("tree"));
    for (int size : {5, 3, 9, 1, 7}) {
        QDir().mkpath(root);
        QFile f(root + QStringLiteral("/s%1.bin").arg(size));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size * 100, 'q'));
    }
    CMainFrame frame(*m_settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    // (The window loads the settings while it is built.)
    m_settings->general().SortAfterSearch = 1;
    m_settings->general().SortOption = 2;  // size, the third shown column
    // A panel that refuses its values: nothing starts.
    frame.setRuleFiller([](Search_Rule&) { return false; });
    frame.searchOrStop();
    QVERIFY(!frame.searchController()->isRunning());
    QCOMPARE(frame.resultModel()->rowCount(), 0);
    frame.setRuleFiller([root](Search_Rule& rule) {
        NameLinePreparer::prepare("*.bin", false, rule);
        rule.folders.push_back(root.toStdString());
        return true;
    });
    frame.searchOrStop();
    QTRY_VERIFY_WITH_TIMEOUT(!frame.searchController()->isRunning(), 20000);
    QTRY_COMPARE(frame.resultModel()->rowCount(), 5);
    std::vector<int64_t> sizes;
    for (int r = 0; r < 5; ++r)
        sizes.push_back(frame.resultModel()->itemAt(r).m_nSize);
    QCOMPARE(sizes, (std::vector<int64_t>{100, 300, 500, 700, 900}));
    QVERIFY(frame.statusPanes()->paneText(0).startsWith(QStringLiteral("5 items found in ")));
    QCOMPARE(frame.resultList()->viewMode(), File_ListView::kReportView);
}

void ResultViewTest::renameEditsTheNameInItsCell()
{
    const QString root = m_dir->filePath(QStringLiteral("ren"));
    QDir().mkpath(root);
    for (const char* name : {"first.txt", "taken.txt"}) {
        QFile f(root + u'/' + QLatin1String(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(name);
    }
    CMainFrame frame(*m_settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    std::vector<std::unique_ptr<Data_FileItem>> items;
    for (const char* name : {"first.txt", "taken.txt"}) {
        auto item = std::make_unique<Data_FileItem>();
        item->setFileName(name);
        item->m_strPath = root.toStdString() + '/';
        items.push_back(std::move(item));
    }
    frame.resultModel()->replaceAll(std::move(items));
    File_ListView* view = frame.resultList();
    // A double click opens; it never starts editing.
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    view->selectionModel()->select(frame.resultModel()->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    frame.commands().action(CommandIds::Rename)->trigger();
    auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(frame.resultModel()->index(0, 0)));
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("first.txt"));
    editor->setText(QStringLiteral("  renamed one.txt "));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!view->indexWidget(frame.resultModel()->index(0, 0)));
    QVERIFY(QFile::exists(root + QStringLiteral("/renamed one.txt")));
    QVERIFY(!QFile::exists(root + QStringLiteral("/first.txt")));
    QCOMPARE(QString::fromStdString(frame.resultModel()->itemAt(0).getFileName()), QStringLiteral("renamed one.txt"));
    // Escape leaves file and row alone.
    frame.commands().action(CommandIds::Rename)->trigger();
    editor = qobject_cast<QLineEdit*>(view->indexWidget(frame.resultModel()->index(0, 0)));
    QVERIFY(editor);
    editor->setText(QStringLiteral("other.txt"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!view->indexWidget(frame.resultModel()->index(0, 0)));
    QVERIFY(QFile::exists(root + QStringLiteral("/renamed one.txt")));
    QVERIFY(!QFile::exists(root + QStringLiteral("/other.txt")));
}

void ResultViewTest::screenshotOfContentSearch()
{
    const QString shotPath = qEnvironmentVariable("QUENDREL_RESULT_SHOT");
    if (shotPath.isEmpty())
        QSKIP("QUENDREL_RESULT_SHOT is not set");
    const QString root = m_dir->filePath(QStringLiteral("notes"));
    QDir().mkpath(root);
    const std::map<QString, QByteArray> files{
        {QStringLiteral("meeting.txt"), "Agenda for Monday: review the invoice from the printer vendor, then lunch."},
        {QStringLiteral("todo.md"), "- pay the invoice before Friday\n- renew the domain\n- water the plants"},
        {QStringLiteral("letter.txt"), "Dear Sir, please find attached the corrected invoice for March. Regards"},
        {QStringLiteral("recipes.txt"), "Nothing to see here but soup."},
        {QStringLiteral("budget.csv"), "month,amount\nJanuary,120\ninvoice total,450\nFebruary,80"}};
    for (const auto& [name, text] : files) {
        QFile f(root + u'/' + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    CMainFrame frame(*m_settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    frame.resize(1100, 560);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    // Described in the real panels, as a person would.
    SearchOptionsPane* pane = frame.searchOptions();
    frame.setSearchFolders({root});
    pane->general()->quickCheck()->setChecked(false);
    pane->containText()->textCombo()->setCurrentText(QStringLiteral("invoice"));
    frame.findChild<File_HoldWnd*>()->openPanel(1);
    frame.searchOrStop();
    QTRY_VERIFY_WITH_TIMEOUT(!frame.searchController()->isRunning(), 20000);
    QCOMPARE(frame.resultModel()->rowCount(), 4);
    QCOMPARE(frame.resultList()->viewMode(), File_ListView::kWebPageView);
    frame.resultList()->sortByLogicalColumn(0);
    QTest::qWait(100);
    QVERIFY(frame.grab().save(shotPath));
}

QTEST_MAIN(ResultViewTest)
#include "ResultViewTest.moc"
