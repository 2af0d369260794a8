// The file operations on selected rows besides moving: copying names, paths and files to
// the clipboard, renaming (case changes, in place, refusals), trash and permanent delete,
// archive members, and open-with command lines started without a shell. Real files in
// temporary folders; the trash and the clipboard under QStandardPaths test mode.
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>

#include "records/Data_FileItem.h"
#include "shell/DetachedProcess.h"
#include "shell/FileDeleter.h"
#include "shell/FileRenamer.h"
#include "shell/LanguageText.h"
#include "shell/MimeAppAssociations.h"
#include "shell/OpenWithCommand.h"
#include "shell/ResultClipboard.h"
#include "shell/ResultOperations.h"
#include "shell/VectorResultList.h"

#include "ResultTestItems.h"

using namespace ResultTestItems;

namespace {

const std::vector<std::string> kOddNames = {"two words.txt", "quote\"d 'x'.txt", "new\nline", "-leading",
                                            std::string("raw\xff\xfe.bin"), "$HOME `id`"};

std::unique_ptr<Data_FileItem> memberItem(const std::string& archiveFolder)
{
    auto item = std::make_unique<Data_FileItem>();
    item->setFileName("inside.txt");
    item->m_strPath = archiveFolder + "missing.zip/";
    item->m_bInArchive = 1;
    item->m_strArchiveName = "missing.zip";
    return item;
}

QByteArray clipboardBytes(const QString& format)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? data->data(format) : QByteArray();
}

}  // namespace

class ResultFileOpsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void copyTextJoinsWithoutFinalLineEnd_data();
    void copyTextJoinsWithoutFinalLineEnd();
    void copyAndCutFilesKeepEveryByte();
    void archiveMembersThatCannotBeExtracted();
    void caseRenames_data();
    void caseRenames();
    void caseOnlyRenameOfOneFile();
    void renameInPlace();
    void renameNeverReplaces();
    void deleteOnArchiveMemberShows148();
    void deletePermanently();
    void trashUnderTestMode();
    void openWithCommandLines_data();
    void openWithCommandLines();
    void openWithStartsTheProgramWithOneArgumentPerFile();
    void openWithMissingProgram();
    void contextMenus();
    void desktopApplicationsForAType();
    void desktopExecFieldCodes_data();
    void desktopExecFieldCodes();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::string m_folder;
    std::vector<ResultOperations::Message> m_told;
    int m_answer = 0;
    std::unique_ptr<ResultOperations> operations(VectorResultList& list)
    {
        auto ops = std::make_unique<ResultOperations>(list, nullptr);
        ops->setAsker([this](const ResultOperations::Message& m) {
            m_told.push_back(m);
            return m_answer;
        });
        return ops;
    }
    VectorResultList oddFiles()
    {
        VectorResultList list;
        for (const std::string& name : kOddNames) {
            writeFile(m_folder + name, name);
            list.append(itemFor(m_folder, name));
        }
        list.selectAll();
        return list;
    }
};

void ResultFileOpsTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // The desktop's applications are looked up by GIO in the XDG folders of the environment:
    // point them at the test locations (and the system's MIME database) before the first use.
    const QString home = QDir::homePath() + QStringLiteral("/.qttest");
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/share")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_CONFIG_DIRS", (home + QStringLiteral("/no-system-config")).toUtf8());
    qputenv("XDG_DATA_DIRS", "/usr/share");
    qunsetenv("XDG_CURRENT_DESKTOP");
    QVERIFY(QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation)));
    QVERIFY(LanguageText::get(148) != LanguageText::get(149));
}

void ResultFileOpsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->path().toStdString() + "/";
    m_told.clear();
    m_answer = 0;
}

void ResultFileOpsTest::cleanup()
{
    FileDeleter::removePermanently(m_dir->path().toStdString());
}

void ResultFileOpsTest::copyTextJoinsWithoutFinalLineEnd_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("names") << int(ResultClipboard::TextKind::Names) << QByteArray("a.txt\nREADME\nc d");
    QTest::newRow("folders") << int(ResultClipboard::TextKind::Folders) << QByteArray("/x/\n/y/\n/z z/");
    QTest::newRow("full paths") << int(ResultClipboard::TextKind::FullPaths)
                                << QByteArray("/x/a.txt\n/y/README\n/z z/c d");
}

