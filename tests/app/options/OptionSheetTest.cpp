// The option sheet with its General and Search pages, real widgets offscreen: what OK and
// Cancel do to the settings records, the hot key and the start-up entry; the rules of the
// pages (message 166, the typed extensions, the history range, the type list) and the round
// trip of every control through its record.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <functional>

#include "options/ColourSwatch.h"
#include "options/HotKeyEdit.h"
#include "options/OptionSheetController.h"
#include "options/PP_General.h"
#include "options/PP_OptionSheet.h"
#include "options/PP_Search.h"
#include "shell/AppSettings.h"
#include "shell/AutostartEntry.h"
#include "indexing/PP_ExcludeList.h"
#include "indexing/PP_FileIndex.h"
#include "indexing/PP_IndexTime.h"
#include "shell/CMainFrame.h"
#include "shell/FileManagerEntry.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/File_ListView.h"
#include "shell/GlobalHotKey.h"
#include "shell/LanguageText.h"
#include "shell/MainToolBar.h"
#include "shell/ResultListModel.h"
#include "shell/TrayIcon.h"
#include "shell/VirtualKeyTable.h"

namespace {
// Runs `answer` once on the first modal dialog of type D named `name` that shows while
// `action` runs. False when none showed.
template <class D>
bool answerModal(const QString& name, const std::function<void(D*)>& answer, const std::function<void()>& action)
{
    bool seen = false;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!seen && dialog && dialog->objectName() == name && dialog->isVisible()) {
            seen = true;
            answer(dialog);
        }
    });
    timer.start();
    action();
    timer.stop();
    return seen;
}

bool answerQuestion(const QString& name, QMessageBox::StandardButton button, const std::function<void()>& action,
                    QString* text = nullptr)
{
    return answerModal<QMessageBox>(name, [&](QMessageBox* box) {
        if (text)
            *text = box->text();
        box->button(button)->click();
    }, action);
}

// Types `text` into the extension dialog and confirms it.
bool typeExtension(const QString& text, const std::function<void()>& action)
{
    return answerModal<QInputDialog>(QStringLiteral("extensionDialog"), [&](QInputDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        dialog->accept();
    }, action);
}

template <class W>
W* child(QWidget* parent, const char* name)
{
    W* w = parent->findChild<W*>(QLatin1String(name));
    if (!w)
        qWarning("no child %s", name);
    return w;
}

void clickOk(PP_OptionSheet& sheet)
{
    sheet.buttons()->button(QDialogButtonBox::Ok)->click();
}

// Every general option away from its default.
GeneralOptions unusualGeneral()
{
    GeneralOptions g;
    g.dateFormat = 0;
    g.UseWindowsLocale = 1;
    g.sizeFormat = 0;
    g.SeparatedUseComma = 0;
    g.ShowNumberOnly = 1;
    g.AutoRun = 0;
    g.AutoIndex = 0;
    g.HKSHVirtual = 0x74;  // F5
    g.HKSHModifier = VirtualKeyTable::kHotKeyCtrl | VirtualKeyTable::kHotKeyShift;
    g.bShowSplashImage = 0;
    g.ClickXToExit = 1;
    g.SortAfterSearch = 1;
    g.SortOption = 6;
    g.HistoryItemNum = 42;
    return g;
}

SearchDisplayOptions unusualSearch()
{
    SearchDisplayOptions s;
    s.bBoldOfKeyString = 0;
    s.bSearchInCompressedFile = 0;
    s.bAutoNormalSearch = 0;
    s.bDisableBooleanOpt = 1;
    s.clrKeyString = 0x00123456;
    s.clrRegularString = 0x00ABCDEF;
    s.patternExtensions = {QStringLiteral("pdf"), QStringLiteral("txt"), QStringLiteral("odt")};
    return s;
}

QStringList rowsOf(QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0);
    return rows;
}
}  // namespace

class OptionSheetTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pagesInOrder();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void hotKeyOnlyAfterAGeneralChange();
    void startupEntryFollowsAutoRun();
    void fileManagerEntryFollowsItsBox();
    void sortAfterSearchAsks166_data();
    void sortAfterSearchAsks166();
    void typedExtensionsAreStoredBare_data();
    void typedExtensionsAreStoredBare();
    void typeListButtons();
    void historyRange_data();
    void historyRange();
    void recordsShowInTheControls();
    void generalControlsReachTheirKeys_data();
    void generalControlsReachTheirKeys();
    void searchControlsReachTheirKeys_data();
    void searchControlsReachTheirKeys();
    void hotKeyControlKeys_data();
    void hotKeyControlKeys();
    void refusedPageKeepsTheSheetOpen();
    void windowAppliesAConfirmedSheet();
    void screenshotWhenAsked();

private:
    // Runs the controller's sheet; `edit` acts on the shown sheet and ends it (OK or Cancel).
    bool runSheet(const std::function<void(PP_OptionSheet&)>& edit);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<GlobalHotKey> m_hotKey;
    std::unique_ptr<OptionSheetController> m_controller;
};

void OptionSheetTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void OptionSheetTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = std::make_unique<AppSettings>(m_dir->filePath(QStringLiteral("Quendrel.ini")),
                                               AppSettings::loadedColumnCaptions());
    m_hotKey = std::make_unique<GlobalHotKey>();
    m_controller = std::make_unique<OptionSheetController>(*m_settings);
    m_controller->setHotKey(m_hotKey.get());
    QFile::remove(AutostartEntry::filePath());
}

