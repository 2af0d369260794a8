#pragma once
// "FileMasksGroup": the file-mask groups as one binary value of the settings store:
// u32 group count, then per group the archive string of its name and the archive string
// list of its masks (CArchive forms, UTF-8 text). Works on values only, any thread.
#include <QByteArray>
#include <QList>

#include "options/FileMaskGroup.h"

class FileMasksGroupCodec {
public:
    static QByteArray encode(const QList<FileMaskGroup>& groups);
    // The groups of `blob`; false (and `groups` untouched) when it is broken or truncated.
    static bool decode(const QByteArray& blob, QList<FileMaskGroup>& groups);
    // The stored groups, or the four default groups when the value is missing, empty or
    // unreadable.
    static QList<FileMaskGroup> load(const QByteArray& blob);
    // Documents, music, pictures, videos (language strings 181..184 as names).
    static QList<FileMaskGroup> defaultGroups();
};