void ResultFileOpsTest::copyTextJoinsWithoutFinalLineEnd()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, expected);
    VectorResultList list;
    list.append(itemFor("/x/", "a.txt"));
    list.append(itemFor("/unselected/", "no"));
    list.append(itemFor("/y/", "README"));
    list.append(itemFor("/z z/", "c d"));
    list.setSelectedRows({0, 2, 3});
    auto ops = operations(list);
    ops->copyText(ResultClipboard::TextKind(kind));
    QCOMPARE(clipboardBytes(QStringLiteral("text/plain")), expected);
}

void ResultFileOpsTest::copyAndCutFilesKeepEveryByte()
{
    VectorResultList list = oddFiles();
    auto ops = operations(list);
    for (auto mode : {ResultClipboard::FileMode::Copy, ResultClipboard::FileMode::Cut}) {
        QVERIFY(ops->copyFiles(mode));
        const QList<QByteArray> uris = clipboardBytes(QStringLiteral("text/uri-list")).split('\n');
        QCOMPARE(uris.size(), qsizetype(kOddNames.size() + 1));  // CR LF after each
        QList<QByteArray> gnome = clipboardBytes(QStringLiteral("x-special/gnome-copied-files")).split('\n');
        QCOMPARE(gnome.takeFirst(), mode == ResultClipboard::FileMode::Cut ? QByteArray("cut") : QByteArray("copy"));
        QCOMPARE(gnome.size(), qsizetype(kOddNames.size()));
        for (size_t i = 0; i < kOddNames.size(); ++i) {
            QByteArray uri = uris[qsizetype(i)];
            QVERIFY(uri.endsWith('\r'));
            uri.chop(1);
            QCOMPARE(gnome[qsizetype(i)], uri);
            QVERIFY(uri.startsWith("file:///"));
            // Every byte of the path comes back from the percent-encoding, and the URI
            // itself holds no blank, quote or line break.
            QCOMPARE(QByteArray::fromPercentEncoding(uri.mid(7)).toStdString(), m_folder + kOddNames[i]);
            for (char c : {' ', '"', '\n', '\''})
                QVERIFY(!uri.contains(c));
        }
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(ResultClipboard::isCut(*data), mode == ResultClipboard::FileMode::Cut);
        QCOMPARE(clipboardBytes(QStringLiteral("text/plain")).split('\n').size(), qsizetype(kOddNames.size() + 1));
    }
    QVERIFY(m_told.empty());
}

void ResultFileOpsTest::archiveMembersThatCannotBeExtracted()
{
    VectorResultList list;
    list.append(memberItem(m_folder));
    list.selectAll();
    auto ops = operations(list);
    QVERIFY(!ops->copyFiles(ResultClipboard::FileMode::Copy));
    QCOMPARE(m_told.size(), size_t(1));
    QCOMPARE(m_told[0].text, LanguageText::get(150));
    m_told.clear();
    list.setSelectedRows({});
    QVERIFY(!ops->copyFiles(ResultClipboard::FileMode::Copy));
    QCOMPARE(m_told.size(), size_t(1));
    QCOMPARE(m_told[0].text, LanguageText::get(151));
}

void ResultFileOpsTest::caseRenames_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("upper") << QByteArray("Report.txt") << true << QByteArray("REPORT.TXT");
    QTest::newRow("lower") << QByteArray("Report.TXT") << false << QByteArray("report.txt");
    QTest::newRow("unicode upper") << QByteArray("éte.md") << true << QByteArray("ÉTE.MD");
    QTest::newRow("not UTF-8: ASCII letters only") << QByteArray("ab\xff\xfe.c") << true << QByteArray("AB\xff\xfe.C");
    QTest::newRow("leading dash") << QByteArray("-Rf") << false << QByteArray("-rf");
}

void ResultFileOpsTest::caseRenames()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, upper);
    QFETCH(QByteArray, expected);
    writeFile(m_folder + name.toStdString(), "data");
    VectorResultList list;
    list.append(itemFor(m_folder, name.toStdString()));
    list.append(memberItem(m_folder));  // skipped, and no message while a file is renamed
    list.selectAll();
    auto ops = operations(list);
    ops->renameCase(upper);
    QVERIFY(m_told.empty());
    QCOMPARE(list.itemAt(0).getFileName(), expected.toStdString());
    QCOMPARE(readFile(m_folder + expected.toStdString()), std::string("data"));
    QVERIFY(!exists(m_folder + name.toStdString()));
    QCOMPARE(list.changedRows(), std::vector<int>{0});
}