void OptionSheetTest::cleanup()
{
    m_controller.reset();
    m_hotKey.reset();
    m_settings.reset();
    m_dir.reset();
    QFile::remove(AutostartEntry::filePath());
}

bool OptionSheetTest::runSheet(const std::function<void(PP_OptionSheet&)>& edit)
{
    return m_controller->run(nullptr, [&](QDialog& dialog) {
        auto& sheet = static_cast<PP_OptionSheet&>(dialog);
        sheet.show();
        edit(sheet);
        return sheet.result();
    });
}

void OptionSheetTest::pagesInOrder()
{
    PP_OptionSheet sheet(*m_settings);
    QCOMPARE(sheet.windowTitle(), LanguageText::plain(30));
    QCOMPARE(sheet.tabs()->count(), 2);
    QCOMPARE(sheet.tabs()->tabText(0), LanguageText::plain(31));
    QCOMPARE(sheet.tabs()->tabText(1), LanguageText::plain(101));
    QCOMPARE(sheet.tabs()->widget(0), sheet.general());
    QCOMPARE(sheet.tabs()->widget(1), sheet.search());
    QVERIFY(sheet.isModal());
}

void OptionSheetTest::cancelChangesNothing_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel button") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close box") << 2;
}

void OptionSheetTest::cancelChangesNothing()
{
    QFETCH(int, how);
    m_settings->general() = unusualGeneral();
    m_settings->searchDisplay() = unusualSearch();
    const GeneralOptions general = m_settings->general();
    const SearchDisplayOptions search = m_settings->searchDisplay();
    const IndexedPaths paths = m_settings->indexedPaths();
    const ExcludeList exclude = m_settings->excludeList();
    QSignalSpy grabs(m_hotKey.get(), &GlobalHotKey::registrationFailed);
    QSignalSpy generalSpy(m_controller.get(), &OptionSheetController::generalApplied);
    QSignalSpy searchSpy(m_controller.get(), &OptionSheetController::searchApplied);

    const bool confirmed = runSheet([&](PP_OptionSheet& sheet) {
        PP_General* g = sheet.general();
        child<QCheckBox>(g, "autoRun")->click();
        child<QRadioButton>(g, "dateSeconds")->click();
        auto* hotKey = child<HotKeyEdit>(g, "hotKey");
        hotKey->setFocus();
        QTest::keyClick(hotKey, Qt::Key_F9, Qt::AltModifier);
        QCOMPARE(hotKey->virtualKey(), 0x78);
        child<QSpinBox>(g, "historyItems")->setValue(200);
        PP_Search* s = sheet.search();
        child<QCheckBox>(s, "boldKeyStrings")->click();
        QVERIFY(typeExtension(QStringLiteral("iso"), [&] { child<QPushButton>(s, "addType")->click(); }));
        QCOMPARE(child<QTreeWidget>(s, "typeList")->topLevelItemCount(), 4);
        QVERIFY(answerModal<QColorDialog>(QStringLiteral("colourDialog"), [](QColorDialog* d) {
            d->setCurrentColor(QColor(9, 9, 9));
            d->accept();
        }, [&] { child<ColourSwatch>(s, "keyColour")->click(); }));
        if (how == 0)
            sheet.buttons()->button(QDialogButtonBox::Cancel)->click();
        else if (how == 1)
            QTest::keyClick(&sheet, Qt::Key_Escape);
        else
            sheet.close();
    });

    QVERIFY(!confirmed);
    QCOMPARE(m_settings->general(), general);
    QCOMPARE(m_settings->searchDisplay(), search);
    QCOMPARE(m_settings->indexedPaths(), paths);
    QCOMPARE(m_settings->excludeList(), exclude);
    QCOMPARE(m_controller->hotKeyReRegistrations(), 0);
    QCOMPARE(grabs.count(), 0);
    QCOMPARE(generalSpy.count(), 0);
    QCOMPARE(searchSpy.count(), 0);
    QVERIFY(!QFile::exists(AutostartEntry::filePath()));
}

