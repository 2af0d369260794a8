#pragma once
// Renaming files in their folder without ever replacing another file: the rename is
// refused (EEXIST) when the new name is taken by a different file. A new name that names
// the same file (only the letter case differs on a file system that ignores case) goes
// through a free temporary name, so the case change really happens.
//
// Names and paths are raw bytes (any byte but '/' and NUL in a name). Returns 0 on success,
// else an errno value; nothing is changed on failure. Any thread.
#include <string>
#include <string_view>

class FileRenamer {
public:
    // Renames `folder` + `oldName` to `folder` + `newName` (`folder` ends in '/').
    static int rename(const std::string& folder, const std::string& oldName, const std::string& newName);
    // Moves `from` to `to` (same file system) unless `to` exists; EXDEV across file systems.
    static int renameNoReplace(const std::string& from, const std::string& to);
    // A name is usable when it is not empty, ".", "..", and holds no '/' or NUL.
    static bool isValidName(std::string_view name);

    enum class Case { Upper, Lower };
    // The name with its letters in upper or lower case: Unicode case mapping for a
    // UTF-8 name, ASCII letters only for a name that is not valid UTF-8.
    static std::string changeCase(const std::string& name, Case to);
};
