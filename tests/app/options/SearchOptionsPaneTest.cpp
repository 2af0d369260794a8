// The five option panels with real widgets: filling a search rule, their stored state and
// the search-options file commands.
#include <QtTest>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "records/ContainTextItem.h"
#include "options/ContainTextPanel.h"
#include "options/DatePanel.h"
#include "options/DialogsDataCodec.h"
#include "options/DuplicatePanel.h"
#include "options/FileMaskGroupDialog.h"
#include "options/FileMaskManagerDialog.h"
#include "options/FileMasksGroupCodec.h"
#include "options/HistoryCombo.h"
#include "options/NameLocationPanel.h"
#include "options/SearchOptionsFile.h"
#include "options/SearchOptionsPane.h"
#include "options/SizePanel.h"
#include "panels/AW_Desk.h"
#include "panels/AW_Item.h"
#include "records/Search_Rule.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/File_HoldWnd.h"
#include "shell/LanguageText.h"

namespace {
// Answers the option message boxes that appear while it lives, keeping their texts.
class MessageCatcher : public QObject {
public:
    MessageCatcher()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->objectName() == QLatin1String("optionMessage")) {
                texts.append(box->text());
                box->accept();
            }
        });
        m_timer.start();
    }
    QStringList texts;

private:
    QTimer m_timer;
};

QString message(unsigned id, const QString& argument = QString())
{
    return LanguageText::get(id).replace(QStringLiteral("%s"), argument);
}

SearchOptionsValues unusualValues(const QStringList& folders)
{
    SearchOptionsValues v;
    v.general = {QStringLiteral("*.txt,notes"), QStringLiteral("/tmp"), folders, 1, 0, 1, 0, 0};
    v.containText = {1, 1, 1, QStringLiteral("needle"), 0, 2, QStringLiteral("+hay ^straw")};
    v.date.iDateType = 2;
    v.date.iModifyType = 1;
    v.date.dwPreviousDate = 12;
    v.date.from = QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5));
    v.date.to = QDateTime(QDate(2021, 6, 7), QTime(8, 9, 10));
    v.date.iType = 2;
    v.size = {2, 0, 3.25f, 700.5f, 1, 1};
    v.duplicate = {1, 3, QStringLiteral("/home"), QStringLiteral("*.iso")};
    return v;
}
}  // namespace

class SearchOptionsPaneTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fillRuleMessages_data();
    void fillRuleMessages();
    void missingTypedPathIsDroppedAndNamed();
    void nestedFoldersSearchOnlyTheOuterOne();
    void searchInCurrentResultsNeedsNoFolder();
    void dateRanges();
    void sizeAndDuplicatesReachTheRule();
    void hexadecimalDisablesTextOptions();
    void folderListButtons();
    void searchOptionsFileRestoresEveryControl();
    void dialogsDataSurvivesThePane();
    void brokenDialogsDataKeepsWhatWasRead();
    void maskMenuAndManager();
    void historyIsLimited();
    void presetsAndSearchFolders();
    void panelsFitTheirPages();

private:
    void makePane();
    QString dirPath(const QString& name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<File_HoldWnd> m_side;
    std::unique_ptr<SearchOptionsPane> m_pane;
};

void SearchOptionsPaneTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void SearchOptionsPaneTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char* sub : {"a/b/c", "d", "e"})
        QVERIFY(QDir(m_dir->path()).mkpath(QLatin1String(sub)));
    m_settings = std::make_unique<AppSettings>(m_dir->filePath(QStringLiteral("Quendrel.ini")),
                                               AppSettings::loadedColumnCaptions());
    makePane();
}

void SearchOptionsPaneTest::makePane()
{
    m_pane.reset();
    m_side.reset();
    m_side = std::make_unique<File_HoldWnd>();
    m_side->resize(CMainFrame::kOptionSideWidth, 900);
    m_pane = std::make_unique<SearchOptionsPane>(m_side.get(), *m_settings);
}

