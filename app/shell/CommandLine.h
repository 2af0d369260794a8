#pragma once
// The program's command line: the flags "path" and "minimized" (any case, after "/", "-"
// or "--") and one plain parameter, which names a result file to open, or, with the path
// flag, the folders to search in.
//
// The folder context-menu entry starts the program as: /path "<folders> "
// with the folders joined by double quotes. documentParameter() takes such a parameter
// apart the way the program's document manager does: a leading double quote and everything
// from the last double quote on are removed, the rest is trimmed and limited in length,
// and a symbolic link (this platform's shortcut) is resolved to its target; the path need
// not exist. folders() then splits it at the double quotes.
//
// Pure value code: no files are touched except the symbolic-link look-up.
#include <QString>
#include <QStringList>

class CommandLine {
public:
    // Parses the arguments after the program name. Flags are not passed on; the first
    // plain argument is the parameter, later plain arguments are ignored.
    static CommandLine parse(const QStringList& arguments);

    bool pathFlag() const { return m_pathFlag; }
    bool minimizedFlag() const { return m_minimizedFlag; }
    // The plain argument as given (empty when there was none).
    const QString& parameter() const { return m_parameter; }
    bool hasParameter() const { return !m_parameter.isEmpty(); }

    // The parameter after the document manager's processing (see above).
    QString documentParameter() const;
    // The folders of a "/path" parameter: documentParameter() split at double quotes,
    // empty pieces dropped.
    QStringList folders() const;

    // Longest processed parameter, in bytes of UTF-8 (a path can be up to PATH_MAX - 1).
    static constexpr int kMaxParameterBytes = 4095;
    // The processing of documentParameter() for any text.
    static QString processParameter(const QString& parameter);

private:
    bool m_pathFlag = false;
    bool m_minimizedFlag = false;
    QString m_parameter;
};
