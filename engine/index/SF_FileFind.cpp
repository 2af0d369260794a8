#include "index/SF_FileFind.h"

#include <atomic>
#include <sys/stat.h>

#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"

namespace {
std::string withoutTrailingSlash(const std::string& folder) {
    std::string f = folder;
    while (!f.empty() && f.back() == '/')
        f.pop_back();
    return f;   // "/" becomes "", which is how entries of the root name their folder
}

// Few entries are not worth a hand-over to the helper.
constexpr size_t kMinEntriesForHelper = 4;
}  // namespace

SF_FileFind::~SF_FileFind() { withdraw(); }

FILETIME SF_FileFind::localTimeOf(const timespec& utc) { return FileTimeConvert::fromTimespec(utc); }

void SF_FileFind::withdraw() {
    if (m_pushed)
        m_helper->pop(m_job);
    m_pushed = false;
}

bool SF_FileFind::listFolder() {
    withdraw();
    m_job.clear();
    m_next = 0;
    // A huge folder is taken a slice at a time, so memory stays bounded.
    m_job.listFrom(m_enum, SF_StatHelper::kSliceEntries, m_listEnded);
    m_job.folderDev = m_folderDev;
    m_job.prepare();
    handToHelper();
    return true;
}

void SF_FileFind::handToHelper() {
    if (m_helper && m_job.count() >= kMinEntriesForHelper) {
        m_helper->push(m_job);
        m_pushed = true;
    }
}

bool SF_FileFind::findFile(const std::string& folder) {
    forget();
    m_folder = withoutTrailingSlash(folder);
    if (!m_enum.open(m_folder.empty() ? std::string("/") : m_folder) || !noteFolderDevice())
        return false;
    m_listEnded = false;
    return listFolder();
}

bool SF_FileFind::noteFolderDevice() {
    struct stat st{};
    if (::fstat(m_enum.fd(), &st) != 0) {
        m_enum.close();
        return false;
    }
    m_folderDev = st.st_dev;
    return true;
}

bool SF_FileFind::findChild(SF_FileFind& parent, std::string_view name, const std::string& folder) {
    forget();
    m_helper = parent.m_helper;
    m_folder = withoutTrailingSlash(folder);
    if (m_helper && parent.m_pushed && parent.m_next > 0 && parent.m_job.nameView(parent.m_next - 1) == name) {
        if (auto ahead = SF_StatHelper::claimFolder(parent.m_job, parent.m_next - 1)) {
            m_enum = std::move(ahead->dir);
            m_job = std::move(ahead->job);
            m_listEnded = ahead->listEnded;
            m_folderDev = m_job.folderDev;
            m_next = 0;
            handToHelper();
            return true;
        }
    }
    if (!m_enum.openChild(parent.m_enum, name) || !noteFolderDevice())
        return false;
    m_listEnded = false;
    return listFolder();
}

void SF_FileFind::close() {
    forget();
    m_enum.close();
}

void SF_FileFind::forget() {
    withdraw();
    m_job.clear();
    m_job.prepare();
    m_next = 0;
    m_name = {};
    m_listEnded = true;
}

bool SF_FileFind::findNextFile() {
    for (;;) {
        if (m_next == m_job.count()) {
            if (m_listEnded)
                break;
            listFolder();
            continue;
        }
        const size_t i = m_next++;
        if (m_pushed)
            std::atomic_ref<size_t>(m_job.walkerNext).store(m_next, std::memory_order_relaxed);
        if (!SF_StatHelper::take(m_job, i))
            continue;   // vanished (or cannot be asked) since the folder was read
        m_stat = m_job.stats[i];
        m_name = m_job.nameView(i);
        m_attributes = DirEnumerator::attributesOf(m_stat, m_name);
        m_realLength = DirEnumerator::walkSizeOf(m_stat);
        DirEnumerator::fileTimesOf(m_stat, m_creation, m_lastAccess, m_lastWrite);
        m_lengthOverride = -1;
        return true;
    }
    withdraw();   // the helper has nothing left to do here
    m_name = {};
    return false;
}

std::string_view SF_FileFind::getFileTitle() const {
    const std::string_view name = m_name;
    const size_t dot = Data_FileItem::extensionDot(name);
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string_view SF_FileFind::getFileExt() const {
    const std::string_view name = m_name;
    const size_t dot = Data_FileItem::extensionDot(name);
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

std::string SF_FileFind::getFilePath() const {
    std::string path = m_folder;
    path += '/';
    path += m_name;
    return path;
}
