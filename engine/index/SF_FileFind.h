#pragma once
// The indexer's folder enumerator: DirEnumerator plus the metadata of the current entry
// and a 64-bit length override (-1 = none) through which a folder's entry carries the
// total size of everything below it. The column writers read the current entry from it.
//
// "." and ".." are never reported. An entry that vanishes between the folder read and its
// stat is skipped. Symbolic links are entries (attribute 0x400) and never folders.
// Times are local FILETIMEs. Not copyable; one object per open folder.
//
// A folder is listed when it is opened (a huge one a few thousand entries at a time); its entries are then stat'ed in order,
// partly ahead of time on the SF_StatHelper thread when one is given (a child inherits
// its parent's). The entries and their order are the same with or without a helper.
#include <cstdint>
#include <string>
#include <string_view>

#include "index/SF_StatHelper.h"
#include "platform/DirEnumerator.h"
#include "platform/FILETIME.h"
#include "platform/FileStat.h"

class SF_FileFind {
public:
    explicit SF_FileFind(SF_StatHelper* helper = nullptr) : m_helper(helper) {}
    ~SF_FileFind();
    SF_FileFind(const SF_FileFind&) = delete;
    SF_FileFind& operator=(const SF_FileFind&) = delete;

    // Starts enumerating `folder` (a trailing '/' is ignored; "/" stays "/"). False with
    // errno when it cannot be opened.
    bool findFile(const std::string& folder);
    // Starts enumerating the subfolder `name` of the folder `parent` enumerates, without
    // following a symbolic link; `folder` is the subfolder's full path. When `name` is the
    // parent's current entry, the helper may have read the subfolder ahead: it is taken over.
    bool findChild(SF_FileFind& parent, std::string_view name, const std::string& folder);
    // Moves to the next entry; false at the end (or on a read error).
    bool findNextFile();
    void close();

    // ---- the current entry ----------------------------------------------------------
    std::string_view getFileName() const { return m_name; }
    // Name up to its last dot (whole name without a dot).
    std::string_view getFileTitle() const;
    // Name minus title minus one character: the extension, empty without a dot.
    std::string_view getFileExt() const;
    // The folder being enumerated, without a trailing '/' ("" for the root "/").
    const std::string& getFolder() const { return m_folder; }
    // getFolder() + "/" + name.
    std::string getFilePath() const;
    // A real folder (a link to one is not).
    bool isDirectory() const { return (m_attributes & DirEnumerator::kAttrDirectory) != 0; }
    uint32_t getAttributes() const { return m_attributes; }
    const FILETIME& getCreationTime() const { return m_creation; }
    const FILETIME& getLastAccessTime() const { return m_lastAccess; }
    const FILETIME& getLastWriteTime() const { return m_lastWrite; }
    // The override when set, else the real length (0 for a folder).
    uint64_t getLength() const { return m_lengthOverride >= 0 ? static_cast<uint64_t>(m_lengthOverride) : m_realLength; }
    uint64_t getRealLength() const { return m_realLength; }
    void setLengthOverride(int64_t length) { m_lengthOverride = length; }
    // Device of the current entry, and of the folder being enumerated: they differ for a
    // mount point below the folder.
    uint64_t getDevice() const { return m_stat.dev; }
    uint64_t getFolderDevice() const { return m_folderDev; }
    const DirEnumerator& enumerator() const { return m_enum; }

    // The local FILETIME of a UTC instant (FileTimeConvert::fromTimespec).
    static FILETIME localTimeOf(const timespec& utc);

private:
    bool listFolder();
    void handToHelper();   // pushes m_job to the helper when it is worth it
    void withdraw();
    void forget();   // drops the listing (the helper lets go of it)

    SF_StatHelper* m_helper = nullptr;
    SF_StatJob m_job;
    size_t m_next = 0;        // the next entry of m_job to report
    bool m_pushed = false;    // m_job is with the helper
    bool m_listEnded = true;  // every entry of the folder has been listed
    std::string_view m_name;
    DirEnumerator m_enum;
    std::string m_folder;
    FileStat m_stat;
    uint32_t m_attributes = 0;
    FILETIME m_creation, m_lastAccess, m_lastWrite;
    uint64_t m_realLength = 0;
    int64_t m_lengthOverride = -1;
    uint64_t m_folderDev = 0;

    bool noteFolderDevice();
};
