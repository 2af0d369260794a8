#include "index/SF_SaverSet.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "index/IndexCacheCatalog.h"
#include "index/IndexGeneration.h"
#include "index/SF_AccessTimeSaver.h"
#include "index/SF_ArchiveSaver.h"
#include "index/SF_AttributeSaver.h"
#include "index/SF_CreateTimeSaver.h"
#include "index/SF_ExtSaver.h"
#include "index/SF_FolderSaver.h"
#include "index/SF_SizeSaver.h"
#include "index/SF_TitleSaver.h"
#include "index/SF_WriteTimeSaver.h"
#include "tools/Tool_Resource.h"
#include "platform/UniqueFd.h"

namespace {
std::function<void()>& stepHook() {
    static std::function<void()> hook;
    return hook;
}

void step() {
    if (stepHook())
        stepHook()();
}

std::string columnFile(const std::string& tag, const std::string& root, int stage) {
    return Tool_Resource::getIndexCachePath() + tag + Tool_Resource::convertToIndexFileName(root, stage);
}

bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

void syncCacheFolder() {
    const UniqueFd folder(::open(Tool_Resource::getIndexCachePath().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid())
        ::fsync(folder.get());
}

// Serialises the stage changes of every thread and process that shares the cache folder.
// Where no lock file can be made (a read-only folder) nothing can be renamed either.
class FolderLock {
public:
    FolderLock() {
        const std::string path = Tool_Resource::getIndexCachePath() + "qdindex.lock";
        m_fd.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        while (m_fd.valid() && ::flock(m_fd.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }

private:
    UniqueFd m_fd;   // closing it releases the lock
};

// Moves the files of `g` from stage `from` to stage `to`, the record last. A file missing
// at `from` is fine when the one at `to` is already the generation's (a move that was
// interrupted before, resumed now).
bool moveStage(const IndexGeneration& g, const std::string& root, int from, int to) {
    for (const std::string& tag : SF_SaverSet::fileTags()) {
        const std::string source = columnFile(tag, root, from);
        const std::string target = columnFile(tag, root, to);
        if (::rename(source.c_str(), target.c_str()) != 0 && !(errno == ENOENT && g.describesFile(tag, target)))
            return false;
        step();
    }
    if (::rename(IndexGeneration::fileName(root, from).c_str(), IndexGeneration::fileName(root, to).c_str()) != 0)
        return false;
    step();
    syncCacheFolder();
    step();
    return true;
}
}  // namespace

void SF_SaverSet::setStepHook(std::function<void()> hook) { stepHook() = std::move(hook); }

std::vector<std::string> SF_SaverSet::fileTags() {
    static const std::vector<std::string> tags = [] {
        SF_SaverSet set;
        std::vector<std::string> out;
        for (const auto& column : set.m_columns)
            column->fileTags(out);
        return out;
    }();
    return tags;
}

SF_SaverSet::SF_SaverSet() {
    m_columns.push_back(std::make_unique<SF_ArchiveSaver>());
    m_columns.push_back(std::make_unique<SF_TitleSaver>());
    m_columns.push_back(std::make_unique<SF_ExtSaver>());
    m_columns.push_back(std::make_unique<SF_SizeSaver>());
    m_columns.push_back(std::make_unique<SF_FolderSaver>());
    m_columns.push_back(std::make_unique<SF_CreateTimeSaver>());
    m_columns.push_back(std::make_unique<SF_WriteTimeSaver>());
    m_columns.push_back(std::make_unique<SF_AccessTimeSaver>());
    m_columns.push_back(std::make_unique<SF_AttributeSaver>());
}

SF_SaverSet::~SF_SaverSet() {
    if (m_bOpen)
        closeWrite();
}

bool SF_SaverSet::openWrite(const std::string& root) {
    // Before anything below: it deletes and truncates the root's temporary files.
    if (!m_rootLock.acquire(root))
        return false;
    // A long root's files carry a hash in their names; its side file must name this root.
    if (!IndexCacheCatalog::recordRoot(root)) {
        if (errno == 0)
            errno = EEXIST;
        m_rootLock.release();
        return false;
    }
    // A record left by an interrupted commit must not outlive the files it named.
    ::unlink(IndexGeneration::fileName(root, Tool_Resource::INDEX_STAGE_TEMPORARY).c_str());
    for (auto& column : m_columns) {
        if (!column->openWrite(root)) {
            const int error = errno;
            closeWrite();
            m_rootLock.release();
            errno = error;
            return false;
        }
    }
    m_bOpen = true;
    return true;
}

bool SF_SaverSet::writeFound(const SF_FileFind& found) {
    bool ok = true;
    for (auto& column : m_columns)
        ok = column->writeFound(found) && ok;
    return ok;
}

bool SF_SaverSet::writeItem(const Data_FileItem& item) {
    bool ok = true;
    for (auto& column : m_columns)
        ok = column->writeItem(item) && ok;
    return ok;
}

bool SF_SaverSet::closeWrite() {
    bool ok = true;
    for (auto& column : m_columns)
        ok = column->closeWrite() && ok;
    m_bOpen = false;
    return ok;
}

void SF_SaverSet::discardTemporary(const std::string& root) {
    if (!m_rootLock.holds(root)) {
        // Not this writer's files: another writer may be filling them right now.
        closeWrite();
        return;
    }
    ::unlink(IndexGeneration::fileName(root, Tool_Resource::INDEX_STAGE_TEMPORARY).c_str());
    for (auto& column : m_columns)
        column->discardTemporary(root);
    m_bOpen = false;
    m_rootLock.release();
}

bool SF_SaverSet::commit(const std::string& root) {
    if (m_bOpen)
        return false;   // closeWrite first: only synced files are committed
    IndexGeneration g = IndexGeneration::fresh(0);
    for (auto& column : m_columns)
        if (!column->describeWritten(g, root))
            return false;
    const IndexGeneration::Column* offsets = g.column("idfa");
    if (!offsets || g.columns().size() != fileTags().size())
        return false;
    g.setEntries(static_cast<uint32_t>(offsets->size / 4));
    if (!g.write(root, Tool_Resource::INDEX_STAGE_TEMPORARY))
        return false;
    step();
    FolderLock lock;
    const bool moved = moveStage(g, root, Tool_Resource::INDEX_STAGE_TEMPORARY, Tool_Resource::INDEX_STAGE_PENDING);
    if (moved)
        m_rootLock.release();   // no temporary file of this writer is left
    return moved;
}

bool SF_SaverSet::makeLive(const std::string& root) {
    FolderLock lock;
    IndexGeneration g;
    if (!g.read(root, Tool_Resource::INDEX_STAGE_PENDING))
        return true;   // nothing complete is pending; pending columns without a record are not moved
    for (const std::string& tag : fileTags()) {
        const std::string pending = columnFile(tag, root, Tool_Resource::INDEX_STAGE_PENDING);
        const std::string candidate = exists(pending) ? pending : columnFile(tag, root, Tool_Resource::INDEX_STAGE_LIVE);
        if (!g.describesFile(tag, candidate))
            return false;
    }
    return moveStage(g, root, Tool_Resource::INDEX_STAGE_PENDING, Tool_Resource::INDEX_STAGE_LIVE);
}

bool SF_SaverSet::deleteLive(const std::string& root) {
    SF_SaverSet set;
    FolderLock lock;
    const std::string record = IndexGeneration::fileName(root, Tool_Resource::INDEX_STAGE_LIVE);
    bool ok = ::unlink(record.c_str()) == 0 || errno == ENOENT;
    for (auto& column : set.m_columns)
        ok = column->deleteLive(root) && ok;
    IndexCacheCatalog::forgetRootIfUnused(root);
    return ok;
}