void OptionSheetTest::hotKeyOnlyAfterAGeneralChange()
{
    // The real hot key cannot grab offscreen: every registration it is asked for reports
    // one failure, so the spy counts the registrations.
    QSignalSpy grabs(m_hotKey.get(), &GlobalHotKey::registrationFailed);
    QSignalSpy failures(m_controller.get(), &OptionSheetController::hotKeyFailed);

    // OK without touching anything.
    QVERIFY(runSheet([](PP_OptionSheet& sheet) { clickOk(sheet); }));
    QCOMPARE(m_controller->hotKeyReRegistrations(), 0);
    QCOMPARE(grabs.count(), 0);

    // A box checked and unchecked again: modified, but no value differs.
    QVERIFY(runSheet([](PP_OptionSheet& sheet) {
        auto* splash = child<QCheckBox>(sheet.general(), "splashImage");
        splash->click();
        splash->click();
        QVERIFY(sheet.general()->isModified());
        clickOk(sheet);
        QVERIFY(!sheet.changed(sheet.general()));
    }));
    QCOMPARE(m_controller->hotKeyReRegistrations(), 0);
    QCOMPARE(grabs.count(), 0);

    // Only the Search page changed.
    QVERIFY(runSheet([](PP_OptionSheet& sheet) {
        child<QCheckBox>(sheet.search(), "disableOperators")->click();
        clickOk(sheet);
    }));
    QCOMPARE(m_settings->searchDisplay().bDisableBooleanOpt, 1);
    QCOMPARE(m_controller->hotKeyReRegistrations(), 0);
    QCOMPARE(grabs.count(), 0);

    // A new hot key: taken into the record and registered once.
    QVERIFY(runSheet([](PP_OptionSheet& sheet) {
        auto* hotKey = child<HotKeyEdit>(sheet.general(), "hotKey");
        hotKey->setFocus();
        QTest::keyClick(hotKey, Qt::Key_F5, Qt::ControlModifier);
        clickOk(sheet);
    }));
    QCOMPARE(m_settings->general().HKSHVirtual, 0x74);
    QCOMPARE(m_settings->general().HKSHModifier, VirtualKeyTable::kHotKeyCtrl);
    QCOMPARE(m_controller->hotKeyReRegistrations(), 1);
    QCOMPARE(grabs.count(), 1);
    QCOMPARE(failures.count(), 1);

    // Another General value: the key is registered again (the page changed).
    QVERIFY(runSheet([](PP_OptionSheet& sheet) {
        child<QCheckBox>(sheet.general(), "closeExits")->click();
        clickOk(sheet);
    }));
    QCOMPARE(m_controller->hotKeyReRegistrations(), 2);
    QCOMPARE(grabs.count(), 2);

    // Backspace clears the key: released, nothing to grab, no warning.
    QSignalSpy registered(m_controller.get(), &OptionSheetController::hotKeyRegistered);
    QVERIFY(runSheet([](PP_OptionSheet& sheet) {
        auto* hotKey = child<HotKeyEdit>(sheet.general(), "hotKey");
        hotKey->setFocus();
        QTest::keyClick(hotKey, Qt::Key_Backspace);
        QCOMPARE(hotKey->text(), LanguageText::plain(414));
        clickOk(sheet);
    }));
    QCOMPARE(m_settings->general().HKSHVirtual, 0);
    QCOMPARE(m_controller->hotKeyReRegistrations(), 3);
    QCOMPARE(grabs.count(), 2);
    QCOMPARE(registered.count(), 1);
    QCOMPARE(registered.first().first().toString(), QString());
}

void OptionSheetTest::startupEntryFollowsAutoRun()
{
    // The default record has AutoRun 1, but nothing is written until General changes.
    QVERIFY(runSheet([](PP_OptionSheet& sheet) { clickOk(sheet); }));
    QVERIFY(!QFile::exists(AutostartEntry::filePath()));

    QVERIFY(runSheet([](PP_OptionSheet& sheet) {
        child<QCheckBox>(sheet.general(), "autoIndex")->click();
        clickOk(sheet);
    }));
    QVERIFY(m_controller->autostartApplied());
    QFile entry(AutostartEntry::filePath());
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(entry.readAll()).contains(QStringLiteral("/minimized")));
    entry.close();

    QVERIFY(runSheet([](PP_OptionSheet& sheet) {
        child<QCheckBox>(sheet.general(), "autoRun")->click();
        clickOk(sheet);
    }));
    QCOMPARE(m_settings->general().AutoRun, 0);
    QVERIFY(!QFile::exists(AutostartEntry::filePath()));
}

void OptionSheetTest::fileManagerEntryFollowsItsBox()
{
    QVERIFY2(FileManagerEntry().isAvailable(), qPrintable(FileManagerEntry::launcherPath()));
    QVERIFY(FileManagerEntry().unregisterEntry());
    const int registrations = m_controller->hotKeyReRegistrations();
    // Cancel installs nothing.
    QVERIFY(!runSheet([](PP_OptionSheet& sheet) {
        auto* box = child<QCheckBox>(sheet.general(), "fileManagerEntry");
        QVERIFY(!box->isChecked());
        box->click();
        sheet.reject();
    }));
    QVERIFY(!FileManagerEntry().anyRegistered());
    // OK installs it; the page then shows it installed; unticking removes it.
    QVERIFY(runSheet([](PP_OptionSheet& sheet) {
        child<QCheckBox>(sheet.general(), "fileManagerEntry")->click();
        clickOk(sheet);
    }));
    QVERIFY(FileManagerEntry().isRegistered());
    QVERIFY(runSheet([](PP_OptionSheet& sheet) {
        auto* box = child<QCheckBox>(sheet.general(), "fileManagerEntry");
        QVERIFY(box->isChecked());
        box->click();
        clickOk(sheet);
    }));
    QVERIFY(!FileManagerEntry().anyRegistered());
    // The entry is no general option: the hot key was left alone.
    QCOMPARE(m_controller->hotKeyReRegistrations(), registrations);
}

void OptionSheetTest::sortAfterSearchAsks166_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes turns it on") << true;
    QTest::newRow("No unchecks it again") << false;
}

