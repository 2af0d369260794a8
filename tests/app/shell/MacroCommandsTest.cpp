// Macros in the real main window: new macro, the limit, manage (delete only on OK), apply
// (missing file, panels reset and read, run after launch), the menu, and the hot keys
// ahead of the accelerators and never while a modal dialog is open.
#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "options/MacroDialog.h"
#include "options/MacroHotKeyEdit.h"
#include "options/MacroManagerDialog.h"
#include "options/HistoryCombo.h"
#include "options/NameLocationPanel.h"
#include "options/SearchOptionsPane.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/MacroCommands.h"
#include "shell/ResultListModel.h"
#include "shell/SearchController.h"

using namespace CommandIds;

namespace {
// Answers each modal dialog that opens, once, with `handler` (polled from the event loop,
// so it also sees dialogs opened from inside other dialogs).
class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(std::function<void(QDialog*)> handler)
        : m_handler(std::move(handler))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || m_seen.contains(dialog))
                return;
            m_seen.append(dialog);
            m_handler(dialog);
        });
        m_timer.start(10);
    }

private:
    std::function<void(QDialog*)> m_handler;
    QList<QPointer<QDialog>> m_seen;
    QTimer m_timer;
};
// The focusable controls of `dialog` without an accessible name.
QStringList unnamedControls(QWidget* dialog)
{
    QStringList unnamed;
    for (QWidget* w : dialog->findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(dialog) && w->accessibleName().isEmpty())
            unnamed << QString::fromLatin1(w->metaObject()->className());
    return unnamed;
}
}  // namespace

class MacroCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newMacroWritesTheCurrentOptionsAndFillsTheMenu();
    void tooManyMacrosIsRefusedWithTheLimit();
    void manageDeletesFilesOnlyOnOk();
    void applyResetsThePanelsAndReadsTheFile();
    void applyOfAMissingFileSaysSo();
    void runAfterLaunchStartsTheSearch();
    void hotKeyGoesAheadOfTheAccelerator();
    void hotKeyDoesNothingWhileAModalDialogIsOpen();
    void hotKeyEditCapturesCombinations();

private:
    void makeWindow();
    QString macroFolder() const { return MacroList::defaultFolder(); }
    void writeMacro(const QString& title, const QByteArray& text);
    QString nameText() const { return m_window->searchOptions()->values().general.name; }
    void showAndActivate();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CMainFrame> m_window;
};

void MacroCommandsTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void MacroCommandsTest::init()
{
    QDir(macroFolder()).removeRecursively();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void MacroCommandsTest::cleanup()
{
    m_window.reset();
    m_settings.reset();
    m_dir.reset();
    QDir(macroFolder()).removeRecursively();
}

void MacroCommandsTest::makeWindow()
{
    m_window.reset();
    m_settings = std::make_unique<AppSettings>(m_dir->filePath(QStringLiteral("Quendrel.ini")),
                                               AppSettings::loadedColumnCaptions());
    CMainFrame::Options options;
    options.tray = TrayIcon::Availability::ForceAvailable;
    m_window = std::make_unique<CMainFrame>(*m_settings, options);
    m_settings->frame().FirstRun = 0;
}

void MacroCommandsTest::showAndActivate()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_window->searchOptions()->general()->nameCombo()->setFocus();
}

