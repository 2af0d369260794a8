#include "archive/CExtractMgr.h"

#include <dlfcn.h>

#include "archive/FormatHandlerTable.h"
#include "archive/MyArchive.h"

using crateview::FormatHandlerTable;

namespace {
std::string& configuredFolder() {
    static std::string s_folder;
    return s_folder;
}

std::string libraryFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&libraryFolder), &info) == 0 || !info.dli_fname)
        return {};
    const std::string file = info.dli_fname;
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash == 0 ? 1 : slash);
}

// The extension after the last dot of the file name (not of a folder), without the dot.
std::string extensionOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}
}  // namespace

CExtractMgr::CExtractMgr() = default;

CExtractMgr::~CExtractMgr() { reset(); }

void CExtractMgr::init() { init(libraryFolder()); }

void CExtractMgr::init(const std::string& baseFolder) { FormatHandlerTable::load(baseFolder, configuredFolder()); }

void CExtractMgr::setConfiguredFolder(const std::string& folder) { configuredFolder() = folder; }

void CExtractMgr::uninit() { FormatHandlerTable::unload(); }

size_t CExtractMgr::getHandlerCount() { return FormatHandlerTable::handlers().size(); }

std::string CExtractMgr::getHandlerLibraryFor(const std::string& extension) {
    const auto* info = FormatHandlerTable::findByExtension(extension);
    return info ? info->libraryPath : std::string();
}

bool CExtractMgr::isSupportedType(const std::string& fullPath) const {
    return FormatHandlerTable::findByExtension(extensionOf(fullPath)) != nullptr;
}

bool CExtractMgr::setArchiveFullFile(const std::string& fullPath) {
    reset();
    size_t pairIndex = 0;
    const auto* format = FormatHandlerTable::findByExtension(extensionOf(fullPath), &pairIndex);
    if (!format)
        return false;
    try {
        m_pArchive = crateview::MyArchive::open(fullPath, *format, pairIndex);
    } catch (...) {   // out of memory: no archive, as for a file the handler refuses
        m_pArchive.reset();
    }
    return true;
}

IMyArchive* CExtractMgr::getIMyArchive() const { return m_pArchive.get(); }

void CExtractMgr::reset() { m_pArchive.reset(); }
