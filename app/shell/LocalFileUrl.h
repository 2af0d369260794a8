#pragma once
// file:// URLs of local paths given as raw bytes. Every byte that is not unreserved (and
// not '/') is percent-encoded, so names with blanks, quotes, newlines or bytes that are not
// UTF-8 keep every byte through a URI list or a D-Bus call. Pure functions.
#include <QByteArray>
#include <QString>
#include <QUrl>

#include <string>

class LocalFileUrl {
public:
    // "file:///a%20b" for "/a b"; `path` must be absolute.
    static QByteArray encoded(const std::string& path);
    static QUrl fromPath(const std::string& path) { return QUrl::fromEncoded(encoded(path), QUrl::StrictMode); }
    // The path as a QString for display and for Qt file APIs (invalid UTF-8 bytes become
    // replacement characters there; use the bytes for file operations).
    static QString displayPath(const std::string& path) { return QString::fromUtf8(path.data(), qsizetype(path.size())); }
    // True when `path` survives the round trip through QString unchanged.
    static bool isRepresentable(const std::string& path);
};