void SearchOptionsPaneTest::cleanup()
{
    m_pane.reset();
    m_side.reset();
    m_settings.reset();
    m_dir.reset();
}

QString SearchOptionsPaneTest::dirPath(const QString& name) const
{
    return m_dir->path() + QLatin1Char('/') + name;
}

void SearchOptionsPaneTest::fillRuleMessages_data()
{
    QTest::addColumn<int>("searchIn");
    QTest::addColumn<QString>("path");      // "@" stands for the temporary folder
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<int>("messageId");     // 0: none, the rule is filled
    QTest::addColumn<int>("terms");

    const QStringList none;
    QTest::newRow("typed path only, missing") << 0 << "/no/such/folder" << none << "" << false << "" << 63 << 0;
    QTest::newRow("typed path empty") << 0 << "" << none << "" << false << "" << 74 << 0;
    QTest::newRow("folder list empty") << 1 << "@" << none << "" << false << "" << 74 << 0;
    QTest::newRow("both, nothing") << 2 << "" << none << "" << false << "" << 74 << 0;
    QTest::newRow("both, missing path") << 2 << "/no/such" << none << "" << false << "" << 63 << 0;
    QTest::newRow("both, list only") << 2 << "/no/such" << QStringList{"@"} << "" << false << "" << 0 << 0;
    QTest::newRow("hex odd digits") << 0 << "@" << none << "41 4" << true << "" << 90 << 0;
    QTest::newRow("hex bad digit") << 0 << "@" << none << "4G" << true << "" << 91 << 0;
    QTest::newRow("hex fine") << 0 << "@" << none << "41 42" << true << "" << 0 << 1;
    QTest::newRow("blank text") << 0 << "@" << none << "   " << false << "" << 0 << 0;
    QTest::newRow("text and expression") << 0 << "@" << none << "abc" << false << "def -ghi" << 0 << 3;
    QTest::newRow("expression with bad hex") << 0 << "@" << none << "abc" << false << "+#zz" << 91 << 0;
    QTest::newRow("path fails before text") << 0 << "/no/such" << none << "4G" << true << "" << 63 << 0;
}

void SearchOptionsPaneTest::fillRuleMessages()
{
    QFETCH(int, searchIn);
    QFETCH(QString, path);
    QFETCH(QStringList, folders);
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(QString, expression);
    QFETCH(int, messageId);
    QFETCH(int, terms);
    path.replace(QLatin1Char('@'), m_dir->path());
    folders.replaceInStrings(QStringLiteral("@"), m_dir->path());

    SearchOptionsValues v = m_pane->values();
    v.general.iSearchIn = searchIn;
    v.general.path = path;
    v.general.folders = folders;
    v.containText.mainText = text;
    v.containText.iMainHex = hex ? 1 : 0;
    v.containText.userInput = expression;
    m_pane->load(v);
    m_side->show();
    QVERIFY(QTest::qWaitForWindowActive(m_side.get()));

    MessageCatcher catcher;
    Search_Rule rule;
    const bool filled = m_pane->fillRule(rule);
    QCOMPARE(filled, messageId == 0);
    if (messageId == 0) {
        QVERIFY(catcher.texts.isEmpty());
        QCOMPARE(int(rule.containText.size()), terms);
        QVERIFY(!rule.folders.empty());
        return;
    }
    QCOMPARE(catcher.texts, QStringList{message(unsigned(messageId), path)});
    if (messageId == 63 || (messageId == 74 && searchIn != 1))
        QCOMPARE(m_side->focusWidget(), m_pane->general()->pathCombo());
}

void SearchOptionsPaneTest::missingTypedPathIsDroppedAndNamed()
{
    // A missing entry beside an existing one is dropped without a word.
    SearchOptionsValues v = m_pane->values();
    v.general.iSearchIn = 0;
    v.general.path = QStringLiteral("/no/such\"") + dirPath(QStringLiteral("d")) + QStringLiteral("\" ") + dirPath(QStringLiteral("e")) + QStringLiteral(" ");
    m_pane->load(v);
    MessageCatcher catcher;
    Search_Rule rule;
    QVERIFY(m_pane->fillRule(rule));
    QVERIFY(catcher.texts.isEmpty());
    const std::vector<std::string> expected{dirPath(QStringLiteral("d/")).toStdString(), dirPath(QStringLiteral("e/")).toStdString()};
    QCOMPARE(rule.folders, expected);
    QCOMPARE(rule.iSearchIn, 0);
}

