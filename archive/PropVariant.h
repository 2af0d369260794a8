#pragma once
// A PROPVARIANT filled by a handler, freed through that handler's library when dropped or
// reused. Readers accept every integer variant type for numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/HandlerTypes.h"

namespace crateview {

class HandlerLibrary;

class PropVariant {
public:
    explicit PropVariant(const HandlerLibrary& library) : m_library(library) {}
    ~PropVariant() { clear(); }
    PropVariant(const PropVariant&) = delete;
    PropVariant& operator=(const PropVariant&) = delete;

    // Empties the value and returns it for the handler to fill.
    PROPVARIANT* out() {
        clear();
        return &m_value;
    }
    void clear();

    const PROPVARIANT& value() const { return m_value; }
    bool isEmpty() const { return m_value.vt == VT_EMPTY; }
    // Any integer type (signed values must not be negative) or a bool.
    std::optional<uint64_t> asUInt() const;
    std::optional<bool> asBool() const;
    // A text string converted to UTF-8 (see WideText).
    std::optional<std::string> asString() const;
    // The bytes of a binary string (a string whose length prefix counts bytes).
    std::optional<std::vector<uint8_t>> asBytes() const;

private:
    const HandlerLibrary& m_library;
    PROPVARIANT m_value{};
};

}  // namespace crateview
