#pragma once
// The process-wide table of archive formats, filled once from the handler libraries found
// on disk and read-only afterwards.
//
// Search order: the folder "Formats" beside libcrateview.so; then a configured 7-Zip folder;
// then /usr/lib/p7zip and /usr/lib/7zip. The first of these folders that yields at least one
// usable format is used alone. In a "Formats" folder every regular file is tried; in a 7-Zip
// folder its own "Formats" folder is used when present, else its "*.so" files. A file that
// is not a fitting handler library is skipped and never stops the others.
#include <memory>
#include <string>
#include <vector>

#include "archive/FormatHandlerInfo.h"

namespace crateview {

class FormatHandlerTable {
public:
    // Replaces the table with what is found starting from `baseFolder` (the folder that may
    // hold "Formats"), then `configuredFolder` (may be empty), then the standard folders.
    static void load(const std::string& baseFolder, const std::string& configuredFolder);
    static void unload();
    static const std::vector<std::unique_ptr<FormatHandlerInfo>>& handlers();
    // First format listing the extension (ASCII case-insensitive, no leading dot); null if none.
    // `pairIndex` receives the position of the matching extension in the record.
    static const FormatHandlerInfo* findByExtension(const std::string& extension, size_t* pairIndex = nullptr);
    // Formats of one library file, appended to `out`; false when the file does not fit.
    static bool readLibrary(const std::string& path, std::vector<std::unique_ptr<FormatHandlerInfo>>& out);

private:
    static size_t loadFolder(const std::string& folder, bool everyFile,
                             std::vector<std::unique_ptr<FormatHandlerInfo>>& out);
};

}  // namespace crateview