void SearchOptionsPaneTest::nestedFoldersSearchOnlyTheOuterOne()
{
    SearchOptionsValues v = m_pane->values();
    v.general.iSearchIn = 2;
    v.general.path = dirPath(QStringLiteral("a/b/c"));
    v.general.folders = {dirPath(QStringLiteral("a/b")), dirPath(QStringLiteral("d")), dirPath(QStringLiteral("a")),
                         dirPath(QStringLiteral("d/"))};
    m_pane->load(v);
    Search_Rule rule;
    QVERIFY(m_pane->fillRule(rule));
    const std::vector<std::string> expected{dirPath(QStringLiteral("a/")).toStdString(), dirPath(QStringLiteral("d/")).toStdString()};
    std::vector<std::string> got = rule.folders;
    std::sort(got.begin(), got.end());
    QCOMPARE(got, expected);
}

void SearchOptionsPaneTest::searchInCurrentResultsNeedsNoFolder()
{
    for (const QString& name : {QString(), QStringLiteral("*.txt"), QStringLiteral("\\docs")}) {
        SearchOptionsValues v = m_pane->values();
        v.general.iSearchIn = 3;
        v.general.name = name;
        v.general.path = dirPath(QStringLiteral("a"));
        v.general.folders = {dirPath(QStringLiteral("d"))};
        m_pane->load(v);
        MessageCatcher catcher;
        Search_Rule rule;
        QVERIFY(m_pane->fillRule(rule));
        QVERIFY(catcher.texts.isEmpty());
        QCOMPARE(rule.iSearchIn, 3);
        QVERIFY(rule.folders.empty());
        QVERIFY(!rule.names.empty());
        QCOMPARE(rule.bMatchPath, name.startsWith(QLatin1Char('\\')));
    }
}

void SearchOptionsPaneTest::dateRanges()
{
    DatePanel* date = m_pane->date();
    // Specified dates from one day to the same day cover that whole day.
    DateValue v;
    v.iType = 2;
    v.iModifyType = 2;
    v.from = QDateTime(QDate(2024, 3, 10), QTime(15, 30, 0));
    v.to = QDateTime(QDate(2024, 3, 10), QTime(9, 0, 0));
    date->load(v);
    Search_Rule rule;
    rule.date.bAny = true;
    rule.date.bWithin = true;
    QVERIFY(date->fillRule(rule));
    QVERIFY(rule.date.bSpecify && !rule.date.bAny && !rule.date.bWithin);
    QCOMPARE(qint64(rule.date.specifyDate.tFrom), QDateTime(QDate(2024, 3, 10), QTime(0, 0, 0)).toSecsSinceEpoch());
    QCOMPARE(qint64(rule.date.specifyDate.tTo), QDateTime(QDate(2024, 3, 10), QTime(23, 59, 59)).toSecsSinceEpoch());
    QCOMPARE(rule.date.specifyDate.wTimeKind, uint16_t(2));
    QVERIFY(date->fromEdit()->isEnabled() && !date->countSpin()->isEnabled());

    // Within a period: count and unit; the other flags cleared.
    v.iType = 1;
    v.dwPreviousDate = 40000;  // beyond the spin: the default count
    v.iDateType = 3;
    date->load(v);
    QCOMPARE(date->countSpin()->value(), 32767);
    date->countSpin()->setValue(5);
    QVERIFY(date->fillRule(rule));
    QVERIFY(rule.date.bWithin && !rule.date.bAny && !rule.date.bSpecify);
    QCOMPARE(rule.date.nPrevious, 5);
    QCOMPARE(rule.date.nUnit, 3);
    QVERIFY(!date->fromEdit()->isEnabled() && date->countSpin()->isEnabled());

    date->radio(0)->setChecked(true);
    QVERIFY(date->fillRule(rule));
    QVERIFY(rule.date.bAny && !rule.date.bWithin && !rule.date.bSpecify);
}

