#pragma once
// Indexes one root for an SF_Man run: walks it depth first, writes every folder, file and
// (optionally) archive member into the root's temporary column files, and commits them
// as the root's pending cache under SF_Man::s_renameCS, or deletes them when the run was
// cancelled or the root is excluded.
//
// Walks never follow a symbolic link to a folder (the link is recorded as an entry) and
// never descend into a pseudo file system mounted below the root. Unreadable folders
// contribute nothing. A folder's own entry follows everything below it and carries the
// total size of all files below it (excluded ones included).
#include <cstdint>
#include <memory>
#include <string>

#include "index/SF_ExcludeInfo.h"
#include "index/SF_IndexOutcome.h"
#include "index/SF_SaverSet.h"

class CExtractMgr;
class IIndexResultReceiver;
class SF_FileFind;
class SF_Man;
class SF_StatHelper;

class SF_IndexWorker {
public:
    SF_IndexWorker(SF_Man& man, IIndexResultReceiver* receiver, const SF_ExcludeInfo& exclude);
    ~SF_IndexWorker();
    SF_IndexWorker(const SF_IndexWorker&) = delete;
    SF_IndexWorker& operator=(const SF_IndexWorker&) = delete;

    // Indexes `root` (normalised as Tool_Resource::normalizePath does). A root that is
    // not a readable folder is an error: nothing is written or committed for it.
    SF_IndexOutcome indexRoot(const std::string& root);

private:
    // Walks the folder that `find` is about to enumerate; adds the size of everything
    // below it to `total`. False when cancelled.
    bool walk(SF_FileFind& find, bool record, uint64_t& total);
    // Records the members of an archive file; false when cancelled.
    bool indexArchive(const std::string& fullPath, const std::string& folder, uint64_t length);
    bool cancelled() const;
    void throttle() const;
    void count(uint64_t bytes);
    void flushSums();

    SF_Man& m_man;
    [[maybe_unused]] IIndexResultReceiver* m_receiver;   // the run reports only its end
    const SF_ExcludeInfo& m_exclude;
    std::unique_ptr<CExtractMgr> m_extractMgr;
    std::unique_ptr<SF_StatHelper> m_statHelper;   // null: the walk stats on its own
    SF_SaverSet m_savers;
    std::string m_largeArchiveText;   // language string 191, loaded when first needed
    bool m_writeFailed = false;
    uint64_t m_pendingBytes = 0;      // sums not yet handed to the SF_Man
    uint32_t m_pendingEntries = 0;
};
