#pragma once
// Helpers for the index tests: a cache folder in a temporary folder, and caches written
// straight from items.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "index/SF_SaverSet.h"
#include "search/Data_FileItem.h"
#include "tools/Tool_Resource.h"

namespace IndexTest {

inline Data_FileItem item(const std::string& folder, const std::string& name, int64_t size = 0, uint32_t attrs = 0) {
    Data_FileItem it;
    it.m_strPath = folder;
    it.setFileName(name);
    it.m_nSize = size;
    it.m_dwAttributes = attrs;
    it.m_ftCreation = FILETIME::fromU64(130000000000000000ull);
    it.m_ftLastWrite = FILETIME::fromU64(131000000000000000ull);
    it.m_ftLastAccess = FILETIME::fromU64(132000000000000000ull);
    return it;
}

inline Data_FileItem member(const std::string& folder, const std::string& archive, int index,
                            const std::string& inner, const std::string& name) {
    Data_FileItem it = item(folder, name, 10);
    it.m_bInArchive = 1;
    it.m_nArchiveIndex = index;
    it.m_strArchiveName = archive;
    it.m_strInnerPath = inner;
    return it;
}

// Writes the items as the pending cache of `root`, then makes it live.
inline bool writeLiveCache(const std::string& root, const std::vector<Data_FileItem>& items) {
    SF_SaverSet set;
    if (!set.openWrite(root))
        return false;
    bool ok = true;
    for (const auto& it : items)
        ok = set.writeItem(it) && ok;
    ok = set.closeWrite() && ok;
    return ok && set.commit(root) && SF_SaverSet::makeLive(root);
}

inline std::string columnFile(const std::string& tag, const std::string& root, int stage = 1) {
    return Tool_Resource::getIndexCachePath() + tag + Tool_Resource::convertToIndexFileName(root, stage);
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string u32(uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

}  // namespace IndexTest