void SearchOptionsPaneTest::sizeAndDuplicatesReachTheRule()
{
    SearchOptionsValues v = m_pane->values();
    v.general.path = m_dir->path();
    v.size = {2, 0, 1.5f, 512.0f, 1, 0};
    v.duplicate = {1, 4, QString(), QStringLiteral("txt")};
    m_pane->load(v);
    Search_Rule rule;
    rule.bSmallerOn = true;
    QVERIFY(m_pane->fillRule(rule));
    QVERIFY(rule.bLargerOn);
    QCOMPARE(rule.fLargerSize, 1.5f);
    QCOMPARE(rule.wLargerUnit, uint16_t(2));
    QVERIFY(!rule.bSmallerOn);
    QCOMPARE(rule.duplicate.bEnable, 1);
    QCOMPARE(rule.duplicate.iLevel, 4);
    // The mask is completed as the engine completes a single mask.
    QCOMPARE(m_pane->duplicate()->completedMask(), QStringLiteral("*txt*.*"));

    QSignalSpy byMask(m_pane->duplicate(), &DuplicatePanel::selectByMaskRequested);
    m_pane->duplicate()->findChild<QPushButton*>(QStringLiteral("selectByMaskButton"))->click();
    QCOMPARE(byMask.count(), 1);
    QCOMPARE(byMask.at(0).at(0).toString(), QStringLiteral("*txt*.*"));
}

void SearchOptionsPaneTest::hexadecimalDisablesTextOptions()
{
    ContainTextPanel* panel = m_pane->containText();
    QVERIFY(panel->caseCheck()->isEnabled());
    panel->hexRadio()->setChecked(true);
    QVERIFY(!panel->caseCheck()->isEnabled());
    QVERIFY(!panel->wholeWordCheck()->isEnabled());
    QVERIFY(!panel->encodingCombo()->isEnabled());
    panel->findChild<QRadioButton*>(QStringLiteral("textStringRadio"))->setChecked(true);
    QVERIFY(panel->caseCheck()->isEnabled() && panel->wholeWordCheck()->isEnabled() && panel->encodingCombo()->isEnabled());
    ContainTextValue v;
    v.iMainHex = 1;
    panel->load(v);
    QVERIFY(!panel->encodingCombo()->isEnabled());
}

void SearchOptionsPaneTest::folderListButtons()
{
    NameLocationPanel* general = m_pane->general();
    QVERIFY(!general->deleteButton()->isEnabled() && !general->clearButton()->isEnabled());
    general->addFolder(dirPath(QStringLiteral("d")));
    general->addFolder(dirPath(QStringLiteral("d/")));  // the same folder
    general->addFolder(dirPath(QStringLiteral("e")));
    QCOMPARE(general->folderList()->count(), 2);
    QCOMPARE(general->folderList()->item(0)->text(), dirPath(QStringLiteral("d/")));
    QVERIFY(general->deleteButton()->isEnabled() && general->clearButton()->isEnabled());
    general->folderList()->setCurrentRow(0);
    general->deleteButton()->click();
    QCOMPARE(general->folderList()->count(), 1);
    QCOMPARE(general->folderList()->item(0)->text(), dirPath(QStringLiteral("e/")));
    general->clearButton()->click();
    QCOMPARE(general->folderList()->count(), 0);
    QVERIFY(!general->deleteButton()->isEnabled() && !general->clearButton()->isEnabled());

    // The search-in entries: the labels without colons and mnemonics, joined, then string 73.
    QComboBox* in = general->searchInCombo();
    QCOMPARE(in->count(), 4);
    QVERIFY(!in->itemText(0).contains(QLatin1Char('&')) && !in->itemText(0).endsWith(QLatin1Char(':')));
    QCOMPARE(in->itemText(2), in->itemText(0) + QLatin1Char('+') + in->itemText(1));
    QCOMPARE(in->itemText(3), LanguageText::plain(73));
    // The path combo ends with "all local drives", selected.
    QComboBox* path = general->pathCombo();
    QCOMPARE(path->itemText(path->count() - 1), LanguageText::plain(1));
    QCOMPARE(path->currentIndex(), path->count() - 1);
}

