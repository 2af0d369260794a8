#include "archive/SafeMemberName.h"

namespace crateview {

bool SafeMemberName::isSafeComponent(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && name.size() <= 255;
}

std::string SafeMemberName::leafName(const std::string& memberPath, const std::string& defaultName) {
    std::string path = memberPath;
    const size_t nul = path.find('\0');
    if (nul != std::string::npos)
        path.resize(nul);
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    const size_t slash = path.rfind('/');
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    if (isSafeComponent(leaf))
        return leaf;
    if (leaf.size() > 255 && leaf != "." && leaf != "..") {
        // Too long for the file system: keep the end, which holds the extension, and cut
        // only at a character boundary.
        size_t start = leaf.size() - 255;
        while (start < leaf.size() && (static_cast<unsigned char>(leaf[start]) & 0xC0) == 0x80)
            ++start;
        leaf = leaf.substr(start);
        if (isSafeComponent(leaf))
            return leaf;
    }
    return isSafeComponent(defaultName) ? defaultName : std::string();
}

std::string SafeMemberName::defaultNameFor(const std::string& archivePath) {
    const size_t slash = archivePath.rfind('/');
    std::string name = slash == std::string::npos ? archivePath : archivePath.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return isSafeComponent(name) ? name : std::string("unnamed");
}

}  // namespace crateview
