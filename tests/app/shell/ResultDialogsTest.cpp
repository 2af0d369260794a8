// The dialogs of the operations on results (CSV columns, open-with programs, properties)
// and the main window's hook that routes the commands to ResultOperations.
#include <QtTest>

#include <sys/stat.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPushButton>
#include <QTemporaryDir>

#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/CsvColumnDialog.h"
#include "shell/LanguageText.h"
#include "shell/MainStatusBar.h"
#include "shell/OpenWithDialog.h"
#include "shell/PropertiesDialog.h"
#include "shell/ResultFile.h"
#include "shell/ResultOperations.h"
#include "shell/VectorResultList.h"

#include "ResultTestItems.h"

using namespace ResultTestItems;

class ResultDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void csvChooser();
    void openWithEntries();
    void propertiesOfOneAndOfSeveral();
    void mainWindowRoutesCommandsToTheOperations();

private:
    QTemporaryDir m_dir;
};

void ResultDialogsTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void ResultDialogsTest::csvChooser()
{
    const QStringList captions{"N", "F", "S", "T", "M", "C", "A", "R"};
    CsvColumnDialog dialog(captions, {true, false, true, false, false, false, false, false});
    QCOMPARE(dialog.list()->count(), 8);
    QCOMPARE(dialog.list()->item(2)->text(), QStringLiteral("S"));
    QVERIFY(dialog.findChild<QPushButton*>() != nullptr);
    QPushButton* ok = nullptr;
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text().contains(QLatin1String("OK"), Qt::CaseInsensitive))
            ok = b;
    QVERIFY(ok);
    QVERIFY(ok->isEnabled());
    dialog.list()->item(0)->setCheckState(Qt::Unchecked);
    QCOMPARE(dialog.columns(), (ResultExport::Columns{false, false, true, false, false, false, false, false}));
    dialog.list()->item(2)->setCheckState(Qt::Unchecked);
    QVERIFY(!ok->isEnabled());  // nothing to export
    dialog.list()->item(7)->setCheckState(Qt::Checked);
    QVERIFY(ok->isEnabled());
}

void ResultDialogsTest::openWithEntries()
{
    OpenWithDialog empty({});
    QVERIFY(!empty.programEdit()->isEnabled());
    QVERIFY(!empty.paramsEdit()->isEnabled());

    OpenWithDialog dialog({{QStringLiteral("Editor"), QStringLiteral("/usr/bin/ed"), QStringLiteral("-p %F%")}});
    QString askedQuestion;
    QStringList titles{QStringLiteral("Viewer"), QStringLiteral("Renamed")};
    dialog.setAskTitle([&titles](const QString&) { return titles.isEmpty() ? QString() : titles.takeFirst(); });
    bool answerDelete = false;
    dialog.setAskDelete([&](const QString& q) {
        askedQuestion = q;
        return answerDelete;
    });
    QCOMPARE(dialog.programEdit()->text(), QStringLiteral("/usr/bin/ed"));
    dialog.addEntry();
    QCOMPARE(dialog.entries().size(), 2);
    QCOMPARE(dialog.entries()[1], (OpenWithEntry{QStringLiteral("Viewer"), QString(), QStringLiteral("%F%")}));
    QVERIFY(dialog.programEdit()->isEnabled());
    QCOMPARE(dialog.paramsEdit()->text(), QStringLiteral("%F%"));
    QTest::keyClicks(dialog.programEdit(), QStringLiteral("/opt/view"));
    QCOMPARE(dialog.entries()[1].program, QStringLiteral("/opt/view"));
    dialog.renameEntry();
    QCOMPARE(dialog.entries()[1].title, QStringLiteral("Renamed"));
    QCOMPARE(dialog.list()->item(1)->text(), QStringLiteral("Renamed"));
    dialog.deleteEntry();  // answered No
    QVERIFY(askedQuestion.contains(QLatin1String("Renamed")));
    QCOMPARE(dialog.entries().size(), 2);
    answerDelete = true;
    dialog.deleteEntry();
    QCOMPARE(dialog.entries().size(), 1);
    QCOMPARE(dialog.entries()[0].title, QStringLiteral("Editor"));
    // Switching entries shows each one's own fields.
    QCOMPARE(dialog.programEdit()->text(), QStringLiteral("/usr/bin/ed"));
    QCOMPARE(dialog.paramsEdit()->text(), QStringLiteral("-p %F%"));
}

