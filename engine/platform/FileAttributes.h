#pragma once
// The attribute bits of an entry as the stored formats keep them (index caches, result
// and option files): the bit values of the Windows file-attribute word. The one definition
// for the enumerator, the records and the index. (The archive library, below the engine,
// keeps its own copy of the folder bit.)
#include <cstdint>

struct FileAttributes {
    static constexpr uint32_t kReadOnly = 0x01;
    static constexpr uint32_t kHidden = 0x02;
    static constexpr uint32_t kSystem = 0x04;
    static constexpr uint32_t kDirectory = 0x10;
    static constexpr uint32_t kReparsePoint = 0x400;   // a symbolic link here
};
