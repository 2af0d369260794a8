#include "cli/QdTerminalText.h"

#include <cstdint>
#include <unistd.h>

#include "tools/Tool_Utf16.h"

namespace {
constexpr char kHex[] = "0123456789abcdef";

void appendHexByte(std::string& out, uint8_t byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

const char* shortEscape(uint8_t byte) {
    switch (byte) {
    case 0x07: return "\\a";
    case 0x08: return "\\b";
    case 0x09: return "\\t";
    case 0x0A: return "\\n";
    case 0x0B: return "\\v";
    case 0x0C: return "\\f";
    case 0x0D: return "\\r";
    case 0x1B: return "\\e";
    case '\\': return "\\\\";
    default: return nullptr;
    }
}
}  // namespace

std::string QdTerminalText::escapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t i = 0; i < text.size();) {
        const uint8_t byte = bytes[i];
        if (byte >= 0x80) {
            const size_t length = Tool_Utf16::wellFormedUtf8Length(bytes + i, text.size() - i);
            if (length == 0) {
                appendHexByte(out, byte);
                ++i;
            } else if (length == 2 && byte == 0xC2 && bytes[i + 1] <= 0x9F) {
                out += "\\u00";   // U+0080-U+009F: C2 80-9F
                out += kHex[bytes[i + 1] >> 4];
                out += kHex[bytes[i + 1] & 0xF];
                i += 2;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        if (const char* escape = shortEscape(byte))
            out += escape;
        else if (byte < 0x20 || byte == 0x7F)
            appendHexByte(out, byte);
        else
            out += static_cast<char>(byte);
        ++i;
    }
    return out;
}

bool QdTerminalText::isTerminal(int fd) { return ::isatty(fd) == 1; }
