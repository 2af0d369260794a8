// The duplicate panel's three selection buttons on the real window's result list: they
// select copies inside duplicate groups only, and never every row of a group, so deleting
// the selection keeps one copy of each file.
#include <QtTest>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <set>

#include "options/DuplicatePanel.h"
#include "options/SearchOptionsPane.h"
#include "records/Data_FileItem.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/File_ListView.h"
#include "shell/ResultListModel.h"

class DuplicateSelectionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void selectsCopiesAndKeepsOneOfEachGroup_data();
    void selectsCopiesAndKeepsOneOfEachGroup();
};

namespace {

std::unique_ptr<Data_FileItem> item(const std::string& folder, const std::string& name, int group)
{
    auto it = std::make_unique<Data_FileItem>();
    it->setFileName(name);
    it->m_strPath = folder;
    it->m_nDupGroup = group;
    return it;
}

}  // namespace

void DuplicateSelectionTest::selectsCopiesAndKeepsOneOfEachGroup_data()
{
    QTest::addColumn<QString>("button");  // "all", "folder" or "mask"
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("selected");  // full names
    QTest::newRow("all copies") << "all" << QString()
                                << QStringList{"/b/x.txt", "/a/sub/y.dat", "/b/z2.txt"};
    QTest::newRow("folder") << "folder" << "/a" << QStringList{"/a/x.txt", "/a/sub/y.dat"};
    QTest::newRow("folder, trailing slash") << "folder" << "/a/" << QStringList{"/a/x.txt", "/a/sub/y.dat"};
    QTest::newRow("folder, dot-dot") << "folder" << "/b/../a" << QStringList{"/a/x.txt", "/a/sub/y.dat"};
    QTest::newRow("folder is a prefix only") << "folder" << "/a/su" << QStringList{};
    QTest::newRow("mask") << "mask" << "*.txt" << QStringList{"/b/x.txt", "/b/z2.txt"};
    QTest::newRow("mask, one group") << "mask" << "y" << QStringList{"/a/sub/y.dat"};
}

void DuplicateSelectionTest::selectsCopiesAndKeepsOneOfEachGroup()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(QStringList, selected);

    QTemporaryDir dir;
    AppSettings settings(dir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    CMainFrame frame(settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.push_back(item("/a/", "x.txt", 1));
    items.push_back(item("/b/", "x.txt", 1));
    items.push_back(item("/a/", "y.dat", 2));
    items.push_back(item("/a/sub/", "y.dat", 2));
    items.push_back(item("/b/", "z.txt", 3));
    items.push_back(item("/b/", "z2.txt", 3));
    items.push_back(item("/a/", "alone.txt", 0));  // in no group: never selected
    frame.resultModel()->replaceAll(std::move(items));

    DuplicatePanel* panel = frame.searchOptions()->duplicate();
    // The panel's own buttons (the mask is completed by the panel, as a person types it).
    if (button == "folder")
        panel->folderEdit()->setText(text);
    if (button == "mask")
        panel->maskEdit()->setText(text);
    QPushButton* press = button == "folder" ? panel->selectFolderButton()
                         : button == "mask" ? panel->selectMaskButton()
                                            : panel->selectAllButton();
    press->setEnabled(true);
    QTest::mouseClick(press, Qt::LeftButton);

    std::set<QString> got;
    for (int row : frame.resultModel()->selectedRows())
        got.insert(QString::fromStdString(frame.resultModel()->itemAt(row).getFullFileName()));
    const std::set<QString> expected(selected.begin(), selected.end());
    QCOMPARE(got, expected);
}

QTEST_MAIN(DuplicateSelectionTest)
#include "DuplicateSelectionTest.moc"
