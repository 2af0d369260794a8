#pragma once
// What the cache folder holds: the roots of its live and pending caches, read back from
// the names of their generation records (Tool_Resource::convertToIndexFileName is
// one-to-one and decodable). Column files without a readable record are not listed.
//
// A root whose encoded name is too long for a file name is stored under a hashed name;
// its side file "rt<hashed name>" holds the root itself, so the root can be listed and a
// second root that happened to share the hash is refused instead of overwriting the
// first one's cache.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

class IndexCacheCatalog {
public:
    struct Cache {
        std::string root;
        uint32_t entries = 0;       // entry count the generation record names
        std::time_t written = 0;    // when the record was written (mtime)
    };

    // For a hashed root: creates its side file or checks that it names this root (false
    // on a hash collision or when the side file cannot be written). True for other roots.
    static bool recordRoot(const std::string& root);
    // For a hashed root: whether its side file names this root. True for other roots.
    static bool isRootRecorded(const std::string& root);
    // Removes a hashed root's side file when no cache file of the root remains.
    static void forgetRootIfUnused(const std::string& root);
    // The root of an encoded name (stage suffix removed); false when it is not ours.
    static bool rootOf(const std::string& encoded, std::string& root);

    // Caches of the current cache folder in the stage (live or pending), sorted by root.
    static std::vector<Cache> list(int stage);
    static std::vector<std::string> rootsOf(int stage);

private:
    static std::string sideFileName(const std::string& encoded);
};
