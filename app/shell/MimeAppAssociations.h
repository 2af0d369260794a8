#pragma once
// The applications the desktop associates with a file's MIME type, read the freedesktop
// way: the "mimeapps.list" files of the configuration and data folders (Default
// Applications first, then Added Associations; Removed Associations take entries out) and
// the "mimeinfo.cache" of each applications folder, earlier folders first. Each found
// desktop entry that is neither hidden nor NoDisplay and has an Exec line is one
// application.
//
// The Exec line is split with the desktop entry quoting rules (OpenWithCommand) and its
// field codes are filled per file: %f and %F give the path, %u and %U its file URL, each
// as one argument; %% is a percent sign; the other codes are dropped. The folders come
// from QStandardPaths (so tests see only their own under test mode). User-interface
// thread or any, no caching: the lists are read again on each call.
#include <QString>
#include <QStringList>

#include <vector>

class MimeAppAssociations {
public:
    struct App {
        QString id;        // desktop file id, "org.example.Viewer.desktop"
        QString name;      // Name= of the entry
        QString exec;      // Exec= as written
    };

    // Applications for `mimeType` in the order described above, each id once.
    static std::vector<App> appsFor(const QString& mimeType);
    // The MIME type of a local file (by name and contents).
    static QString mimeTypeOf(const QString& path);
    // The program and arguments of `exec` for one file; empty when the line is unusable.
    static QStringList commandFor(const QString& exec, const QString& path);
    // The same with the text that %u and %U stand for given.
    static QStringList commandFor(const QString& exec, const QString& path, const QString& url);
};
