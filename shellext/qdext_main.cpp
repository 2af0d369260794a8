// qdext: what the file managers start with the selected folders, and the installer of
// their entry for the current user.
//
//   qdext FOLDER...      start the main program searching in the folders
//   qdext --register     add the entry to the file managers of this user
//   qdext --unregister   remove it again
//
// Relative folders are taken from the current folder (file-manager scripts run in the
// folder shown), file:// addresses are decoded. Exit status 0 on success, 1 otherwise
// (with the reason on standard error).
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "ExtResult.h"
#include "FileManagerEntries.h"
#include "PathShellExt.h"

namespace {

std::string selfPath()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string localPath(const std::string& argument)
{
    std::string path = argument;
    if (path.rfind("file://", 0) == 0) {
        std::string rest = path.substr(7);
        const size_t slash = rest.find('/');
        rest = slash == std::string::npos ? std::string("/") : rest.substr(slash);  // drop the host part
        path.clear();
        for (size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == '%' && i + 2 < rest.size() && hexValue(rest[i + 1]) >= 0 && hexValue(rest[i + 2]) >= 0) {
                path += char(hexValue(rest[i + 1]) * 16 + hexValue(rest[i + 2]));
                i += 2;
            } else {
                path += rest[i];
            }
        }
    }
    if (!path.empty() && path[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd))
            path = std::string(cwd) + (std::strcmp(cwd, "/") == 0 ? "" : "/") + path;
    }
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--register") == 0 || std::strcmp(argv[1], "--unregister") == 0)) {
        const FileManagerEntries entries(selfPath());
        std::string error;
        const bool ok = argv[1][2] == 'r' ? entries.registerAll(&error) : entries.unregisterAll(&error);
        if (!ok)
            std::fprintf(stderr, "qdext: %s\n", error.c_str());
        return ok ? 0 : 1;
    }
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i)
        folders.push_back(localPath(argv[i]));
    std::vector<const char*> selection;
    for (const std::string& f : folders)
        selection.push_back(f.c_str());
    PathShellExt ext;
    if (ext.Initialize(selection) != ExtResult::kOk) {
        std::fprintf(stderr, "qdext: no usable folder was given\n");
        return 1;
    }
    if (ext.InvokeCommand(nullptr, 0) != ExtResult::kOk) {
        std::fprintf(stderr, "qdext: the folders cannot be handed over, or the program was not found\n");
        return 1;
    }
    return 0;
}
