#include "archive/HandlerLibrary.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace crateview {

namespace {
// Interface type reported by GetModuleProp(0): 0 = IUnknown without a virtual destructor,
// the layout HandlerInterfaces.h declares.
constexpr PROPID kModulePropInterfaceType = 0;

bool looksLikeElfSharedObject(const std::string& path) {
    // The cheap check before dlopen: unreadable files, text files and the like are refused
    // without running any of their code.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    unsigned char header[18] = {};
    const ssize_t n = ::pread(fd, header, sizeof header, 0);
    ::close(fd);
    if (n != static_cast<ssize_t>(sizeof header))
        return false;
    const bool elf = header[0] == 0x7F && header[1] == 'E' && header[2] == 'L' && header[3] == 'F';
    const unsigned type = header[16] | (header[17] << 8);   // little-endian e_type
    return elf && type == 3;                                  // ET_DYN
}

template <class Fn>
Fn symbol(void* handle, const char* name) {
    return reinterpret_cast<Fn>(::dlsym(handle, name));
}
}  // namespace

std::shared_ptr<HandlerLibrary> HandlerLibrary::load(const std::string& path, std::string& error) {
    if (!looksLikeElfSharedObject(path)) {
        error = "not a shared library";
        return nullptr;
    }
    int flags = RTLD_NOW | RTLD_LOCAL;
#if !defined(__SANITIZE_ADDRESS__)
    // The handler library must bind to its own VariantClear & co., not to same-named symbols
    // of the host. (AddressSanitizer refuses RTLD_DEEPBIND; its builds export no such names.)
    flags |= RTLD_DEEPBIND;
#endif
    void* handle = ::dlopen(path.c_str(), flags);
    if (!handle) {
        const char* why = ::dlerror();
        error = why ? why : "dlopen failed";
        return nullptr;
    }
    std::shared_ptr<HandlerLibrary> lib(new HandlerLibrary());
    lib->m_path = path;
    lib->m_handle = handle;
    lib->m_createObject = symbol<Fn_CreateObject>(handle, "CreateObject");
    lib->m_getHandlerProperty = symbol<Fn_GetHandlerProperty>(handle, "GetHandlerProperty");
    lib->m_getHandlerProperty2 = symbol<Fn_GetHandlerProperty2>(handle, "GetHandlerProperty2");
    lib->m_getNumberOfFormats = symbol<Fn_GetNumberOfFormats>(handle, "GetNumberOfFormats");
    lib->m_variantClear = symbol<Fn_VariantClear>(handle, "VariantClear");
    lib->m_sysFreeString = symbol<Fn_SysFreeString>(handle, "SysFreeString");
    const auto getModuleProp = symbol<Fn_GetModuleProp>(handle, "GetModuleProp");

    if (!lib->m_createObject) {
        error = "no CreateObject export";
        return nullptr;
    }
    const bool multi = lib->m_getNumberOfFormats && lib->m_getHandlerProperty2;
    if (!multi && !lib->m_getHandlerProperty) {
        error = "no GetHandlerProperty export";
        return nullptr;
    }
    if (!lib->m_variantClear && !lib->m_sysFreeString) {
        error = "no way to free the library's strings";
        return nullptr;
    }
    // Without GetModuleProp the library is of the older generation whose IUnknown has a
    // virtual destructor: its objects do not fit our interface declarations.
    if (!getModuleProp) {
        error = "no GetModuleProp export (older interface generation)";
        return nullptr;
    }
    PROPVARIANT type{};
    const HRESULT hr = getModuleProp(kModulePropInterfaceType, &type);
    const bool fits = hr == S_OK && type.vt == VT_UI4 && type.ulVal == 0;
    lib->clearVariant(&type);
    if (!fits) {
        error = "unsupported interface type";
        return nullptr;
    }
    if (multi) {
        // Names in archives without a declared encoding are UTF-8 on this platform.
        if (auto* forceUtf8 = static_cast<bool*>(::dlsym(handle, "g_ForceToUTF8")))
            *forceUtf8 = true;
    }
    return lib;
}

HandlerLibrary::~HandlerLibrary() {
    if (m_handle)
        ::dlclose(m_handle);
}

uint32_t HandlerLibrary::formatCount() const {
    if (!m_getNumberOfFormats || !m_getHandlerProperty2)
        return 1;
    uint32_t count = 0;
    if (m_getNumberOfFormats(&count) != S_OK)
        return 0;
    return count;
}

HRESULT HandlerLibrary::getFormatProperty(uint32_t format, PROPID id, PROPVARIANT* value) const {
    if (m_getNumberOfFormats && m_getHandlerProperty2)
        return m_getHandlerProperty2(format, id, value);
    return m_getHandlerProperty(id, value);
}

void HandlerLibrary::clearVariant(PROPVARIANT* value) const {
    if (!value)
        return;
    if (m_variantClear) {
        m_variantClear(value);
    } else if (value->vt == VT_BSTR && value->bstrVal) {
        m_sysFreeString(value->bstrVal);
    }
    *value = PROPVARIANT{};
}

}  // namespace crateview
