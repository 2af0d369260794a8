#include "archive/FormatHandlerTable.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

#include "archive/PropVariant.h"

namespace crateview {

namespace {
std::vector<std::unique_ptr<FormatHandlerInfo>>& table() {
    static std::vector<std::unique_ptr<FormatHandlerInfo>> s_table;
    return s_table;
}

std::vector<std::string> splitAtSpaces(const std::string& text) {
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        size_t end = i;
        while (end < text.size() && text[end] != ' ')
            ++end;
        if (end > i)
            parts.push_back(text.substr(i, end - i));
        i = end;
    }
    return parts;
}

bool equalsIgnoreAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return false;
    }
    return true;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Regular files of a folder, sorted by name so that the table does not depend on the order
// the file system happens to return.
std::vector<std::string> regularFiles(const std::string& folder) {
    std::vector<std::string> files;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return files;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string full = folder + "/" + name;
        struct stat st {};
        if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            files.push_back(full);
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end());
    return files;
}

std::unique_ptr<FormatHandlerInfo> readFormat(const std::shared_ptr<HandlerLibrary>& lib, uint32_t format) {
    PropVariant v(*lib);
    auto info = std::make_unique<FormatHandlerInfo>();
    info->libraryPath = lib->path();
    info->library = lib;
    info->createObject = lib->createObject();
    info->formatIndex = format;

    if (lib->getFormatProperty(format, kHandlerName, v.out()) != S_OK)
        return nullptr;
    auto name = v.asString();
    if (!name)
        return nullptr;
    info->name = *name;

    if (lib->getFormatProperty(format, kHandlerClassId, v.out()) != S_OK)
        return nullptr;
    auto classId = v.asBytes();
    if (!classId || classId->size() != sizeof(GUID))
        return nullptr;
    std::memcpy(&info->classId, classId->data(), sizeof(GUID));

    if (lib->getFormatProperty(format, kHandlerExtension, v.out()) != S_OK)
        return nullptr;
    auto extensions = v.asString();
    if (!extensions)
        return nullptr;
    const std::vector<std::string> exts = splitAtSpaces(*extensions);

    std::vector<std::string> additional;
    if (lib->getFormatProperty(format, kHandlerAddExtension, v.out()) != S_OK)
        return nullptr;
    if (!v.isEmpty()) {
        auto add = v.asString();
        if (!add)
            return nullptr;
        additional = splitAtSpaces(*add);
    }
    for (size_t i = 0; i < exts.size(); ++i) {
        std::string add = i < additional.size() ? additional[i] : std::string();
        if (add == "*")
            add.clear();
        info->extensions.emplace_back(exts[i], add);
    }

    if (lib->getFormatProperty(format, kHandlerUpdate, v.out()) == S_OK && v.value().vt == VT_BOOL)
        info->updateEnabled = v.value().boolVal != 0;
    if (info->updateEnabled && lib->getFormatProperty(format, kHandlerKeepName, v.out()) == S_OK &&
        v.value().vt == VT_BOOL)
        info->keepName = v.value().boolVal != 0;
    if (lib->getFormatProperty(format, kHandlerSignature, v.out()) == S_OK) {
        if (auto sig = v.asBytes())
            info->startSignature = *sig;
    }
    return info;
}
}  // namespace

bool FormatHandlerTable::readLibrary(const std::string& path, std::vector<std::unique_ptr<FormatHandlerInfo>>& out) {
    std::string error;
    std::shared_ptr<HandlerLibrary> lib = HandlerLibrary::load(path, error);
    if (!lib)
        return false;
    const uint32_t count = lib->formatCount();
    size_t added = 0;
    for (uint32_t f = 0; f < count; ++f) {
        if (auto info = readFormat(lib, f)) {
            out.push_back(std::move(info));
            ++added;
        }
    }
    return added > 0;
}

size_t FormatHandlerTable::loadFolder(const std::string& folder, bool everyFile,
                                      std::vector<std::unique_ptr<FormatHandlerInfo>>& out) {
    size_t before = out.size();
    for (const std::string& file : regularFiles(folder)) {
        if (!everyFile && (file.size() < 3 || file.compare(file.size() - 3, 3, ".so") != 0))
            continue;
        readLibrary(file, out);
    }
    return out.size() - before;
}

void FormatHandlerTable::load(const std::string& baseFolder, const std::string& configuredFolder) {
    unload();
    std::vector<std::unique_ptr<FormatHandlerInfo>> found;
    auto trimmed = [](std::string folder) {
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    };
    if (!baseFolder.empty() && isFolder(trimmed(baseFolder) + "/Formats"))
        loadFolder(trimmed(baseFolder) + "/Formats", true, found);
    for (const std::string& folder : {configuredFolder, std::string("/usr/lib/p7zip"), std::string("/usr/lib/7zip")}) {
        if (!found.empty())
            break;
        if (folder.empty() || !isFolder(folder))
            continue;
        const std::string f = trimmed(folder);
        if (isFolder(f + "/Formats"))
            loadFolder(f + "/Formats", true, found);
        else
            loadFolder(f, false, found);
    }
    table() = std::move(found);
}

void FormatHandlerTable::unload() {
    // Records hold the libraries; archive objects still alive keep theirs loaded.
    table().clear();
}

const std::vector<std::unique_ptr<FormatHandlerInfo>>& FormatHandlerTable::handlers() { return table(); }

const FormatHandlerInfo* FormatHandlerTable::findByExtension(const std::string& extension, size_t* pairIndex) {
    if (extension.empty())
        return nullptr;
    for (const auto& info : table()) {
        for (size_t i = 0; i < info->extensions.size(); ++i) {
            if (equalsIgnoreAsciiCase(info->extensions[i].first, extension)) {
                if (pairIndex)
                    *pairIndex = i;
                return info.get();
            }
        }
    }
    return nullptr;
}

}  // namespace crateview
