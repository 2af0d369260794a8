#pragma once
// The index log "QDIndex.log": one line per finished or stopped indexing run. Each append
// opens the file for appending, writes one line and closes it, so the file is never held
// open and a crash loses at most the line being written. The file has no size limit; only
// clear() empties it. Default place: the per-user data folder
// (<GenericDataLocation>/Quendrel/QDIndex.log, which honours QStandardPaths test mode).
// Failure: append() and clear() answer false and change nothing else; readAll() gives an
// empty text for a missing or unreadable file. User-interface thread.
#include <QString>

class IndexLog {
public:
    explicit IndexLog(QString path = defaultPath());
    static QString defaultPath();
    const QString& path() const { return m_path; }

    // Appends `line` (UTF-8, as given: it carries its own line end). Creates the folder.
    bool append(const QString& line) const;
    QString readAll() const;
    // Truncates the file to zero length.
    bool clear() const;

private:
    QString m_path;
};
