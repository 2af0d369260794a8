// The macro files: name to file mapping, replacing, defaults of a hand-made file, the
// manage outcome, the 512 limit, hot-key lookup and the hot-key text table.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "options/MacroHotKeyText.h"
#include "options/MacroList.h"
#include "platform/IniFile.h"

class MacroListTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void hotKeyText_data();
    void hotKeyText();
    void nameWithSlashAndColonKeepsItsName();
    void sameNameInOtherCaseReplaces();
    void handCopiedFileWithoutMain();
    void loadSkipsFoldersAndOtherFilesAndStopsAt512();
    void replaceAllDeletesOnlyRemovedFilesAndKeepsOptions();
    void failedWriteChangesNothing();
    void hotKeyLookup();
    void defaultFolderIsBelowTheDataFolder();

private:
    QString folder() const { return m_dir->filePath(QStringLiteral("Macros")); }
    static QStringList filesIn(const QString& path)
    {
        return QDir(path).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    static MacroRecord named(const QString& name, int mods = 0, int vk = 0, bool run = true)
    {
        MacroRecord r;
        r.strName = name;
        r.wModifier = uint16_t(mods);
        r.wVirtual = uint16_t(vk);
        r.bRunAfterLaunch = run;
        return r;
    }
    static SearchOptionsValues withName(const QString& name)
    {
        SearchOptionsValues v;
        v.general.name = name;
        return v;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void MacroListTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void MacroListTest::hotKeyText_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("vk");
    QTest::addColumn<QString>("text");
    const struct {
        int mods;
        int vk;
        const char* text;
    } rows[] = {
        {0, 0x41, "A"}, {2, 0x41, "Ctrl+A"}, {1, 0x5A, "Shift+Z"}, {4, 0x30, "Alt+0"}, {7, 0x70, "Ctrl+Shift+Alt+F1"},
        {5, 0x87, "Shift+Alt+F24"}, {6, 0x21, "Ctrl+Alt+Page Up"}, {3, 0x2C, "Ctrl+Shift+Snap Shot"},
        {0, 0x08, "Back"}, {0, 0x09, "Tab"}, {0, 0x0C, "Clear"}, {0, 0x0D, "Return"}, {0, 0x10, "Shift"},
        {0, 0x11, "Ctrl"}, {0, 0x12, "Menu"}, {0, 0x13, "Pause"}, {0, 0x14, "Caps Lock"}, {0, 0x1B, "Esc"},
        {0, 0x20, "Space"}, {0, 0x28, "Down"}, {0, 0x29, "Select"}, {0, 0x2F, "Help"}, {0, 0x5B, "LWin"},
        {0, 0x5D, "Apps"}, {0, 0x60, "Num 0"}, {0, 0x69, "Num 9"}, {0, 0x6A, "Num *"}, {0, 0x6C, "Separator"},
        {0, 0x6F, "Num /"}, {0, 0x90, "Num Lock"}, {0, 0x91, "Scroll"}, {0, 0xBA, ";"}, {0, 0xC0, "`"},
        {0, 0xDB, "["}, {0, 0xDC, "\\"}, {0, 0xDE, "'"},
        // Codes without a name: the modifiers alone.
        {2, 0x88, "Ctrl"}, {5, 0xFF, "Shift+Alt"}, {0, 0x0A, ""}, {0, 0x3A, ""}, {0, 0x40, ""}, {0, 0x5E, ""},
        {0, 0xC1, ""}, {0, 0xDF, ""}, {0, 0, ""}, {1, 0, "Shift"},
        // Bits other than Shift, Ctrl and Alt are not modifiers of the text.
        {8 | 2, 0x41, "Ctrl+A"},
    };
    for (const auto& r : rows)
        QTest::newRow(QStringLiteral("%1-%2").arg(r.mods).arg(r.vk, 2, 16).toLatin1()) << r.mods << r.vk
                                                                                     << QString::fromUtf8(r.text);
}

void MacroListTest::hotKeyText()
{
    QFETCH(int, modifiers);
    QFETCH(int, vk);
    QFETCH(QString, text);
    QCOMPARE(MacroHotKeyText::text(modifiers, vk), text);
}

void MacroListTest::nameWithSlashAndColonKeepsItsName()
{
    MacroList list(folder());
    QString error;
    QVERIFY2(list.add(named(QStringLiteral("  a/b:c  "), 2, 0x51, false), withName(QStringLiteral("*.txt")), &error),
             qPrintable(error));
    QCOMPARE(filesIn(folder()), QStringList{QStringLiteral("a~b~c.qdp")});
    QCOMPARE(list.macros().first().strName, QStringLiteral("a/b:c"));

    MacroList reloaded(folder());
    reloaded.load();
    QCOMPARE(reloaded.count(), 1);
    const MacroRecord r = reloaded.macros().first();
    QCOMPARE(r.strName, QStringLiteral("a/b:c"));
    QCOMPARE(r.strFileTitle, QStringLiteral("a~b~c"));
    QCOMPARE(int(r.wModifier), 2);
    QCOMPARE(int(r.wVirtual), 0x51);
    QCOMPARE(r.bRunAfterLaunch, false);
    SearchOptionsValues v;
    QVERIFY(reloaded.readOptions(r, v));
    QCOMPARE(v.general.name, QStringLiteral("*.txt"));
}

void MacroListTest::sameNameInOtherCaseReplaces()
{
    MacroList list(folder());
    QVERIFY(list.add(named(QStringLiteral("Docs")), withName(QStringLiteral("*.doc"))));
    QVERIFY(list.add(named(QStringLiteral("Other")), withName(QStringLiteral("*.x"))));
    QVERIFY(list.add(named(QStringLiteral("DOCS"), 2, 0x44), withName(QStringLiteral("*.odt"))));
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.macros()[1].strName, QStringLiteral("DOCS"));
    // On a file system that tells case apart the old file would come back at the next start.
    QCOMPARE(filesIn(folder()), (QStringList{QStringLiteral("DOCS.qdp"), QStringLiteral("Other.qdp")}));

    // Two names with the same file title: the newer one owns the file.
    QVERIFY(list.add(named(QStringLiteral("a:b")), withName(QStringLiteral("1"))));
    QVERIFY(list.add(named(QStringLiteral("a/b")), withName(QStringLiteral("2"))));
    QCOMPARE(list.count(), 3);
    MacroList reloaded(folder());
    reloaded.load();
    QCOMPARE(reloaded.count(), 3);
    QCOMPARE(reloaded.macros()[2].strFileTitle, QStringLiteral("a~b"));  // sorted by file name
    QCOMPARE(reloaded.macros()[2].strName, QStringLiteral("a/b"));
}

