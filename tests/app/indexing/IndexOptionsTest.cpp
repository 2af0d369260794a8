// What is indexed and left out: the insertion rule, the stored form, the default paths,
// the indexer's arguments from the exclusion settings, and the two option pages' rules.
#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "ModalAnswerer.h"
#include "indexing/ExcludePresetFolders.h"
#include "indexing/IndexPathRules.h"
#include "indexing/IndexerArguments.h"
#include "indexing/PP_ExcludeList.h"
#include "indexing/PP_FileIndex.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"
#include "tools/Tool_Resource.h"

using Outcome = IndexPathRules::Outcome;

class IndexOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void insertionRule_data();
    void insertionRule();
    void storedForm_data();
    void storedForm();
    void noStoredCountGivesLocalDisks();
    void presetsInOrderWithOneUnresolvable();
    void fileIndexPageAddsAndRefuses();
    void excludePageTypesAndFolders();

private:
    QTemporaryDir m_dir;
};

Q_DECLARE_METATYPE(Outcome)

void IndexOptionsTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void IndexOptionsTest::insertionRule_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("path");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("conflict");
    QTest::addColumn<QStringList>("after");
    const QStringList data{QStringLiteral("/data")};
    QTest::newRow("inside") << data << "/data/sub" << Outcome::InsideExisting << 0 << data;
    QTest::newRow("inside, trailing slash") << data << "/data/sub/" << Outcome::InsideExisting << 0 << data;
    QTest::newRow("root contains") << data << "/" << Outcome::ContainsExisting << 0 << data;
    QTest::newRow("repeated") << data << "/data/" << Outcome::Repeated << 0 << data;
    QTest::newRow("repeated, dot segment") << data << "/data/./" << Outcome::Repeated << 0 << data;
    // Whole components: /database is not inside /data; case counts on Linux.
    QTest::newRow("sibling prefix") << data << "/database" << Outcome::Added << -1
                                    << QStringList{"/data", "/database"};
    QTest::newRow("other case") << data << "/Data" << Outcome::Added << -1 << QStringList{"/data", "/Data"};
    QTest::newRow("second entry met") << QStringList{"/a", "/b/c"} << "/b" << Outcome::ContainsExisting << 1
                                      << QStringList{"/a", "/b/c"};
    QTest::newRow("under root") << QStringList{"/"} << "/home" << Outcome::InsideExisting << 0 << QStringList{"/"};
    QTest::newRow("blank") << data << "   " << Outcome::Empty << -1 << data;
}

void IndexOptionsTest::insertionRule()
{
    QFETCH(QStringList, list);
    QFETCH(QString, path);
    QFETCH(Outcome, outcome);
    QFETCH(int, conflict);
    QFETCH(QStringList, after);
    const QStringList before = list;
    const IndexPathRules::Result r = IndexPathRules::insert(list, path);
    QCOMPARE(r.outcome, outcome);
    QCOMPARE(r.conflict, conflict);
    QCOMPARE(list, after);
    // The refusals name the outer path first: 36 (existing, new), 37 (new, existing).
    if (outcome == Outcome::InsideExisting) {
        const QString expected = LanguageText::get(36);
        QVERIFY(expected.contains(QStringLiteral("%s")));
        QCOMPARE(r.message, QString(expected).replace(expected.indexOf("%s"), 2, before[conflict]).replace(
                                QStringLiteral("%s"), r.path));
    } else if (outcome == Outcome::ContainsExisting) {
        const QString expected = LanguageText::get(37);
        QCOMPARE(r.message,
                 QString(expected).replace(expected.indexOf("%s"), 2, r.path).replace(QStringLiteral("%s"), before[conflict]));
    } else {
        QVERIFY(r.message.isEmpty());
    }
}

void IndexOptionsTest::storedForm_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("trailing slash") << " /srv/work/ " << "/srv/work";
    QTest::newRow("doubled slashes") << "/srv//work///" << "/srv/work";
    QTest::newRow("dot-dot") << "/srv/x/../work" << "/srv/work";
    QTest::newRow("root stays") << "/" << "/";
    QTest::newRow("empty") << "  " << "";
}

void IndexOptionsTest::storedForm()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(IndexPathRules::storedForm(typed), stored);
}

