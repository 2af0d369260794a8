#pragma once
// The byte stream of result files and stored panel state: little-endian integers,
// strings with a 1-, 3- or 7-byte length prefix, lists with a 16-bit count that 0xFFFF
// escapes to a 32-bit count.
//
// One object either stores (appends to a byte vector it does not own) or loads (reads
// from a byte range it does not own, which must outlive it). Loading is bounds-checked
// and the first failure sticks: after it every read returns zero or empty and ok() is
// false, so a caller may read a whole record and check once. A length prefix never makes
// the reader allocate more than the bytes that remain.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CArchive {
public:
    // Storing archive appending to `sink`.
    explicit CArchive(std::vector<uint8_t>& sink);
    // Loading archive over [data, data + size).
    CArchive(const uint8_t* data, size_t size);

    bool isStoring() const { return m_sink != nullptr; }
    bool isLoading() const { return m_sink == nullptr; }
    // False once a load ran past the data or met an impossible length.
    bool ok() const { return !m_failed; }
    // Bytes not yet read (loading).
    size_t remaining() const { return m_size - m_pos; }

    void writeU8(uint8_t v);
    void writeU16(uint16_t v);
    void writeU32(uint32_t v);
    void writeU64(uint64_t v);
    void writeFloat(float v);
    void writeBytes(const void* data, size_t size);
    void writeString(const std::string& s);
    void writeCount(uint32_t count);

    uint8_t readU8();
    uint16_t readU16();
    uint32_t readU32();
    uint64_t readU64();
    float readFloat();
    // Copies `size` bytes into `out`; false (and the sticky error) when they are not there.
    bool readBytes(void* out, size_t size);
    std::string readString();
    uint32_t readCount();

    // Marks the stream as failed, for callers that find a value out of range.
    void fail() { m_failed = true; }

private:
    bool take(size_t size, const uint8_t*& at);

    std::vector<uint8_t>* m_sink = nullptr;
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    bool m_failed = false;
};
