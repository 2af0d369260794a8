#pragma once
// The icon and type name the desktop gives files of one extension ("*." + extension), by
// the shared MIME database's glob patterns (the name only, never a file's contents). Used by
// the specified-type drop-down and the type list of the Search option page.
// User-interface thread (icons are made there).
#include <QIcon>
#include <QString>

class FileTypeInfo {
public:
    // The type's themed icon, else its generic icon, else the plain-text icon; never null
    // while the bundled icons are there.
    static QIcon icon(const QString& extension);
    // The type's comment ("PDF document"); empty when the database knows no type for it.
    static QString typeName(const QString& extension);
};
