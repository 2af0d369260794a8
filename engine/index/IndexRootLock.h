#pragma once
// Claims the right to write one root's temporary cache files, for every thread and process
// that shares the cache folder: an exclusive, non-blocking flock on the file
// "lk<encoded root>" there. Two indexers of one root would otherwise write, truncate and
// delete the same temporary files. The claim ends with release(), the destructor or the
// death of the process; the lock file itself is left in place (deleting it would let a
// third indexer lock a fresh file while the second still holds the old one).
// Not thread-safe itself: one object per indexer.
#include <string>

#include "platform/UniqueFd.h"

class IndexRootLock {
public:
    IndexRootLock() = default;
    ~IndexRootLock() { release(); }
    IndexRootLock(const IndexRootLock&) = delete;
    IndexRootLock& operator=(const IndexRootLock&) = delete;

    // Claims `root` (any spelling; it is normalised), releasing a root held before. False
    // with errno EBUSY when another indexer holds it, or the errno of open/flock.
    bool acquire(const std::string& root);
    void release();
    bool held() const { return m_fd.valid(); }
    // True while this object holds `root` (any spelling).
    bool holds(const std::string& root) const;

    // The lock file of `root` in the cache folder.
    static std::string fileName(const std::string& root);

private:
    UniqueFd m_fd;
    std::string m_encodedRoot;   // of the root held
};
