// Moving the cache folder loses nothing: a failure at any step, at any file, leaves the old
// folder with every file unchanged and in use; success moves everything. Also the page
// rules around it (177, 178, the speed label and the time picker).
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimeEdit>

#include "ModalAnswerer.h"
#include "indexing/CacheFolderMover.h"
#include "indexing/PP_IndexTime.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"

using Step = CacheFolderMover::Step;
Q_DECLARE_METATYPE(CacheFolderMover::Step)

class CacheFolderMoveTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void failureHalfWayLosesNothing_data();
    void failureHalfWayLosesNothing();
    void successMovesEveryFile();
    void deleteFailureKeepsTheCompleteCopy();
    void pageMovesOrKeepsTheFolder();
    void pageControls();

private:
    QMap<QString, QByteArray> fill(const QString& folder, int files);
    static QMap<QString, QByteArray> contents(const QString& folder);
    QTemporaryDir m_dir;
    int m_case = 0;
};

void CacheFolderMoveTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

QMap<QString, QByteArray> CacheFolderMoveTest::fill(const QString& folder, int files)
{
    QDir().mkpath(folder + "/subfolder");   // subfolders are not moved
    QFile sub(folder + "/subfolder/keep");
    sub.open(QIODevice::WriteOnly);
    sub.write("stay");
    for (int i = 0; i < files; ++i) {
        QFile f(folder + QStringLiteral("/cache%1_fi.ind").arg(i));
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(100 + i * 5000, char('a' + i)));
    }
    return contents(folder);
}

QMap<QString, QByteArray> CacheFolderMoveTest::contents(const QString& folder)
{
    QMap<QString, QByteArray> out;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile f(folder + "/" + name);
        f.open(QIODevice::ReadOnly);
        out.insert(name, f.readAll());
    }
    return out;
}

void CacheFolderMoveTest::failureHalfWayLosesNothing_data()
{
    QTest::addColumn<Step>("step");
    QTest::addColumn<int>("file");
    QTest::newRow("copy of the first") << Step::Copy << 0;
    QTest::newRow("copy half-way") << Step::Copy << 3;
    QTest::newRow("flush half-way") << Step::Flush << 3;
    QTest::newRow("flush of the last") << Step::Flush << 5;
    QTest::newRow("rename half-way") << Step::Rename << 3;
}

void CacheFolderMoveTest::failureHalfWayLosesNothing()
{
    QFETCH(Step, step);
    QFETCH(int, file);
    const QString from = m_dir.filePath(QStringLiteral("fail%1/old").arg(++m_case));
    const QString to = m_dir.filePath(QStringLiteral("fail%1/new").arg(m_case));
    const QMap<QString, QByteArray> before = fill(from, 6);
    QVERIFY(QDir().mkpath(to));
    QFile other(to + "/unrelated");
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("mine");
    other.close();

    CacheFolderMover mover;
    const QString failing = QStringLiteral("cache%1_fi.ind").arg(file);
    mover.setFailureHook([&](Step s, const QString& name) { return !(s == step && name == failing); });
    const CacheFolderMover::Result r = mover.move(from, to);
    QVERIFY(!r.newFolderInUse);
    QCOMPARE(r.failedFile, failing);
    QCOMPARE(contents(from), before);
    QVERIFY(QFile::exists(from + "/subfolder/keep"));
    // No temporary copies stay behind; the new folder's own file is untouched.
    const QMap<QString, QByteArray> after = contents(to);
    QCOMPARE(after.value(QStringLiteral("unrelated")), QByteArray("mine"));
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        QVERIFY2(!it.key().endsWith(QStringLiteral(".qdmove")), qPrintable(it.key()));
        if (it.key() != QStringLiteral("unrelated"))
            QCOMPARE(it.value(), before.value(it.key()));   // a renamed copy is a whole copy
    }
}

void CacheFolderMoveTest::successMovesEveryFile()
{
    const QString from = m_dir.filePath(QStringLiteral("ok/old"));
    const QString to = m_dir.filePath(QStringLiteral("ok/new"));
    const QMap<QString, QByteArray> before = fill(from, 4);
    QVERIFY(QDir().mkpath(to));
    QFile stale(to + "/cache1_fi.ind");   // a file of the same name is replaced
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("stale");
    stale.close();
    const CacheFolderMover::Result r = CacheFolderMover().move(from, to);
    QVERIFY(r.newFolderInUse);
    QVERIFY(r.complete);
    QCOMPARE(r.filesMoved, 4);
    QCOMPARE(contents(to), before);
    QVERIFY(contents(from).isEmpty());
    QVERIFY(QFile::exists(from + "/subfolder/keep"));
}

