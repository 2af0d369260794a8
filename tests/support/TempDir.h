#pragma once
// A folder below the temporary folder that lives as long as the object: tests build
// real file trees in it. The destructor removes everything, restoring permissions first.
#include <cstdint>
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Full path, without a trailing '/'.
    const std::string& path() const { return m_path; }
    // path() + "/" + relative.
    std::string operator/(const std::string& relative) const;

    // Creates the file (and its parent folders) with the given bytes; returns its path.
    std::string write(const std::string& relative, const std::string& bytes) const;
    // Creates a folder and its parents; returns its path.
    std::string mkdir(const std::string& relative) const;
    // Sets the modification and access time of a path, as seconds since 1970 (UTC).
    void setTimes(const std::string& relative, int64_t unixSeconds) const;

private:
    std::string m_path;
};
