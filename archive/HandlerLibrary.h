#pragma once
// One loaded handler library (dlopen). Shared by the handler records of its formats and by
// every archive object it created, so that the code stays mapped while any object lives;
// the library is unloaded when the last holder lets go.
#include <memory>
#include <string>

#include "archive/HandlerTypes.h"

namespace crateview {

class HandlerLibrary {
public:
    ~HandlerLibrary();
    HandlerLibrary(const HandlerLibrary&) = delete;
    HandlerLibrary& operator=(const HandlerLibrary&) = delete;

    // Loads the file and checks that it is a handler library this program can talk to:
    // an ELF shared object exporting CreateObject, a way to read handler properties, a way
    // to free the strings it returns, and (GetModuleProp) the interface layout without a
    // virtual destructor. Null, with the reason in `error`, when it is not.
    static std::shared_ptr<HandlerLibrary> load(const std::string& path, std::string& error);

    const std::string& path() const { return m_path; }
    // Number of formats: GetNumberOfFormats when exported, else 1.
    uint32_t formatCount() const;
    // Handler property of one format (GetHandlerProperty2, or GetHandlerProperty for a
    // single-format library). The caller clears the value with clearVariant.
    HRESULT getFormatProperty(uint32_t format, PROPID id, PROPVARIANT* value) const;
    Fn_CreateObject createObject() const { return m_createObject; }
    // Frees what a handler put in a PROPVARIANT and sets it to empty.
    void clearVariant(PROPVARIANT* value) const;

private:
    HandlerLibrary() = default;
    std::string m_path;
    void* m_handle = nullptr;
    Fn_CreateObject m_createObject = nullptr;
    Fn_GetHandlerProperty m_getHandlerProperty = nullptr;
    Fn_GetHandlerProperty2 m_getHandlerProperty2 = nullptr;
    Fn_GetNumberOfFormats m_getNumberOfFormats = nullptr;
    Fn_VariantClear m_variantClear = nullptr;
    Fn_SysFreeString m_sysFreeString = nullptr;
};

}  // namespace crateview