void OptionSheetTest::sortAfterSearchAsks166()
{
    QFETCH(bool, yes);
    QVERIFY(runSheet([&](PP_OptionSheet& sheet) {
        auto* sort = child<QCheckBox>(sheet.general(), "sortAfterSearch");
        auto* column = child<QComboBox>(sheet.general(), "sortColumn");
        QVERIFY(!sort->isChecked());
        QVERIFY(!column->isEnabled());
        QCOMPARE(column->count(), 8);
        QCOMPARE(column->itemText(4), LanguageText::plain(17));  // column 4 is "modified"
        QString text;
        QVERIFY(answerQuestion(QStringLiteral("sortQuestion"), yes ? QMessageBox::Yes : QMessageBox::No,
                               [&] { sort->click(); }, &text));
        QCOMPARE(text, LanguageText::plain(166));
        QCOMPARE(sort->isChecked(), yes);
        QCOMPARE(column->isEnabled(), yes);
        if (yes) {
            column->setCurrentIndex(3);
            // Unchecking asks nothing and disables the list again.
            QVERIFY(!answerQuestion(QStringLiteral("sortQuestion"), QMessageBox::Yes, [&] {
                sort->click();
                QCoreApplication::processEvents();
            }));
            QVERIFY(!column->isEnabled());
            QVERIFY(answerQuestion(QStringLiteral("sortQuestion"), QMessageBox::Yes, [&] { sort->click(); }));
        }
        clickOk(sheet);
    }));
    QCOMPARE(m_settings->general().SortAfterSearch, yes ? 1 : 0);
    QCOMPARE(m_settings->general().SortOption, yes ? 3 : 0);
}

void OptionSheetTest::typedExtensionsAreStoredBare_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("added");
    QTest::newRow("dot and blanks") << QStringLiteral(" .TMP ") << QStringList{QStringLiteral("TMP")};
    QTest::newRow("leading dot") << QStringLiteral(".tmp") << QStringList{QStringLiteral("tmp")};
    QTest::newRow("two dots and a blank after them") << QStringLiteral(".. tar") << QStringList{QStringLiteral("tar")};
    QTest::newRow("inner dot kept") << QStringLiteral("tar.gz") << QStringList{QStringLiteral("tar.gz")};
    QTest::newRow("blanks only") << QStringLiteral("   ") << QStringList{};
    QTest::newRow("dots only") << QStringLiteral(" ... ") << QStringList{};
    // The stored list separates entries with commas: a comma makes two entries.
    QTest::newRow("comma") << QStringLiteral(".rar, .7z,") << QStringList{QStringLiteral("rar"), QStringLiteral("7z")};
}

void OptionSheetTest::typedExtensionsAreStoredBare()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, added);
    m_settings->searchDisplay().patternExtensions = {QStringLiteral("doc")};
    QVERIFY(runSheet([&](PP_OptionSheet& sheet) {
        QVERIFY(typeExtension(typed, [&] { child<QPushButton>(sheet.search(), "addType")->click(); }));
        clickOk(sheet);
    }));
    const QStringList expected = QStringList{QStringLiteral("doc")} + added;
    QCOMPARE(m_settings->searchDisplay().patternExtensions, expected);

    // Edit applies the same rules to the selected row.
    QVERIFY(runSheet([&](PP_OptionSheet& sheet) {
        auto* list = child<QTreeWidget>(sheet.search(), "typeList");
        list->setCurrentItem(list->topLevelItem(0));
        QVERIFY(typeExtension(typed, [&] { child<QPushButton>(sheet.search(), "editType")->click(); }));
        clickOk(sheet);
    }));
    // Nothing left of the text: the row keeps its extension.
    const QStringList edited = added.isEmpty() ? expected : added + added;
    QCOMPARE(m_settings->searchDisplay().patternExtensions, edited);

    // What is stored reads back the same.
    QVERIFY(m_settings->save());
    AppSettings again(m_settings->filePath(), AppSettings::loadedColumnCaptions());
    again.load();
    QCOMPARE(again.searchDisplay().patternExtensions, edited);
}

void OptionSheetTest::typeListButtons()
{
    m_settings->searchDisplay().patternExtensions = {QStringLiteral("txt"), QStringLiteral("pdf"), QStringLiteral("zz9q")};
    QVERIFY(runSheet([&](PP_OptionSheet& sheet) {
        PP_Search* page = sheet.search();
        auto* list = child<QTreeWidget>(page, "typeList");
        auto* edit = child<QPushButton>(page, "editType");
        auto* del = child<QPushButton>(page, "deleteType");
        auto* up = child<QPushButton>(page, "moveTypeUp");
        auto* down = child<QPushButton>(page, "moveTypeDown");
        QCOMPARE(list->columnCount(), 2);
        QCOMPARE(list->headerItem()->text(0), LanguageText::plain(102));
        QCOMPARE(list->headerItem()->text(1), LanguageText::plain(103));
        QCOMPARE(list->columnWidth(0), PP_Search::kExtensionColumnWidth);
        QCOMPARE(rowsOf(list), (QStringList{"txt", "pdf", "zz9q"}));
        QVERIFY(!list->topLevelItem(0)->text(1).isEmpty());   // a known type has a name
        QVERIFY(list->topLevelItem(2)->text(1).isEmpty());    // an unknown one has none
        for (int i = 0; i < 3; ++i)
            QVERIFY(!list->topLevelItem(i)->icon(0).isNull());
        QVERIFY(!up->icon().isNull());
        QVERIFY(!down->icon().isNull());

        for (QPushButton* b : {edit, del, up, down})
            QVERIFY(!b->isEnabled());
        list->setCurrentItem(list->topLevelItem(0));
        QVERIFY(edit->isEnabled() && del->isEnabled() && down->isEnabled());
        QVERIFY(!up->isEnabled());  // not past the top

        down->click();
        QCOMPARE(rowsOf(list), (QStringList{"pdf", "txt", "zz9q"}));
        QCOMPARE(list->currentItem()->text(0), QStringLiteral("txt"));
        QVERIFY(list->currentItem()->isSelected());
        down->click();
        QCOMPARE(rowsOf(list), (QStringList{"pdf", "zz9q", "txt"}));
        QVERIFY(!down->isEnabled());  // not past the bottom
        up->click();
        QCOMPARE(rowsOf(list), (QStringList{"pdf", "txt", "zz9q"}));
        QCOMPARE(list->currentItem()->text(0), QStringLiteral("txt"));

        // Message 104: No keeps the row, Yes removes it.
        QString text;
        QVERIFY(answerQuestion(QStringLiteral("deleteTypeQuestion"), QMessageBox::No, [&] { del->click(); }, &text));
        QCOMPARE(text, LanguageText::plain(104));
        QCOMPARE(list->topLevelItemCount(), 3);
        QVERIFY(answerQuestion(QStringLiteral("deleteTypeQuestion"), QMessageBox::Yes, [&] { del->click(); }));
        QCOMPARE(rowsOf(list), (QStringList{"pdf", "zz9q"}));

        // A new row is appended with its icon and name and becomes the selected row.
        QVERIFY(typeExtension(QStringLiteral("html"), [&] { child<QPushButton>(page, "addType")->click(); }));
        QCOMPARE(list->currentItem(), list->topLevelItem(2));
        QVERIFY(!list->topLevelItem(2)->text(1).isEmpty());
        // The dialog cancelled adds nothing.
        QVERIFY(answerModal<QInputDialog>(QStringLiteral("extensionDialog"), [](QInputDialog* d) {
            d->setTextValue(QStringLiteral("iso"));
            d->reject();
        }, [&] { child<QPushButton>(page, "addType")->click(); }));
        QCOMPARE(list->topLevelItemCount(), 3);
        clickOk(sheet);
    }));
    QCOMPARE(m_settings->searchDisplay().patternExtensions, (QStringList{"pdf", "zz9q", "html"}));
}

