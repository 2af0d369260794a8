#pragma once
// Static utilities shared by every part of the program: language strings, number and size
// formatting, path operations, checksums and file-mask completion. Paths are '/'-separated
// UTF-8; path identity is case-sensitive.
// Nothing here throws for ordinary failures: texts come back empty, checks false or 0.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Tool_Resource {
public:
    enum Resource_Type { RT_ENGLISH = 0, RT_GB = 1, RT_BIG5 = 2, RT_NONE = 3 };

    // ---- language strings -------------------------------------------------------------
    // The language of loadString(); English until a program sets it.
    static void setResourceType(Resource_Type type);
    // <program folder>/Language/English.ini, GB.ini or BIG5.ini; empty for other values.
    static std::string getResourceFileName(Resource_Type type);
    // The text of string `id` of the current language, cached after the first load;
    // "Failed String" when the file has no (or an empty) text for it.
    static const std::string& loadString(unsigned id);

    // ---- folders ----------------------------------------------------------------------
    // Folder of the engine library (the program folder), with or without one trailing '/'.
    static std::string getMyPath(bool withBackslash);
    // $TMPDIR, else /tmp, with or without one trailing '/'.
    static std::string getTempPath(bool withBackslash);

    // ---- numbers and sizes ------------------------------------------------------------
    static void seperateStringToString(std::string& text);
    static void seperateNumberToString(int64_t number, std::string& out);
    static void formatCompatiableSize(int64_t bytes, std::string& out);
    static int charToHex(char c);
    static int getCharNumInString(const std::string& text, char c);

    // ---- strings, lists and paths -----------------------------------------------------
    static void separateStringByChar(const std::string& text, std::vector<std::string>& out, char separator);
    static void separateString(const std::string& text, std::vector<std::string>& out);
    static void separateStringOnlyForFolder(const std::string& text, std::vector<std::string>& out);
    static void separateFolders(const std::string& text, std::vector<std::string>& out);
    // Appends the mount points of local disk file systems (the "drives" of this platform),
    // each ending in '/' ("/", "/home/"); `fixedOnly` changes nothing, as only local disks count.
    static void getLogicalDriveString(std::vector<std::string>& out, bool fixedOnly);
    static bool isValidFolder(const std::string& path);
    // 0 when the path exists, else the errno of asking for it.
    static int isFileOrFolderExist(const char* path);
    // The one form of every path a user gives and of every index root key: absolute (a
    // relative path is taken against `currentFolder`, or against the process's current
    // folder when that is empty or relative), "." and ".." resolved lexically (".." of
    // the root is the root; symbolic links are not looked at), repeated '/' folded, no
    // trailing '/' except for the root itself. Every other byte is kept as it is: blanks,
    // newlines, a leading '-'. An empty path stays empty.
    static std::string normalizePath(const std::string& path, const std::string& currentFolder = {});
    // The form of a folder typed into a field: surrounding blanks trimmed, an absolute
    // path folded as normalizePath does, then without trailing '/' (the root keeps its
    // '/') or, with `addBackslash`, with one. A relative path is kept relative.
    static void formatPathString(std::string& path, bool addBackslash, bool addBackslashToRoot);
    static bool isPathIncludePath(const std::string& outer, const std::string& inner);
    static void slimFolders(std::vector<std::string>& folders);
    static int findStringInStringArray(const std::vector<std::string>& list, const std::string& text,
                                       bool caseSensitive);
    static void splitFileFullPath(const std::string& path, std::string& drive, std::string& folder,
                                  std::string& name, std::string& extension);
    static void fixFileName(std::string& name);
    static std::string getErrorMessage(int errorCode);
    // Target of a symbolic link (the shortcut of this platform); empty on failure.
    static std::string getRealObjectFullPath(const char* linkFile);

    // ---- checksums (files are streamed in blocks; any size) ---------------------------
    static uint32_t checkCRC32(const uint8_t* data, size_t length);
    // CRC-32 of a file's bytes; 0 when it cannot be opened or read.
    static uint32_t checkFileCRC32(const std::string& file);
    // Same, reporting failure apart from a genuine checksum of 0.
    static bool checkFileCRC32(const std::string& file, uint32_t& crc);
    static void checkMD5(const uint8_t* data, size_t length, uint8_t digest[16]);
    // Digest of a file's bytes; false (digest untouched) when it cannot be opened or read.
    static bool checkFileMD5(const std::string& file, uint8_t digest[16]);
    static int compareMD5Value(const uint8_t* a, const uint8_t* b);

    // ---- file masks -------------------------------------------------------------------
    // Completes a single file mask (select-by-mask of the duplicate panel).
    static void fullfillSearchPattern(std::string& pattern);

    // ---- index cache names ------------------------------------------------------------
    // Stage suffixes of the index cache column files.
    static constexpr int INDEX_STAGE_LIVE = 1;        // "_fi.ind": read by searches
    static constexpr int INDEX_STAGE_PENDING = 2;     // "_fim.ind": a finished run, not live yet
    static constexpr int INDEX_STAGE_TEMPORARY = 3;   // "_fit.ind": written by a running indexer
    // Longest encoded root (without stage suffix) used as it stands; longer roots get a
    // hashed name. Leaves room for the longest tag (4) and suffix (8) in a 255-byte name.
    static constexpr size_t INDEX_MAX_DIRECT_NAME = 243;
    // The part of a column file name that stands for the root and the stage (the cache
    // folder and the column tag go in front of it). One-to-one: '%' becomes "%25", '_'
    // becomes "%5F", then '/' becomes '_'; every other byte stays. An encoding longer than
    // INDEX_MAX_DIRECT_NAME is replaced by "%H" and 16 hex digits of a 64-bit hash of the
    // root (the indexer keeps the root itself in a side file, see IndexCacheCatalog).
    // Empty for an empty root or a stage other than 1 to 3.
    static std::string convertToIndexFileName(const std::string& root, int stage);
    // The encoded root without a stage suffix ("%H..." for long roots). The root is
    // normalised first (normalizePath), so every spelling of a folder names one cache.
    static std::string encodeIndexRoot(const std::string& root);
    // Inverse of encodeIndexRoot for direct (not hashed) encodings; false for a hashed
    // name or a malformed escape.
    static bool decodeIndexRoot(const std::string& encoded, std::string& root);
    // Stores the cache folder with one trailing '/', creating the folder (one level) when
    // it does not exist. One folder for the whole process; thread-safe.
    static void setIndexCachePath(const std::string& path);
    // A copy of the stored cache folder (ends in '/'), empty before setIndexCachePath.
    // Thread-safe.
    static std::string getIndexCachePath();

private:
    static Resource_Type m_rt;
    static std::map<unsigned, std::string> m_mapOfString;
};
