// MimeAppAssociations: the desktop's applications for a MIME type.
#include "shell/MimeAppAssociations.h"

#include <QMimeDatabase>
#include <QUrl>

#include <set>

#include "shell/OpenWithCommand.h"

// GLib's headers use the word "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace {

QString fromUtf8(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

}  // namespace

std::vector<MimeAppAssociations::App> MimeAppAssociations::appsFor(const QString& mimeType)
{
    std::vector<App> apps;
    if (mimeType.isEmpty())
        return apps;
    const QByteArray type = mimeType.toUtf8();
    // The default comes first; GIO lists it among the others only when it is also
    // associated with the type by an added association or its own declaration.
    GList* infos = g_app_info_get_all_for_type(type.constData());
    if (GAppInfo* preferred = g_app_info_get_default_for_type(type.constData(), FALSE))
        infos = g_list_prepend(infos, preferred);
    std::set<QString> seen;
    for (GList* node = infos; node; node = node->next) {
        auto* info = static_cast<GAppInfo*>(node->data);
        if (!g_app_info_should_show(info))
            continue;
        App app;
        app.id = fromUtf8(g_app_info_get_id(info));
        app.name = fromUtf8(g_app_info_get_name(info));
        app.exec = fromUtf8(g_app_info_get_commandline(info));
        if (!app.exec.isEmpty() && seen.insert(app.id).second)
            apps.push_back(app);
    }
    g_list_free_full(infos, g_object_unref);
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