void ResultFileOpsTest::caseOnlyRenameOfOneFile()
{
    writeFile(m_folder + "Photo.JPG", "jpeg");
    VectorResultList list;
    list.append(itemFor(m_folder, "Photo.JPG"));
    list.selectAll();
    auto ops = operations(list);
    QVERIFY(ops->renameRow(0, QStringLiteral("photo.jpg")));
    QCOMPARE(readFile(m_folder + "photo.jpg"), std::string("jpeg"));
    QVERIFY(!exists(m_folder + "Photo.JPG"));
    QCOMPARE(list.itemAt(0).m_strTitle, std::string("photo"));
    QCOMPARE(list.itemAt(0).m_strExt, std::string("jpg"));
    // A taken name that is the same file (here a hard link; on a file system that ignores
    // case, the other spelling) is tried through a temporary name; as the name stays taken,
    // the rename is refused and both names are as before.
    QCOMPARE(::link((m_folder + "photo.jpg").c_str(), (m_folder + "twin.jpg").c_str()), 0);
    QCOMPARE(FileRenamer::rename(m_folder, "photo.jpg", "twin.jpg"), EEXIST);
    QCOMPARE(readFile(m_folder + "photo.jpg"), std::string("jpeg"));
    QCOMPARE(readFile(m_folder + "twin.jpg"), std::string("jpeg"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    // Only archive members selected: message 149, nothing renamed.
    VectorResultList members;
    members.append(memberItem(m_folder));
    members.selectAll();
    auto memberOps = operations(members);
    memberOps->renameCase(true);
    QVERIFY(!memberOps->renameRow(0, QStringLiteral("other.txt")));
    QCOMPARE(m_told.size(), size_t(2));
    QCOMPARE(m_told[0].text, LanguageText::get(149));
    QCOMPARE(m_told[1].text, LanguageText::get(149));
}

void ResultFileOpsTest::renameInPlace()
{
    writeFile(m_folder + "old.txt", "x");
    VectorResultList list;
    list.append(itemFor(m_folder, "old.txt"));
    auto ops = operations(list);
    // The text is trimmed and split at its last dot; odd names arrive as they are.
    QVERIFY(ops->renameRow(0, QStringLiteral("  archive.tar.gz  ")));
    QCOMPARE(list.itemAt(0).m_strTitle, std::string("archive.tar"));
    QCOMPARE(list.itemAt(0).m_strExt, std::string("gz"));
    QVERIFY(exists(m_folder + "archive.tar.gz"));
    QVERIFY(ops->renameRow(0, QStringLiteral("-n \"q\" $x `y`\nz")));
    QVERIFY(exists(m_folder + "-n \"q\" $x `y`\nz"));
    QCOMPARE(list.itemAt(0).getFullFileName(), m_folder + "-n \"q\" $x `y`\nz");
    // Unchanged or empty text: nothing happens.
    QVERIFY(ops->renameRow(0, QStringLiteral("   ")));
    QVERIFY(exists(m_folder + "-n \"q\" $x `y`\nz"));
    // A name with a slash is refused; the row keeps its name.
    QVERIFY(!ops->renameRow(0, QStringLiteral("a/b")));
    QCOMPARE(list.itemAt(0).getFileName(), std::string("-n \"q\" $x `y`\nz"));
    QCOMPARE(m_told.size(), size_t(1));
}

void ResultFileOpsTest::renameNeverReplaces()
{
    writeFile(m_folder + "mine.txt", "mine");
    writeFile(m_folder + "theirs.txt", "theirs");
    writeFile(m_folder + "UPPER.TXT", "upper");
    writeFile(m_folder + "upper.txt", "lower twin");
    VectorResultList list;
    list.append(itemFor(m_folder, "mine.txt"));
    list.append(itemFor(m_folder, "UPPER.TXT"));
    auto ops = operations(list);
    QVERIFY(!ops->renameRow(0, QStringLiteral("theirs.txt")));
    QCOMPARE(readFile(m_folder + "theirs.txt"), std::string("theirs"));
    QCOMPARE(readFile(m_folder + "mine.txt"), std::string("mine"));
    QCOMPARE(list.itemAt(0).getFileName(), std::string("mine.txt"));
    QCOMPARE(m_told.size(), size_t(1));
    QVERIFY(m_told[0].text.contains(QLatin1String("theirs.txt")));
    // Lower case of UPPER.TXT is taken by another file: refused and reported.
    list.setSelectedRows({1});
    ops->renameCase(false);
    QCOMPARE(readFile(m_folder + "upper.txt"), std::string("lower twin"));
    QCOMPARE(readFile(m_folder + "UPPER.TXT"), std::string("upper"));
    QCOMPARE(list.itemAt(1).getFileName(), std::string("UPPER.TXT"));
    QCOMPARE(m_told.size(), size_t(2));
}

void ResultFileOpsTest::deleteOnArchiveMemberShows148()
{
    writeFile(m_folder + "plain.txt", "keep");
    VectorResultList list;
    list.append(itemFor(m_folder, "plain.txt"));
    list.append(memberItem(m_folder));
    list.selectAll();
    auto ops = operations(list);
    for (bool permanently : {false, true}) {
        m_told.clear();
        ops->deleteSelection(permanently);
        QCOMPARE(m_told.size(), size_t(1));
        QCOMPARE(m_told[0].text, LanguageText::get(148));
        QCOMPARE(m_told[0].kind, ResultOperations::Ask::Ok);
        QVERIFY(exists(m_folder + "plain.txt"));
        QCOMPARE(list.rowCount(), 2);
    }
}

void ResultFileOpsTest::deletePermanently()
{
    VectorResultList list = oddFiles();
    QVERIFY(QDir().mkpath(QString::fromStdString(m_folder + "dir/sub")));
    writeFile(m_folder + "dir/sub/f", "f");
    list.append(itemFor(m_folder, "dir"));
    list.append(itemFor(m_folder, "already gone"));
    list.selectAll();
    auto ops = operations(list);
    m_answer = 1;  // No: nothing happens
    ops->deleteSelection(true);
    QCOMPARE(m_told.size(), size_t(1));
    QCOMPARE(m_told[0].text, LanguageText::get(50));
    QCOMPARE(m_told[0].kind, ResultOperations::Ask::YesNo);
    QCOMPARE(list.rowCount(), int(kOddNames.size()) + 2);
    QVERIFY(exists(m_folder + kOddNames[0]));
    m_answer = 0;
    m_told.clear();
    ops->deleteSelection(true);
    for (const std::string& name : kOddNames)
        QVERIFY(!exists(m_folder + name));
    QVERIFY(!exists(m_folder + "dir"));
    // The one that could not be deleted stays listed, and the user is told which.
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.itemAt(0).getFileName(), std::string("already gone"));
    QCOMPARE(m_told.size(), size_t(2));
    QVERIFY(m_told[1].text.contains(QLatin1String("already gone")));
}

void ResultFileOpsTest::trashUnderTestMode()
{
    // On the file system of the (test mode) home trash, so the home trash takes the files.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QVERIFY(data.contains(QLatin1String(".qttest")));
    QVERIFY(QDir().mkpath(data));
    QTemporaryDir here(data + QStringLiteral("/trash-test-XXXXXX"));
    QVERIFY(here.isValid());
    const std::string folder = here.path().toStdString() + "/";
    const std::string name = "to trash " + QFileInfo(here.path()).fileName().toStdString() + ".txt";
    writeFile(folder + name, "trash me");
    writeFile(folder + "kept.txt", "kept");
    VectorResultList list;
    list.append(itemFor(folder, name));
    list.append(itemFor(folder, "kept.txt"));
    list.setSelectedRows({0});
    auto ops = operations(list);
    ops->deleteSelection(false);
    QCOMPARE(m_told.size(), size_t(1));
    QCOMPARE(m_told[0].text, LanguageText::get(650));
    QVERIFY(!exists(folder + name));
    QCOMPARE(readFile(data.toStdString() + "/Trash/files/" + name), std::string("trash me"));
    QVERIFY(exists(data.toStdString() + "/Trash/info/" + name + ".trashinfo"));
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.itemAt(0).getFileName(), std::string("kept.txt"));
    FileDeleter::removePermanently(data.toStdString() + "/Trash/files/" + name);
    FileDeleter::removePermanently(data.toStdString() + "/Trash/info/" + name + ".trashinfo");
    // A name that is not UTF-8 reaches the trash with every byte, its origin percent-encoded.
    const std::string raw = std::string("raw\xff ") + QFileInfo(here.path()).fileName().toStdString();
    writeFile(folder + raw, "raw");
    list.append(itemFor(folder, raw));
    list.setSelectedRows({1});
    m_told.clear();
    ops->deleteSelection(false);
    QCOMPARE(m_told.size(), size_t(1));
    QVERIFY(!exists(folder + raw));
    QCOMPARE(list.rowCount(), 1);
    const std::string trashed = data.toStdString() + "/Trash/files/" + raw;
    QCOMPARE(readFile(trashed), std::string("raw"));
    const std::string info = readFile(data.toStdString() + "/Trash/info/" + raw + ".trashinfo");
    QVERIFY(info.rfind("[Trash Info]\nPath=", 0) == 0);
    QVERIFY(info.find("/raw%FF%20") != std::string::npos);
    QVERIFY(info.find("\nDeletionDate=") != std::string::npos);
    FileDeleter::removePermanently(trashed);
    FileDeleter::removePermanently(data.toStdString() + "/Trash/info/" + raw + ".trashinfo");
}