void MacroCommandsTest::writeMacro(const QString& title, const QByteArray& text)
{
    QVERIFY(QDir().mkpath(macroFolder()));
    QFile f(macroFolder() + QLatin1Char('/') + title + QStringLiteral(".qdp"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

void MacroCommandsTest::newMacroWritesTheCurrentOptionsAndFillsTheMenu()
{
    makeWindow();
    SearchOptionsValues v = m_window->searchOptions()->values();
    v.general.name = QStringLiteral("*.cpp");
    m_window->searchOptions()->load(v);

    QString caption;
    ModalAnswerer answer([&caption](QDialog* d) {
        auto* dialog = qobject_cast<MacroDialog*>(d);
        if (!dialog)
            return d->reject();
        caption = dialog->windowTitle();
        QCOMPARE(unnamedControls(dialog), QStringList());
        dialog->nameEdit()->setText(QStringLiteral("Sources & more"));
        dialog->hotKeyEdit()->setHotKey(2 | 1, 0x53);
        dialog->runAfterLaunchBox()->setChecked(false);
        dialog->accept();
    });
    m_window->commands().action(SaveMacro)->trigger();
    QCOMPARE(caption, QStringLiteral("New macro"));
    QVERIFY(QFile::exists(macroFolder() + QStringLiteral("/Sources & more.qdp")));
    QAction* entry = m_window->commands().action(MacroFirst);
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("Sources && more\tCtrl+Shift+S"));
    QVERIFY(entry->isEnabled());

    // A new window loads it back with the options.
    makeWindow();
    QCOMPARE(m_window->macros()->list().count(), 1);
    QCOMPARE(m_window->macros()->list().macros().first().bRunAfterLaunch, false);
    QVERIFY(m_window->macros()->apply(0));
    QCOMPARE(nameText(), QStringLiteral("*.cpp"));
}

void MacroCommandsTest::tooManyMacrosIsRefusedWithTheLimit()
{
    for (int i = 0; i < MacroList::kMaxMacros; ++i)
        writeMacro(QStringLiteral("m%1").arg(i), "[Main]\n");
    makeWindow();
    QCOMPARE(m_window->macros()->list().count(), MacroList::kMaxMacros);
    QStringList seen;
    ModalAnswerer answer([&seen](QDialog* d) {
        if (auto* box = qobject_cast<QMessageBox*>(d))
            seen << box->text();
        else
            seen << d->objectName();
        d->reject();
    });
    m_window->commands().action(SaveMacro)->trigger();
    QCOMPARE(seen, QStringList{QStringLiteral("At most 512 macros can be kept.")});
    QVERIFY(m_window->commands().action(MacroFirst + 511));
}

void MacroCommandsTest::manageDeletesFilesOnlyOnOk()
{
    writeMacro(QStringLiteral("One"), "[Main]\nName=One\n[General]\nName=*.1\n");
    writeMacro(QStringLiteral("Two"), "[Main]\nName=Two\n");
    makeWindow();
    for (const bool accept : {false, true}) {
        ModalAnswerer answer([accept](QDialog* d) {
            auto* manager = qobject_cast<MacroManagerDialog*>(d);
            if (!manager)
                return d->reject();
            QCOMPARE(unnamedControls(manager), QStringList());
            manager->list()->setCurrentItem(manager->list()->topLevelItem(1));
            manager->deleteCurrent();
            QCOMPARE(manager->list()->topLevelItemCount(), 1);
            // The file is still there while the dialog is open.
            QVERIFY(QFile::exists(MacroList::defaultFolder() + QStringLiteral("/Two.qdp")));
            accept ? manager->accept() : manager->reject();
        });
        m_window->commands().action(ManageMacros)->trigger();
        if (!accept) {
            QVERIFY(QFile::exists(macroFolder() + QStringLiteral("/Two.qdp")));
            QCOMPARE(m_window->macros()->list().count(), 2);
        }
    }
    QVERIFY(!QFile::exists(macroFolder() + QStringLiteral("/Two.qdp")));
    QVERIFY(QFile::exists(macroFolder() + QStringLiteral("/One.qdp")));
    QCOMPARE(m_window->macros()->list().count(), 1);
    QVERIFY(m_window->commands().action(MacroFirst));
    QVERIFY(!m_window->commands().action(MacroFirst + 1));
}

void MacroCommandsTest::applyResetsThePanelsAndReadsTheFile()
{
    writeMacro(QStringLiteral("Logs"), "[Main]\nRunAfterLaunch=0\n[General]\nName=*.log\nbIncludeSubDir=0\n");
    makeWindow();
    SearchOptionsValues changed = m_window->searchOptions()->values();
    changed.general.name = QStringLiteral("something else");
    changed.size.iSmallState = 1;
    m_window->searchOptions()->load(changed);

    m_window->commands().action(MacroFirst)->trigger();
    const SearchOptionsValues now = m_window->searchOptions()->values();
    QCOMPARE(now.general.name, QStringLiteral("*.log"));
    QCOMPARE(now.general.bIncludeSubDir, 0);
    QCOMPARE(now.size.iSmallState, 0);  // missing sections read as their defaults
    QVERIFY(!m_window->searchController()->isRunning());
}

void MacroCommandsTest::applyOfAMissingFileSaysSo()
{
    writeMacro(QStringLiteral("Gone"), "[Main]\n[General]\nName=*.gone\n");
    makeWindow();
    QVERIFY(QFile::remove(macroFolder() + QStringLiteral("/Gone.qdp")));
    QStringList seen;
    ModalAnswerer answer([&seen](QDialog* d) {
        if (auto* box = qobject_cast<QMessageBox*>(d))
            seen << box->text();
        d->reject();
    });
    const QString before = nameText();
    QVERIFY(!m_window->macros()->apply(0));
    QCOMPARE(seen, QStringList{QStringLiteral("The macro file %1/Gone.qdp does not exist.").arg(macroFolder())});
    QCOMPARE(nameText(), before);
}

void MacroCommandsTest::runAfterLaunchStartsTheSearch()
{
    QTemporaryDir tree;
    QFile found(tree.filePath(QStringLiteral("wanted.mac")));
    QVERIFY(found.open(QIODevice::WriteOnly));
    found.close();
    writeMacro(QStringLiteral("Run"), "[Main]\n[General]\nName=*.mac\niSearchIn=0\nbQuickSearch=0\nPath=" +
                                          tree.path().toUtf8() + "\n");
    makeWindow();
    QVERIFY(m_window->macros()->apply(0));
    QTRY_VERIFY(m_window->resultModel()->rowCount() == 1);
}

void MacroCommandsTest::hotKeyGoesAheadOfTheAccelerator()
{
    // Ctrl+Alt+2 is also the accelerator that opens the second panel.
    writeMacro(QStringLiteral("Keyed"), "[Main]\nwModifier=6\nwVirtual=50\nRunAfterLaunch=0\n[General]\nName=*.key\n");
    makeWindow();
    showAndActivate();
    QSignalSpy commands(&m_window->commands(), &CommandRegistry::commandTriggered);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_2, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(nameText(), QStringLiteral("*.key"));
    for (const QList<QVariant>& call : commands)
        QVERIFY(call.first().toInt() != OpenPanel1 + 1);

    // Another combination is not the macro's: the accelerator runs.
    m_window->searchOptions()->reset();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_3, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(nameText() != QStringLiteral("*.key"));
    bool panelCommand = false;
    for (const QList<QVariant>& call : commands)
        panelCommand = panelCommand || call.first().toInt() == OpenPanel1 + 2;
    QVERIFY(panelCommand);
}

void MacroCommandsTest::hotKeyDoesNothingWhileAModalDialogIsOpen()
{
    writeMacro(QStringLiteral("Keyed"), "[Main]\nwModifier=2\nwVirtual=81\nRunAfterLaunch=0\n[General]\nName=*.key\n");
    makeWindow();
    showAndActivate();
    QDialog dialog(m_window.get());
    auto* field = new QLineEdit(&dialog);
    QString typedInDialog;
    bool ran = false;
    QTimer::singleShot(0, &dialog, [&] {
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(field, Qt::Key_Q, Qt::ControlModifier);
        typedInDialog = nameText();
        ran = true;
        dialog.reject();
    });
    m_window->runModal(dialog);
    QVERIFY(ran);
    QVERIFY(typedInDialog != QStringLiteral("*.key"));
    QVERIFY(nameText() != QStringLiteral("*.key"));

    // With the dialog gone the same key applies the macro.
    showAndActivate();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(nameText(), QStringLiteral("*.key"));
}

void MacroCommandsTest::hotKeyEditCapturesCombinations()
{
    MacroHotKeyEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClick(&edit, Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(edit.modifiers(), 3);
    QCOMPARE(edit.virtualKey(), 0x74);
    QCOMPARE(edit.text(), QStringLiteral("Ctrl+Shift+F5"));
    QTest::keyClick(&edit, Qt::Key_Pause, Qt::AltModifier);
    QCOMPARE(edit.text(), QStringLiteral("Alt+Pause"));
    QTest::keyClick(&edit, Qt::Key_Tab);  // moves the focus, changes nothing
    QCOMPARE(edit.virtualKey(), 0x13);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.virtualKey(), 0);
    QCOMPARE(edit.text(), QString());
}

QTEST_MAIN(MacroCommandsTest)
#include "MacroCommandsTest.moc"
