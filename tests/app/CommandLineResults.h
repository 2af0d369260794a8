#pragma once
// Helpers of the window tests that compare the window with the command line: writing a
// test file, and the set of paths that the built qdsearch prints for some arguments
// (run with -0 in the arguments; NUL-separated output). A failed run gives the one entry
// "<qdsearch failed>" (and a warning with its error output), so a comparison fails.
#include <QtTest>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <set>
#include <string>

inline void writeTestFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

inline std::set<std::string> commandLineResults(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(QUENDREL_BIN_DIR "/qdsearch"), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() > 1) {
        qWarning() << "qdsearch failed:" << args << p.readAllStandardError();
        return {{"<qdsearch failed>"}};
    }
    std::set<std::string> paths;
    for (const QByteArray& line : p.readAllStandardOutput().split('\0'))
        if (!line.isEmpty())
            paths.insert(line.toStdString());
    return paths;
}