void IndexOptionsTest::noStoredCountGivesLocalDisks()
{
    const QString ini = m_dir.filePath(QStringLiteral("defaults.ini"));
    {
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Settings]\nIndexPath0=/somewhere\n");   // a path without its count is not read
    }
    AppSettings settings(ini, AppSettings::loadedColumnCaptions());
    settings.load();
    std::vector<std::string> drives;
    Tool_Resource::getLogicalDriveString(drives, true);
    QStringList expected;
    for (std::string d : drives) {
        while (d.size() > 1 && d.back() == '/')
            d.pop_back();
        expected.append(QString::fromStdString(d));
    }
    QCOMPARE(settings.indexedPaths().paths, expected);
    for (const QString& p : expected)
        QVERIFY2(p == "/" || !p.endsWith(u'/'), qPrintable(p));

    // A stored count of 0 empties the list; it survives a save and a load.
    settings.indexedPaths().paths.clear();
    QVERIFY(settings.save());
    AppSettings again(ini, AppSettings::loadedColumnCaptions());
    again.load();
    QVERIFY(again.indexedPaths().paths.isEmpty());
}

void IndexOptionsTest::presetsInOrderWithOneUnresolvable()
{
    const QString base = m_dir.filePath(QStringLiteral("presets"));
    ExcludePresetFolders presets;
    presets.cookies = {base + "/home/.mozilla-missing"};   // no browser profile: left out
    presets.history = base + "/state";
    presets.internetCache = base + "/cache/";
    presets.temporary = base + "/tmp";
    presets.cacheFolder = base + "/cache/Quendrel";
    presets.system = base + "/usr";
    for (const QString& f : {presets.history, presets.internetCache, presets.temporary, presets.cacheFolder,
                             presets.system})
        QVERIFY(QDir().mkpath(f));

    ExcludeList exclude;
    exclude.folders = {base + "/user/b", base + "/user/a/"};
    exclude.extensions = {QStringLiteral("tmp"), QStringLiteral("bak")};
    IndexerArguments args = IndexerArguments::build(exclude, presets);
    const std::vector<std::string> expected{
        (base + "/user/b").toStdString(), (base + "/user/a").toStdString(), (base + "/state").toStdString(),
        (base + "/cache").toStdString(),  (base + "/tmp").toStdString(),    (base + "/cache/Quendrel").toStdString(),
        (base + "/usr").toStdString()};
    QCOMPARE(args.folders, expected);
    QCOMPARE(args.types, (std::vector<std::string>{"tmp", "bak"}));
    QVERIFY(args.archives);

    // Flags off leave their folders out; the archive flag follows its setting.
    exclude.ppdebTemporary = 0;
    exclude.ppdebWindows = 0;
    exclude.ppdebIndexCompressed = 0;
    args = IndexerArguments::build(exclude, presets);
    QCOMPARE(args.folders.size(), size_t(5));
    QCOMPARE(args.folders.back(), (base + "/cache/Quendrel").toStdString());
    QVERIFY(!args.archives);

    // The environment's presets only name existing folders once built.
    args = IndexerArguments::build(ExcludeList{}, ExcludePresetFolders::fromEnvironment(base + "/nothing-here"));
    for (const std::string& f : args.folders)
        QVERIFY2(QFileInfo(QString::fromStdString(f)).isDir(), f.c_str());
}

