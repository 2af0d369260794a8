// The settings store against real INI files in a temporary folder.
#include <csignal>
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/platform/IniFile.h"
#include "shell/AppSettings.h"

namespace {

QStringList englishCaptions() {
    return {"Name", "Folder", "Size", "Type", "Date modified", "Date created", "Date accessed", "Attributes"};
}

// Column captions of a language file, as the program would load them.
QStringList captionsFrom(const QString& languageFile) {
    IniFile ini;
    if (!ini.load(languageFile.toStdString()))
        return {};
    QStringList out;
    for (unsigned id : ColumnFlags::kCaptionIds)
        out.append(QString::fromStdString(ini.getString("Language", std::to_string(id), "", 256)));
    return out;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class AppSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath("Quendrel/Quendrel.ini");
    }

    void defaultPathIsUnderConfigLocation() {
        QCOMPARE(AppSettings::defaultFilePath(),
                 QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Quendrel/Quendrel.ini");
    }

    void emptyStoreGivesEveryDefault() {
        AppSettings s(m_path, englishCaptions());
        s.load();
        s.loadPlacement();
        QCOMPARE(s.general(), GeneralOptions());
        QCOMPARE(s.general().HKSHVirtual, 112);  // F1
        QCOMPARE(s.general().HKSHModifier, 4);   // Alt
        QCOMPARE(s.general().dateFormat, 2);
        QCOMPARE(s.general().sizeFormat, 1);
        QCOMPARE(s.general().SeparatedUseComma, 1);
        QCOMPARE(s.searchDisplay(), SearchDisplayOptions());
        QCOMPARE(s.searchDisplay().patternExtensions.size(), 10);
        QCOMPARE(s.searchDisplay().clrKeyString, 0x00A00000);
        QCOMPARE(s.columns().show, (std::array<int, 8>{1, 1, 1, 1, 1, 0, 0, 0}));
        QCOMPARE(s.frame(), FrameState());
        QCOMPARE(s.frame().FirstRun, 1);
        QCOMPARE(s.placement(), WindowPlacement());
        QCOMPARE(s.placement().MainWinState, 1);
        QCOMPARE(s.indexTime().EveryDayTimeHour, 13);
        QCOMPARE(s.indexTime().IndexCacheLocation,
                 QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/Quendrel");
        QCOMPARE(s.indexedPaths().paths, IndexedPaths::localDriveRoots());
        QCOMPARE(s.excludeList(), ExcludeList());
        QCOMPARE(s.excludeList().extensions, QStringList{"tmp"});
        QVERIFY(s.openWith().isEmpty());
        QVERIFY(!QFile::exists(m_path));  // loading writes nothing
    }

    // Every key of the table: a changed value survives save and load, stored with its type.
    void everyKeyRoundTrips() {
        {
            AppSettings s(m_path, englishCaptions());
            int n = 0;
#define CHANGE_(type, member, key, def) change(rec.member, ++n);
            auto change = [](auto& v, int k) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, int>)
                    v = v + 100 + k;
                else
                    v = T("value-") + T(QByteArray::number(k));
            };
            { auto& rec = s.general(); QUENDREL_GENERAL_KEYS(CHANGE_) }
            { auto& rec = s.searchDisplay(); QUENDREL_SEARCH_DISPLAY_KEYS(CHANGE_) }
            { auto& rec = s.frame(); QUENDREL_FRAME_KEYS(CHANGE_) }
            { auto& rec = s.placement(); QUENDREL_PLACEMENT_KEYS(CHANGE_) }
            { auto& rec = s.indexTime(); QUENDREL_INDEX_TIME_KEYS(CHANGE_) }
            { auto& rec = s.excludeList(); QUENDREL_EXCLUDE_KEYS(CHANGE_) }
            { auto& rec = s.panels(); QUENDREL_PANEL_KEYS(CHANGE_) }
#undef CHANGE_
            s.searchDisplay().patternExtensions = {"pdf", "odt"};
            s.columns().show = {0, 1, 0, 1, 0, 1, 0, 1};
            s.indexedPaths().paths = {"/", "/home/a b", "/srv/ü"};
            s.excludeList().folders = {"/tmp/x", "/var/cache"};
            s.excludeList().extensions = {"bak", "o"};
            s.openWith() = {{"Edit", "/usr/bin/editor", "--new %s"}, {"View", "/usr/bin/viewer", ""}};
            QVERIFY(s.save());
            QVERIFY(s.savePlacement());
            m_saved = std::make_unique<AppSettings>(m_path, englishCaptions());
            // Keep a copy of the values to compare with.
            m_saved->general() = s.general();
            m_saved->searchDisplay() = s.searchDisplay();
            m_saved->columns() = s.columns();
            m_saved->frame() = s.frame();
            m_saved->placement() = s.placement();
            m_saved->indexTime() = s.indexTime();
            m_saved->indexedPaths() = s.indexedPaths();
            m_saved->excludeList() = s.excludeList();
            m_saved->openWith() = s.openWith();
            m_saved->panels() = s.panels();
        }
        AppSettings r(m_path, englishCaptions());
        r.load();
        r.loadPlacement();
        QCOMPARE(r.general(), m_saved->general());
        QCOMPARE(r.searchDisplay(), m_saved->searchDisplay());
        QCOMPARE(r.columns(), m_saved->columns());
        QCOMPARE(r.frame(), m_saved->frame());
        QCOMPARE(r.placement(), m_saved->placement());
        QCOMPARE(r.indexTime(), m_saved->indexTime());
        QCOMPARE(r.indexedPaths(), m_saved->indexedPaths());
        QCOMPARE(r.excludeList(), m_saved->excludeList());
        QCOMPARE(r.openWith(), m_saved->openWith());
        QCOMPARE(r.panels(), m_saved->panels());

        // The stored form: group "Settings", the key names of the table, typed values.
        QSettings raw(m_path, QSettings::IniFormat);
        for (const AppSettings::KeyInfo& key : AppSettings::keyTable()) {
            const QVariant v = raw.value(QStringLiteral("Settings/") + key.key);
            QVERIFY2(v.isValid(), key.key);
            if (key.type == AppSettings::ValueType::Binary)
                QCOMPARE(v.typeId(), int(QMetaType::QByteArray));
        }
        QCOMPARE(raw.value("Settings/OpenAsMenuPrefix_Title0").toString(), QString("Edit"));
        QCOMPARE(raw.value("Settings/OpenAsMenuPrefix_Params0").toString(), QString("--new %s"));
        QCOMPARE(raw.value("Settings/IndexPath1").toString(), QString("/home/a b"));
        QCOMPARE(raw.value("Settings/IndexedPathNum").toInt(), 3);
        QCOMPARE(raw.value("Settings/show_Name").toInt(), 0);
        QCOMPARE(raw.value("Settings/PatternString").toString(), QString("pdf,odt"));
        QCOMPARE(raw.value("Settings/ExcludeList").toByteArray(),
                 QByteArray("\x02\x00\x06/tmp/x\x0a/var/cache\x02\x00\x03" "bak\x01o", 28));
        QVERIFY(raw.contains("Settings/Index Time Option"));
    }

