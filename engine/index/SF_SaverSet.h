#pragma once
// The nine top-level column objects of one root's index cache, in the order
// "fa", "fn", "fe", "fs", "fp", "ct", "mt", "at", "ft" (each data column carries its
// offset column along: thirteen files in all), and the whole-root file operations.
//
// Writing: openWrite claims the root for this writer (IndexRootLock: one indexer per root
// across threads and processes; a second one is refused with errno EBUSY before it touches
// any file) and creates the temporary files; writeFound / writeItem append one entry
// to every column; closeWrite flushes them and syncs them to disk. A write error sticks and
// closeWrite reports it. The claim lasts until commit, discardTemporary or destruction.
//
// Stage changes: commit (temporary -> pending) first writes the generation record of the
// files just written (IndexGeneration), then renames the thirteen files and, last, the
// record; makeLive (pending -> live) does the same for a pending set whose every file the
// pending record names, and does nothing to a pending set that it does not name (left by
// an interrupted commit), so the live set stays whole. A reader checks the live columns
// it mapped against the live record, so whatever instant a stage change is interrupted or
// observed at (another thread, another process, a kill, a power loss: the data is synced
// before anything is renamed), a reader sees the old set, the new set, or refuses the root.
// Stage changes of all processes sharing the cache folder are serialised by a lock on the
// file "qdindex.lock" there (released when a process dies).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "index/IndexRootLock.h"
#include "index/SF_SingleSaver.h"

class SF_SaverSet {
public:
    SF_SaverSet();
    ~SF_SaverSet();
    SF_SaverSet(const SF_SaverSet&) = delete;
    SF_SaverSet& operator=(const SF_SaverSet&) = delete;

    // Creates the temporary files of `root`, stopping at the first failure (false). False
    // with errno EBUSY, touching nothing, when another writer holds the root.
    bool openWrite(const std::string& root);
    bool isOpen() const { return m_bOpen; }
    bool writeFound(const SF_FileFind& found);
    bool writeItem(const Data_FileItem& item);
    // Closes every writer; false when any write failed.
    bool closeWrite();

    // Deletes the temporary files of `root` when this object holds the root (see openWrite);
    // otherwise only closes this object's writers, leaving the files to their writer.
    void discardTemporary(const std::string& root);
    // Temporary -> pending, for the files this object has just written and closed; false
    // when the files are not what was written, or the record or a rename failed.
    bool commit(const std::string& root);

    // Pending -> live for a root. True when done or when nothing complete is pending;
    // false when the pending set is not the one its record names (it is then left where
    // it is) or a rename failed. Searchers that have the root open keep their mapping.
    static bool makeLive(const std::string& root);
    // Deletes the live files of a root, the record first.
    static bool deleteLive(const std::string& root);
    // The thirteen file tags, in set order (each data column followed by its offsets).
    static std::vector<std::string> fileTags();

    // For tests of interrupted stage changes: `hook` is called after every step of
    // commit and makeLive (record written, each rename, folder synced). Empty: none.
    static void setStepHook(std::function<void()> hook);

    const std::vector<std::unique_ptr<SF_SingleSaver>>& columns() const { return m_columns; }

private:
    std::vector<std::unique_ptr<SF_SingleSaver>> m_columns;
    bool m_bOpen = false;
    IndexRootLock m_rootLock;
};
