#pragma once
// A private-profile (INI) file: language files, search-option files and macros.
//
// Reading follows the classic profile rules: section and key names compare with ASCII case
// folded, the first matching section (and the first matching key inside it) wins, names and
// values are trimmed of blanks, a value enclosed in a matching pair of double or single
// quotes loses that pair (the way to keep blanks at its ends), and there are no escapes.
// Writing encloses a value in double quotes exactly when reading would otherwise change it,
// so every value reads back as it was written. Lines before the first section, lines without '=' and lines starting
// with ';' or '#' are kept but never match. A UTF-8 byte-order mark is skipped (and kept
// when the file is written back).
//
// The file is read once by load(); every lookup works on the parsed form. Changes are made
// in memory and written by save(), which leaves every other line as it was and replaces
// the file crash-safely (a temporary file in the same folder, flushed to disk, renamed over
// the old one). An IniFile is not thread-safe: guard a shared object with a lock.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class IniFile {
public:
    IniFile() = default;

    // Reads and parses `path`. Returns false (and leaves the object empty, bound to the
    // path so that save() can create it) when the file cannot be read; a missing file is
    // then reported by lastError() == ENOENT.
    bool load(const std::string& path);
    // Parses text held in memory (no file behind it until setPath()).
    void parse(std::string_view text);

    const std::string& path() const { return m_path; }
    void setPath(const std::string& path) { m_path = path; }
    int lastError() const { return m_lastError; }

    // The value of the first `key` in the first `section`; nullopt when absent.
    std::optional<std::string> getValue(std::string_view section, std::string_view key) const;
    // The profile-string read: the value, else `defaultValue`, cut to at most
    // bufferSize - 1 bytes (0 for a zero buffer). The cut never leaves half of a UTF-8
    // sequence at the end.
    std::string getString(std::string_view section, std::string_view key, std::string_view defaultValue,
                          size_t bufferSize) const;

    // Section names in file order (first spelling of each, duplicates listed once).
    std::vector<std::string> sectionNames() const;
    // Key names of the first matching section in file order (duplicates listed once).
    std::vector<std::string> keyNames(std::string_view section) const;

    // Sets the first matching key (keeping its spelling and place), else appends the key to
    // the first matching section, else appends the section. A null `value` deletes the key
    // (every occurrence in that section, so that no older duplicate shows through). Returns
    // false, changing nothing, for names or values the format cannot hold (a line break,
    // ']' in a section name, '=' in a key, an empty key or section).
    bool setValue(std::string_view section, std::string_view key, const char* value);
    // Removes every section of that name with all its lines; false when there was none.
    bool deleteSection(std::string_view section);

    // The file's text as save() writes it.
    std::string text() const;
    // Writes text() to path() crash-safely; false (old file intact) on any failure, with
    // lastError() set to the errno.
    bool save();

    // One-shot helpers with the classic signatures' meaning.
    static std::string readProfileString(const std::string& path, std::string_view section, std::string_view key,
                                         std::string_view defaultValue, size_t bufferSize);
    // A null key deletes the section; a null value deletes the key.
    static bool writeProfileString(const std::string& path, std::string_view section, const char* key,
                                   const char* value);

    // Writes `bytes` to `path` through a temporary file in the same folder, fsync and
    // rename; keeps the old file's permission bits. Returns 0 or the errno of the failure.
    static int writeFileAtomically(const std::string& path, const std::string& bytes);

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        std::string raw;    // as read, without the line break
        Kind kind = Kind::Other;
        std::string name;   // section or key name, trimmed
        std::string value;  // key value, trimmed
    };

    void rebuildIndex();
    // Index of the first section line named `section`, or npos.
    size_t findSection(std::string_view section) const;
    // One past the last line belonging to the section that starts at `sectionLine`.
    size_t sectionEnd(size_t sectionLine) const;
    size_t findKey(size_t sectionLine, std::string_view key) const;

    std::string m_path;
    std::vector<Line> m_lines;
    bool m_bom = false;
    bool m_crlf = false;
    bool m_finalNewline = true;
    int m_lastError = 0;
    std::unordered_map<std::string, size_t> m_firstSection;  // folded name -> line
};
