#pragma once
// What the copy commands put on the clipboard: the names, folders or full paths of the
// selected rows as text joined by LF (no line end after the last), and files for a file
// manager to paste: text/uri-list (CR LF after each URI), x-special/gnome-copied-files
// ("copy" or "cut", then the URIs, joined by LF), application/x-kde-cutselection ("1" for
// a cut) and text/plain (the paths joined by LF).
//
// The builders are pure; put() hands the data to QGuiApplication::clipboard(), which
// takes ownership. Paths are absolute, as raw bytes. User-interface thread for put().
#include <string>
#include <vector>

class QMimeData;

class ResultClipboard {
public:
    enum class TextKind { Names, Folders, FullPaths };
    enum class FileMode { Copy, Cut };

    // One line per entry, joined by LF.
    static std::string joinLines(const std::vector<std::string>& lines);
    // A new data object (caller owns) for `paths`.
    static QMimeData* filesData(const std::vector<std::string>& paths, FileMode mode);
    // True when `data` says its files were cut (the GNOME or the KDE format).
    static bool isCut(const QMimeData& data);

    static void putText(const std::string& text);
    static void putFiles(const std::vector<std::string>& paths, FileMode mode);
};
