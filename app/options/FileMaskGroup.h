#pragma once
// One named group of file masks of the name field's mask menu. Plain value.
#include <QString>
#include <QStringList>

struct FileMaskGroup {
    QString name;
    QStringList masks;   // e.g. "*.mp3"; put into the name field joined with ","

    bool operator==(const FileMaskGroup&) const = default;
};
