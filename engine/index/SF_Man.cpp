#include "index/SF_Man.h"

#include <algorithm>

#include "index/IIndexResultReceiver.h"
#include "index/SF_IndexWorker.h"
#include "tools/Tool_Resource.h"
#include "platform/AsciiCase.h"

Event SF_Man::s_hCancelEvent;
std::mutex SF_Man::s_renameCS;
bool SF_Man::s_bNewIndexCache = false;

SF_Man::SF_Man() = default;
SF_Man::~SF_Man() = default;

void SF_Man::init() {}

void SF_Man::addPath(const std::vector<std::string>& roots) { m_roots.insert(m_roots.end(), roots.begin(), roots.end()); }

void SF_Man::setExcludeListInfo(const std::vector<std::string>& folders, const std::vector<std::string>& types,
                                bool indexArchives) {
    m_exclude.excludedFolders.clear();
    m_exclude.excludedTypes.clear();
    for (std::string f : folders) {
        while (f.size() > 1 && f.back() == '/')
            f.pop_back();
        if (!f.empty())
            m_exclude.excludedFolders.push_back(std::move(f));
    }
    m_exclude.excludedTypes = types;
    m_exclude.bIndexArchives = indexArchives;
}

void SF_Man::setIndexThreadPriority(int priority) { m_priority.store(std::clamp(priority, 0, 10)); }

int SF_Man::getIndexThreadPriority() const { return m_priority.load(); }

void SF_Man::startIndex(IIndexResultReceiver* receiver) {
    {
        std::lock_guard<std::mutex> lock(m_sumLock);
        m_bytesIndexed = 0;
        m_entriesIndexed = 0;
    }
    index(receiver);
}

void SF_Man::reset() { m_roots.clear(); }

void SF_Man::index(IIndexResultReceiver* receiver) {
    m_outcomes.clear();
    if (m_roots.empty())
        return;
    const std::string label = Tool_Resource::loadString(67);
    for (const std::string& root : m_roots) {
        if (cancelRequested())
            return;
        m_currentRootText = label + "[" + root + "]";
        setIndexInfo(m_currentRootText);
        SF_IndexWorker worker(*this, receiver, m_exclude);
        m_outcomes.push_back(worker.indexRoot(root));
    }
    if (!cancelRequested() && receiver)
        receiver->indexFinished();
}

void SF_Man::getSumValues(uint64_t& bytes, uint32_t& entries, std::string& text) const {
    std::lock_guard<std::mutex> lock(m_sumLock);
    bytes = m_bytesIndexed;
    entries = m_entriesIndexed;
    text = m_activityText;
}

void SF_Man::addSumValues(uint64_t bytes, uint32_t entries) {
    std::lock_guard<std::mutex> lock(m_sumLock);
    m_bytesIndexed += bytes;
    m_entriesIndexed += entries;
}

void SF_Man::setIndexInfo(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_sumLock);
    m_activityText = text;
}

bool SF_Man::hasNewIndexCache() {
    std::lock_guard<std::mutex> lock(s_renameCS);
    return s_bNewIndexCache;
}

void SF_Man::clearNewIndexCache() {
    std::lock_guard<std::mutex> lock(s_renameCS);
    s_bNewIndexCache = false;
}

// ---- exclusions -------------------------------------------------------------------------

bool SF_ExcludeInfo::isExcludedFolder(std::string_view path) const {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    for (const std::string& f : excludedFolders) {
        if (f == "/")
            return true;
        // Whole components only: /data/Temp takes in /data/Temp and /data/Temp/x, not /data/Temp2.
        if (path.size() >= f.size() && path.compare(0, f.size(), f) == 0 &&
            (path.size() == f.size() || path[f.size()] == '/'))
            return true;
    }
    return false;
}

bool SF_ExcludeInfo::isExcludedType(std::string_view extension) const {
    for (const std::string& t : excludedTypes)
        if (AsciiCase::equalFolded(t, extension))
            return true;
    return false;
}
