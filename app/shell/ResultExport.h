#pragma once
// Exports of the result list: a file list (one file name per row, each line ended by LF,
// this platform's text line end) and comma-separated values.
//
// CSV layout: a header line of the chosen columns' captions, then one line per row, lines
// separated by CR LF with none after the last. Every value stands in double quotes; the
// comma before a value belongs to its column (column i > 0 writes ",\"", column 0 only
// "\""), so a file without column 0 starts every line with a comma. A double quote inside
// a value is written doubled, as CSV readers expect; commas and line breaks inside a value
// stay as they are, protected by the quotes.
//
// The texts are built in memory and written crash-safely (AtomicFileWriter); writing
// returns false (errno set) and leaves no file behind when the target cannot be created.
// User-interface thread (cell texts may come from the list's formatting).
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <string>

class Data_FileItem;
class IResultListAccess;

class ResultExport {
public:
    static constexpr int kColumnCount = 8;
    using Columns = std::array<bool, kColumnCount>;
    // The text of column 1..7 of an item (column 0 is always the file name).
    using CellText = std::function<QString(Data_FileItem& item, int column)>;

    static QByteArray fileListText(IResultListAccess& list);
    // `captions` holds the eight column captions in column order.
    static QByteArray csvText(IResultListAccess& list, const Columns& columns, const QStringList& captions,
                              const CellText& cellText);
    // The value between its quotes: every '"' doubled.
    static QByteArray csvQuoted(const QByteArray& value);

    // The cell texts when the list gives none: folder, size in bytes with the unit word,
    // type name (the MIME type's comment when not filled yet), the three times as
    // "MM-DD-YYYY HH:MM:SS" (empty for a zero time), the attribute letters R, H, S.
    static QString defaultCellText(Data_FileItem& item, int column);

    // Writes `bytes` to `path` crash-safely; false when the file cannot be created or written.
    static bool writeFile(const std::string& path, const QByteArray& bytes);
};
