// Single instance over real local sockets, with real second processes: this executable
// started again with QUENDREL_SI_HELPER set runs one SingleInstance::start() and reports.
#include <cstdio>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>
#include <QUuid>
#include <QtTest>

#include "shell/CommandLine.h"
#include "shell/SingleInstance.h"

namespace {

// Helper mode: prints "primary", "secondary" or "failed: <why>"; a primary then prints
// "got <pathFlag> <parameter>" for every hand-over and lives until killed (20 s at most).
int runHelper(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    SingleInstance instance(qEnvironmentVariable("QUENDREL_SI_NAME"), nullptr);
    QString error;
    const auto role = instance.start(CommandLine::parse(app.arguments().mid(1)), &error);
    if (role != SingleInstance::Role::Primary) {
        std::printf("%s\n", role == SingleInstance::Role::Secondary ? "secondary" : qPrintable("failed: " + error));
        return role == SingleInstance::Role::Secondary ? 0 : 2;
    }
    std::printf("primary\n");
    std::fflush(stdout);
    QObject::connect(&instance, &SingleInstance::activationRequested, [](bool pathFlag, const QString& parameter) {
        std::printf("got %d %s\n", pathFlag ? 1 : 0, qPrintable(parameter));
        std::fflush(stdout);
    });
    QTimer::singleShot(20000, &app, &QCoreApplication::quit);
    return app.exec();
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_name = "quendrel-test-" + QUuid::createUuid().toString(QUuid::Id128).left(12); }
    void cleanup() {
        for (QProcess* p : m_processes) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
        m_processes.clear();
    }

    void namesArePerUserAndTestSpecific() {
        const QString name = SingleInstance::serverName();
        QVERIFY(name.startsWith("quendrel-" + QString::number(::getuid())));
        QVERIFY(name.contains("-test-"));
    }

    // A second start hands its command line to the first and ends.
    void handOver() {
        SingleInstance first(m_name, nullptr);
        QCOMPARE(first.start(CommandLine::parse({})), SingleInstance::Role::Primary);
        QSignalSpy spy(&first, &SingleInstance::activationRequested);
        QProcess* second = helper({"/path", "\"/a\"/b \""});
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 10000);
        // The first instance answers from its event loop: wait with it running.
        QTRY_COMPARE_WITH_TIMEOUT(second->state(), QProcess::NotRunning, 10000);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(second->readAllStandardOutput().trimmed(), QByteArray("secondary"));
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(spy.at(0).at(1).toString(), QString("\"/a\"/b \""));

        QProcess* third = helper({"/tmp/results.qdr"});
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(third->state(), QProcess::NotRunning, 10000);
        QCOMPARE(spy.at(1).at(0).toBool(), false);
        QCOMPARE(spy.at(1).at(1).toString(), QString("/tmp/results.qdr"));
    }

    // A socket left by a killed instance does not block the next start.
    void staleSocket() {
        QProcess* crashed = helper({});
        QVERIFY(crashed->waitForReadyRead(10000));
        QCOMPARE(crashed->readLine().trimmed(), QByteArray("primary"));
        crashed->kill();  // SIGKILL: no clean-up runs
        QVERIFY(crashed->waitForFinished(5000));
        QVERIFY(QFile::exists(SingleInstance::socketPath(m_name)));
        SingleInstance next(m_name, nullptr);
        QString error;
        QCOMPARE(next.start(CommandLine::parse({}), &error), SingleInstance::Role::Primary);
        QVERIFY(next.isPrimary());
    }

    // Two starts at the same moment: exactly one primary, and the other hands over to it.
    void twoAtOnce() {
        for (int round = 0; round < 3; ++round) {
            init();
            QProcess* a = helper({"/path", "/from-a"});
            QProcess* b = helper({"/path", "/from-b"});
            QVERIFY(a->waitForReadyRead(10000));
            QVERIFY(b->waitForReadyRead(10000));
            const QByteArray ra = a->readLine().trimmed();
            const QByteArray rb = b->readLine().trimmed();
            QVERIFY2((ra == "primary" && rb == "secondary") || (ra == "secondary" && rb == "primary"),
                     (ra + " / " + rb).constData());
            QProcess* primary = ra == "primary" ? a : b;
            const QByteArray expected = ra == "primary" ? "got 1 /from-b" : "got 1 /from-a";
            QTRY_VERIFY_WITH_TIMEOUT(primary->canReadLine(), 10000);
            QCOMPARE(primary->readLine().trimmed(), expected);
            cleanup();
        }
    }

private:
    QProcess* helper(const QStringList& args) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENDREL_SI_HELPER", "1");
        env.insert("QUENDREL_SI_NAME", m_name);
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(), args);
        m_processes.append(p);
        return p;
    }

    QString m_name;
    QList<QProcess*> m_processes;
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("QUENDREL_SI_HELPER"))
        return runHelper(argc, argv);
    QCoreApplication app(argc, argv);
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SingleInstanceTest.moc"
