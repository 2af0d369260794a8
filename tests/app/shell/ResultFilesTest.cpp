// Result files (.qdr) and the exports, on real files in a temporary folder: the stored
// layout, reloading, damaged files, the file list and the CSV texts, and the messages of
// the commands when a file cannot be read or written.
#include <QtTest>

#include <QTemporaryDir>

#include "platform/CArchive.h"
#include "records/Data_FileItem.h"
#include "shell/LanguageText.h"
#include "shell/ResultExport.h"
#include "shell/ResultFile.h"
#include "shell/ResultOperations.h"
#include "shell/VectorResultList.h"

#include "ResultTestItems.h"

using namespace ResultTestItems;

namespace {

std::unique_ptr<Data_FileItem> row(const std::string& folder, const std::string& name, int dupGroup = 0,
                                   std::vector<ContentSnippet> snippets = {})
{
    auto item = std::make_unique<Data_FileItem>();
    item->m_strPath = folder;
    item->setFileName(name);
    item->m_nSize = int64_t(name.size()) * 1000 + 7;
    item->m_ftLastWrite = FILETIME::fromU64(133'000'000'000'000'000ULL + name.size());
    item->m_nDupGroup = dupGroup;
    for (const ContentSnippet& s : snippets)
        item->m_vecSnippets.push_back(std::make_shared<ContentSnippet>(s));
    return item;
}

}  // namespace

class ResultFilesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void emptyListSavesFourBytesAndLoadsEmpty();
    void reloadKeepsOrderGroupsAndExcerpts();
    void damagedFilesAreRejected_data();
    void damagedFilesAreRejected();
    void everyTruncationIsRejected();
    void openingADamagedFileTellsAndEmptiesTheList();
    void failedSaveKeepsThePreviousFile();
    void fileListHasOneNamePerLine();
    void csvLayout_data();
    void csvLayout();
    void exportThatCannotBeWrittenSaysSo();
    void csvHeaderUsesTheColumnCaptions();

private:
    QTemporaryDir m_dir;
    std::string folder() const { return m_dir.path().toStdString() + "/"; }
    std::vector<QString> m_told;
    std::unique_ptr<ResultOperations> operations(VectorResultList& list)
    {
        auto ops = std::make_unique<ResultOperations>(list, nullptr);
        ops->setAsker([this](const ResultOperations::Message& m) {
            m_told.push_back(m.text);
            return 0;
        });
        return ops;
    }
};

void ResultFilesTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    // The messages below are told apart by their texts.
    QVERIFY(LanguageText::get(26) != LanguageText::get(27));
}

void ResultFilesTest::emptyListSavesFourBytesAndLoadsEmpty()
{
    VectorResultList list;
    const std::string path = folder() + "empty.qdr";
    QVERIFY(ResultFile::save(path, list));
    QCOMPARE(readFile(path), std::string(4, '\0'));
    std::vector<std::unique_ptr<Data_FileItem>> loaded;
    loaded.push_back(row("/x/", "stale"));
    QVERIFY(ResultFile::load(path, loaded));
    QVERIFY(loaded.empty());
}

void ResultFilesTest::reloadKeepsOrderGroupsAndExcerpts()
{
    VectorResultList list;
    // Names that must survive byte for byte: blanks, quotes, a newline, a leading '-',
    // bytes that are not UTF-8, and one long enough for the three-byte length prefix.
    const std::vector<std::string> names = {"zeta.txt", "a b \"q\".doc", "line\nbreak", "-rf",
                                            std::string("bad\xff\xfe.bin"), std::string(300, 'n') + ".long"};
    for (size_t i = 0; i < names.size(); ++i)
        list.append(row("/data/set " + std::to_string(i) + "/", names[i], int(i % 2) + 1,
                        i == 0 ? std::vector<ContentSnippet>{{"before ", "match", " after"}, {"", "x", ""}}
                               : std::vector<ContentSnippet>{}));
    auto member = row("/arch/pack.zip/inner/", "member.txt");
    member->m_bInArchive = 1;
    member->m_strArchiveName = "pack.zip";
    member->m_nArchiveIndex = 42;
    member->m_strInnerPath = "inner";
    list.append(std::move(member));

    const std::string path = folder() + "rows.qdr";
    QVERIFY(ResultFile::save(path, list));
    std::vector<std::unique_ptr<Data_FileItem>> loaded;
    QVERIFY(ResultFile::load(path, loaded));
    QCOMPARE(int(loaded.size()), list.rowCount());
    for (int r = 0; r < list.rowCount(); ++r) {
        Data_FileItem& a = list.itemAt(r);
        Data_FileItem& b = *loaded[size_t(r)];
        QCOMPARE(b.getFullFileName(), a.getFullFileName());
        QCOMPARE(b.m_nDupGroup, a.m_nDupGroup);
        QCOMPARE(b.m_nSize, a.m_nSize);
        QVERIFY(b.m_ftLastWrite == a.m_ftLastWrite);
        QCOMPARE(b.m_bInArchive, a.m_bInArchive);
        QCOMPARE(b.m_nArchiveIndex, a.m_nArchiveIndex);
        QCOMPARE(b.m_strArchiveName, a.m_strArchiveName);
        QCOMPARE(b.m_vecSnippets.size(), a.m_vecSnippets.size());
        for (size_t s = 0; s < a.m_vecSnippets.size(); ++s) {
            QCOMPARE(b.m_vecSnippets[s]->before, a.m_vecSnippets[s]->before);
            QCOMPARE(b.m_vecSnippets[s]->match, a.m_vecSnippets[s]->match);
            QCOMPARE(b.m_vecSnippets[s]->after, a.m_vecSnippets[s]->after);
        }
    }
    // Through the command: the list is replaced in the same order and the count is posted.
    VectorResultList shown;
    auto ops = operations(shown);
    QSignalSpy status(ops.get(), &ResultOperations::statusText);
    QVERIFY(ops->openResultFile(QString::fromStdString(path)));
    QCOMPARE(shown.rowCount(), list.rowCount());
    QCOMPARE(shown.itemAt(0).getFileName(), std::string("zeta.txt"));
    QCOMPARE(shown.itemAt(0).m_vecSnippets.size(), size_t(2));
    QCOMPARE(status.size(), 1);
    QVERIFY(status.at(0).at(0).toString().contains(QString::number(list.rowCount())));
}

