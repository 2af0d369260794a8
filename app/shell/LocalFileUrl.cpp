// LocalFileUrl: percent-encoded file URLs.
#include "shell/LocalFileUrl.h"

QByteArray LocalFileUrl::encoded(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out("file://");
    out.reserve(qsizetype(path.size()) + 16);
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool LocalFileUrl::isRepresentable(const std::string& path)
{
    const QString text = displayPath(path);
    const QByteArray back = text.toUtf8();
    return back.size() == qsizetype(path.size()) && std::equal(path.begin(), path.end(), back.constData());
}
