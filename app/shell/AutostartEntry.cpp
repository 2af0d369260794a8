#include "shell/AutostartEntry.h"

#include <cerrno>
#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "engine/platform/AtomicFileWriter.h"

QString AutostartEntry::filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/quendrel.desktop");
}

QString AutostartEntry::execLine(const QString& programPath) {
    // Inside a quoted Exec argument '"', '`', '$' and '\' take a backslash; '%' is
    // doubled (field codes). The string value then escapes every backslash once more.
    QString quoted;
    for (const QChar c : programPath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1String("\" /minimized");
}

QString AutostartEntry::desktopFileText(const QString& programPath) {
    QString text = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Quendrel\n"
        "Comment=File search\n");
    text += QStringLiteral("Exec=") + execLine(programPath) + QLatin1Char('\n');
    text += QStringLiteral(
        "Icon=quendrel\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n");
    return text;
}

bool AutostartEntry::apply(bool autoRun, const QString& programPath) {
    const QString path = filePath();
    if (!autoRun) {
        if (std::remove(QFile::encodeName(path).constData()) == 0)
            return true;
        return errno == ENOENT;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    AtomicFileWriter writer;
    const QByteArray bytes = desktopFileText(programPath).toUtf8();
    return writer.open(QFile::encodeName(path).toStdString()) && writer.write(bytes.constData(), bytes.size()) &&
           writer.commit();
}

bool AutostartEntry::apply(bool autoRun) { return apply(autoRun, QCoreApplication::applicationFilePath()); }