void IndexOptionsTest::fileIndexPageAddsAndRefuses()
{
    const QString root = m_dir.filePath(QStringLiteral("pages"));
    QVERIFY(QDir().mkpath(root + "/work/sub"));
    QTemporaryDir settingsDir;
    AppSettings settings(settingsDir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    settings.indexedPaths().paths.clear();
    PP_FileIndex page(settings, nullptr);
    page.loadFromSettings();
    QVERIFY(!page.addButton()->isEnabled());
    QVERIFY(!page.removeButton()->isEnabled());

    // Typed with a trailing slash and blanks: stored without them; the field empties.
    page.pathField()->setText(QStringLiteral("  ") + root + QStringLiteral("/work/ "));
    QVERIFY(page.addButton()->isEnabled());
    QVERIFY(page.addTyped());
    QCOMPARE(page.paths(), QStringList{root + "/work"});
    QVERIFY(page.pathField()->text().isEmpty());
    QCOMPARE(page.list()->count(), 1);

    {
        // Nested one way and the other: refused with 36 and 37; the field keeps its text.
        ModalAnswerer answer;
        page.pathField()->setText(root + "/work/sub");
        QVERIFY(!page.addTyped());
        page.pathField()->setText(root);
        QVERIFY(!page.addTyped());
        page.pathField()->setText(root + "/missing");
        QVERIFY(!page.addTyped());
        QCOMPARE(answer.texts.size(), 3);
        QCOMPARE(answer.texts[0], IndexPathRules::check({root + "/work"}, root + "/work/sub").message);
        QCOMPARE(answer.texts[1], IndexPathRules::check({root + "/work"}, root).message);
        QVERIFY(answer.texts[2].contains(root + "/missing"));
        QCOMPARE(page.pathField()->text(), root + "/missing");
    }
    QCOMPARE(page.paths(), QStringList{root + "/work"});

    // Cancel-like: nothing reaches the settings before apply; apply reports the change once.
    QVERIFY(settings.indexedPaths().paths.isEmpty());
    QVERIFY(page.applyToSettings());
    QCOMPARE(settings.indexedPaths().paths, QStringList{root + "/work"});
    QVERIFY(!page.applyToSettings());

    // Remove asks 38; No keeps the path, Yes removes it.
    page.list()->item(0)->setSelected(true);
    QVERIFY(page.removeButton()->isEnabled());
    {
        ModalAnswerer answer({QMessageBox::No});
        page.removeSelected();
        QCOMPARE(answer.texts, QStringList{LanguageText::plain(38)});
    }
    QCOMPARE(page.paths().size(), 1);
    {
        ModalAnswerer answer({QMessageBox::Yes});
        page.removeSelected();
        QCOMPARE(answer.texts.size(), 1);
    }
    QVERIFY(page.paths().isEmpty());
}

void IndexOptionsTest::excludePageTypesAndFolders()
{
    const QString root = m_dir.filePath(QStringLiteral("exclude"));
    QVERIFY(QDir().mkpath(root + "/a/b"));
    QVERIFY(QFile::link(root + "/a", root + "/link-to-a"));
    QTemporaryDir settingsDir;
    AppSettings settings(settingsDir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    PP_ExcludeList page(settings);
    page.loadFromSettings();
    QCOMPARE(page.types(), QStringList{"tmp"});

    // Types: blanks trimmed, leading dots removed; repeats ignoring case are not added.
    page.addType(QStringLiteral(" .TMP "));
    QCOMPARE(page.types(), QStringList{"tmp"});
    page.addType(QStringLiteral(" ..Bak "));
    page.addType(QStringLiteral("..."));
    page.addType(QStringLiteral("  "));
    QCOMPARE(page.types(), (QStringList{"tmp", "Bak"}));
    QVERIFY(page.typeList()->item(1)->isSelected());
    QVERIFY(page.applyToSettings());
    QCOMPARE(settings.excludeList().extensions, (QStringList{"tmp", "Bak"}));

    PP_ExcludeList fresh(settings);
    settings.excludeList().extensions.clear();
    fresh.loadFromSettings();
    fresh.addType(QStringLiteral(" .TMP "));
    QCOMPARE(fresh.types(), QStringList{"TMP"});

    // Folders: a link is taken as its target; nested entries are selected and refused.
    page.addFolder(root + "/link-to-a");
    QCOMPARE(page.folders(), QStringList{root + "/a"});
    {
        ModalAnswerer answer;
        page.addFolder(root + "/a/b");
        page.addFolder(root);
        page.addFolder(root + "/a/");   // a repeat is only selected
        QCOMPARE(answer.texts.size(), 2);
        QCOMPARE(answer.texts[0], IndexPathRules::check({root + "/a"}, root + "/a/b").message);
        QCOMPARE(answer.texts[1], IndexPathRules::check({root + "/a"}, root).message);
    }
    QCOMPARE(page.folders(), QStringList{root + "/a"});
    QVERIFY(page.folderList()->item(0)->isSelected());

    // Remove with nothing selected says so (163, 165); with a selection it removes.
    page.folderList()->clearSelection();
    page.typeList()->clearSelection();
    {
        ModalAnswerer answer;
        page.removeFolders();
        page.removeTypes();
        QCOMPARE(answer.texts, (QStringList{LanguageText::plain(163), LanguageText::plain(165)}));
    }
    page.typeList()->item(0)->setSelected(true);
    page.removeTypes();
    QCOMPARE(page.types(), QStringList{"Bak"});

    // Flags: unchecking one reaches the settings only on apply.
    QVERIFY(page.flag(6)->isChecked());
    page.flag(6)->setChecked(false);
    QCOMPARE(settings.excludeList().ppdebWindows, 1);
    QVERIFY(page.applyToSettings());
    QCOMPARE(settings.excludeList().ppdebWindows, 0);
    QCOMPARE(settings.excludeList().folders, QStringList{root + "/a"});
}

QTEST_MAIN(IndexOptionsTest)
#include "IndexOptionsTest.moc"