void OptionSheetTest::historyRange_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expected");
    QTest::newRow("lowest") << 10 << QStringLiteral("1") << 1;
    QTest::newRow("highest") << 10 << QStringLiteral("255") << 255;
    QTest::newRow("zero is refused") << 10 << QStringLiteral("0") << 10;
    // The third digit of 256 does not fit: 25 stays.
    QTest::newRow("256 is refused") << 10 << QStringLiteral("256") << 25;
    QTest::newRow("stored too high") << 1000 << QString() << 255;
    QTest::newRow("stored zero") << 0 << QString() << 1;
    QTest::newRow("stored negative") << -3 << QString() << 1;
}

void OptionSheetTest::historyRange()
{
    QFETCH(int, stored);
    QFETCH(QString, typed);
    QFETCH(int, expected);
    m_settings->general().HistoryItemNum = stored;
    QVERIFY(runSheet([&](PP_OptionSheet& sheet) {
        auto* spin = child<QSpinBox>(sheet.general(), "historyItems");
        QCOMPARE(spin->value(), qBound(1, stored, 255));
        if (typed.isEmpty()) {
            child<QCheckBox>(sheet.general(), "numberOnly")->click();  // some other change
        } else {
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, typed);
        }
        clickOk(sheet);
    }));
    QCOMPARE(m_settings->general().HistoryItemNum, expected);
}

void OptionSheetTest::recordsShowInTheControls()
{
    for (int variant = 0; variant < 2; ++variant) {
        m_settings->general() = variant ? unusualGeneral() : GeneralOptions();
        m_settings->searchDisplay() = variant ? unusualSearch() : SearchDisplayOptions();
        const GeneralOptions general = m_settings->general();
        const SearchDisplayOptions search = m_settings->searchDisplay();
        PP_OptionSheet sheet(*m_settings);
        QCOMPARE(sheet.general()->shownOptions(), general);
        QCOMPARE(sheet.search()->shownOptions(), search);

        PP_General* g = sheet.general();
        QCOMPARE(child<QCheckBox>(g, "autoRun")->isChecked(), general.AutoRun != 0);
        QCOMPARE(child<QRadioButton>(g, "dateOnly")->isChecked(), general.dateFormat == 0);
        QCOMPARE(child<QRadioButton>(g, "dateSeconds")->isChecked(), general.dateFormat == 2);
        QCOMPARE(child<QRadioButton>(g, "sizeBytes")->isChecked(), general.sizeFormat == 0);
        QCOMPARE(child<QComboBox>(g, "sortColumn")->currentIndex(), general.SortOption);
        QCOMPARE(child<QComboBox>(g, "sortColumn")->isEnabled(), general.SortAfterSearch != 0);
        QCOMPARE(child<QSpinBox>(g, "historyItems")->value(), general.HistoryItemNum);
        QCOMPARE(child<HotKeyEdit>(g, "hotKey")->text(),
                 VirtualKeyTable::sequence(general.HKSHVirtual, general.HKSHModifier).toString(QKeySequence::NativeText));
        PP_Search* s = sheet.search();
        QCOMPARE(ColourSwatch::toColorRef(child<ColourSwatch>(s, "keyColour")->colour()), search.clrKeyString);
        QCOMPARE(ColourSwatch::toColorRef(child<ColourSwatch>(s, "regularColour")->colour()), search.clrRegularString);
        QCOMPARE(rowsOf(child<QTreeWidget>(s, "typeList")), search.patternExtensions);
        QCOMPARE(child<QCheckBox>(s, "disableOperators")->isChecked(), search.bDisableBooleanOpt != 0);

        // OK without a change leaves both records as they were.
        sheet.show();
        clickOk(sheet);
        QVERIFY(!sheet.changed(sheet.general()) && !sheet.changed(sheet.search()));
        QCOMPARE(m_settings->general(), general);
        QCOMPARE(m_settings->searchDisplay(), search);
    }
    // The default hot key shows as Alt+F1.
    PP_General page(*m_settings);
    m_settings->general() = GeneralOptions();
    page.loadFromSettings();
    QCOMPARE(child<HotKeyEdit>(&page, "hotKey")->text(), QKeySequence(Qt::ALT | Qt::Key_F1).toString(QKeySequence::NativeText));
}

