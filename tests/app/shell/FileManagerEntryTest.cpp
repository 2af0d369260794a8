// The file managers' entry from the main program: the welcome dialog's question installs
// it only when the user agrees; the entry class adds and removes it (test-mode folders).
#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/FileManagerEntry.h"
#include "shell/WelcomeDialog.h"

class FileManagerEntryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void welcomeQuestion_data();
    void welcomeQuestion();
    void addAndRemove();

private:
    static QString dolphinEntry()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/kio/servicemenus/quendrel-search.desktop");
    }
};

void FileManagerEntryTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(FileManagerEntry().isAvailable(), qPrintable(FileManagerEntry::launcherPath()));
}

void FileManagerEntryTest::init()
{
    QVERIFY(FileManagerEntry().unregisterEntry());
    QVERIFY(!FileManagerEntry().anyRegistered());
}

void FileManagerEntryTest::cleanup()
{
    FileManagerEntry().unregisterEntry();
}

void FileManagerEntryTest::welcomeQuestion_data()
{
    QTest::addColumn<bool>("agree");
    QTest::newRow("agrees") << true;
    QTest::newRow("declines") << false;
}

void FileManagerEntryTest::welcomeQuestion()
{
    QFETCH(bool, agree);
    QTemporaryDir dir;
    AppSettings settings(dir.filePath(QStringLiteral("Quendrel.ini")), AppSettings::loadedColumnCaptions());
    CMainFrame::Options options;
    options.tray = TrayIcon::Availability::ForceAvailable;
    CMainFrame window(settings, options);
    settings.frame().FirstRun = 1;
    bool asked = false;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<WelcomeDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        asked = dialog->fileManagerBox() != nullptr;
        if (asked) {
            QVERIFY(!dialog->fileManagerBox()->isChecked());  // nothing is installed unasked
            dialog->fileManagerBox()->setChecked(agree);
        }
        dialog->accept();
    });
    answer.start(10);
    window.startUp(false);
    QTRY_VERIFY(settings.frame().FirstRun == 0 && !window.commandState().modalDialogOpen);
    QVERIFY(asked);
    QCOMPARE(FileManagerEntry().isRegistered(), agree);
    QCOMPARE(QFile::exists(dolphinEntry()), agree);
}

void FileManagerEntryTest::addAndRemove()
{
    const FileManagerEntry entry;
    QString error;
    QVERIFY2(entry.registerEntry(&error), qPrintable(error));
    QVERIFY(entry.isRegistered());
    QVERIFY(QFileInfo(dolphinEntry()).isExecutable());
    QFile file(dolphinEntry());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains(FileManagerEntry::launcherPath().toUtf8() + " %F"));
    QVERIFY2(entry.unregisterEntry(&error), qPrintable(error));
    QVERIFY(!entry.anyRegistered());
    QVERIFY(!QFile::exists(dolphinEntry()));

    // A launcher that is not there is not offered.
    QVERIFY(!FileManagerEntry(QStringLiteral("/nonexistent/qdext")).isAvailable());
}

QTEST_MAIN(FileManagerEntryTest)
#include "FileManagerEntryTest.moc"
