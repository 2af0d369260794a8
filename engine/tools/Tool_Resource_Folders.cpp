// Tool_Resource: the program folder, the temporary folder and hex digits.
#include "tools/Tool_Resource.h"

#include <cstdlib>
#include <dlfcn.h>

namespace {
std::string withOrWithoutSlash(std::string path, bool withSlash) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (withSlash && (path.empty() || path.back() != '/'))
        path += '/';
    return path;
}
}  // namespace

std::string Tool_Resource::getMyPath(bool withBackslash) {
    // The folder of this library file: the build and the installed program keep the
    // executables, the libraries and Language/ in that one folder.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&Tool_Resource::getMyPath), &info) == 0 || !info.dli_fname)
        return {};
    std::string file = info.dli_fname;
    const size_t slash = file.rfind('/');
    if (slash == std::string::npos)
        return {};
    return withOrWithoutSlash(file.substr(0, slash == 0 ? 1 : slash), withBackslash);
}

std::string Tool_Resource::getTempPath(bool withBackslash) {
    const char* tmp = std::getenv("TMPDIR");
    return withOrWithoutSlash(tmp && *tmp ? tmp : "/tmp", withBackslash);
}

int Tool_Resource::charToHex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