// One row per control: the user's action on a default record, and the key it must change.
void OptionSheetTest::generalControlsReachTheirKeys_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("value");
    const auto row = [](const char* control, const char* key, int value) {
        QTest::newRow(control) << QString::fromLatin1(control) << QString::fromLatin1(key) << value;
    };
    row("autoRun", "AutoRun", 0);
    row("autoIndex", "AutoIndex", 0);
    row("dateOnly", "dateFormat", 0);
    row("dateMinutes", "dateFormat", 1);
    row("systemLocale", "UseWindowsLocale", 1);
    row("sizeBytes", "sizeFormat", 0);
    row("digitGrouping", "SeparatedUseComma", 0);
    row("numberOnly", "ShowNumberOnly", 1);
    row("closeExits", "ClickXToExit", 1);
    row("splashImage", "bShowSplashImage", 0);
    row("hotKey", "HKSHVirtual", 0x41);  // Shift+Alt+A
    row("historyItems", "HistoryItemNum", 11);
}

void OptionSheetTest::generalControlsReachTheirKeys()
{
    QFETCH(QString, control);
    QFETCH(QString, key);
    QFETCH(int, value);
    QVERIFY(runSheet([&](PP_OptionSheet& sheet) {
        QWidget* w = sheet.general()->findChild<QWidget*>(control);
        QVERIFY(w);
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            button->click();
        } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
            spin->setFocus();
            QTest::keyClick(spin, Qt::Key_Up);
        } else if (auto* hotKey = qobject_cast<HotKeyEdit*>(w)) {
            hotKey->setFocus();
            QTest::keyClick(hotKey, Qt::Key_A, Qt::ShiftModifier | Qt::AltModifier);
        }
        clickOk(sheet);
        QVERIFY(sheet.changed(sheet.general()));
    }));
    // Exactly the one key differs from the defaults (the hot key's modifiers with its code).
    const GeneralOptions defaults;
    const GeneralOptions& now = m_settings->general();
    int differing = 0;
#define CHECK_KEY_(type, member, stored, def)                                      \
    if (now.member != defaults.member) {                                           \
        ++differing;                                                               \
        if (QLatin1String(stored) != key && QLatin1String(stored) != QLatin1String("HKSHModifier")) \
            QFAIL(qPrintable(QStringLiteral("%1 changed %2").arg(control, QLatin1String(stored)))); \
        if (QLatin1String(stored) == key)                                          \
            QCOMPARE(int(now.member), value);                                      \
    }
    QUENDREL_GENERAL_KEYS(CHECK_KEY_)
#undef CHECK_KEY_
    QVERIFY(differing >= 1);
    if (control == QLatin1String("hotKey"))
        QCOMPARE(now.HKSHModifier, VirtualKeyTable::kHotKeyShift | VirtualKeyTable::kHotKeyAlt);
    QCOMPARE(m_controller->hotKeyReRegistrations(), 1);
}

void OptionSheetTest::searchControlsReachTheirKeys_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("value");
    const auto row = [](const char* control, const char* key, int value) {
        QTest::newRow(control) << QString::fromLatin1(control) << QString::fromLatin1(key) << value;
    };
    row("boldKeyStrings", "bBoldOfKeyString", 0);
    row("searchCompressed", "bSearchInCompressedFile", 0);
    row("disableOperators", "bDisableBooleanOpt", 1);
    row("autoNormalSearch", "bAutoNormalSearch", 0);
    row("keyColour", "clrKeyString", 0x00332211);      // RGB 0x11, 0x22, 0x33
    row("regularColour", "clrRegularString", 0x00332211);
}

void OptionSheetTest::searchControlsReachTheirKeys()
{
    QFETCH(QString, control);
    QFETCH(QString, key);
    QFETCH(int, value);
    QSignalSpy searchSpy(m_controller.get(), &OptionSheetController::searchApplied);
    QVERIFY(runSheet([&](PP_OptionSheet& sheet) {
        auto* w = sheet.search()->findChild<QAbstractButton*>(control);
        QVERIFY(w);
        if (auto* swatch = qobject_cast<ColourSwatch*>(w)) {
            const QColor before = swatch->colour();
            // Cancelling the colour dialog keeps the colour.
            QVERIFY(answerModal<QColorDialog>(QStringLiteral("colourDialog"), [](QColorDialog* d) {
                d->setCurrentColor(Qt::red);
                d->reject();
            }, [&] { swatch->click(); }));
            QCOMPARE(swatch->colour(), before);
            QVERIFY(!sheet.search()->isModified());
            QVERIFY(answerModal<QColorDialog>(QStringLiteral("colourDialog"), [](QColorDialog* d) {
                d->setCurrentColor(QColor(0x11, 0x22, 0x33));
                d->accept();
            }, [&] { swatch->click(); }));
            QCOMPARE(swatch->colour(), QColor(0x11, 0x22, 0x33));
        } else {
            w->click();
        }
        clickOk(sheet);
    }));
    QCOMPARE(searchSpy.count(), 1);
    QCOMPARE(m_controller->hotKeyReRegistrations(), 0);
    const SearchDisplayOptions defaults;
    const SearchDisplayOptions& now = m_settings->searchDisplay();
    QCOMPARE(now.patternExtensions, defaults.patternExtensions);
    int differing = 0;
#define CHECK_KEY_(type, member, stored, def)                                      \
    if (now.member != defaults.member) {                                           \
        ++differing;                                                               \
        QCOMPARE(QString::fromLatin1(stored), key);                                \
        QCOMPARE(int(now.member), value);                                          \
    }
    QUENDREL_SEARCH_DISPLAY_KEYS(CHECK_KEY_)
#undef CHECK_KEY_
    QCOMPARE(differing, 1);
}

