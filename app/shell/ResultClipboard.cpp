// ResultClipboard: text and file lists for the clipboard.
#include "shell/ResultClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "shell/LocalFileUrl.h"

std::string ResultClipboard::joinLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += '\n';
        out += lines[i];
    }
    return out;
}

QMimeData* ResultClipboard::filesData(const std::vector<std::string>& paths, FileMode mode)
{
    QByteArray uriList;
    QByteArray gnome(mode == FileMode::Cut ? "cut" : "copy");
    QByteArray plain;
    for (size_t i = 0; i < paths.size(); ++i) {
        const QByteArray uri = LocalFileUrl::encoded(paths[i]);
        uriList += uri + "\r\n";
        gnome += '\n' + uri;
        if (i > 0)
            plain += '\n';
        plain += QByteArray(paths[i].data(), qsizetype(paths[i].size()));
    }
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), uriList);
    data->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
    data->setData(QStringLiteral("application/x-kde-cutselection"), mode == FileMode::Cut ? "1" : "0");
    data->setData(QStringLiteral("text/plain"), plain);
    data->setData(QStringLiteral("text/plain;charset=utf-8"), plain);
    return data;
}

bool ResultClipboard::isCut(const QMimeData& data)
{
    if (data.data(QStringLiteral("application/x-kde-cutselection")) == "1")
        return true;
    return data.data(QStringLiteral("x-special/gnome-copied-files")).startsWith("cut\n");
}

void ResultClipboard::putText(const std::string& text)
{
    auto* data = new QMimeData;
    const QByteArray bytes(text.data(), qsizetype(text.size()));
    data->setData(QStringLiteral("text/plain"), bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

void ResultClipboard::putFiles(const std::vector<std::string>& paths, FileMode mode)
{
    QGuiApplication::clipboard()->setMimeData(filesData(paths, mode));
}