void SearchOptionsPaneTest::searchOptionsFileRestoresEveryControl()
{
    const QStringList folders{dirPath(QStringLiteral("d/")), dirPath(QStringLiteral("a/b/"))};
    const SearchOptionsValues written = unusualValues(folders);
    m_pane->load(written);
    const QString path = dirPath(QStringLiteral("saved"));
    // The save command with its real file dialog, answered with a name without extension.
    auto answer = [&](QDialog& d) {
        auto& dialog = static_cast<QFileDialog&>(d);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setDirectory(m_dir->path());
        dialog.selectFile(path);
        return int(QDialog::Accepted);
    };
    QVERIFY(m_pane->saveOptionsInteractively(m_side.get(), answer));
    QVERIFY(QFile::exists(path + QStringLiteral(".qdp")));

    m_pane->reset();
    QVERIFY(m_pane->values() != written);
    QCOMPARE(m_pane->general()->folderList()->count(), 0);
    auto open = [&](QDialog& d) {
        auto& dialog = static_cast<QFileDialog&>(d);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setDirectory(m_dir->path());
        dialog.selectFile(path + QStringLiteral(".qdp"));
        return int(QDialog::Accepted);
    };
    QVERIFY(m_pane->openOptionsInteractively(m_side.get(), open));
    QCOMPARE(m_pane->values(), written);
    // The controls themselves.
    QListWidget* list = m_pane->general()->folderList();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(1)->text(), folders[1]);
    QVERIFY(m_pane->general()->deleteButton()->isEnabled());
    QCOMPARE(m_pane->general()->searchInCombo()->currentIndex(), 1);
    QCOMPARE(m_pane->containText()->encodingCombo()->currentIndex(), 2);
    QCOMPARE(m_pane->containText()->expressionEdit()->text(), QStringLiteral("+hay ^straw"));
    QCOMPARE(m_pane->date()->toEdit()->date(), QDate(2021, 6, 7));
    QVERIFY(m_pane->date()->radio(2)->isChecked());
    QCOMPARE(m_pane->size()->largerValue()->value(), 3.25);
    QCOMPARE(m_pane->size()->smallerUnit()->currentIndex(), 0);
    QCOMPARE(m_pane->duplicate()->levelCombo()->currentIndex(), 3);

    // A file that cannot be read: a message, the panels unchanged.
    m_pane->reset();
    const SearchOptionsValues before = m_pane->values();
    auto missing = [&](QDialog& d) {
        auto& dialog = static_cast<QFileDialog&>(d);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.selectFile(dirPath(QStringLiteral("gone.qdp")));
        return int(QDialog::Accepted);
    };
    MessageCatcher catcher;
    QVERIFY(!m_pane->openOptionsInteractively(m_side.get(), missing));
    QCOMPARE(catcher.texts.size(), 1);
    QVERIFY2(catcher.texts[0].contains(dirPath(QStringLiteral("gone.qdp"))), qPrintable(catcher.texts[0]));
    QCOMPARE(m_pane->values(), before);
}

void SearchOptionsPaneTest::dialogsDataSurvivesThePane()
{
    const SearchOptionsValues written = unusualValues({dirPath(QStringLiteral("e/"))});
    m_pane->load(written);
    m_pane.reset();  // the pane writes its state as it goes
    QVERIFY(!m_settings->panels().DialogsData.isEmpty());
    QVERIFY(m_settings->save());

    m_settings = std::make_unique<AppSettings>(m_dir->filePath(QStringLiteral("Quendrel.ini")),
                                               AppSettings::loadedColumnCaptions());
    m_settings->load();
    makePane();
    QCOMPARE(m_pane->values(), written);
}