void OptionSheetTest::hotKeyControlKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("vk");
    QTest::addColumn<int>("flags");
    using V = VirtualKeyTable;
    QTest::newRow("Ctrl+F5") << int(Qt::Key_F5) << int(Qt::ControlModifier) << 0x74 << V::kHotKeyCtrl;
    QTest::newRow("F12 alone") << int(Qt::Key_F12) << 0 << 0x7B << 0;
    // Alt+S is a mnemonic of the page, but the control takes it.
    QTest::newRow("Alt+S") << int(Qt::Key_S) << int(Qt::AltModifier) << 0x53 << V::kHotKeyAlt;
    QTest::newRow("Ctrl+Shift+Home is extended") << int(Qt::Key_Home) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                                << 0x24 << (V::kHotKeyCtrl | V::kHotKeyShift | V::kHotKeyExtended);
    QTest::newRow("Meta is not a hot-key modifier") << int(Qt::Key_F2) << int(Qt::MetaModifier | Qt::AltModifier)
                                                    << 0x71 << V::kHotKeyAlt;
    QTest::newRow("keypad 5") << int(Qt::Key_5) << int(Qt::KeypadModifier | Qt::ControlModifier) << 0x65
                              << V::kHotKeyCtrl;
    QTest::newRow("Backspace clears") << int(Qt::Key_Backspace) << 0 << 0 << 0;
    QTest::newRow("Ctrl+Backspace is a key") << int(Qt::Key_Backspace) << int(Qt::ControlModifier) << 0x08
                                             << V::kHotKeyCtrl;
    // Keys the grab cannot take leave the stored Alt+F1.
    QTest::newRow("unknown key") << int(Qt::Key_VolumeUp) << int(Qt::ControlModifier) << 0x70 << V::kHotKeyAlt;
    QTest::newRow("a modifier alone") << int(Qt::Key_Control) << int(Qt::ControlModifier) << 0x70 << V::kHotKeyAlt;
}

void OptionSheetTest::hotKeyControlKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, vk);
    QFETCH(int, flags);
    PP_OptionSheet sheet(*m_settings);
    sheet.show();
    sheet.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&sheet));
    auto* autoRun = child<QCheckBox>(sheet.general(), "autoRun");
    const bool autoRunBefore = autoRun->isChecked();
    auto* hotKey = child<HotKeyEdit>(sheet.general(), "hotKey");
    hotKey->setFocus();
    QSignalSpy changed(hotKey, &HotKeyEdit::hotKeyChanged);
    QTest::keyClick(hotKey, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(hotKey->virtualKey(), vk);
    QCOMPARE(hotKey->hotKeyFlags(), flags);
    QCOMPARE(hotKey->text(), HotKeyEdit::displayText(vk, flags));
    QCOMPARE(changed.count(), vk == 0x70 && flags == VirtualKeyTable::kHotKeyAlt ? 0 : 1);
    QCOMPARE(autoRun->isChecked(), autoRunBefore);
    QCOMPARE(sheet.general()->isModified(), changed.count() == 1);

    // Tab still leaves the control, and leaves its value.
    QTest::keyClick(hotKey, Qt::Key_Tab);
    QCOMPARE(hotKey->virtualKey(), vk);
}

namespace {
// A page whose validation can be refused, counting the sheet's calls: the contract the
// index pages rely on.
class CountingPage : public OptionPage {
public:
    using OptionPage::OptionPage;
    QString pageTitle() const override { return QStringLiteral("extra"); }
    void loadFromSettings() override { ++loads; }
    bool validate() override { return accepting; }
    bool applyToSettings() override
    {
        ++applies;
        return true;
    }
    bool accepting = false;
    int loads = 0;
    int applies = 0;
};
}  // namespace

void OptionSheetTest::refusedPageKeepsTheSheetOpen()
{
    CountingPage* page = nullptr;
    m_controller->setExtraPages([&](PP_OptionSheet& sheet) {
        page = new CountingPage;
        sheet.addPage(page);
    });
    QSignalSpy confirmed(m_controller.get(), &OptionSheetController::sheetConfirmed);
    QVERIFY(runSheet([&](PP_OptionSheet& sheet) {
        QCOMPARE(sheet.tabs()->count(), 3);
        QCOMPARE(sheet.tabs()->widget(2), page);
        QCOMPARE(page->loads, 1);
        child<QCheckBox>(sheet.general(), "closeExits")->click();
        sheet.tabs()->setCurrentIndex(0);
        clickOk(sheet);
        // Refused: still open on the extra page, no record written.
        QVERIFY(sheet.isVisible());
        QCOMPARE(sheet.tabs()->currentWidget(), page);
        QCOMPARE(page->applies, 0);
        QCOMPARE(m_settings->general().ClickXToExit, 0);
        page->accepting = true;
        clickOk(sheet);
        QVERIFY(!sheet.isVisible());
        QCOMPARE(page->applies, 1);
        QVERIFY(sheet.changed(page));
    }));
    QCOMPARE(m_settings->general().ClickXToExit, 1);
    QCOMPARE(confirmed.count(), 1);
}

