// MimeAppAssociations: the desktop's applications for a MIME type.
#include "shell/MimeAppAssociations.h"

#include <QFile>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

#include <set>

#include "shell/OpenWithCommand.h"

namespace {

// Key=value lines of one [group] of a desktop-style file.
QList<std::pair<QString, QString>> groupEntries(const QString& file, const QString& group)
{
    QList<std::pair<QString, QString>> out;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    bool inGroup = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u'[' + group + u']';
            continue;
        }
        if (!inGroup || line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            out.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return out;
}

QStringList idsOf(const QList<std::pair<QString, QString>>& entries, const QString& mimeType)
{
    QStringList ids;
    for (const auto& [key, value] : entries)
        if (key == mimeType)
            for (const QString& id : value.split(u';', Qt::SkipEmptyParts))
                ids << id.trimmed();
    return ids;
}

QStringList applicationFolders()
{
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

QStringList mimeappsFiles()
{
    QStringList files;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        files << dir + QStringLiteral("/mimeapps.list");
    for (const QString& dir : applicationFolders())
        files << dir + QStringLiteral("/mimeapps.list");
    return files;
}

// The desktop file of an id: "a-b.desktop" may also live as "a/b.desktop".
QString desktopFile(const QString& id)
{
    for (const QString& dir : applicationFolders()) {
        const QString direct = dir + u'/' + id;
        if (QFile::exists(direct))
            return direct;
        QString nested = id;
        nested.replace(u'-', u'/');
        if (QFile::exists(dir + u'/' + nested))
            return dir + u'/' + nested;
    }
    return {};
}

}  // namespace

std::vector<MimeAppAssociations::App> MimeAppAssociations::appsFor(const QString& mimeType)
{
    QStringList candidates;
    std::set<QString> removed;
    const QStringList lists = mimeappsFiles();
    for (const QString& file : lists)
        candidates << idsOf(groupEntries(file, QStringLiteral("Default Applications")), mimeType);
    for (const QString& file : lists) {
        for (const QString& id : idsOf(groupEntries(file, QStringLiteral("Added Associations")), mimeType))
            if (!removed.count(id))
                candidates << id;
        for (const QString& id : idsOf(groupEntries(file, QStringLiteral("Removed Associations")), mimeType))
            removed.insert(id);
    }
    for (const QString& dir : applicationFolders())
        candidates << idsOf(groupEntries(dir + QStringLiteral("/mimeinfo.cache"), QStringLiteral("MIME Cache")), mimeType);

    std::vector<App> apps;
    std::set<QString> seen;
    for (const QString& id : candidates) {
        if (removed.count(id) || !seen.insert(id).second)
            continue;
        const QString file = desktopFile(id);
        if (file.isEmpty())
            continue;
        App app;
        app.id = id;
        bool hidden = false;
        for (const auto& [key, value] : groupEntries(file, QStringLiteral("Desktop Entry"))) {
            if (key == QLatin1String("Name") && app.name.isEmpty())
                app.name = value;
            else if (key == QLatin1String("Exec"))
                app.exec = value;
            else if ((key == QLatin1String("NoDisplay") || key == QLatin1String("Hidden")) &&
                     value == QLatin1String("true"))
                hidden = true;
        }
        if (!hidden && !app.exec.isEmpty())
            apps.push_back(app);
    }
    return apps;
}

QString MimeAppAssociations::mimeTypeOf(const QString& path)
{
    return QMimeDatabase().mimeTypeForFile(path).name();
}

QStringList MimeAppAssociations::commandFor(const QString& exec, const QString& path)
{
    return commandFor(exec, path, QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

QStringList MimeAppAssociations::commandFor(const QString& exec, const QString& path, const QString& url)
{
    bool ok = true;
    const QStringList words = OpenWithCommand::split(exec, &ok);
    if (!ok || words.isEmpty())
        return {};
    QStringList out;
    for (const QString& word : words) {
        if (word == QLatin1String("%f") || word == QLatin1String("%F")) {
            out << path;
            continue;
        }
        if (word == QLatin1String("%u") || word == QLatin1String("%U")) {
            out << url;
            continue;
        }
        QString text;
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (word[i] == u'%' && i + 1 < word.size()) {
                const QChar code = word[++i];
                if (code == u'%')
                    text += u'%';
                else if (code == u'f' || code == u'F')
                    text += path;
                else if (code == u'u' || code == u'U')
                    text += url;
                continue;  // %i, %c, %k and deprecated codes give nothing
            }
            text += word[i];
        }
        if (!text.isEmpty() || !word.startsWith(u'%'))
            out << text;
    }
    return out.isEmpty() || out.front().isEmpty() ? QStringList() : out;
}
