#pragma once
// The nine top-level column objects of one root's index cache, in the order
// "fa", "fn", "fe", "fs", "fp", "ct", "mt", "at", "ft" (each data column carries its
// offset column along: thirteen files in all), and the whole-root file operations.
//
// Writing: openWrite creates the temporary files; writeFound / writeItem append one entry
// to every column; closeWrite flushes. A write error sticks and closeWrite reports it.
// commit (temporary -> pending) and makeLive (pending -> live) rename file by file; each
// rename replaces its target atomically.
#include <memory>
#include <string>
#include <vector>

#include "index/SF_SingleSaver.h"

class SF_SaverSet {
public:
    SF_SaverSet();
    ~SF_SaverSet();
    SF_SaverSet(const SF_SaverSet&) = delete;
    SF_SaverSet& operator=(const SF_SaverSet&) = delete;

    // Creates the temporary files of `root`, stopping at the first failure (false).
    bool openWrite(const std::string& root);
    bool isOpen() const { return m_bOpen; }
    bool writeFound(const SF_FileFind& found);
    bool writeItem(const Data_FileItem& item);
    // Closes every writer; false when any write failed.
    bool closeWrite();

    // Deletes the temporary files of `root`.
    void discardTemporary(const std::string& root);
    // Temporary -> pending; false when a rename failed.
    bool commit(const std::string& root);

    // Pending -> live for a root (no searcher may have the root open). False when a
    // rename failed.
    static bool makeLive(const std::string& root);
    // Deletes the live files of a root.
    static bool deleteLive(const std::string& root);

    const std::vector<std::unique_ptr<SF_SingleSaver>>& columns() const { return m_columns; }

private:
    std::vector<std::unique_ptr<SF_SingleSaver>> m_columns;
    bool m_bOpen = false;
};