void ResultFilesTest::damagedFilesAreRejected_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("short count") << QByteArray("\x01\x00", 2);
    // A count far beyond what the bytes can hold must not make the reader reserve rows.
    QTest::newRow("enormous count") << QByteArray("\xff\xff\xff\xff", 4) + QByteArray(200, 'x');
    QTest::newRow("count one, no record") << QByteArray("\x01\x00\x00\x00", 4);
    QTest::newRow("garbage") << QByteArray("\x02\x00\x00\x00", 4) + QByteArray(120, '\xff');
    std::vector<uint8_t> one;
    {
        CArchive ar(one);
        ar.writeU32(1);
        row("/f/", "x.txt")->serializeAsResult(ar);
    }
    const QByteArray good(reinterpret_cast<const char*>(one.data()), qsizetype(one.size()));
    QTest::newRow("bytes after the last record") << good + QByteArray("\x00", 1);
    QByteArray hugeSnippets = good;
    hugeSnippets.chop(4);
    hugeSnippets += QByteArray("\xff\xff\xff\x7f", 4);  // snippet count with nothing behind it
    QTest::newRow("enormous snippet count") << hugeSnippets;
}

void ResultFilesTest::damagedFilesAreRejected()
{
    QFETCH(QByteArray, bytes);
    const std::string path = folder() + "damaged.qdr";
    writeFile(path, bytes.toStdString());
    std::vector<std::unique_ptr<Data_FileItem>> loaded;
    loaded.push_back(row("/x/", "stale"));
    QVERIFY(!ResultFile::load(path, loaded));
    QVERIFY(loaded.empty());
}

void ResultFilesTest::everyTruncationIsRejected()
{
    VectorResultList list;
    list.append(row("/a/", "one.txt", 1, {{"b", "m", "a"}}));
    list.append(row("/b/", "two"));
    const std::string path = folder() + "whole.qdr";
    QVERIFY(ResultFile::save(path, list));
    const std::string whole = readFile(path);
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        std::vector<std::unique_ptr<Data_FileItem>> loaded;
        QVERIFY2(!ResultFile::parse(reinterpret_cast<const uint8_t*>(whole.data()), cut, loaded),
                 qPrintable(QString::number(cut)));
        QVERIFY(loaded.empty());
    }
}

void ResultFilesTest::openingADamagedFileTellsAndEmptiesTheList()
{
    const std::string path = folder() + "cut.qdr";
    VectorResultList source;
    source.append(row("/a/", "one.txt"));
    source.append(row("/a/", "two.txt"));
    QVERIFY(ResultFile::save(path, source));
    std::string bytes = readFile(path);
    bytes.resize(bytes.size() - 5);
    writeFile(path, bytes);

    VectorResultList list;
    list.append(row("/old/", "was here"));
    auto ops = operations(list);
    QSignalSpy status(ops.get(), &ResultOperations::statusText);
    m_told.clear();
    QVERIFY(!ops->openResultFile(QString::fromStdString(path)));
    QCOMPARE(list.rowCount(), 0);
    QCOMPARE(m_told.size(), size_t(1));
    QCOMPARE(m_told[0], LanguageText::get(27));
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.at(0).at(0).toString(), LanguageText::get(27));
}