void ResultFileOpsTest::openWithCommandLines_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("params");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("placeholder and a switch")
        << "/usr/bin/viewer" << "%F% /switch" << "/data/my file.txt"
        << QStringList{"/usr/bin/viewer", "/data/my file.txt", "/switch"};
    QTest::newRow("shell characters stay one argument")
        << "viewer" << "--open %F%" << "/d/$HOME `id` \"q\" \\ 'x'.txt"
        << QStringList{"viewer", "--open", "/d/$HOME `id` \"q\" \\ 'x'.txt"};
    QTest::newRow("leading dash and newline") << "viewer" << "%F%" << "-rf\nx"
                                              << QStringList{"viewer", "-rf\nx"};
    QTest::newRow("no placeholder passes no file") << "viewer" << "--new-window" << "/a.txt"
                                                   << QStringList{"viewer", "--new-window"};
    QTest::newRow("program with blanks, placeholder twice")
        << "/opt/My App/run" << "-a %F% -b %F%" << "/x y"
        << QStringList{"/opt/My App/run", "-a", "/x y", "-b", "/x y"};
    QTest::newRow("quoted template text") << "viewer" << "\"two words\" %F%" << "/p"
                                          << QStringList{"viewer", "two words", "/p"};
}

void ResultFileOpsTest::openWithCommandLines()
{
    QFETCH(QString, program);
    QFETCH(QString, params);
    QFETCH(QString, path);
    QFETCH(QStringList, expected);
    const OpenWithCommand::Line line = OpenWithCommand::build(program, params, path);
    QCOMPARE(QStringList{line.program} + line.arguments, expected);
    bool ok = true;
    OpenWithCommand::split(QStringLiteral("a \"open"), &ok);
    QVERIFY(!ok);
}

