// Tool_Resource: language strings, number and size formatting, lists and paths.
#include "tools/Tool_Resource.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <string_view>
#include <system_error>
#include <vector>
#include <unistd.h>

#include "platform/IniFile.h"
#include "platform/MountPoints.h"
#include "platform/UniqueFd.h"
#include "platform/AsciiCase.h"

// English until the program picks a language, so that texts are available from the start.
Tool_Resource::Resource_Type Tool_Resource::m_rt = Tool_Resource::RT_ENGLISH;
std::map<unsigned, std::string> Tool_Resource::m_mapOfString;

namespace {

// Guards m_rt, m_mapOfString and the parsed language file: worker threads load texts too.
std::mutex& stringLock() {
    static std::mutex lock;
    return lock;
}

// The parsed language file, read once per file name.
struct LanguageFile {
    std::string path;
    IniFile ini;
};
std::unique_ptr<LanguageFile>& languageFile() {
    static std::unique_ptr<LanguageFile> file;
    return file;
}

constexpr size_t kStringBufferSize = 1024;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::string ceilingUnits(int64_t bytes, int64_t unit) { return std::to_string(bytes / unit + (bytes % unit != 0)); }

// An absolute path with "." and ".." resolved and repeated '/' folded, no trailing '/'
// except for the root. ".." of the root stays at the root.
std::string foldAbsolutePath(const std::string& path) {
    std::vector<std::string_view> parts;
    const std::string_view p(path);
    size_t at = 0;
    while (at < p.size()) {
        size_t end = p.find('/', at);
        if (end == std::string_view::npos)
            end = p.size();
        const std::string_view part = p.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    if (parts.empty())
        return "/";
    std::string out;
    for (std::string_view part : parts) {
        out += '/';
        out += part;
    }
    return out;
}
}  // namespace

// ---- language strings ---------------------------------------------------------------------

void Tool_Resource::setResourceType(Resource_Type type) {
    std::lock_guard guard(stringLock());
    m_rt = type;
}

std::string Tool_Resource::getResourceFileName(Resource_Type type) {
    const char* name = nullptr;
    switch (type) {
    case RT_ENGLISH: name = "English.ini"; break;
    case RT_GB: name = "GB.ini"; break;
    case RT_BIG5: name = "BIG5.ini"; break;
    default: return {};
    }
    return getMyPath(true) + "Language/" + name;
}

const std::string& Tool_Resource::loadString(unsigned id) {
    static const std::string failed = "Failed String";
    std::lock_guard guard(stringLock());
    const auto cached = m_mapOfString.find(id);
    if (cached != m_mapOfString.end())
        return cached->second;

    const std::string path = getResourceFileName(m_rt);
    if (path.empty())
        return failed;
    auto& file = languageFile();
    if (!file || file->path != path) {
        file = std::make_unique<LanguageFile>();
        file->path = path;
        file->ini.load(path);
    }
    std::string text = file->ini.getString("Language", std::to_string(id), "", kStringBufferSize);
    if (text.empty())
        return failed;
    return m_mapOfString.emplace(id, std::move(text)).first->second;
}

// ---- numbers and sizes --------------------------------------------------------------------

void Tool_Resource::seperateStringToString(std::string& text) {
    // A leading minus sign is not a digit: "-100" stays "-100", not "-,100".
    const size_t start = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    const size_t digits = text.size() - start;
    if (digits < 4)
        return;
    std::string out = text.substr(0, start);
    for (size_t i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0)
            out += ',';
        out += text[start + i];
    }
    text = std::move(out);
}

void Tool_Resource::seperateNumberToString(int64_t number, std::string& out) {
    out = std::to_string(number);
    seperateStringToString(out);
}

void Tool_Resource::formatCompatiableSize(int64_t bytes, std::string& out) {
    constexpr int64_t KB = 1024, MB = KB * 1024, GB = MB * 1024;
    if (bytes < KB) {
        seperateNumberToString(bytes, out);
        out += ' ';
        out += loadString(34);
        return;
    }
    const int64_t unit = bytes < MB ? KB : (bytes < GB ? MB : GB);
    out = ceilingUnits(bytes, unit);
    seperateStringToString(out);
    out += unit == KB ? " KB" : (unit == MB ? " MB" : " GB");
}

int Tool_Resource::getCharNumInString(const std::string& text, char c) {
    int count = 0;
    for (char x : text)
        count += (x == c);
    return count;
}

// ---- strings and lists --------------------------------------------------------------------

void Tool_Resource::separateStringByChar(const std::string& text, std::vector<std::string>& out, char separator) {
    if (text.empty())
        return;
    std::string rest = text;
    for (;;) {
        const std::string copy = trimmed(rest);
        const size_t pos = copy.find(separator);
        if (pos == std::string::npos) {
            out.push_back(rest);
            return;
        }
        out.push_back(copy.substr(0, pos));
        rest = copy.substr(pos + 1);
    }
}

void Tool_Resource::separateString(const std::string& text, std::vector<std::string>& out) {
    separateStringByChar(text, out, ',');
}

void Tool_Resource::separateStringOnlyForFolder(const std::string& text, std::vector<std::string>& out) {
    separateStringByChar(text, out, '"');
}

