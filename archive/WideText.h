#pragma once
// Converts the handler's wide strings to UTF-8. wchar_t is 32 bits here but the handler
// puts characters outside the basic plane in as UTF-16 surrogate pairs, and a byte that was
// not valid in the archive's name encoding as U+EF00 + byte: both are turned back (the byte
// is written as it was). A lone surrogate or a value above U+10FFFF becomes U+FFFD; a NUL
// becomes '_' so that a name can never be cut short by the file system interface.
#include <cstddef>
#include <string>

namespace crateview {

class WideText {
public:
    static std::string toUtf8(const wchar_t* text, size_t length);
};

}  // namespace crateview