void ResultDialogsTest::propertiesOfOneAndOfSeveral()
{
    const std::string folder = m_dir.path().toStdString() + "/";
    writeFile(folder + "props.txt", std::string(1234, 'x'));
    QCOMPARE(::chmod((folder + "props.txt").c_str(), 0640), 0);
    auto one = itemFor(folder, "props.txt");
    PropertiesDialog single({one.get()});
    QCOMPARE(single.value(664), QStringLiteral("props.txt"));
    QCOMPARE(single.value(665), QString::fromStdString(folder));
    QCOMPARE(single.value(668), QStringLiteral("rw-r-----"));
    QVERIFY(single.value(667).contains(QLatin1String("234")));
    QVERIFY(!single.value(681).isEmpty());
    // The creation time comes from the file (its birth or status-change time), never the
    // zero time of a file system that reports no birth time.
    QVERIFY(!single.value(682).isEmpty());
    QVERIFY2(!single.value(682).contains(QLatin1String("1970")), qPrintable(single.value(682)));
    QCOMPARE(single.value(666), QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment());
    QVERIFY(!single.value(669).isEmpty());
    auto two = itemFor(folder, "props.txt");
    two->m_nSize = 1000;
    auto three = itemFor(folder, "gone");
    three->m_nSize = 766;
    PropertiesDialog several({one.get(), two.get(), three.get()});
    QVERIFY(several.value(670).contains(QLatin1String("3")));
    QVERIFY(several.value(671).contains(QLatin1String("3")));  // 3000 bytes in all
    QVERIFY(several.value(671).contains(QLatin1String("000")));
    QVERIFY(several.value(664).isEmpty());
}

void ResultDialogsTest::mainWindowRoutesCommandsToTheOperations()
{
    AppSettings settings(m_dir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    CMainFrame window(settings, CMainFrame::Options{TrayIcon::Availability::ForceUnavailable});
    VectorResultList list;
    list.append(itemFor("/a/", "one.txt"));
    list.append(itemFor("/b/", "two.txt"));
    ResultOperations ops(list, &window);
    ops.setAsker([](const ResultOperations::Message&) { return 0; });
    window.setResultOperations(&ops);
    CommandState state;
    state.rowsInList = 2;
    state.rowsSelected = 2;
    window.setCommandState(state);
    QAction* copyNames = window.commands().action(CommandIds::CopyNames);
    QVERIFY(copyNames->isEnabled());
    list.selectAll();
    copyNames->trigger();
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")), QByteArray("one.txt\ntwo.txt"));
    // The range command of an open-with entry exists and follows the selection.
    settings.openWith() = {{QStringLiteral("Viewer"), QStringLiteral("viewer"), QStringLiteral("%F%")}};
    emit ops.openWithChanged();
    QAction* entry = window.commands().action(CommandIds::OpenWithFirst);
    QVERIFY(entry);
    QVERIFY(entry->isEnabled());
    // A result file named on the command line goes through the same object, and the
    // status pane shows the rows loaded.
    const std::string path = m_dir.path().toStdString() + "/cmd.qdr";
    QVERIFY(ResultFile::save(path, list));
    list.replaceAll({});
    QVERIFY(window.openResultFile(QString::fromStdString(path)));
    QCOMPARE(list.rowCount(), 2);
    QVERIFY(window.statusPanes()->paneText(0).contains(QLatin1String("2")));
    window.setResultOperations(nullptr);
    QVERIFY(!window.openResultFile(QString::fromStdString(path)));
}

QTEST_MAIN(ResultDialogsTest)
#include "ResultDialogsTest.moc"
