#pragma once
// One found, indexed or listed file or folder.
//
// Strings are UTF-8 bytes; times are FILETIME in local time; the size is in bytes.
// Copies share their excerpts (the snippets are immutable once attached); clone() makes a
// deep copy as a new heap item that the caller owns.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FILETIME.h"
#include "platform/FileAttributes.h"
#include "records/ContentSnippet.h"

class CArchive;

class Data_FileItem {
public:
    Data_FileItem() = default;

    FILETIME m_ftCreation;
    FILETIME m_ftLastAccess;
    FILETIME m_ftLastWrite;
    int64_t m_nSize = 0;
    uint32_t m_dwAttributes = 0;
    std::string m_strTitle;      // name up to the last dot
    std::string m_strExt;        // after the last dot, without it
    uint32_t m_dwShellAttributes = 0;
    int32_t m_bInArchive = 0;
    int32_t m_nArchiveIndex = 0;
    std::string m_strArchiveName;   // file name of the archive holding a member
    std::string m_strInnerPath;     // member's folder inside the archive (index caches only)
    int32_t m_nIconIndex = -1;
    std::string m_strTypeName;
    std::string m_strPath;          // containing folder, ending in '/'
    std::vector<std::shared_ptr<const ContentSnippet>> m_vecSnippets;
    int32_t m_nDupGroup = 0;
    std::string m_strArchiveFullCache;
    uint32_t m_dwCRC32 = 0;         // 0: not computed yet
    uint8_t m_md5[16] = {};         // first byte 0: not computed yet
    bool m_bFullFilled = false;
    std::string m_strNameCache;
    std::string m_strFullNameCache;

    // Windows attribute bits (FileAttributes), as the file-property mapping of this
    // platform sets them.
    static constexpr uint32_t ATTR_READONLY = FileAttributes::kReadOnly;
    static constexpr uint32_t ATTR_HIDDEN = FileAttributes::kHidden;
    static constexpr uint32_t ATTR_SYSTEM = FileAttributes::kSystem;
    static constexpr uint32_t ATTR_DIRECTORY = FileAttributes::kDirectory;
    static constexpr uint32_t ATTR_REPARSE_POINT = FileAttributes::kReparsePoint;

    uint32_t isDirectory() const { return m_dwAttributes & ATTR_DIRECTORY; }
    uint32_t isHidden() const { return m_dwAttributes & ATTR_HIDDEN; }

    // Title + "." + extension (no dot when the extension is empty); cached.
    const std::string& getFileName();
    // m_strPath + getFileName(); cached.
    const std::string& getFullFileName();
    // For an archive member: the archive's own full file name; cached.
    const std::string& getFullNameIncludeArchivePath();
    // Empties the name caches; call after changing the name or the path.
    void emptySpeedCache();

    bool isFullFilled() const { return m_bFullFilled; }
    void setFullFilled() { m_bFullFilled = true; }
    void clearFullFilled() { m_bFullFilled = false; }

    // Splits a file name at its last dot into m_strTitle and m_strExt. A name without a dot,
    // or ending in one, is all title, so getFileName() gives the name back unchanged.
    void setFileName(std::string_view name);
    // Where a name splits into title and extension: the index of its last dot, or npos when
    // the whole name is the title (FileNameSplit with an extension of one part).
    static size_t extensionDot(std::string_view name);

    // CRC-32 of the file's bytes, computed on first use (0 means "not yet", so a file whose
    // checksum is 0 is read again each time). 0 when the file cannot be read.
    uint32_t calcCRC32();
    // MD5 of the file's bytes, computed on first use; points at the 16 bytes of m_md5.
    const uint8_t* calcMD5();

    // Makes the item reusable for the next directory entry (see the .cpp for what is kept).
    void reset();
    // Deep copy as a new heap item; duplicate group, checksums and inner path start empty.
    std::unique_ptr<Data_FileItem> clone() const;

    // The stored form of an item. Storing never fails; loading returns false (and leaves
    // the archive failed) on truncated or impossible data.
    bool serialize(CArchive& ar);
    // serialize() followed by the folder, the duplicate group and the excerpts.
    bool serializeAsResult(CArchive& ar);
};
