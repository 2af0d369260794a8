// The command line and the document manager's processing of the "/path" parameter.
#include <QTemporaryDir>
#include <QtTest>

#include "PathShellExt.h"
#include "shell/CommandLine.h"

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("path");
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<QString>("parameter");
        QTest::newRow("nothing") << QStringList() << false << false << "";
        QTest::newRow("/minimized") << QStringList{"/minimized"} << false << true << "";
        QTest::newRow("-MINIMIZED") << QStringList{"-MINIMIZED"} << false << true << "";
        QTest::newRow("--Minimized") << QStringList{"--Minimized"} << false << true << "";
        QTest::newRow("/path folder") << QStringList{"/path", "/home/u"} << true << false << "/home/u";
        QTest::newRow("--PATH") << QStringList{"--PATH", "/srv"} << true << false << "/srv";
        QTest::newRow("-Path") << QStringList{"-Path", "/srv"} << true << false << "/srv";
        QTest::newRow("result file") << QStringList{"/tmp/r.qdr"} << false << false << "/tmp/r.qdr";
        QTest::newRow("file then flag") << QStringList{"a.qdr", "/minimized"} << false << true << "a.qdr";
        QTest::newRow("first plain wins") << QStringList{"a.qdr", "b.qdr"} << false << false << "a.qdr";
        QTest::newRow("unknown flag is a path") << QStringList{"/pathx"} << false << false << "/pathx";
    }
    void parse() {
        QFETCH(QStringList, args);
        QFETCH(bool, path);
        QFETCH(bool, minimized);
        QFETCH(QString, parameter);
        const CommandLine line = CommandLine::parse(args);
        QCOMPARE(line.pathFlag(), path);
        QCOMPARE(line.minimizedFlag(), minimized);
        QCOMPARE(line.parameter(), parameter);
    }

    // The context-menu entry passes: a double quote, the folders joined by double quotes,
    // a space and a double quote.
    void contextMenuParameter_data() {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QString>("processed");
        QTest::addColumn<QStringList>("folders");
        QTest::newRow("one folder") << "\"/data \"" << "/data" << QStringList{"/data"};
        QTest::newRow("root") << "\"/ \"" << "/" << QStringList{"/"};
        QTest::newRow("two folders") << "\"/a\"/b \"" << "/a\"/b" << QStringList{"/a", "/b"};
        QTest::newRow("three with blanks") << "\"/a b\"/c d\"/e \"" << "/a b\"/c d\"/e"
                                           << QStringList{"/a b", "/c d", "/e"};
        QTest::newRow("plain path untouched") << "/home/u" << "/home/u" << QStringList{"/home/u"};
        QTest::newRow("padded") << "  /x  " << "/x" << QStringList{"/x"};
    }
    void contextMenuParameter() {
        QFETCH(QString, parameter);
        QFETCH(QString, processed);
        QFETCH(QStringList, folders);
        const CommandLine line = CommandLine::parse({"/path", parameter});
        QCOMPARE(line.documentParameter(), processed);
        QCOMPARE(line.folders(), folders);
    }

    // Long parameters are cut only at the path length limit, never inside a character.
    void lengthLimit() {
        const QString longText = QString(4094, 'a') + QString::fromUtf8("é") + "tail";
        const QString cut = CommandLine::processParameter(longText);
        QCOMPARE(cut, QString(4094, 'a'));
        const QString folder = "/" + QString(300, 'x');
        QCOMPARE(CommandLine::processParameter("\"" + folder + " \""), folder);
    }

    void symbolicLinkIsResolved() {
        QTemporaryDir dir;
        QVERIFY(QFile::link(dir.filePath("target.qdr"), dir.filePath("link.qdr")));
        QCOMPARE(CommandLine::processParameter(dir.filePath("link.qdr")), dir.filePath("target.qdr"));
    }

    // What the file managers' launcher builds comes apart into the same folders here.
    void launcherArgumentRoundTrip_data() {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("expected");  // empty: the same as `folders`
        QTest::newRow("one") << QStringList{"/data"} << QStringList();
        QTest::newRow("root") << QStringList{"/"} << QStringList();
        QTest::newRow("two") << QStringList{"/a", "/b"} << QStringList();
        QTest::newRow("spaces") << QStringList{"/my docs", "/old  files/x y"} << QStringList();
        QTest::newRow("single quotes") << QStringList{"/it's", "/'q'"} << QStringList();
        QTest::newRow("non-ASCII") << QStringList{QString::fromUtf8("/données"), QString::fromUtf8("/日本語/フォルダ")}
                                   << QStringList();
        QTest::newRow("trailing blank") << QStringList{"/x ", "/y "} << QStringList{"/x /", "/y /"};
    }
    void launcherArgumentRoundTrip() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, expected);
        std::vector<std::string> in;
        for (const QString& f : folders)
            in.push_back(f.toStdString());
        const std::vector<std::string> args = PathShellExt::programArguments(in);
        QCOMPARE(int(args.size()), 2);
        const CommandLine line = CommandLine::parse({QString::fromStdString(args[0]), QString::fromStdString(args[1])});
        QVERIFY(line.pathFlag());
        QStringList back = line.folders();
        // The program trims each entry before it searches; a folder ending in blanks kept
        // its '/' so that it names the same folder.
        for (QString& f : back)
            f = f.trimmed();
        QCOMPARE(back, expected.isEmpty() ? folders : expected);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
