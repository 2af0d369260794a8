#pragma once
// Enumerates the entries of one folder without stat'ing them: name and type come from the
// directory read itself (d_type; file systems that leave it unknown are asked per entry
// with a no-follow fstatat). Full metadata is read only when stat() is called for the
// current entry. "." and ".." are never reported.
//
// Symbolic links are entries of their own: a link to a folder has type Symlink, is never
// opened as a folder by openChild, and stat() describes the link.
//
// Failure is reported by bool + errno, never by an exception: open* return false with errno
// set (ENOENT, EACCES, ENOTDIR, ELOOP for a link where a folder was expected, EMFILE ...);
// next() returns false at the end, and error() then tells a read failure (nonzero errno,
// e.g. ENOENT for a folder removed while it is read) from the normal end (0).
// The object owns its file descriptor; movable, not copyable; not thread-safe.
#include <cstdint>
#include <dirent.h>
#include <string>
#include <string_view>
#include <sys/stat.h>

#include "platform/FILETIME.h"
#include "platform/FileAttributes.h"
#include "platform/FileStat.h"

class DirEnumerator {
public:
    enum class EntryType : uint8_t { File, Folder, Symlink, Fifo, Socket, CharDevice, BlockDevice, Unknown };

    // Windows attribute bits used by the stored formats (FileAttributes).
    static constexpr uint32_t kAttrReadOnly = FileAttributes::kReadOnly;
    static constexpr uint32_t kAttrHidden = FileAttributes::kHidden;
    static constexpr uint32_t kAttrSystem = FileAttributes::kSystem;
    static constexpr uint32_t kAttrDirectory = FileAttributes::kDirectory;
    static constexpr uint32_t kAttrReparsePoint = FileAttributes::kReparsePoint;

    DirEnumerator() = default;
    ~DirEnumerator();
    DirEnumerator(DirEnumerator&& other) noexcept;
    DirEnumerator& operator=(DirEnumerator&& other) noexcept;
    DirEnumerator(const DirEnumerator&) = delete;
    DirEnumerator& operator=(const DirEnumerator&) = delete;

    // Opens a folder by path (a symbolic link given here IS followed: the caller chose it).
    // Paths of any length (LongPath), also below.
    bool open(const std::string& path);
    // Opens `relativePath` below the folder `dirFd` (not taken over). The last component
    // is not followed when it is a symbolic link (fails with ELOOP or ENOTDIR).
    bool openAt(int dirFd, const std::string& relativePath);
    // Opens the subfolder `name` of the folder that `parent` enumerates (fast walks: no
    // path is rebuilt and resolved again). Same no-follow rule as openAt.
    bool openChild(const DirEnumerator& parent, std::string_view name) {
        return openAt(parent.fd(), std::string(name));
    }
    void close();
    bool isOpen() const { return m_dir != nullptr; }
    // The descriptor of the open folder (owned by this object), -1 when closed.
    int fd() const;

    // Moves to the next entry; false at the end or on a read error (see error()).
    bool next();
    // errno of the last failed open or read; 0 after a normal end.
    int error() const { return m_error; }

    // The current entry (valid after next() returned true, until the next call).
    std::string_view name() const { return m_name; }
    const char* nameCStr() const { return m_name.data(); }
    EntryType type() const { return m_type; }
    bool isFolder() const { return m_type == EntryType::Folder; }
    uint64_t inode() const { return m_ino; }

    // Reads the current entry's metadata (no-follow). False with errno when the entry has
    // vanished or cannot be asked; `out` is then untouched.
    bool stat(FileStat& out) const;
    // The same for any name relative to a folder descriptor (AT_FDCWD and paths allowed).
    static bool statAt(int dirFd, const char* name, FileStat& out);

    // Windows attribute bits of an entry: folder, hidden (name starts with '.'), read-only
    // (no write bit for anyone), system (socket, FIFO, device), reparse point (symlink).
    static uint32_t attributesOf(const FileStat& st, std::string_view name);
    // Size as a walk records it: st_size for files, 0 for folders.
    static uint64_t walkSizeOf(const FileStat& st);
    // The three times as local FILETIMEs.
    static void fileTimesOf(const FileStat& st, FILETIME& creation, FILETIME& lastAccess, FILETIME& lastWrite);
    static EntryType typeOfMode(uint32_t mode);
    // The record of a statx answer: the birth time when its mask reports one, else ctime.
    static FileStat fromStatx(const struct statx& sx);

private:
    bool adopt(int fd);

    DIR* m_dir = nullptr;
    std::string_view m_name;
    EntryType m_type = EntryType::Unknown;
    uint64_t m_ino = 0;
    int m_error = 0;
};
