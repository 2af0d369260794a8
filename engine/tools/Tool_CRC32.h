#pragma once
// Incremental CRC-32 (IEEE 802.3: reflected polynomial 0xEDB88320, initial value and final
// XOR 0xFFFFFFFF), eight bytes per step from precomputed tables.
#include <cstddef>
#include <cstdint>

class Tool_CRC32 {
public:
    void update(const uint8_t* data, size_t length);
    // The checksum of every byte given so far (the object may go on being updated).
    uint32_t value() const { return ~m_state; }

private:
    uint32_t m_state = 0xFFFFFFFFu;
};
