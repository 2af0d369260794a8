#include "tools/Tool_MD5.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// Little-endian 32-bit word at `p`, whatever its alignment.
inline uint32_t loadLE32(const uint8_t* p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    w = __builtin_bswap32(w);
#endif
    return w;
}

// The four round functions, each in the form with the fewest operations.
constexpr uint32_t fF(uint32_t b, uint32_t c, uint32_t d) { return d ^ (b & (c ^ d)); }
constexpr uint32_t fG(uint32_t b, uint32_t c, uint32_t d) { return c ^ (d & (b ^ c)); }
constexpr uint32_t fH(uint32_t b, uint32_t c, uint32_t d) { return b ^ c ^ d; }
constexpr uint32_t fI(uint32_t b, uint32_t c, uint32_t d) { return c ^ (b | ~d); }

#define MD5_STEP(f, a, b, c, d, word, sine, shift) a = b + rotl(a + f(b, c, d) + (word) + (sine), shift)

}  // namespace

Tool_MD5::Tool_MD5() : m_state{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u}, m_buffer{} {}

void Tool_MD5::compressBlocks(const uint8_t* data, size_t blocks) {
    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (; blocks > 0; --blocks, data += 64) {
        const uint32_t m0 = loadLE32(data), m1 = loadLE32(data + 4), m2 = loadLE32(data + 8),
                       m3 = loadLE32(data + 12), m4 = loadLE32(data + 16), m5 = loadLE32(data + 20),
                       m6 = loadLE32(data + 24), m7 = loadLE32(data + 28), m8 = loadLE32(data + 32),
                       m9 = loadLE32(data + 36), m10 = loadLE32(data + 40), m11 = loadLE32(data + 44),
                       m12 = loadLE32(data + 48), m13 = loadLE32(data + 52), m14 = loadLE32(data + 56),
                       m15 = loadLE32(data + 60);
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;

        MD5_STEP(fF, a, b, c, d, m0, 0xd76aa478u, 7);
        MD5_STEP(fF, d, a, b, c, m1, 0xe8c7b756u, 12);
        MD5_STEP(fF, c, d, a, b, m2, 0x242070dbu, 17);
        MD5_STEP(fF, b, c, d, a, m3, 0xc1bdceeeu, 22);
        MD5_STEP(fF, a, b, c, d, m4, 0xf57c0fafu, 7);
        MD5_STEP(fF, d, a, b, c, m5, 0x4787c62au, 12);
        MD5_STEP(fF, c, d, a, b, m6, 0xa8304613u, 17);
        MD5_STEP(fF, b, c, d, a, m7, 0xfd469501u, 22);
        MD5_STEP(fF, a, b, c, d, m8, 0x698098d8u, 7);
        MD5_STEP(fF, d, a, b, c, m9, 0x8b44f7afu, 12);
        MD5_STEP(fF, c, d, a, b, m10, 0xffff5bb1u, 17);
        MD5_STEP(fF, b, c, d, a, m11, 0x895cd7beu, 22);
        MD5_STEP(fF, a, b, c, d, m12, 0x6b901122u, 7);
        MD5_STEP(fF, d, a, b, c, m13, 0xfd987193u, 12);
        MD5_STEP(fF, c, d, a, b, m14, 0xa679438eu, 17);
        MD5_STEP(fF, b, c, d, a, m15, 0x49b40821u, 22);

        MD5_STEP(fG, a, b, c, d, m1, 0xf61e2562u, 5);
        MD5_STEP(fG, d, a, b, c, m6, 0xc040b340u, 9);
        MD5_STEP(fG, c, d, a, b, m11, 0x265e5a51u, 14);
        MD5_STEP(fG, b, c, d, a, m0, 0xe9b6c7aau, 20);
        MD5_STEP(fG, a, b, c, d, m5, 0xd62f105du, 5);
        MD5_STEP(fG, d, a, b, c, m10, 0x02441453u, 9);
        MD5_STEP(fG, c, d, a, b, m15, 0xd8a1e681u, 14);
        MD5_STEP(fG, b, c, d, a, m4, 0xe7d3fbc8u, 20);
        MD5_STEP(fG, a, b, c, d, m9, 0x21e1cde6u, 5);
        MD5_STEP(fG, d, a, b, c, m14, 0xc33707d6u, 9);
        MD5_STEP(fG, c, d, a, b, m3, 0xf4d50d87u, 14);
        MD5_STEP(fG, b, c, d, a, m8, 0x455a14edu, 20);
        MD5_STEP(fG, a, b, c, d, m13, 0xa9e3e905u, 5);
        MD5_STEP(fG, d, a, b, c, m2, 0xfcefa3f8u, 9);
        MD5_STEP(fG, c, d, a, b, m7, 0x676f02d9u, 14);
        MD5_STEP(fG, b, c, d, a, m12, 0x8d2a4c8au, 20);

        MD5_STEP(fH, a, b, c, d, m5, 0xfffa3942u, 4);
        MD5_STEP(fH, d, a, b, c, m8, 0x8771f681u, 11);
        MD5_STEP(fH, c, d, a, b, m11, 0x6d9d6122u, 16);
        MD5_STEP(fH, b, c, d, a, m14, 0xfde5380cu, 23);
        MD5_STEP(fH, a, b, c, d, m1, 0xa4beea44u, 4);
        MD5_STEP(fH, d, a, b, c, m4, 0x4bdecfa9u, 11);
        MD5_STEP(fH, c, d, a, b, m7, 0xf6bb4b60u, 16);
        MD5_STEP(fH, b, c, d, a, m10, 0xbebfbc70u, 23);
        MD5_STEP(fH, a, b, c, d, m13, 0x289b7ec6u, 4);
        MD5_STEP(fH, d, a, b, c, m0, 0xeaa127fau, 11);
        MD5_STEP(fH, c, d, a, b, m3, 0xd4ef3085u, 16);
        MD5_STEP(fH, b, c, d, a, m6, 0x04881d05u, 23);
        MD5_STEP(fH, a, b, c, d, m9, 0xd9d4d039u, 4);
        MD5_STEP(fH, d, a, b, c, m12, 0xe6db99e5u, 11);
        MD5_STEP(fH, c, d, a, b, m15, 0x1fa27cf8u, 16);
        MD5_STEP(fH, b, c, d, a, m2, 0xc4ac5665u, 23);

        MD5_STEP(fI, a, b, c, d, m0, 0xf4292244u, 6);
        MD5_STEP(fI, d, a, b, c, m7, 0x432aff97u, 10);
        MD5_STEP(fI, c, d, a, b, m14, 0xab9423a7u, 15);
        MD5_STEP(fI, b, c, d, a, m5, 0xfc93a039u, 21);
        MD5_STEP(fI, a, b, c, d, m12, 0x655b59c3u, 6);
        MD5_STEP(fI, d, a, b, c, m3, 0x8f0ccc92u, 10);
        MD5_STEP(fI, c, d, a, b, m10, 0xffeff47du, 15);
        MD5_STEP(fI, b, c, d, a, m1, 0x85845dd1u, 21);
        MD5_STEP(fI, a, b, c, d, m8, 0x6fa87e4fu, 6);
        MD5_STEP(fI, d, a, b, c, m15, 0xfe2ce6e0u, 10);
        MD5_STEP(fI, c, d, a, b, m6, 0xa3014314u, 15);
        MD5_STEP(fI, b, c, d, a, m13, 0x4e0811a1u, 21);
        MD5_STEP(fI, a, b, c, d, m4, 0xf7537e82u, 6);
        MD5_STEP(fI, d, a, b, c, m11, 0xbd3af235u, 10);
        MD5_STEP(fI, c, d, a, b, m2, 0x2ad7d2bbu, 15);
        MD5_STEP(fI, b, c, d, a, m9, 0xeb86d391u, 21);

        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    m_state[0] = a;
    m_state[1] = b;
    m_state[2] = c;
    m_state[3] = d;
}

#undef MD5_STEP

void Tool_MD5::update(const uint8_t* data, size_t length) {
    if (!data || length == 0)
        return;
    m_length += length;
    if (m_buffered > 0) {
        const size_t take = std::min(length, sizeof m_buffer - m_buffered);
        std::memcpy(m_buffer + m_buffered, data, take);
        m_buffered += take;
        data += take;
        length -= take;
        if (m_buffered < sizeof m_buffer)
            return;
        compressBlocks(m_buffer, 1);
        m_buffered = 0;
    }
    // Whole blocks straight from the caller's memory; only a tail is copied.
    const size_t blocks = length / 64;
    if (blocks > 0) {
        compressBlocks(data, blocks);
        data += blocks * 64;
        length -= blocks * 64;
    }
    if (length > 0)
        std::memcpy(m_buffer, data, length);
    m_buffered = length;
}

void Tool_MD5::finish(uint8_t digest[16]) {
    const uint64_t bits = m_length * 8;
    // The 0x80 marker, zeros up to 56 bytes modulo 64, then the length in bits: one or two
    // blocks built in place.
    uint8_t tail[128] = {};
    std::memcpy(tail, m_buffer, m_buffered);
    tail[m_buffered] = 0x80;
    const size_t total = m_buffered < 56 ? 64 : 128;
    for (int i = 0; i < 8; ++i)
        tail[total - 8 + static_cast<size_t>(i)] = static_cast<uint8_t>(bits >> (8 * i));
    compressBlocks(tail, total / 64);
    m_buffered = 0;
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
            digest[i * 4 + k] = static_cast<uint8_t>(m_state[i] >> (8 * k));
}
