#pragma once
// The file name under which a member is written into the destination folder: the last
// component of its path. Whatever the archive says, the result is one plain component that
// stays inside the destination: never empty, ".", "..", never containing '/' or NUL.
#include <string>

namespace crateview {

class SafeMemberName {
public:
    // Last component of `memberPath` (trailing '/' ignored). When that is empty, "." or "..",
    // `defaultName` is used; when that is unusable too, the result is empty (skip the member).
    static std::string leafName(const std::string& memberPath, const std::string& defaultName);
    // The name a member without a usable name gets: the archive's file name without its last
    // extension ("a.tar.gz" gives "a.tar"), or "unnamed" when nothing is left.
    static std::string defaultNameFor(const std::string& archivePath);
    // True for a single component that may be created inside a folder.
    static bool isSafeComponent(const std::string& name);
};

}  // namespace crateview
