// Moving the files of selected rows: within one file system, across file systems (real
// /dev/shm when it is another file system, and a forced copy with an injected copy step
// that fails half-way), name collisions, and names that must survive byte for byte.
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include "archive/CExtractMgr.h"
#include "records/Data_FileItem.h"
#include "shell/FileDeleter.h"
#include "shell/FileMover.h"
#include "shell/LanguageText.h"
#include "shell/ResultOperations.h"
#include "shell/VectorResultList.h"

#include "ResultTestItems.h"

using namespace ResultTestItems;
using State = FileMover::Outcome::State;
using Collision = FileMover::Collision;

namespace {

const std::vector<std::string> kOddNames = {"two words.txt", "quote\"d 'x'.txt", "new\nline", "-leading",
                                            std::string("raw\xff\xfe.bin"), "$HOME `id`"};

bool noLeftovers(const std::string& folder)
{
    QDir dir(QString::fromStdString(folder));
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        if (name.startsWith(QLatin1String(".~qdmove")))
            return false;
    return true;
}

}  // namespace

class FileMoveTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void movesOddNamesAndRemovesOnlyMovedRows();
    void collisions_data();
    void collisions();
    void autoRenamePicksTheFirstFreeName();
    void acrossFileSystems();
    void interruptedCopyLosesNothing_data();
    void interruptedCopyLosesNothing();
    void progressDialogCancelLosesNothing();
    void foldersAndLinksAcrossFileSystems();
    void missingTargetFolderTellsAndMovesNothing();
    void archiveMemberMovesTheExtractedCopy();

private:
    // first.bin, second.bin and third.bin in the source folder, each the payload and its
    // name, listed and selected.
    void selectThreeFiles(VectorResultList& list, const std::string& payload)
    {
        for (const char* name : {"first.bin", "second.bin", "third.bin"}) {
            writeFile(m_src + name, payload + name);
            list.append(itemFor(m_src, name));
        }
        list.selectAll();
    }
    // The first file whole at the target only; the other two whole at the source only; no
    // temporary copy left.
    bool onlyFirstOfThreeMoved(const std::string& payload) const
    {
        if (readFile(m_dst + "first.bin") != payload + "first.bin" || exists(m_src + "first.bin"))
            return false;
        for (const char* name : {"second.bin", "third.bin"})
            if (readFile(m_src + name) != payload + name || exists(m_dst + name))
                return false;
        return noLeftovers(m_dst);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::string m_src, m_dst;
    std::vector<QString> m_told;
    std::vector<int> m_answers;  // collision answers, in order
    std::unique_ptr<ResultOperations> operations(VectorResultList& list)
    {
        auto ops = std::make_unique<ResultOperations>(list, nullptr);
        ops->setAsker([this](const ResultOperations::Message& m) {
            m_told.push_back(m.text);
            if (m.kind == ResultOperations::Ask::Collision && !m_answers.empty()) {
                const int a = m_answers.front();
                m_answers.erase(m_answers.begin());
                return a;
            }
            return 0;
        });
        return ops;
    }
};

void FileMoveTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void FileMoveTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_src = m_dir->path().toStdString() + "/src/";
    m_dst = m_dir->path().toStdString() + "/dst/";
    QVERIFY(QDir().mkpath(QString::fromStdString(m_src)));
    QVERIFY(QDir().mkpath(QString::fromStdString(m_dst)));
    m_told.clear();
    m_answers.clear();
}

void FileMoveTest::cleanup()
{
    // Names that are not UTF-8 are beyond QDir: remove the tree by its bytes.
    FileDeleter::removePermanently(m_dir->path().toStdString());
}