    void patternString_data() {
        QTest::addColumn<QStringList>("extensions");
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty list") << QStringList() << " ";
        QTest::newRow("one") << QStringList{"txt"} << "txt";
        QTest::newRow("empty entry inside") << QStringList{"a", "", "b"} << "a, ,b";
        QTest::newRow("defaults") << SearchDisplayOptions::defaultPatternExtensions()
                                  << "doc,xls,ppt,mp3,avi,htm,html,mpg,txt,exe";
    }
    void patternString() {
        QFETCH(QStringList, extensions);
        QFETCH(QString, stored);
        QCOMPARE(AppSettings::encodePatternString(extensions), stored);
        {
            AppSettings s(m_path, englishCaptions());
            s.searchDisplay().patternExtensions = extensions;
            QVERIFY(s.save());
        }
        AppSettings r(m_path, englishCaptions());
        r.load();
        QCOMPARE(r.searchDisplay().patternExtensions, extensions);
    }

    // " " is an empty list; a missing or empty value is the default list.
    void patternStringSpaceAgainstMissing() {
        QCOMPARE(AppSettings::decodePatternString(QVariant(QString(" "))), QStringList());
        QCOMPARE(AppSettings::decodePatternString(QVariant()), SearchDisplayOptions::defaultPatternExtensions());
        QCOMPARE(AppSettings::decodePatternString(QVariant(QString())), SearchDisplayOptions::defaultPatternExtensions());
        QCOMPARE(AppSettings::decodePatternString(QVariant(QString("a,b"))), (QStringList{"a", "b"}));
        // A hand-edited value with unquoted commas (QSettings reads it as a list).
        writeRaw("PatternString=jpg, png\n");
        AppSettings r(m_path, englishCaptions());
        r.load();
        QCOMPARE(r.searchDisplay().patternExtensions, (QStringList{"jpg", "png"}));
    }

