#pragma once
// Deleting found files: to the freedesktop trash (QFile::moveToTrash, which also uses the
// trash folder of the file's own volume), or permanently (a folder with everything in it;
// symbolic links are removed, never followed).
//
// Paths are absolute, as raw bytes. Each call returns 0 on success, else an errno value.
// A path that is not valid UTF-8 cannot be handed to QFile without losing bytes: it goes
// to the home trash by its bytes (the info file's Path percent-encoded), and gives EXDEV
// (the file stays where it is) when it lies on another file system than that trash. A permanent delete of a folder that fails part-way leaves what it
// could not remove. Any thread for remove(); user-interface or any thread for the trash.
#include <string>

class FileDeleter {
public:
    static int moveToTrash(const std::string& path);
    static int removePermanently(const std::string& path);
    // The home trash folder ($XDG_DATA_HOME/Trash, under test mode the test's own).
    static std::string homeTrash();

private:
    static int moveToHomeTrash(const std::string& path);
};
