#include "platform/CArchive.h"

#include <cstring>

CArchive::CArchive(std::vector<uint8_t>& sink) : m_sink(&sink) {}

CArchive::CArchive(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

void CArchive::writeBytes(const void* data, size_t size) {
    if (!m_sink || size == 0)
        return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_sink->insert(m_sink->end(), bytes, bytes + size);
}

void CArchive::writeU8(uint8_t v) { writeBytes(&v, 1); }

void CArchive::writeU16(uint16_t v) {
    uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    writeBytes(b, 2);
}

void CArchive::writeU32(uint32_t v) {
    uint8_t b[4];
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(v >> (8 * i));
    writeBytes(b, 4);
}

void CArchive::writeU64(uint64_t v) {
    writeU32(static_cast<uint32_t>(v));
    writeU32(static_cast<uint32_t>(v >> 32));
}

void CArchive::writeFloat(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    writeU32(bits);
}

void CArchive::writeString(const std::string& s) {
    const size_t n = s.size();
    if (n < 0xFF) {
        writeU8(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        writeU8(0xFF);
        writeU16(static_cast<uint16_t>(n));
    } else {
        writeU8(0xFF);
        writeU16(0xFFFF);
        writeU32(static_cast<uint32_t>(n));
    }
    writeBytes(s.data(), n);
}

void CArchive::writeCount(uint32_t count) {
    if (count < 0xFFFF) {
        writeU16(static_cast<uint16_t>(count));
    } else {
        writeU16(0xFFFF);
        writeU32(count);
    }
}

bool CArchive::take(size_t size, const uint8_t*& at) {
    if (m_failed || m_sink || size > m_size - m_pos) {
        m_failed = true;
        return false;
    }
    at = m_data + m_pos;
    m_pos += size;
    return true;
}

uint8_t CArchive::readU8() {
    const uint8_t* p;
    return take(1, p) ? p[0] : 0;
}

uint16_t CArchive::readU16() {
    const uint8_t* p;
    return take(2, p) ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : 0;
}

uint32_t CArchive::readU32() {
    const uint8_t* p;
    if (!take(4, p))
        return 0;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t CArchive::readU64() {
    uint64_t low = readU32();
    uint64_t high = readU32();
    return low | (high << 32);
}

float CArchive::readFloat() {
    uint32_t bits = readU32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

bool CArchive::readBytes(void* out, size_t size) {
    const uint8_t* p;
    if (!take(size, p))
        return false;
    if (size)
        std::memcpy(out, p, size);
    return true;
}

std::string CArchive::readString() {
    size_t n = readU8();
    if (n == 0xFF) {
        n = readU16();
        if (n == 0xFFFF)
            n = readU32();
    }
    const uint8_t* p;
    if (!take(n, p))
        return {};
    return std::string(reinterpret_cast<const char*>(p), n);
}

uint32_t CArchive::readCount() {
    uint32_t n = readU16();
    if (n == 0xFFFF)
        n = readU32();
    return n;
}
