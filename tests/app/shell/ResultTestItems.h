#pragma once
// Items for real files in the tests of the operations on results: built from the file
// itself (name, folder, size, times), as a search would list it.
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <string>

#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"

namespace ResultTestItems {

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The item of `folder` + `name` (`folder` ends in '/'); the file need not exist.
inline std::unique_ptr<Data_FileItem> itemFor(const std::string& folder, const std::string& name)
{
    auto item = std::make_unique<Data_FileItem>();
    item->m_strPath = folder;
    item->setFileName(name);
    struct stat st {};
    if (::lstat((folder + name).c_str(), &st) == 0) {
        item->m_nSize = S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
        item->m_dwAttributes = S_ISDIR(st.st_mode) ? Data_FileItem::ATTR_DIRECTORY : 0;
        item->m_ftLastWrite = FileTimeConvert::fromTimespec(st.st_mtim);
        item->m_ftLastAccess = FileTimeConvert::fromTimespec(st.st_atim);
        item->m_ftCreation = FileTimeConvert::fromTimespec(st.st_ctim);
    }
    return item;
}

}  // namespace ResultTestItems