    void indexedPathNum_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("driveRoots");
        QTest::newRow("missing keeps the drive roots") << "" << QStringList() << true;
        QTest::newRow("zero empties the list") << "IndexedPathNum=0\nIndexPath0=/x\n" << QStringList() << false;
        QTest::newRow("empty values skipped") << "IndexedPathNum=3\nIndexPath0=/a\nIndexPath1=\nIndexPath2=/c\n"
                                              << QStringList{"/a", "/c"} << false;
        QTest::newRow("keys beyond the count ignored") << "IndexedPathNum=1\nIndexPath0=/a\nIndexPath1=/b\n"
                                                       << QStringList{"/a"} << false;
        QTest::newRow("huge count reads what exists") << "IndexedPathNum=2000000000\nIndexPath0=/a\n"
                                                      << QStringList{"/a"} << false;
    }
    void indexedPathNum() {
        QFETCH(QString, ini);
        QFETCH(QStringList, expected);
        QFETCH(bool, driveRoots);
        writeRaw(ini);
        AppSettings s(m_path, englishCaptions());
        s.load();
        QCOMPARE(s.indexedPaths().paths, driveRoots ? IndexedPaths::localDriveRoots() : expected);
    }

    // A shorter list saved later leaves no stale numbered keys behind.
    void shorterListsDropOldKeys() {
        {
            AppSettings s(m_path, englishCaptions());
            s.indexedPaths().paths = {"/a", "/b", "/c"};
            s.openWith() = {{"1", "p1", ""}, {"2", "p2", ""}};
            QVERIFY(s.save());
            s.indexedPaths().paths = {"/a"};
            s.openWith() = {};
            QVERIFY(s.save());
        }
        QSettings raw(m_path, QSettings::IniFormat);
        QVERIFY(raw.contains("Settings/IndexPath0"));
        QVERIFY(!raw.contains("Settings/IndexPath1"));
        QVERIFY(!raw.contains("Settings/IndexPath2"));
        QVERIFY(!raw.contains("Settings/OpenAsMenuPrefix_Title0"));
        QCOMPARE(raw.value("Settings/OpenAsMenuNumber").toInt(), 0);
    }

    // The "show_" keys are named after the loaded captions: after a language switch the
    // flags stored under the old names no longer apply and the defaults return.
    void languageSwitchResetsColumnFlags() {
        const QString bin = QStringLiteral(QUENDREL_BIN_DIR);
        const QStringList english = captionsFrom(bin + "/Language/English.ini");
        const QStringList chinese = captionsFrom(bin + "/Language/GB.ini");
        QCOMPARE(english.size(), 8);
        QCOMPARE(english.first(), QString("Name"));
        QVERIFY(chinese.first() != english.first());
        {
            AppSettings s(m_path, english);
            s.columns().show = {0, 0, 0, 0, 0, 1, 1, 1};
            QVERIFY(s.save());
        }
        AppSettings sameLanguage(m_path, english);
        sameLanguage.load();
        QCOMPARE(sameLanguage.columns().show, (std::array<int, 8>{0, 0, 0, 0, 0, 1, 1, 1}));
        AppSettings switched(m_path, chinese);
        switched.load();
        QCOMPARE(switched.columns(), ColumnFlags());
        QCOMPARE(switched.columnKey(0), QStringLiteral("show_") + chinese.first());
        QVERIFY(switched.save());
        QSettings raw(m_path, QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Settings/show_") + chinese.first()).toInt(), 1);
        QCOMPARE(raw.value("Settings/show_Name").toInt(), 0);  // the old language's key stays
    }

    void captionWithSlashStaysOneKey() {
        AppSettings s(m_path, {"Size/KB", "b", "c", "d", "e", "f", "g", "h"});
        QCOMPARE(s.columnKey(0), QString("show_Size_KB"));
    }

    void excludeListBlob_data() {
        QTest::addColumn<QByteArray>("blob");
        QTest::addColumn<bool>("ok");
        QTest::newRow("cut string") << QByteArray("\x01\x00\x05/ab", 6) << false;
        QTest::newRow("second list missing") << QByteArray("\x00\x00", 2) << false;
        QTest::newRow("huge count") << QByteArray("\xff\xff\xff\xff\xff\xff", 6) << false;
        QTest::newRow("two empty lists") << QByteArray("\x00\x00\x00\x00", 4) << true;
    }
    // A damaged blob keeps the initial lists.
    void excludeListBlob() {
        QFETCH(QByteArray, blob);
        QFETCH(bool, ok);
        ExcludeList list;
        QCOMPARE(list.decode(blob), ok);
        if (!ok)
            QCOMPARE(list, ExcludeList());
        else
            QVERIFY(list.extensions.isEmpty() && list.folders.isEmpty());
    }

    // A write that fails half-way (the file-size limit stops it) leaves the old file whole.
    void failedWriteKeepsTheOldFile() {
        {
            AppSettings s(m_path, englishCaptions());
            QVERIFY(s.save());
        }
        const QByteArray before = readAll(m_path);
        QVERIFY(before.size() > 100);
        struct rlimit old {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = rlim_t(before.size() / 2);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        bool saved = true;
        {
            AppSettings s(m_path, englishCaptions());
            s.panels().DialogsData = QByteArray(before.size() * 4, 'x');
            saved = s.save();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(readAll(m_path).size(), before.size());
        QCOMPARE(readAll(m_path), before);
        QVERIFY(!saved);
        QCOMPARE(QDir(QFileInfo(m_path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Quendrel.ini"});
    }

private:
    void writeRaw(const QString& settingsBody) {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(("[Settings]\n" + settingsBody).toUtf8());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<AppSettings> m_saved;
};

QTEST_GUILESS_MAIN(AppSettingsTest)
#include "AppSettingsTest.moc"