void CacheFolderMoveTest::deleteFailureKeepsTheCompleteCopy()
{
    const QString from = m_dir.filePath(QStringLiteral("del/old"));
    const QString to = m_dir.filePath(QStringLiteral("del/new"));
    const QMap<QString, QByteArray> before = fill(from, 4);
    QVERIFY(QDir().mkpath(to));
    CacheFolderMover mover;
    mover.setFailureHook([](Step s, const QString& name) { return !(s == Step::Delete && name == "cache2_fi.ind"); });
    const CacheFolderMover::Result r = mover.move(from, to);
    QVERIFY(r.newFolderInUse);
    QVERIFY(!r.complete);
    QCOMPARE(r.failedFile, QStringLiteral("cache2_fi.ind"));
    QCOMPARE(contents(to), before);
    QCOMPARE(contents(from).keys(), QStringList{"cache2_fi.ind"});
}

void CacheFolderMoveTest::pageMovesOrKeepsTheFolder()
{
    const QString base = m_dir.filePath(QStringLiteral("page"));
    const QString oldFolder = base + "/old";
    const QString newFolder = base + "/new";
    const QMap<QString, QByteArray> before = fill(oldFolder, 3);
    QVERIFY(QDir().mkpath(newFolder));
    AppSettings settings(base + "/Quendrel.ini", AppSettings::loadedColumnCaptions());
    settings.indexTime().IndexCacheLocation = oldFolder;
    PP_IndexTime page(settings, nullptr);
    page.loadFromSettings();
    QCOMPARE(page.cacheField()->text(), oldFolder);
    {
        // The same folder (177), a missing one (178 with its trailing '/'), a failed move.
        ModalAnswerer answer;
        QVERIFY(!page.changeCacheFolder(oldFolder + "/"));
        QVERIFY(!page.changeCacheFolder(base + "/missing"));
        page.mover().setFailureHook([](Step s, const QString& name) {
            return !(s == Step::Flush && name == QStringLiteral("cache1_fi.ind"));
        });
        QVERIFY(!page.changeCacheFolder(newFolder));
        QCOMPARE(answer.texts.size(), 3);
        QCOMPARE(answer.texts[0], LanguageText::plain(177));
        QVERIFY(answer.texts[1].contains(base + "/missing/"));
        QVERIFY(answer.texts[2].contains(oldFolder));
    }
    QCOMPARE(settings.indexTime().IndexCacheLocation, oldFolder);
    QCOMPARE(page.cacheField()->text(), oldFolder);
    QCOMPARE(contents(oldFolder), before);

    page.mover().setFailureHook({});
    QVERIFY(page.changeCacheFolder(newFolder + "/"));
    QCOMPARE(settings.indexTime().IndexCacheLocation, newFolder);
    QCOMPARE(page.cacheField()->text(), newFolder);
    QCOMPARE(contents(newFolder), before);
    QVERIFY(contents(oldFolder).isEmpty());
}

void CacheFolderMoveTest::pageControls()
{
    QTemporaryDir dir;
    AppSettings settings(dir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    settings.indexTime().iIndexPriority = 4;
    PP_IndexTime page(settings, nullptr);
    page.loadFromSettings();
    QCOMPARE(page.speedSlider()->value(), 4);
    QCOMPARE(page.speedLabel()->text(), QStringLiteral("4"));
    page.speedSlider()->setValue(10);
    QCOMPARE(page.speedLabel()->text(), QStringLiteral("10"));
    QVERIFY(page.option(1)->isChecked());
    QVERIFY(page.timePicker()->isEnabled());
    QCOMPARE(page.timePicker()->time(), QTime(13, 0, 0));
    page.option(2)->setChecked(true);
    QVERIFY(!page.timePicker()->isEnabled());
    page.option(0)->setChecked(true);
    QVERIFY(!page.timePicker()->isEnabled());
    page.option(1)->setChecked(true);
    page.timePicker()->setTime(QTime(22, 15, 40));
    // Nothing is stored before apply; apply stores everything once.
    QCOMPARE(settings.indexTime().iIndexPriority, 4);
    QVERIFY(page.applyToSettings());
    QCOMPARE(settings.indexTime().iIndexPriority, 10);
    QCOMPARE(settings.indexTime().EveryDayTimeHour, 22);
    QCOMPARE(settings.indexTime().EveryDayTimeMinutes, 15);
    QCOMPARE(settings.indexTime().EveryDayTimeSecond, 40);
    QCOMPARE(settings.indexTime().IndexTimeOption, 1);
    QVERIFY(!page.applyToSettings());
}

QTEST_MAIN(CacheFolderMoveTest)
#include "CacheFolderMoveTest.moc"
