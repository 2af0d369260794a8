#pragma once
// The command line of an open-with entry, taken apart without a shell.
//
// The entry's program path and its parameter template form one command line, in which
// every "%F%" of the template is replaced by the file's path in double quotes. The line is
// split into arguments by the quoting rules of desktop entries: blanks (space, tab, LF)
// separate arguments outside double quotes; inside them a backslash escapes '"', '`', '$'
// and '\'; quoted and unquoted pieces next to each other join into one argument. The path
// and the program path are quoted with those rules, so a name with blanks, quotes, '$',
// backticks or a leading '-' arrives as exactly one argument, and nothing is interpreted
// by a shell. A template without "%F%" passes no file. Pure functions.
#include <QString>
#include <QStringList>

class OpenWithCommand {
public:
    struct Line {
        QString program;
        QStringList arguments;
    };

    // "..." with '"', '`', '$' and '\' escaped.
    static QString quoted(const QString& text);
    // Splits `line`; `ok` is false for an unterminated quote (the rest is taken as it stands).
    static QStringList split(const QString& line, bool* ok = nullptr);
    // The program and the arguments for `path`. An empty program gives an empty Line.
    static Line build(const QString& program, const QString& parameterTemplate, const QString& path);

    // Why a program cannot be started: 0 when it can, 2 when the program file is missing
    // (also: not found on PATH, not executable), 3 when the folder it names is missing.
    static int checkProgram(const QString& program);
};
