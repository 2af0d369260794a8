#pragma once
// Opening found files with the desktop's default application, and showing them in the file
// manager.
//
// open() asks the desktop (QDesktopServices) to open a local file; false when it refuses.
// showItems() asks the file manager over D-Bus (org.freedesktop.FileManager1.ShowItems) to
// open the files' folders with the files selected; the call is asynchronous, and when the
// service is missing or answers with an error, each folder is opened by itself instead.
// Paths are absolute, as raw bytes. User-interface thread.
#include <string>
#include <vector>

class FileOpener {
public:
    static bool open(const std::string& path);
    static void showItems(const std::vector<std::string>& paths);
    // Opens each folder that holds one of `paths` (once per folder).
    static void openFolders(const std::vector<std::string>& paths);
    // The folder part of a path, ending in '/'.
    static std::string folderOf(const std::string& path);
};