void ResultFileOpsTest::openWithStartsTheProgramWithOneArgumentPerFile()
{
    // A real program that writes each argument it gets, NUL-terminated, to a file.
    const std::string script = m_folder + "record args";
    const std::string out = m_folder + "args.out";
    writeFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done >> \"$0.out.tmp\"\nmv \"$0.out.tmp\" \"" +
                          out + "\"\n");
    QCOMPARE(::chmod(script.c_str(), 0755), 0);
    const std::string odd = "-x \"$HOME\" `id`; rm \xff.txt";  // not UTF-8 either
    writeFile(m_folder + odd, "odd");
    VectorResultList list;
    list.append(itemFor(m_folder, odd));
    list.selectAll();
    QList<OpenWithEntry> entries{{QStringLiteral("Recorder"), QString::fromStdString(script), QStringLiteral("%F% /switch")}};
    auto ops = operations(list);
    ops->setOpenWithEntries(&entries);
    QCOMPARE(ops->runOpenWith(0).size(), size_t(1));
    QTRY_VERIFY_WITH_TIMEOUT(exists(out), 10000);
    QCOMPARE(readFile(out), m_folder + odd + std::string(1, '\0') + "/switch" + std::string(1, '\0'));
    QVERIFY(exists(m_folder + odd));
    QVERIFY(m_told.empty());
    // A desktop application's Exec line: %f is the path's bytes, %u its file URL.
    QVERIFY(::unlink(out.c_str()) == 0);
    const QString exec = OpenWithCommand::quoted(QString::fromStdString(script)) + QStringLiteral(" %u --file=%f");
    QCOMPARE(ops->runApplication(exec).size(), size_t(1));
    QTRY_VERIFY_WITH_TIMEOUT(exists(out), 10000);
    const std::string recorded = readFile(out);
    const std::string url = recorded.substr(0, recorded.find('\0'));
    QCOMPARE(QByteArray::fromPercentEncoding(QByteArray::fromStdString(url)).toStdString(), "file://" + m_folder + odd);
    QCOMPARE(recorded.substr(url.size() + 1), "--file=" + m_folder + odd + std::string(1, '\0'));
}