void SearchOptionsPaneTest::brokenDialogsDataKeepsWhatWasRead()
{
    const SearchOptionsValues written = unusualValues({dirPath(QStringLiteral("e/"))});
    const QByteArray whole = DialogsDataCodec::encode(written);
    // Cut inside the size record: name and location and date are taken, the rest reset.
    SearchOptionsValues probe;
    const QByteArray firstTwo = [&] {
        for (qsizetype n = 1; n <= whole.size(); ++n)
            if (DialogsDataCodec::decode(whole.left(n), probe) == 2)
                return whole.left(n);
        return QByteArray();
    }();
    QVERIFY(!firstTwo.isEmpty());
    m_pane.reset();
    m_settings->panels().DialogsData = whole.left(firstTwo.size() + 5);
    makePane();
    const SearchOptionsValues got = m_pane->values();
    QCOMPARE(got.general, written.general);
    QCOMPARE(got.date, written.date);
    QCOMPARE(got.size, SizeValue());
    QCOMPARE(got.containText, ContainTextValue());
    QCOMPARE(got.duplicate, DuplicateValue());
}

void SearchOptionsPaneTest::maskMenuAndManager()
{
    NameLocationPanel* general = m_pane->general();
    QCOMPARE(general->maskGroups(), FileMasksGroupCodec::defaultGroups());
    QMenu* menu = general->buildMaskMenu();
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 6);
    QVERIFY(actions[4]->isSeparator());
    QCOMPARE(actions[5]->text(), LanguageText::get(190));
    QSignalSpy chosen(m_pane.get(), &SearchOptionsPane::maskGroupChosen);
    actions[1]->trigger();
    QCOMPARE(general->nameCombo()->currentText(), QStringLiteral("*.mp3,*.ogg,*.wma,*.wav"));
    QCOMPARE(chosen.count(), 1);
    delete menu;

    FileMaskManagerDialog manager(general->maskGroups());
    QCOMPARE(manager.list()->count(), 4);
    manager.list()->setCurrentRow(0);
    manager.deleteCurrent();
    QCOMPARE(manager.groups().first().masks.first(), QStringLiteral("*.mp3"));
    manager.addGroup({QStringLiteral("Code"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}});
    QCOMPARE(manager.list()->currentRow(), 3);
    manager.replaceCurrent({QStringLiteral("Sources"), {QStringLiteral("*.cc")}});
    QCOMPARE(manager.groups().last().name, QStringLiteral("Sources"));
    QCOMPARE(manager.groups().size(), 4);
    manager.deleteAll();
    QVERIFY(manager.groups().isEmpty());
    QVERIFY(!manager.editButton()->isEnabled() && !manager.deleteButton()->isEnabled()
            && !manager.deleteAllButton()->isEnabled());

    // One group's editor: a name is required; the masks are split at the commas.
    FileMaskGroupDialog editor({QString(), {}});
    QVERIFY(!editor.okButton()->isEnabled());
    editor.nameEdit()->setText(QStringLiteral("  Logs "));
    QVERIFY(editor.okButton()->isEnabled());
    editor.masksEdit()->setText(QStringLiteral(" *.log , ,*.out,"));
    QCOMPARE(editor.group(), (FileMaskGroup{QStringLiteral("Logs"), {QStringLiteral("*.log"), QStringLiteral("*.out")}}));
    editor.nameEdit()->setText(QStringLiteral("   "));
    QVERIFY(!editor.okButton()->isEnabled());

    // Groups set by the manager are stored with the pane's state.
    const QList<FileMaskGroup> mine{{QStringLiteral("Mine"), {QStringLiteral("*.x")}}};
    general->setMaskGroups(mine);
    m_pane->saveState();
    QList<FileMaskGroup> stored;
    QVERIFY(FileMasksGroupCodec::decode(m_settings->panels().FileMasksGroup, stored));
    QCOMPARE(stored, mine);
}

