#pragma once
// Incremental MD5 digest (RFC 1321). Whole 64-byte blocks are compressed straight from the
// caller's memory (any alignment); only a partial block is buffered.
#include <cstddef>
#include <cstdint>

class Tool_MD5 {
public:
    Tool_MD5();
    void update(const uint8_t* data, size_t length);
    // Pads, writes the 16-byte digest; the object must not be updated afterwards.
    void finish(uint8_t digest[16]);

private:
    // Compresses `blocks` consecutive 64-byte blocks starting at `data`.
    void compressBlocks(const uint8_t* data, size_t blocks);

    uint32_t m_state[4];
    uint64_t m_length = 0;  // bytes so far
    uint8_t m_buffer[64];
    size_t m_buffered = 0;
};
