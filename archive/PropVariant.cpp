#include "archive/PropVariant.h"

#include "archive/HandlerLibrary.h"
#include "archive/WideText.h"

namespace crateview {

namespace {
uint32_t bstrByteLength(BSTR text) {
    uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof(uint32_t), sizeof bytes);
    return bytes;
}
}  // namespace

void PropVariant::clear() {
    if (m_value.vt != VT_EMPTY)
        m_library.clearVariant(&m_value);
    m_value = PROPVARIANT{};
}

std::optional<uint64_t> PropVariant::asUInt() const {
    const PROPVARIANT& v = m_value;
    auto nonNegative = [](int64_t x) -> std::optional<uint64_t> {
        if (x < 0)
            return std::nullopt;
        return static_cast<uint64_t>(x);
    };
    switch (v.vt) {
    case VT_UI1: return v.bVal;
    case VT_UI2: return v.uiVal;
    case VT_UI4:
    case VT_UINT: return v.ulVal;
    case VT_UI8: return v.uhVal;
    case VT_I1: return nonNegative(v.cVal);
    case VT_I2: return nonNegative(v.iVal);
    case VT_I4:
    case VT_INT: return nonNegative(v.lVal);
    case VT_I8: return nonNegative(v.hVal);
    case VT_BOOL: return v.boolVal != 0 ? 1u : 0u;
    default: return std::nullopt;
    }
}

std::optional<bool> PropVariant::asBool() const {
    auto n = asUInt();
    if (!n) {
        if (m_value.vt == VT_I1 || m_value.vt == VT_I2 || m_value.vt == VT_I4 || m_value.vt == VT_I8 ||
            m_value.vt == VT_INT)
            return true;   // a negative integer
        return std::nullopt;
    }
    return *n != 0;
}

std::optional<std::string> PropVariant::asString() const {
    if (m_value.vt != VT_BSTR)
        return std::nullopt;
    if (!m_value.bstrVal)
        return std::string();
    const size_t chars = bstrByteLength(m_value.bstrVal) / sizeof(wchar_t);
    return WideText::toUtf8(m_value.bstrVal, chars);
}

std::optional<std::vector<uint8_t>> PropVariant::asBytes() const {
    if (m_value.vt != VT_BSTR)
        return std::nullopt;
    if (!m_value.bstrVal)
        return std::vector<uint8_t>();
    const auto* p = reinterpret_cast<const uint8_t*>(m_value.bstrVal);
    return std::vector<uint8_t>(p, p + bstrByteLength(m_value.bstrVal));
}

}  // namespace crateview