void ResultFilesTest::failedSaveKeepsThePreviousFile()
{
    const std::string path = folder() + "keep.qdr";
    VectorResultList list;
    list.append(row("/a/", "kept.txt"));
    QVERIFY(ResultFile::save(path, list));
    const std::string before = readFile(path);
    // A folder of the target's name beside it makes the writer fail at its last step.
    const std::string blocked = folder() + "blocked.qdr";
    QVERIFY(QDir().mkpath(QString::fromStdString(blocked + "/inside")));
    auto ops = operations(list);
    m_told.clear();
    QVERIFY(!ops->saveResultFile(QString::fromStdString(blocked)));
    QCOMPARE(m_told.size(), size_t(1));
    QCOMPARE(m_told[0], LanguageText::get(26));
    QVERIFY(exists(blocked + "/inside"));
    QCOMPARE(readFile(path), before);
    // No temporary is left beside the targets.
    QDir dir(m_dir.path());
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        QVERIFY2(!name.contains(QLatin1String("~tmp")), qPrintable(name));
}

void ResultFilesTest::fileListHasOneNamePerLine()
{
    VectorResultList list;
    list.append(row("/a/", "first.txt"));
    list.append(row("/b/", "README"));
    list.append(row("/c/", ".profile"));
    QCOMPARE(ResultExport::fileListText(list), QByteArray("first.txt\nREADME\n.profile\n"));
    QCOMPARE(ResultExport::fileListText(*std::make_unique<VectorResultList>()), QByteArray());
    auto ops = operations(list);
    const QString path = m_dir.filePath(QStringLiteral("list.txt"));
    QVERIFY(ops->exportFileList(path));
    QCOMPARE(readFile(path.toStdString()), std::string("first.txt\nREADME\n.profile\n"));
}

void ResultFilesTest::csvLayout_data()
{
    using Columns = ResultExport::Columns;
    QTest::addColumn<Columns>("columns");
    QTest::addColumn<QByteArray>("expected");
    const Columns nameAndFolder{true, true, false, false, false, false, false, false};
    const Columns sizeOnly{false, false, true, false, false, false, false, false};
    QTest::newRow("name and folder") << nameAndFolder
                                     << QByteArray("\"N\",\"F\"\r\n\"a \"\"quoted\"\" name.txt\",\"/x, y/\"\r\n"
                                                   "\"plain\",\"/line\nbreak/\"");
    QTest::newRow("size only starts every line with a comma")
        << sizeOnly << QByteArray(",\"S\"\r\n,\"s1\"\r\n,\"s2\"");
}

void ResultFilesTest::csvLayout()
{
    QFETCH(ResultExport::Columns, columns);
    QFETCH(QByteArray, expected);
    VectorResultList list;
    list.append(row("/x, y/", "a \"quoted\" name.txt"));
    list.append(row("/line\nbreak/", "plain"));
    const QStringList captions{"N", "F", "S", "T", "M", "C", "A", "R"};
    int sizes = 0;
    const auto cell = [&sizes](Data_FileItem& item, int column) {
        if (column == 1)
            return QString::fromStdString(item.m_strPath);
        if (column == 2)
            return QStringLiteral("s%1").arg(++sizes);
        return QString();
    };
    QCOMPARE(ResultExport::csvText(list, columns, captions, cell), expected);
}

void ResultFilesTest::exportThatCannotBeWrittenSaysSo()
{
    VectorResultList list;
    list.append(row("/a/", "x.txt"));
    auto ops = operations(list);
    const QString path = m_dir.filePath(QStringLiteral("no such folder/list.csv"));
    m_told.clear();
    QVERIFY(!ops->exportCsv(path, {true, false, false, false, false, false, false, false}));
    QVERIFY(!ops->exportFileList(path));
    QCOMPARE(m_told.size(), size_t(2));
    QVERIFY(m_told[0].contains(path));
    QVERIFY(!QFileInfo::exists(path));
}

void ResultFilesTest::csvHeaderUsesTheColumnCaptions()
{
    VectorResultList list;
    list.append(row("/a/", "x.txt"));
    auto ops = operations(list);
    // Default cell texts through the command: the header is the captions of the language.
    const QString path = m_dir.filePath(QStringLiteral("default.csv"));
    QVERIFY(ops->exportCsv(path, {true, false, true, false, false, false, false, false}));
    const QByteArray text = QByteArray::fromStdString(readFile(path.toStdString()));
    const QList<QByteArray> lines = text.split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], "\"" + LanguageText::plain(10).toUtf8() + "\",\"" + LanguageText::plain(14).toUtf8() + "\"\r");
    QVERIFY(lines[1].startsWith("\"x.txt\",\"5"));  // 5 * 1000 + 7 bytes, grouped or not
}

QTEST_MAIN(ResultFilesTest)
#include "ResultFilesTest.moc"
