#pragma once
// The applications the desktop associates with a file's MIME type, as the desktop itself
// finds them (GIO's application info): the default of the "mimeapps.list" files
// (desktop-specific lists included), their added associations, then the entries that the
// "mimeinfo.cache" files give for the type or a type it is a subclass of; removed
// associations, entries not to be shown (NoDisplay, Hidden, OnlyShowIn another desktop)
// and entries whose program is not installed left out; each entry once. The folders are the XDG ones of
// the environment, read by GIO once and then watched for changes.
//
// The Exec line is split with the desktop entry quoting rules (OpenWithCommand) and its
// field codes are filled per file: %f and %F give the path, %u and %U its file URL, each
// as one argument; %% is a percent sign; the other codes are dropped. No shell is involved.
// User-interface thread (GIO's watches are served by the event loop).
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
