// Tool_Resource: names of index cache files and the cache folder.
#include "tools/Tool_Resource.h"

#include <cerrno>
#include <mutex>
#include <sys/stat.h>

namespace {
// The cache folder, shared by every search and indexing run of the process: read often,
// set rarely, so readers take a copy under the lock.
std::mutex& cachePathLock() {
    static std::mutex lock;
    return lock;
}
std::string& cachePath() {
    static std::string path;
    return path;
}

const char* stageSuffix(int stage) {
    switch (stage) {
    case Tool_Resource::INDEX_STAGE_LIVE: return "_fi.ind";
    case Tool_Resource::INDEX_STAGE_PENDING: return "_fim.ind";
    case Tool_Resource::INDEX_STAGE_TEMPORARY: return "_fit.ind";
    default: return nullptr;
    }
}

uint64_t rootHash(const std::string& root) {
    // FNV-1a with a final avalanche; the side file of a hashed root guards against the
    // (astronomically unlikely) case of two long roots sharing a hash.
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : root) {
        h ^= c;
        h *= 1099511628211ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return h;
}
}  // namespace

std::string Tool_Resource::encodeIndexRoot(const std::string& rootGiven) {
    // Every spelling of a folder ("/a/b/", "/a//b", "/a/./c/../b") names one cache.
    const std::string root = normalizePath(rootGiven);
    std::string out;
    out.reserve(root.size() + 8);
    for (char c : root) {
        if (c == '%')
            out += "%25";
        else if (c == '_')
            out += "%5F";
        else if (c == '/')
            out += '_';
        else
            out += c;
    }
    if (out.size() <= INDEX_MAX_DIRECT_NAME)
        return out;
    static const char hex[] = "0123456789abcdef";
    std::string hashed = "%H";
    const uint64_t h = rootHash(root);
    for (int shift = 60; shift >= 0; shift -= 4)
        hashed += hex[(h >> shift) & 0xF];
    return hashed;
}

bool Tool_Resource::decodeIndexRoot(const std::string& encoded, std::string& root) {
    root.clear();
    for (size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '_') {
            root += '/';
        } else if (c == '%') {
            if (i + 2 >= encoded.size())
                return false;
            const std::string esc = encoded.substr(i + 1, 2);
            if (esc == "25")
                root += '%';
            else if (esc == "5F")
                root += '_';
            else
                return false;   // "%H..." (hashed) or not ours
            i += 2;
        } else {
            root += c;
        }
    }
    return true;
}

std::string Tool_Resource::convertToIndexFileName(const std::string& root, int stage) {
    const char* suffix = stageSuffix(stage);
    if (!suffix || root.empty())
        return {};
    return encodeIndexRoot(root) + suffix;
}

void Tool_Resource::setIndexCachePath(const std::string& path) {
    std::string folder = path;
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    struct stat st{};
    if (::stat(folder.c_str(), &st) != 0 && errno == ENOENT)
        ::mkdir(folder.c_str(), 0700);
    std::lock_guard<std::mutex> guard(cachePathLock());
    cachePath() = std::move(folder);
}

std::string Tool_Resource::getIndexCachePath() {
    std::lock_guard<std::mutex> guard(cachePathLock());
    return cachePath();
}
