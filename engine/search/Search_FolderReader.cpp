#include "search/Search_FolderReader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/Event.h"
#include "platform/FileSystemKind.h"

namespace {

// A folder that is gone, or is no folder any more (O_NOFOLLOW met a link), since it was listed.
bool isVanished(int error) { return error == ENOENT || error == ENOTDIR || error == ELOOP; }

bool isExcluded(std::string_view folder, const std::vector<std::string>& excluded) {
    for (const std::string& entry : excluded)
        if (Search_FolderReader::withoutTrailingSlashes(entry) == folder)
            return true;
    return false;
}

}  // namespace

std::string_view Search_FolderReader::withoutTrailingSlashes(std::string_view path) {
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

Search_FolderReader::Search_FolderReader(int rootFd, std::string root, const Options& options)
    : m_rootFd(rootFd), m_root(std::move(root)), m_options(options) {
    struct stat st{};
    m_rootDev = ::fstat(rootFd, &st) == 0 ? st.st_dev : 0;
    m_queue.push(std::string());
}

bool Search_FolderReader::stopRequested() const {
    return m_cancel.load(std::memory_order_relaxed) || (m_options.stop && m_options.stop->isSet());
}

// Opens the next queued folder that is to be listed; false when none is left or the one
// taken could not be opened (`unreadable` then tells whether the slice reports it).
bool Search_FolderReader::openNextFolder(Search_FolderSlice& slice, bool& unreadable) {
    unreadable = false;
    if (!m_queue.pop(m_relative)) {
        m_ended = true;
        return false;
    }
    m_folderPath.assign(m_root).push_back('/');
    if (!m_relative.empty())
        m_folderPath.append(m_relative).push_back('/');
    if (m_options.excluded && !m_options.excluded->empty() &&
        isExcluded(withoutTrailingSlashes(m_folderPath), *m_options.excluded))
        return false;
    auto dir = std::make_shared<DirEnumerator>();
    if (!dir->openAt(m_rootFd, m_relative.empty() ? std::string(".") : m_relative)) {
        // Only the unreadable ones are worth telling the user about.
        if (!isVanished(dir->error())) {
            slice.kind = Search_FolderSlice::Kind::Unreadable;
            slice.error = dir->error();
            slice.folderPath.assign(withoutTrailingSlashes(m_folderPath));
            unreadable = true;
        }
        return false;
    }
    if (!m_relative.empty()) {
        // A folder on another file system may be a kernel interface (/proc, /sys, /dev).
        struct stat st{};
        if (::fstat(dir->fd(), &st) == 0 && st.st_dev != m_rootDev && FileSystemKind::isPseudoFileSystem(dir->fd()))
            return false;
    }
    m_dir = std::move(dir);
    m_firstSlice = true;
    return true;
}

bool Search_FolderReader::read(Search_FolderSlice& slice) {
    slice.clear();
    while (!m_dir) {
        if (m_ended)
            return false;
        if (stopRequested()) {
            m_ended = true;
            m_stopped.store(true, std::memory_order_release);
            return false;
        }
        bool unreadable = false;
        if (!openNextFolder(slice, unreadable) && unreadable)
            return true;
    }
    slice.folderPath = m_folderPath;
    slice.firstOfFolder = m_firstSlice;
    m_firstSlice = false;
    slice.dirFd = m_dir->fd();
    slice.folder = m_dir;
    DirEnumerator& dir = *m_dir;
    while (slice.count() < Search_FolderSlice::kEntries) {
        if (stopRequested()) {
            m_ended = true;
            m_stopped.store(true, std::memory_order_release);
            break;
        }
        if (!dir.next()) {   // the end, or a read error: the folder gives what it gave
            slice.lastOfFolder = true;
            break;
        }
        const std::string_view name = dir.name();
        const DirEnumerator::EntryType type = dir.type();
        if (type == DirEnumerator::EntryType::Folder && m_options.includeSubfolders) {
            m_childRelative.assign(m_relative);
            if (!m_childRelative.empty())
                m_childRelative.push_back('/');
            m_childRelative.append(name);
            if (!m_queue.push(std::move(m_childRelative))) {
                // Too many folders waiting: this root's walk ends here.
                m_queue.clear();
                slice.endsRoot = true;
                m_ended = true;
                break;
            }
        }
        slice.nameAt.push_back(static_cast<uint32_t>(slice.names.size()));
        slice.names.append(name).push_back('\0');
        slice.types.push_back(type);
        if (m_options.withMetadata) {
            slice.stats.emplace_back();
            slice.statOk.push_back(dir.stat(slice.stats.back()) ? 1 : 0);
        }
    }
    if (slice.lastOfFolder || m_ended) {
        slice.lastOfFolder = true;
        m_dir.reset();
    }
    return true;
}
