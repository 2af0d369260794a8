#pragma once
// The binary types of the 7-Zip handler interface on x86-64 Linux: HRESULT is a 32-bit
// integer, GUIDs are 16 bytes, wchar_t is 32 bits, PROPVARIANT is 16 bytes with the value at
// offset 8. These layouts must match the handler library bit for bit.
#include <cstdint>
#include <cstring>

namespace crateview {

using HRESULT = int32_t;
using PROPID = uint32_t;
using BSTR = wchar_t*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
    friend bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
};
static_assert(sizeof(GUID) == 16);

// {23170F69-40C1-278A-0000-00gg00ss0000}: the family of the handler interfaces.
constexpr GUID handlerIid(uint8_t group, uint8_t sub) {
    return GUID{0x23170F69u, 0x40C1, 0x278A, {0, 0, 0, group, 0, sub, 0, 0}};
}
constexpr GUID IID_IUnknown{0x00000000u, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct HandlerFileTime {   // the handler's FILETIME: UTC, 100 ns ticks since 1601
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};

enum VarType : uint16_t {
    VT_EMPTY = 0, VT_I2 = 2, VT_I4 = 3, VT_BSTR = 8, VT_BOOL = 11, VT_I1 = 16, VT_UI1 = 17,
    VT_UI2 = 18, VT_UI4 = 19, VT_I8 = 20, VT_UI8 = 21, VT_INT = 22, VT_UINT = 23, VT_FILETIME = 64
};

struct PROPVARIANT {
    uint16_t vt;
    uint16_t wReserved1;   // VT_FILETIME: precision (1 s, 2 DOS, 23 = 100 ns, 25 = 1 ns ...)
    uint16_t wReserved2;   // VT_FILETIME: nanoseconds % 100
    uint16_t wReserved3;
    union {
        int8_t cVal;
        uint8_t bVal;
        int16_t iVal;
        uint16_t uiVal;
        int32_t lVal;
        uint32_t ulVal;
        int64_t hVal;
        uint64_t uhVal;
        int16_t boolVal;
        HandlerFileTime filetime;
        BSTR bstrVal;
    };
};
static_assert(sizeof(PROPVARIANT) == 16);

// Item property ids read by this library.
enum ItemPropId : PROPID {
    kpidPath = 3, kpidIsDir = 6, kpidSize = 7, kpidAttrib = 9, kpidCTime = 10, kpidATime = 11,
    kpidMTime = 12, kpidIsAnti = 21, kpidPosition = 29, kpidPosixAttrib = 53
};
// Handler (format) property ids.
enum HandlerPropId : PROPID {
    kHandlerName = 0, kHandlerClassId = 1, kHandlerExtension = 2, kHandlerAddExtension = 3,
    kHandlerUpdate = 4, kHandlerKeepName = 5, kHandlerSignature = 6, kHandlerFlags = 11
};

// Exported entry points of a handler library.
using Fn_CreateObject = HRESULT (*)(const GUID* classId, const GUID* iid, void** out);
using Fn_GetHandlerProperty = HRESULT (*)(PROPID propId, PROPVARIANT* value);
using Fn_GetHandlerProperty2 = HRESULT (*)(uint32_t formatIndex, PROPID propId, PROPVARIANT* value);
using Fn_GetNumberOfFormats = HRESULT (*)(uint32_t* count);
using Fn_GetModuleProp = HRESULT (*)(PROPID propId, PROPVARIANT* value);
using Fn_VariantClear = HRESULT (*)(PROPVARIANT* value);
using Fn_SysFreeString = void (*)(BSTR text);

}  // namespace crateview