void Tool_Resource::separateFolders(const std::string& text, std::vector<std::string>& out) {
    if (text.empty())
        return;
    if (AsciiCase::equalFolded(text, loadString(1))) {
        getLogicalDriveString(out, true);
        return;
    }
    separateStringOnlyForFolder(text, out);
}

void Tool_Resource::getLogicalDriveString(std::vector<std::string>& out, bool /*fixedOnly*/) {
    // Every mount point listed is a local disk; there is no other kind of "drive" to add.
    for (std::string& point : MountPoints::localDiskMounts()) {
        if (point.back() != '/')
            point += '/';
        out.push_back(std::move(point));
    }
}

// ---- paths --------------------------------------------------------------------------------

bool Tool_Resource::isValidFolder(const std::string& path) {
    if (path.empty())
        return false;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return false;
    DIR* dir = ::fdopendir(fd.get());
    if (!dir)
        return false;
    fd.release();   // the stream owns it now
    ::closedir(dir);
    return true;
}

int Tool_Resource::isFileOrFolderExist(const char* path) {
    if (!path)
        return EINVAL;
    if (!*path)
        return ENOENT;
    struct stat st {};
    return ::lstat(path, &st) == 0 ? 0 : errno;
}

std::string Tool_Resource::normalizePath(const std::string& path, const std::string& currentFolder) {
    if (path.empty())
        return {};
    if (path.front() == '/')
        return foldAbsolutePath(path);
    std::string base = currentFolder;
    if (base.empty() || base.front() != '/') {
        std::string buffer(PATH_MAX, '\0');
        if (::getcwd(buffer.data(), buffer.size())) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            base = buffer;
        } else {
            const char* pwd = std::getenv("PWD");
            base = pwd && *pwd == '/' ? pwd : "/";
        }
    }
    return foldAbsolutePath(base + "/" + path);
}

void Tool_Resource::formatPathString(std::string& path, bool addBackslash, bool /*addBackslashToRoot*/) {
    path = trimmed(path);
    if (path.empty())
        return;  // an empty path never turns into the root
    if (path.front() == '/')
        path = foldAbsolutePath(path);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    // The root "/" is a drive root: it keeps its slash in both forms.
    if (addBackslash && path.back() != '/')
        path += '/';
}

bool Tool_Resource::isPathIncludePath(const std::string& outerIn, const std::string& innerIn) {
    std::string outer = outerIn, inner = innerIn;
    formatPathString(outer, false, false);
    formatPathString(inner, false, false);
    if (outer.empty() || inner.size() < outer.size())
        return false;
    if (inner.size() == outer.size())
        return inner == outer;
    // Below the root every path qualifies; below any other folder a '/' must follow.
    if (inner.compare(0, outer.size(), outer) != 0)
        return false;
    return outer.back() == '/' || inner[outer.size()] == '/';
}

void Tool_Resource::slimFolders(std::vector<std::string>& folders) {
    if (folders.size() < 2)
        return;
    std::vector<std::string> kept;
    for (size_t i = 0; i < folders.size(); ++i) {
        bool drop = false;
        for (size_t j = 0; j < folders.size() && !drop; ++j) {
            if (j == i || !isPathIncludePath(folders[j], folders[i]))
                continue;
            const bool equal = isPathIncludePath(folders[i], folders[j]);
            drop = !equal || j > i;  // of two equal entries the earlier goes
        }
        if (!drop)
            kept.push_back(folders[i]);
    }
    folders = std::move(kept);
}

int Tool_Resource::findStringInStringArray(const std::vector<std::string>& list, const std::string& text,
                                           bool caseSensitive) {
    for (size_t i = 0; i < list.size() && i <= static_cast<size_t>(INT_MAX); ++i)
        if (caseSensitive ? list[i] == text : AsciiCase::equalFolded(list[i], text))
            return static_cast<int>(i);
    return -1;
}

void Tool_Resource::splitFileFullPath(const std::string& path, std::string& drive, std::string& folder,
                                      std::string& name, std::string& extension) {
    drive.clear();
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    folder = path.substr(0, nameStart);
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart) {
        name = path.substr(nameStart, dot - nameStart);
        extension = path.substr(dot);
    } else {
        name = path.substr(nameStart);
        extension.clear();
    }
}

void Tool_Resource::fixFileName(std::string& name) {
    for (char& c : name) {
        switch (c) {
        case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
            c = '~';
            break;
        default:
            break;
        }
    }
}

std::string Tool_Resource::getErrorMessage(int errorCode) {
    return std::error_code(errorCode, std::generic_category()).message();
}

std::string Tool_Resource::getRealObjectFullPath(const char* linkFile) {
    if (!linkFile || !*linkFile)
        return {};
    std::string target(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(linkFile, target.data(), target.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < target.size()) {
            target.resize(static_cast<size_t>(n));
            break;
        }
        if (target.size() >= (1u << 20))
            return {};
        target.resize(target.size() * 2);
    }
    if (target.empty() || target[0] == '/')
        return target;
    const std::string link = linkFile;
    const size_t slash = link.rfind('/');
    if (slash == std::string::npos)
        return target;  // relative to the current folder, as the link itself is
    return link.substr(0, slash + 1) + target;
}