void OptionSheetTest::windowAppliesAConfirmedSheet()
{
    CMainFrame::Options options;
    options.tray = TrayIcon::Availability::ForceAvailable;
    CMainFrame frame(*m_settings, options);
    frame.setHotKey(m_hotKey.get());
    QAction* command = frame.commands().action(CommandIds::Options);
    QVERIFY(command->isEnabled());
    QCOMPARE(command->shortcut(), QKeySequence(Qt::Key_F12));
    const int typesBefore = int(frame.toolBar()->typeMenu()->actions().size());

    // F12's command: the sheet shows modally; change a format, the colours, bold and types.
    // The real hot key fails offscreen: after OK the window says so once.
    bool sheetSeen = false;
    QVERIFY(answerModal<QMessageBox>(QStringLiteral("hotKeyWarning"), [](QMessageBox* box) { box->accept(); }, [&] {
    sheetSeen = answerModal<PP_OptionSheet>(QStringLiteral("optionSheet"), [&](PP_OptionSheet* sheet) {
        QVERIFY(!command->isEnabled());  // no second sheet over this one
        // The window's sheet has the index pages after General and Search.
        QStringList titles;
        for (int t = 0; t < sheet->tabs()->count(); ++t)
            titles << sheet->tabs()->tabText(t);
        QCOMPARE(titles, (QStringList{LanguageText::plain(31), LanguageText::plain(101), LanguageText::plain(32),
                                      LanguageText::plain(33), LanguageText::plain(162)}));
        child<QRadioButton>(sheet->general(), "sizeBytes")->click();
        child<QCheckBox>(sheet->search(), "boldKeyStrings")->click();
        QVERIFY(answerModal<QColorDialog>(QStringLiteral("colourDialog"), [](QColorDialog* d) {
            d->setCurrentColor(QColor(1, 2, 3));
            d->accept();
        }, [&] { child<ColourSwatch>(sheet->search(), "regularColour")->click(); }));
        auto* list = child<QTreeWidget>(sheet->search(), "typeList");
        list->setCurrentItem(list->topLevelItem(0));
        QVERIFY(answerQuestion(QStringLiteral("deleteTypeQuestion"), QMessageBox::Yes,
                               [&] { child<QPushButton>(sheet->search(), "deleteType")->click(); }));
        clickOk(*sheet);
    }, [&] { command->trigger(); });
    }));
    QVERIFY(sheetSeen);

    QVERIFY(command->isEnabled());
    const ResultDisplayOptions shown = frame.resultModel()->displayOptions();
    QCOMPARE(shown.sizeFormat, 0);
    QCOMPARE(shown.boldKeyString, false);
    QCOMPARE(shown.regularColour, QColor(1, 2, 3));
    QCOMPARE(frame.toolBar()->typeMenu()->actions().size(), typesBefore - 1);
    QCOMPARE(frame.optionSheet()->hotKeyReRegistrations(), 1);

    // The tray menu's entry opens the same sheet; Cancel there changes nothing.
    const GeneralOptions general = m_settings->general();
    QAction* trayEntry = nullptr;
    for (QAction* a : frame.tray()->menu()->actions())
        if (a->text() == LanguageText::get(59))
            trayEntry = a;
    QVERIFY(trayEntry);
    QVERIFY(trayEntry->isEnabled());
    QVERIFY(answerModal<PP_OptionSheet>(QStringLiteral("optionSheet"), [](PP_OptionSheet* sheet) {
        child<QRadioButton>(sheet->general(), "dateOnly")->click();
        sheet->reject();
    }, [&] { trayEntry->trigger(); }));
    QCOMPARE(m_settings->general(), general);
    QCOMPARE(frame.optionSheet()->hotKeyReRegistrations(), 1);
    frame.setHotKey(nullptr);
}

void OptionSheetTest::screenshotWhenAsked()
{
    const QString folder = qEnvironmentVariable("QUENDREL_SHEET_SHOTS");
    if (folder.isEmpty())
        QSKIP("set QUENDREL_SHEET_SHOTS to a folder to get pictures of the sheet");
    PP_OptionSheet sheet(*m_settings);
    sheet.addPage(new PP_FileIndex(*m_settings, nullptr, &sheet));
    sheet.addPage(new PP_IndexTime(*m_settings, nullptr, &sheet));
    sheet.addPage(new PP_ExcludeList(*m_settings, &sheet));
    sheet.show();
    for (int i = 0; i < sheet.tabs()->count(); ++i) {
        sheet.tabs()->setCurrentIndex(i);
        QVERIFY(sheet.grab().save(QStringLiteral("%1/sheet-%2.png").arg(folder).arg(i)));
    }
}

QTEST_MAIN(OptionSheetTest)
#include "OptionSheetTest.moc"