void FileMoveTest::movesOddNamesAndRemovesOnlyMovedRows()
{
    VectorResultList list;
    for (const std::string& name : kOddNames) {
        writeFile(m_src + name, "content of " + name);
        list.append(itemFor(m_src, name));
    }
    list.append(itemFor(m_src, "not selected.txt"));
    writeFile(m_src + "not selected.txt", "stays");
    std::vector<int> rows;
    for (int r = 0; r < int(kOddNames.size()); ++r)
        rows.push_back(r);
    list.setSelectedRows(rows);
    auto ops = operations(list);
    QVERIFY(ops->moveSelection(QString::fromStdString(m_dst), false));
    QVERIFY(m_told.empty());
    for (const std::string& name : kOddNames) {
        QCOMPARE(readFile(m_dst + name), "content of " + name);
        QVERIFY(!exists(m_src + name));
    }
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.itemAt(0).getFileName(), std::string("not selected.txt"));
    QVERIFY(exists(m_src + "not selected.txt"));
}

void FileMoveTest::collisions_data()
{
    // Two files whose names are taken at the target; answers given in order.
    QTest::addColumn<QList<int>>("answers");  // 0 replace, 1 skip, 2 replace all, 3 cancel
    QTest::addColumn<QStringList>("targetContents");
    QTest::addColumn<int>("rowsLeft");
    QTest::newRow("skip both") << QList<int>{1, 1} << QStringList{"old a", "old b"} << 2;
    QTest::newRow("replace one, skip one") << QList<int>{0, 1} << QStringList{"new a", "old b"} << 1;
    QTest::newRow("replace all") << QList<int>{2} << QStringList{"new a", "new b"} << 0;
    QTest::newRow("cancel") << QList<int>{3} << QStringList{"old a", "old b"} << 2;
}

void FileMoveTest::collisions()
{
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, targetContents);
    QFETCH(int, rowsLeft);
    VectorResultList list;
    for (const char* name : {"a.txt", "b.txt"}) {
        writeFile(m_src + name, std::string("new ") + name[0]);
        writeFile(m_dst + name, std::string("old ") + name[0]);
        list.append(itemFor(m_src, name));
    }
    list.selectAll();
    m_answers.assign(answers.begin(), answers.end());
    auto ops = operations(list);
    QVERIFY(ops->moveSelection(QString::fromStdString(m_dst), false));
    QCOMPARE(QString::fromStdString(readFile(m_dst + "a.txt")), targetContents[0]);
    QCOMPARE(QString::fromStdString(readFile(m_dst + "b.txt")), targetContents[1]);
    QCOMPARE(list.rowCount(), rowsLeft);
    // A file that was not moved is still complete at its source.
    for (const char* name : {"a.txt", "b.txt"})
        if (readFile(m_dst + name).rfind("old", 0) == 0)
            QCOMPARE(readFile(m_src + name), std::string("new ") + name[0]);
    QVERIFY(m_answers.empty());
}

void FileMoveTest::autoRenamePicksTheFirstFreeName()
{
    writeFile(m_dst + "report.tar.gz", "old");
    writeFile(m_dst + "report.tar (2).gz", "old 2");
    writeFile(m_dst + "README", "old readme");
    writeFile(m_src + "report.tar.gz", "new");
    writeFile(m_src + "README", "new readme");
    VectorResultList list;
    list.append(itemFor(m_src, "report.tar.gz"));
    list.append(itemFor(m_src, "README"));
    list.selectAll();
    auto ops = operations(list);
    QVERIFY(ops->moveSelection(QString::fromStdString(m_dst), true));
    QCOMPARE(readFile(m_dst + "report.tar.gz"), std::string("old"));
    QCOMPARE(readFile(m_dst + "report.tar (2).gz"), std::string("old 2"));
    QCOMPARE(readFile(m_dst + "report.tar (3).gz"), std::string("new"));
    QCOMPARE(readFile(m_dst + "README"), std::string("old readme"));
    QCOMPARE(readFile(m_dst + "README (2)"), std::string("new readme"));
    QCOMPARE(list.rowCount(), 0);
    QVERIFY(m_told.empty());
}