void SearchOptionsPaneTest::historyIsLimited()
{
    m_pane.reset();
    m_settings->general().HistoryItemNum = 3;
    makePane();
    NameLocationPanel* general = m_pane->general();
    for (const char* name : {"one", "two", "three", "two", "four"}) {
        SearchOptionsValues v = m_pane->values();
        v.general.name = QLatin1String(name);
        v.general.path = m_dir->path();
        m_pane->load(v);
        Search_Rule rule;
        QVERIFY(m_pane->fillRule(rule));
    }
    QCOMPARE(general->nameCombo()->history(), QStringList({"four", "two", "three"}));
    QCOMPARE(general->nameCombo()->currentText(), QStringLiteral("four"));
}

void SearchOptionsPaneTest::presetsAndSearchFolders()
{
    m_pane->load(unusualValues({dirPath(QStringLiteral("d/"))}));
    m_pane->preparePreset(SearchOptionsPane::presetPattern(CommandIds::SearchMusic));
    SearchOptionsValues expected;
    expected.general = NameLocationValue::resetValue(m_settings->searchDisplay().bSearchInCompressedFile != 0);
    expected.general.iSearchIn = 0;
    expected.general.name = QStringLiteral("*.mp3,*.wav,*.mid,*.midi,*.wma");
    SearchOptionsValues got = m_pane->values();
    expected.date.from = got.date.from;  // reset to "now"
    expected.date.to = got.date.to;
    QCOMPARE(got, expected);
    QCOMPARE(SearchOptionsPane::typePattern(QStringLiteral("doc")), QStringLiteral("*.doc"));
    QVERIFY(SearchOptionsPane::presetPattern(CommandIds::About).isEmpty());

    m_pane->general()->searchInCombo()->setCurrentIndex(1);
    m_pane->setSearchFolders({dirPath(QStringLiteral("d")), dirPath(QStringLiteral("e"))});
    Search_Rule rule;
    QVERIFY(m_pane->fillRule(rule));
    QCOMPARE(rule.iSearchIn, 0);
    QCOMPARE(rule.folders.size(), size_t(2));
}

void SearchOptionsPaneTest::panelsFitTheirPages()
{
    QWidget* panels[] = {m_pane->general(), m_pane->containText(), m_pane->date(), m_pane->size(), m_pane->duplicate()};
    m_side->openAllPanels();
    m_side->show();
    // The page width of the option side at its default width.
    const int pageWidth = m_side->desk()->item(0)->width() - AW_Item::PageMargin;
    QVERIFY(pageWidth > 200);
    for (int i = 0; i < File_HoldWnd::kPanelCount; ++i) {
        QVERIFY2(panels[i]->sizeHint().height() <= File_HoldWnd::pageHeight(i),
                 qPrintable(QStringLiteral("panel %1 needs %2").arg(i).arg(panels[i]->sizeHint().height())));
        QVERIFY2(panels[i]->minimumSizeHint().width() <= pageWidth,
                 qPrintable(QStringLiteral("panel %1 needs %2 wide").arg(i).arg(panels[i]->minimumSizeHint().width())));
        QCOMPARE(m_side->desk()->item(i)->getAttachedDialog(), panels[i]);
        QCOMPARE(panels[i]->height(), File_HoldWnd::pageHeight(i));
        // Every focusable control can be named by a screen reader.
        for (QWidget* w : panels[i]->findChildren<QWidget*>())
            if (w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(panels[i]))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName() + QLatin1Char(' ') + w->metaObject()->className()));
    }
    const QByteArray shot = qgetenv("QUENDREL_PANEL_SHOT");
    if (!shot.isEmpty()) {
        m_side->resize(300, 1200);
        QVERIFY(m_side->grab().save(QString::fromLocal8Bit(shot)));
    }
}

QTEST_MAIN(SearchOptionsPaneTest)
#include "SearchOptionsPaneTest.moc"
