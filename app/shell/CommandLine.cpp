#include "shell/CommandLine.h"

#include <string>
#include <vector>
#include <QFileInfo>

#include "engine/tools/Tool_Resource.h"

namespace {

// The flag name of an argument written "/name", "-name" or "--name"; empty otherwise.
QString flagName(const QString& argument) {
    if (argument.startsWith(QLatin1String("--")))
        return argument.mid(2);
    if (argument.startsWith(QLatin1Char('/')) || argument.startsWith(QLatin1Char('-')))
        return argument.mid(1);
    return {};
}

// Cuts UTF-8 text to at most `maxBytes` bytes without splitting a character.
QString limitUtf8(const QString& text, int maxBytes) {
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= maxBytes)
        return text;
    qsizetype cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    bytes.truncate(cut);
    return QString::fromUtf8(bytes);
}

}  // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    for (const QString& argument : arguments) {
        const QString name = flagName(argument);
        if (name.compare(QLatin1String("path"), Qt::CaseInsensitive) == 0) {
            line.m_pathFlag = true;
            continue;
        }
        if (name.compare(QLatin1String("minimized"), Qt::CaseInsensitive) == 0) {
            line.m_minimizedFlag = true;
            continue;
        }
        // Paths begin with '/' too: only the two flag names are flags, anything else is
        // the parameter.
        if (line.m_parameter.isEmpty() && !argument.isEmpty())
            line.m_parameter = argument;
    }
    return line;
}

QString CommandLine::processParameter(const QString& parameter) {
    QString text = parameter;
    if (text.startsWith(QLatin1Char('"')))
        text.remove(0, 1);
    const qsizetype lastQuote = text.lastIndexOf(QLatin1Char('"'));
    if (lastQuote >= 0)
        text.truncate(lastQuote);
    text = text.trimmed();
    text = limitUtf8(text, kMaxParameterBytes);
    if (!text.isEmpty() && QFileInfo(text).isSymLink()) {
        const std::string target = Tool_Resource::getRealObjectFullPath(text.toStdString().c_str());
        if (!target.empty())
            text = QString::fromStdString(target);
    }
    return text;
}

QString CommandLine::documentParameter() const { return processParameter(m_parameter); }

QStringList CommandLine::folders() const {
    std::vector<std::string> parts;
    Tool_Resource::separateStringOnlyForFolder(documentParameter().toStdString(), parts);
    QStringList out;
    for (const std::string& part : parts) {
        const QString folder = QString::fromStdString(part).trimmed();
        if (!folder.isEmpty())
            out.append(folder);
    }
    return out;
}