void FileMoveTest::acrossFileSystems()
{
    struct stat shm {}, here {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(m_dst.c_str(), &here) != 0 || shm.st_dev == here.st_dev)
        QSKIP("/dev/shm is not another file system here");
    QTemporaryDir other(QStringLiteral("/dev/shm/qdmove-XXXXXX"));
    QVERIFY(other.isValid());
    const std::string from = other.path().toStdString() + "/";
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = char(i * 31 + 7);
    VectorResultList list;
    for (const std::string& name : kOddNames) {
        writeFile(from + name, name == kOddNames.front() ? big : name);
        list.append(itemFor(from, name));
    }
    ::chmod((from + kOddNames[0]).c_str(), 0640);
    list.selectAll();
    auto ops = operations(list);
    QVERIFY(ops->moveSelection(QString::fromStdString(m_dst), false));
    QVERIFY(m_told.empty());
    QCOMPARE(list.rowCount(), 0);
    for (const std::string& name : kOddNames) {
        QVERIFY(!exists(from + name));
        QCOMPARE(readFile(m_dst + name), name == kOddNames.front() ? big : name);
    }
    struct stat st {};
    QCOMPARE(::stat((m_dst + kOddNames[0]).c_str(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
    QVERIFY(noLeftovers(m_dst));
    FileDeleter::removePermanently(other.path().toStdString());
}

void FileMoveTest::interruptedCopyLosesNothing_data()
{
    QTest::addColumn<bool>("cancel");  // false: the copy step fails (disk full)
    QTest::newRow("copy fails half-way") << false;
    QTest::newRow("cancelled half-way") << true;
}

void FileMoveTest::interruptedCopyLosesNothing()
{
    QFETCH(bool, cancel);
    const std::string payload(256 * 1024, 'p');
    VectorResultList list;
    selectThreeFiles(list, payload);
    int copies = 0;
    bool stop = false;
    FileMover::Hooks hooks;
    hooks.forceCopy = true;  // as if the target were another file system
    hooks.progress = [&stop](uint64_t, uint64_t) { return !stop; };
    hooks.copyFile = [&](const std::string& from, const std::string& to, const std::function<bool(uint64_t)>& progress) {
        if (++copies < 2)
            return FileMover::copyRegularFile(from, to, progress);
        // The second file: half of it reaches the target, then the step ends.
        writeFile(to, payload.substr(0, payload.size() / 2));
        if (cancel) {
            stop = true;
            return progress(payload.size() / 2) ? 0 : ECANCELED;
        }
        return ENOSPC;
    };
    auto ops = operations(list);
    QVERIFY(ops->moveSelection(QString::fromStdString(m_dst), false, hooks));
    // The first file moved completely; every other file is whole at its source only.
    QVERIFY(onlyFirstOfThreeMoved(payload));
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.itemAt(0).getFileName(), std::string("second.bin"));
    // A failure is reported with the file it concerns; a cancel is not a failure.
    if (cancel) {
        QVERIFY(m_told.empty());
    } else {
        QCOMPARE(m_told.size(), size_t(1));
        QVERIFY(m_told[0].contains(QLatin1String("second.bin")));
    }
}

// The window's own progress dialog: a slow copy shows it, and its Cancel button stops the
// move with the file being copied whole at its source and nothing left at the target.
void FileMoveTest::progressDialogCancelLosesNothing()
{
    const std::string payload(256 * 1024, 'q');
    VectorResultList list;
    selectThreeFiles(list, payload);
    int copies = 0;
    bool clicked = false;
    FileMover::Hooks hooks;
    hooks.forceCopy = true;
    hooks.copyFile = [&](const std::string& from, const std::string& to, const std::function<bool(uint64_t)>& progress) {
        if (++copies < 2)
            return FileMover::copyRegularFile(from, to, progress);
        writeFile(to, payload.substr(0, payload.size() / 2));
        // Slow enough for the dialog to appear; then a person presses Cancel.
        for (int step = 0; step < 500 && !clicked; ++step) {
            if (!progress(uint64_t(step) * 64))
                return ECANCELED;
            QTest::qWait(10);
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QProgressDialog*>(top);
                if (dialog && dialog->isVisible()) {
                    QPushButton* cancel = dialog->findChild<QPushButton*>();
                    if (cancel) {
                        QTest::mouseClick(cancel, Qt::LeftButton);
                        clicked = true;
                    }
                }
            }
        }
        return progress(payload.size() / 2) ? 0 : ECANCELED;
    };
    auto ops = operations(list);
    QVERIFY(ops->moveSelection(QString::fromStdString(m_dst), false, hooks));
    QVERIFY2(clicked, "the progress dialog never appeared");
    QVERIFY(onlyFirstOfThreeMoved(payload));
    QCOMPARE(list.rowCount(), 2);
    QVERIFY(m_told.empty());
}

void FileMoveTest::foldersAndLinksAcrossFileSystems()
{
    QVERIFY(QDir().mkpath(QString::fromStdString(m_src + "tree/sub dir")));
    writeFile(m_src + "tree/top.txt", "top");
    writeFile(m_src + "tree/sub dir/deep\nname", "deep");
    QCOMPARE(::symlink("top.txt", (m_src + "tree/link").c_str()), 0);
    FileMover::Hooks hooks;
    hooks.forceCopy = true;
    FileMover mover(hooks);
    const auto outcomes = mover.move({m_src + "tree"}, m_dst, false);
    QCOMPARE(outcomes.size(), size_t(1));
    QCOMPARE(int(outcomes[0].state), int(State::Moved));
    QCOMPARE(readFile(m_dst + "tree/top.txt"), std::string("top"));
    QCOMPARE(readFile(m_dst + "tree/sub dir/deep\nname"), std::string("deep"));
    char target[64] = {};
    QCOMPARE(::readlink((m_dst + "tree/link").c_str(), target, sizeof target - 1), ssize_t(7));
    QCOMPARE(std::string(target), std::string("top.txt"));
    QVERIFY(!exists(m_src + "tree"));
    QVERIFY(noLeftovers(m_dst));
}

void FileMoveTest::missingTargetFolderTellsAndMovesNothing()
{
    writeFile(m_src + "x.txt", "x");
    VectorResultList list;
    list.append(itemFor(m_src, "x.txt"));
    list.selectAll();
    auto ops = operations(list);
    const QString missing = m_dir->filePath(QStringLiteral("not there"));
    QVERIFY(!ops->moveSelection(missing, false));
    QCOMPARE(m_told.size(), size_t(1));
    QVERIFY(m_told[0].contains(missing));
    QVERIFY(exists(m_src + "x.txt"));
    QCOMPARE(list.rowCount(), 1);
}

void FileMoveTest::archiveMemberMovesTheExtractedCopy()
{
    if (QStandardPaths::findExecutable(QStringLiteral("7z")).isEmpty())
        QSKIP("7z is not installed");
    CExtractMgr::init();
    const QByteArray oldTmp = qgetenv("TMPDIR");
    const std::string tmp = m_dir->path().toStdString() + "/tmp";
    QVERIFY(QDir().mkpath(QString::fromStdString(tmp)));
    qputenv("TMPDIR", QByteArray::fromStdString(tmp));
    writeFile(m_src + "member.txt", "inside the archive");
    QProcess zip;
    zip.setWorkingDirectory(QString::fromStdString(m_src));
    zip.start(QStringLiteral("7z"), {"a", "-bd", "pack.zip", "member.txt"});
    QVERIFY(zip.waitForFinished(30000));
    QCOMPARE(zip.exitCode(), 0);
    QVERIFY(::unlink((m_src + "member.txt").c_str()) == 0);
    const std::string archiveBefore = readFile(m_src + "pack.zip");

    VectorResultList list;
    auto member = std::make_unique<Data_FileItem>();
    member->setFileName("member.txt");
    member->m_strPath = m_src + "pack.zip/";
    member->m_bInArchive = 1;
    member->m_strArchiveName = "pack.zip";
    member->m_nArchiveIndex = 0;
    list.append(std::move(member));
    list.selectAll();
    auto ops = operations(list);
    const bool moved = ops->moveSelection(QString::fromStdString(m_dst), false);
    qputenv("TMPDIR", oldTmp);
    CExtractMgr::uninit();
    QVERIFY(moved);
    QVERIFY(m_told.empty());
    QCOMPARE(readFile(m_dst + "member.txt"), std::string("inside the archive"));
    QCOMPARE(readFile(m_src + "pack.zip"), archiveBefore);
}

QTEST_MAIN(FileMoveTest)
#include "FileMoveTest.moc"