void MacroListTest::handCopiedFileWithoutMain()
{
    QVERIFY(QDir().mkpath(folder()));
    QFile file(folder() + QStringLiteral("/Copied by hand.qdp"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\nName=*.log\nPath=/var/log\niSearchIn=0\n");
    file.close();
    MacroList list(folder());
    list.load();
    QCOMPARE(list.count(), 1);
    const MacroRecord r = list.macros().first();
    QCOMPARE(r.strName, QStringLiteral("Copied by hand"));
    QCOMPARE(r.strFileTitle, QStringLiteral("Copied by hand"));
    QCOMPARE(int(r.wVirtual), 0);
    QCOMPARE(int(r.wModifier), 0);
    QCOMPARE(r.bRunAfterLaunch, true);
    SearchOptionsValues v;
    QVERIFY(list.readOptions(r, v));
    QCOMPARE(v.general.name, QStringLiteral("*.log"));
    QCOMPARE(v.general.iSearchIn, 0);
}

void MacroListTest::loadSkipsFoldersAndOtherFilesAndStopsAt512()
{
    QVERIFY(QDir().mkpath(folder() + QStringLiteral("/folder.qdp")));
    const auto write = [this](const QString& name, const QByteArray& text) {
        QFile f(folder() + QLatin1Char('/') + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write(QStringLiteral("notes.txt"), "[Main]\nName=no\n");
    write(QStringLiteral("upper.QDP"), "[Main]\nName=no\n");
    for (int i = 0; i < 515; ++i)
        write(QStringLiteral("m%1.qdp").arg(i, 3, 10, QLatin1Char('0')), QByteArray("[Main]\nwVirtual=") +
                                                                            QByteArray::number(0x41 + i % 26) + "\n");
    MacroList list(folder());
    list.load();
    QCOMPARE(list.count(), MacroList::kMaxMacros);
    QCOMPARE(list.macros().first().strFileTitle, QStringLiteral("m000"));
    QCOMPARE(list.macros().last().strFileTitle, QStringLiteral("m511"));
    QVERIFY(list.isFull());
    // Full: a new name is refused; replacing an existing one is still allowed.
    QVERIFY(!list.add(named(QStringLiteral("new one")), {}));
    QVERIFY(!QFile::exists(folder() + QStringLiteral("/new one.qdp")));
    QVERIFY(list.add(named(QStringLiteral("M000")), {}));
    QCOMPARE(list.count(), MacroList::kMaxMacros);
}

void MacroListTest::replaceAllDeletesOnlyRemovedFilesAndKeepsOptions()
{
    MacroList list(folder());
    QVERIFY(list.add(named(QStringLiteral("Keep")), withName(QStringLiteral("*.keep"))));
    QVERIFY(list.add(named(QStringLiteral("Drop")), withName(QStringLiteral("*.drop"))));
    QList<MacroRecord> edited = list.macros();
    edited[0].strName = QStringLiteral("Kept and renamed");
    edited[0].wModifier = 4;
    edited[0].wVirtual = 0x4B;
    edited[0].bRunAfterLaunch = false;
    edited.removeAt(1);
    QString error;
    QVERIFY2(list.replaceAll(edited, &error), qPrintable(error));
    QCOMPARE(filesIn(folder()), QStringList{QStringLiteral("Keep.qdp")});

    MacroList reloaded(folder());
    reloaded.load();
    QCOMPARE(reloaded.count(), 1);
    QCOMPARE(reloaded.macros().first(), edited.first());
    SearchOptionsValues v;
    QVERIFY(reloaded.readOptions(reloaded.macros().first(), v));
    QCOMPARE(v.general.name, QStringLiteral("*.keep"));

    // Deleting everything removes every file.
    QVERIFY(reloaded.replaceAll({}));
    QVERIFY(filesIn(folder()).isEmpty());
}

void MacroListTest::failedWriteChangesNothing()
{
    MacroList list(folder());
    QVERIFY(list.add(named(QStringLiteral("First")), withName(QStringLiteral("*.1"))));
    QString error;
    // A name too long for a file name: the write fails, nothing changes.
    QVERIFY(!list.add(named(QString(300, QLatin1Char('x'))), {}, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!list.add(named(QStringLiteral("   ")), {}));
    QCOMPARE(list.count(), 1);
    QCOMPARE(filesIn(folder()), QStringList{QStringLiteral("First.qdp")});
    // The folder cannot be made when a file stands in its place.
    QFile blocker(m_dir->filePath(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MacroList blocked(m_dir->filePath(QStringLiteral("blocked")));
    QVERIFY(!blocked.add(named(QStringLiteral("x")), {}));
    QCOMPARE(blocked.count(), 0);
}

void MacroListTest::hotKeyLookup()
{
    MacroList list(folder());
    QVERIFY(list.add(named(QStringLiteral("none")), {}));
    QVERIFY(list.add(named(QStringLiteral("ctrl q"), 2, 0x51), {}));
    QVERIFY(list.add(named(QStringLiteral("ctrl q again"), 2, 0x51), {}));
    QVERIFY(list.add(named(QStringLiteral("ctrl shift q"), 3, 0x51), {}));
    QCOMPARE(list.findHotKey(2, 0x51), 1);  // the first of two
    QCOMPARE(list.findHotKey(3, 0x51), 3);
    QCOMPARE(list.findHotKey(0, 0x51), -1);
    QCOMPARE(list.findHotKey(0, 0), -1);  // "no hot key" never matches
}

void MacroListTest::defaultFolderIsBelowTheDataFolder()
{
    QCOMPARE(MacroList::defaultFolder(),
             QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Quendrel/Macros"));
}

QTEST_GUILESS_MAIN(MacroListTest)
#include "MacroListTest.moc"
