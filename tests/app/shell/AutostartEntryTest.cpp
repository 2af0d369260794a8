// The log-on start-up entry, written to the test configuration folder.
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

#include "shell/AutostartEntry.h"

class AutostartEntryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(AutostartEntry::filePath());
    }
    void cleanupTestCase() { QFile::remove(AutostartEntry::filePath()); }

    void pathIsUnderConfig() {
        QCOMPARE(AutostartEntry::filePath(), QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                                                 "/autostart/quendrel.desktop");
    }

    void execLine_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/quendrel" << "\"/usr/bin/quendrel\" /minimized";
        QTest::newRow("blank") << "/opt/my apps/quendrel" << "\"/opt/my apps/quendrel\" /minimized";
        QTest::newRow("reserved") << "/o/a\"b$c`d" << "\"/o/a\\\\\"b\\\\$c\\\\`d\" /minimized";
        QTest::newRow("percent") << "/o/100%/q" << "\"/o/100%%/q\" /minimized";
    }
    void execLine() {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        QCOMPARE(AutostartEntry::execLine(program), exec);
    }

    void writeThenRemove() {
        const QString path = AutostartEntry::filePath();
        QVERIFY(AutostartEntry::apply(true, "/opt/q/quendrel"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        f.close();
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nExec=\"/opt/q/quendrel\" /minimized\n"));
        QVERIFY(text.contains("\nType=Application\n"));
        // Writing again replaces the entry.
        QVERIFY(AutostartEntry::apply(true, "/opt/other/quendrel"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(f.readAll()).contains("Exec=\"/opt/other/quendrel\" /minimized"));
        f.close();
        QVERIFY(AutostartEntry::apply(false));
        QVERIFY(!QFile::exists(path));
        QVERIFY(AutostartEntry::apply(false));  // nothing to remove is fine
    }
};

QTEST_GUILESS_MAIN(AutostartEntryTest)
#include "AutostartEntryTest.moc"