void ResultFileOpsTest::openWithMissingProgram()
{
    writeFile(m_folder + "f.txt", "f");
    VectorResultList list;
    list.append(itemFor(m_folder, "f.txt"));
    list.selectAll();
    QList<OpenWithEntry> entries{
        {QStringLiteral("Gone"), QString::fromStdString(m_folder + "no-such-program"), QStringLiteral("%F%")},
        {QStringLiteral("No folder"), QString::fromStdString(m_folder + "no/such/folder/prog"), QStringLiteral("%F%")}};
    auto ops = operations(list);
    ops->setOpenWithEntries(&entries);
    QVERIFY(ops->runOpenWith(0).empty());
    QVERIFY(ops->runOpenWith(1).empty());
    QCOMPARE(m_told.size(), size_t(2));
    QString expected45 = LanguageText::get(45);
    expected45.replace(expected45.indexOf(QLatin1String("%s")), 2, entries[0].program);
    expected45.replace(expected45.indexOf(QLatin1String("%s")), 2, entries[0].title);
    QCOMPARE(m_told[0].text, expected45);
    QVERIFY(m_told[1].text.contains(entries[1].title));
    QVERIFY(m_told[1].text != m_told[0].text);
    QVERIFY(ops->runOpenWith(7).empty());  // no such entry
    // A failed exec is reported, not taken for a start.
    // Repeated, since the exec report and the pid report once raced.
    for (int round = 0; round < 25; ++round) {
        int error = 0;
        QCOMPARE(DetachedProcess::start({m_folder + "no-such-program"}, m_folder, &error), pid_t(-1));
        QCOMPARE(error, ENOENT);
    }
    m_told.clear();
    QVERIFY(ops->runApplication(QString::fromStdString(m_folder + "no-such-program %f")).empty());
    QCOMPARE(m_told.size(), size_t(1));
}

void ResultFileOpsTest::contextMenus()
{
    writeFile(m_folder + "f.txt", "f");
    VectorResultList list;
    list.append(itemFor(m_folder, "f.txt"));
    list.append(memberItem(m_folder));
    QList<OpenWithEntry> entries{{QStringLiteral("Viewer"), QStringLiteral("viewer"), QStringLiteral("%F%")}};
    auto ops = operations(list);
    ops->setOpenWithEntries(&entries);
    list.setSelectedRows({0});
    std::unique_ptr<QMenu> menu(ops->buildContextMenu(0, nullptr));
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    QVERIFY(texts.contains(LanguageText::get(663)));  // properties
    QVERIFY(texts.contains(LanguageText::get(662)));  // cut
    QCOMPARE(menu->defaultAction()->text(), LanguageText::get(32778));
    // The archive member's own menu: the archive to open, then open and copy.
    list.setSelectedRows({1});
    std::unique_ptr<QMenu> memberMenu(ops->buildContextMenu(1, nullptr));
    QList<QAction*> actions = memberMenu->actions();
    QCOMPARE(actions.size(), 4);
    QCOMPARE(actions[0]->text(), LanguageText::get(147) + u' ' + QString::fromStdString(m_folder + "missing.zip"));
    QVERIFY(actions[1]->isSeparator());
    QCOMPARE(memberMenu->defaultAction(), actions[2]);
    QCOMPARE(actions[2]->text(), LanguageText::get(57));
    QCOMPARE(actions[3]->text(), LanguageText::get(146));
}

