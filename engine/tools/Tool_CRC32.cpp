#include "tools/Tool_CRC32.h"

#include <array>

namespace {

using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables makeTables() {
    Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
        for (size_t s = 1; s < 8; ++s)
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}

constexpr Tables kTables = makeTables();

inline uint32_t load32le(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

}  // namespace

void Tool_CRC32::update(const uint8_t* data, size_t length) {
    if (!data)
        return;
    uint32_t c = m_state;
    while (length >= 8) {
        const uint32_t a = load32le(data) ^ c;
        const uint32_t b = load32le(data + 4);
        c = kTables[7][a & 0xFF] ^ kTables[6][(a >> 8) & 0xFF] ^ kTables[5][(a >> 16) & 0xFF] ^ kTables[4][a >> 24] ^
            kTables[3][b & 0xFF] ^ kTables[2][(b >> 8) & 0xFF] ^ kTables[1][(b >> 16) & 0xFF] ^ kTables[0][b >> 24];
        data += 8;
        length -= 8;
    }
    while (length-- > 0)
        c = kTables[0][(c ^ *data++) & 0xFF] ^ (c >> 8);
    m_state = c;
}
