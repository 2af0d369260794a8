#pragma once
// The search-options file (".qdp", INI): one section per option panel — "General",
// "ContainText", "Date", "Size", "Duplicate" — plus "Main"/"Name" written by save().
// Integers are decimal text, sizes "%.2f", the folder list joined with double-quote
// characters; strings are read with a 4,096-byte buffer. A missing key takes its default
// (the from/to date parts: the current date and time parts); a value out of range takes
// the field's default (OptionValueLimits).
//
// Failure: save() builds the whole file in memory and replaces the target crash-safely,
// so a failed save leaves the old file (or none) as it was; open() of an unreadable file
// changes nothing. Both return false with a reason. Works on values only, any thread.
#include <QString>

#include "options/SearchOptionsValues.h"

class IniFile;

class SearchOptionsFile {
public:
    static constexpr size_t kStringBuffer = 4096;

    // The five sections in panel order: name and location, contained text, date, size,
    // duplicates. Keys of other sections and other lines stay as they are.
    static void writeSections(IniFile& ini, const SearchOptionsValues& values);
    // Reads the five sections in the same order; every field is set (missing keys take
    // their defaults).
    static void readSections(const IniFile& ini, SearchOptionsValues& values);

    static void write(IniFile& ini, const NameLocationValue& v);
    static void write(IniFile& ini, const ContainTextValue& v);
    static void write(IniFile& ini, const DateValue& v);
    static void write(IniFile& ini, const SizeValue& v);
    static void write(IniFile& ini, const DuplicateValue& v);
    static void read(const IniFile& ini, NameLocationValue& v);
    static void read(const IniFile& ini, ContainTextValue& v);
    static void read(const IniFile& ini, DateValue& v);
    static void read(const IniFile& ini, SizeValue& v);
    static void read(const IniFile& ini, DuplicateValue& v);

    // A new file at `path`: "Main"/"Name" = the file's title (name without its extension),
    // then the five sections. Any old file of that path is replaced as a whole.
    static bool save(const QString& path, const SearchOptionsValues& values, QString* error = nullptr);
    // Reads the five sections of the file at `path` into `values` (left as they were when
    // the file cannot be read).
    static bool open(const QString& path, SearchOptionsValues& values, QString* error = nullptr);

    // "Folders": the entries joined with '"'; and back (empty pieces dropped).
    static QString joinFolders(const QStringList& folders);
    static QStringList splitFolders(const QString& text);
};