void ResultFileOpsTest::desktopApplicationsForAType()
{
    const QString apps = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY(apps.contains(QLatin1String(".qttest")));
    QVERIFY(QDir().mkpath(apps));
    QVERIFY(QDir().mkpath(config));
    const auto entry = [&apps](const char* id, const char* body) {
        writeFile((apps + u'/' + QLatin1String(id)).toStdString(), std::string("[Desktop Entry]\nType=Application\n") + body);
    };
    // Entries name installed programs: an entry whose program is missing is not offered.
    entry("qdtest-default.desktop", "Name=Default Viewer\nExec=cat --one %f\n");
    entry("qdtest-added.desktop", "Name=Added Viewer\nExec=cat %U\n");
    entry("qdtest-hidden.desktop", "Name=Hidden\nExec=cat %f\nNoDisplay=true\n");
    entry("qdtest-removed.desktop", "Name=Removed\nExec=cat %f\n");
    entry("qdtest-declared.desktop", "Name=Declared\nExec=cat %F\n");
    entry("qdtest-plain.desktop", "Name=Plain Text Viewer\nExec=cat %F\n");
    entry("qdtest-uninstalled.desktop", "Name=Not Installed\nExec=qd-no-such-program %F\n");
    writeFile((apps + QStringLiteral("/mimeinfo.cache")).toStdString(),
              "[MIME Cache]\ntext/x-qdtest=qdtest-removed.desktop;qdtest-declared.desktop;qdtest-hidden.desktop;"
              "qdtest-uninstalled.desktop;\ntext/plain=qdtest-plain.desktop;\n");
    writeFile((config + QStringLiteral("/mimeapps.list")).toStdString(),
              "[Default Applications]\ntext/x-qdtest=qdtest-default.desktop;qdtest-missing.desktop\n"
              "[Added Associations]\ntext/x-qdtest=qdtest-added.desktop;qdtest-hidden.desktop;qdtest-default.desktop;\n"
              "[Removed Associations]\ntext/x-qdtest=qdtest-removed.desktop\n");
    const auto namesFor = [](const char* type) {
        QStringList names;
        for (const MimeAppAssociations::App& app : MimeAppAssociations::appsFor(QLatin1String(type)))
            names << app.name;
        return names;
    };
    // The lookup watches its folders: the new entries are seen once the watch has told it.
    QTRY_COMPARE_WITH_TIMEOUT(namesFor("text/x-qdtest"), (QStringList{"Default Viewer", "Added Viewer", "Declared"}),
                              10000);
    QVERIFY(namesFor("text/x-qdtest-other").isEmpty());
    QVERIFY(namesFor("").isEmpty());
    // A viewer of plain text is offered for C source, a kind of plain text.
    QVERIFY(namesFor("text/x-csrc").contains(QStringLiteral("Plain Text Viewer")));
    QVERIFY(!namesFor("image/png").contains(QStringLiteral("Plain Text Viewer")));
    for (const char* id : {"qdtest-default", "qdtest-added", "qdtest-hidden", "qdtest-removed", "qdtest-declared",
                           "qdtest-plain", "qdtest-uninstalled"})
        QFile::remove(apps + u'/' + QLatin1String(id) + QStringLiteral(".desktop"));
    QFile::remove(apps + QStringLiteral("/mimeinfo.cache"));
    QFile::remove(config + QStringLiteral("/mimeapps.list"));
}

void ResultFileOpsTest::desktopExecFieldCodes_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("expected");
    const QString path = QStringLiteral("/d/a b \"q\" $x.txt");
    QTest::newRow("%f") << "viewer --x %f" << QStringList{"viewer", "--x", path};
    QTest::newRow("%U as a URL") << "viewer %U" << QStringList{"viewer", "file:///d/a%20b%20%22q%22%20$x.txt"};
    QTest::newRow("icon and name codes dropped") << "viewer %i %c %k %F" << QStringList{"viewer", path};
    QTest::newRow("percent sign") << "viewer --size=100%%" << QStringList{"viewer", "--size=100%"};
    QTest::newRow("quoted program") << "\"/opt/My App/run\" %f" << QStringList{"/opt/My App/run", path};
    QTest::newRow("unterminated quote") << "viewer \"%f" << QStringList{};
}

void ResultFileOpsTest::desktopExecFieldCodes()
{
    QFETCH(QString, exec);
    QFETCH(QStringList, expected);
    QCOMPARE(MimeAppAssociations::commandFor(exec, QStringLiteral("/d/a b \"q\" $x.txt")), expected);
}

QTEST_MAIN(ResultFileOpsTest)
#include "ResultFileOpsTest.moc"
