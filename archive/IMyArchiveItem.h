#pragma once
// The member view of an open archive: reads the properties of the member last selected with
// IMyArchive::getItem. It is part of the archive object and lives as long as it.
#include <cstdint>
#include <string>

#include "archive/ArchiveFileTime.h"

class IMyArchiveItem {
public:
    // Windows-style attribute bits (0x10 folder, 0x01 read-only ...). When the format keeps a
    // POSIX mode instead, bit 0x8000 is set and the high 16 bits hold st_mode. 0 when unknown.
    virtual uint32_t getAttributes() = 0;
    // Path inside the archive, '/'-separated UTF-8 (invalid bytes kept as they were);
    // empty when the member has none.
    virtual void getPath(std::string& path) = 0;
    // Unpacked size in bytes; 0 when unknown.
    virtual uint64_t getSize() = 0;
    // Times: false (and a zeroed time) when the archive does not record that time.
    virtual bool getCreationTime(ArchiveFileTime& time) = 0;
    virtual bool getLastWriteTime(ArchiveFileTime& time) = 0;
    virtual bool getLastAccessTime(ArchiveFileTime& time) = 0;
    virtual bool isFolder() = 0;

protected:
    ~IMyArchiveItem() = default;   // owned by the archive object
};
