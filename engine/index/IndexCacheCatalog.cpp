#include "index/IndexCacheCatalog.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "index/IndexGeneration.h"
#include "platform/AtomicFileWriter.h"
#include "platform/DirEnumerator.h"
#include "tools/Tool_Resource.h"

namespace {
bool isHashed(const std::string& encoded) { return encoded.size() > 1 && encoded[0] == '%' && encoded[1] == 'H'; }

bool readWhole(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

const char* suffixOf(int stage) {
    return stage == Tool_Resource::INDEX_STAGE_LIVE      ? "_fi.ind"
           : stage == Tool_Resource::INDEX_STAGE_PENDING ? "_fim.ind"
                                                         : "_fit.ind";
}
}  // namespace

std::string IndexCacheCatalog::sideFileName(const std::string& encoded) {
    return Tool_Resource::getIndexCachePath() + "rt" + encoded;
}

bool IndexCacheCatalog::recordRoot(const std::string& rootGiven) {
    const std::string root = Tool_Resource::normalizePath(rootGiven);
    const std::string encoded = Tool_Resource::encodeIndexRoot(root);
    if (!isHashed(encoded))
        return true;
    const std::string side = sideFileName(encoded);
    std::string stored;
    if (readWhole(side, stored))
        return stored == root;
    AtomicFileWriter writer;
    return writer.open(side) && writer.write(root) && writer.commit();
}

bool IndexCacheCatalog::isRootRecorded(const std::string& rootGiven) {
    const std::string root = Tool_Resource::normalizePath(rootGiven);
    const std::string encoded = Tool_Resource::encodeIndexRoot(root);
    if (!isHashed(encoded))
        return true;
    std::string stored;
    return readWhole(sideFileName(encoded), stored) && stored == root;
}

void IndexCacheCatalog::forgetRootIfUnused(const std::string& root) {
    const std::string encoded = Tool_Resource::encodeIndexRoot(root);
    if (!isHashed(encoded) || !isRootRecorded(root))
        return;
    for (const char* tag : {"idfa", "gn"})
        for (int stage = 1; stage <= 3; ++stage)
            if (exists(Tool_Resource::getIndexCachePath() + tag + encoded + suffixOf(stage)))
                return;
    ::unlink(sideFileName(encoded).c_str());
}

bool IndexCacheCatalog::rootOf(const std::string& encoded, std::string& root) {
    if (isHashed(encoded)) {
        if (!readWhole(sideFileName(encoded), root) || root.empty())
            return false;
    } else if (!Tool_Resource::decodeIndexRoot(encoded, root) || root.empty()) {
        return false;
    }
    // Only canonical names count: a stray file that decodes to some root but is not the
    // name that root gets is not one of our caches.
    return Tool_Resource::encodeIndexRoot(root) == encoded;
}

std::vector<IndexCacheCatalog::Cache> IndexCacheCatalog::list(int stage) {
    std::vector<Cache> out;
    const std::string folder = Tool_Resource::getIndexCachePath();
    if (folder.empty())
        return out;
    const std::string suffix = suffixOf(stage);
    DirEnumerator dir;
    if (!dir.open(folder))
        return out;
    while (dir.next()) {
        const std::string_view name = dir.name();
        // The generation record: a set is listed only when it was committed whole.
        if (name.size() <= 2 + suffix.size() || name.substr(0, 2) != "gn" ||
            name.substr(name.size() - suffix.size()) != suffix)
            continue;
        const std::string encoded(name.substr(2, name.size() - 2 - suffix.size()));
        Cache cache;
        if (!rootOf(encoded, cache.root))
            continue;
        FileStat st;
        IndexGeneration generation;
        if (!dir.stat(st) || !S_ISREG(st.mode) || !generation.read(cache.root, stage))
            continue;
        cache.entries = generation.entries();
        cache.written = st.lastWrite.tv_sec;
        out.push_back(std::move(cache));
    }
    std::sort(out.begin(), out.end(), [](const Cache& a, const Cache& b) { return a.root < b.root; });
    return out;
}

std::vector<std::string> IndexCacheCatalog::rootsOf(int stage) {
    std::vector<std::string> roots;
    for (auto& cache : list(stage))
        roots.push_back(std::move(cache.root));
    return roots;
}
