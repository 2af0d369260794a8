// OpenWithCommand: desktop-entry quoting of open-with command lines.
#include "shell/OpenWithCommand.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool isEscapable(QChar c)
{
    return c == u'"' || c == u'`' || c == u'$' || c == u'\\';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

}  // namespace

QString OpenWithCommand::quoted(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        if (isEscapable(c))
            out += u'\\';
        out += c;
    }
    out += u'"';
    return out;
}

QStringList OpenWithCommand::split(const QString& line, bool* ok)
{
    QStringList out;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (inQuotes) {
            if (c == u'\\' && i + 1 < line.size() && isEscapable(line[i + 1])) {
                current += line[++i];
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                current += c;
            }
            continue;
        }
        if (isBlank(c)) {
            if (inArgument)
                out << current;
            current.clear();
            inArgument = false;
        } else if (c == u'"') {
            inQuotes = true;
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        out << current;
    if (ok)
        *ok = !inQuotes;
    return out;
}

OpenWithCommand::Line OpenWithCommand::build(const QString& program, const QString& parameterTemplate,
                                             const QString& path)
{
    if (program.trimmed().isEmpty())
        return {};
    QString params = parameterTemplate;
    params.replace(QStringLiteral("%F%"), quoted(path));
    QStringList words = split(quoted(program.trimmed()) + u' ' + params);
    Line line;
    line.program = words.takeFirst();
    line.arguments = words;
    return line;
}

int OpenWithCommand::checkProgram(const QString& program)
{
    const QString p = program.trimmed();
    if (p.isEmpty())
        return 2;
    if (!p.contains(u'/'))
        return QStandardPaths::findExecutable(p).isEmpty() ? 2 : 0;
    const QFileInfo info(p);
    if (!info.absoluteDir().exists())
        return 3;
    if (!info.exists() || info.isDir() || !info.isExecutable())
        return 2;
    return 0;
}
