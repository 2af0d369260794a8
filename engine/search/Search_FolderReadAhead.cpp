#include "search/Search_FolderReadAhead.h"

#include <algorithm>

#include "index/SF_StatHelper.h"
#include "search/Search_FolderReader.h"

namespace {
// The walk is woken when this much is ready (or the helper ends or waits): one wake per
// batch, not per folder, when the walk is faster than the folder reads.
constexpr size_t kWakeSlices = 64;
constexpr size_t kWakeEntries = 8192;
}  // namespace

Search_FolderReadAhead::Search_FolderReadAhead(Search_FolderReader& reader)
    : m_reader(reader), m_maxSlices(std::max<size_t>(SF_StatHelper::folderDescriptorBudget(kMaxSlices), 1)) {
    m_thread = std::thread([this] { run(); });
}

Search_FolderReadAhead::~Search_FolderReadAhead() {
    m_reader.cancel();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancel = true;
    }
    m_room.notify_one();
    m_thread.join();
}

bool Search_FolderReadAhead::hasRoom() const { return m_slices.size() < m_maxSlices && m_entries < kMaxEntries; }

size_t Search_FolderReadAhead::slicesRead() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_slicesRead;
}

void Search_FolderReadAhead::run() {
    std::unique_ptr<Search_FolderSlice> slice;
    for (;;) {
        if (!slice) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_spare.empty()) {
                slice = std::move(m_spare.back());
                m_spare.pop_back();
            }
        }
        if (!slice)
            slice = std::make_unique<Search_FolderSlice>();
        const bool more = m_reader.read(*slice);
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!more) {
            m_done = true;
            const bool wake = m_walkWaiting;
            lock.unlock();
            if (wake)
                m_ready.notify_one();
            return;
        }
        m_entries += slice->count();
        m_slices.push_back(std::move(slice));
        ++m_slicesRead;
        const bool full = !hasRoom();
        if (m_walkWaiting && (full || m_slices.size() >= kWakeSlices || m_entries >= kWakeEntries))
            m_ready.notify_one();
        if (full) {
            m_helperWaiting = true;
            m_room.wait(lock, [&] {
                return m_cancel || (m_slices.size() <= m_maxSlices / 2 && m_entries <= kMaxEntries / 2);
            });
            m_helperWaiting = false;
        }
        if (m_cancel)
            return;
    }
}

bool Search_FolderReadAhead::take(std::unique_ptr<Search_FolderSlice>& slice) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (slice) {
        slice->clear();   // drops its hold on the folder's descriptor
        if (m_spare.size() < kWakeSlices)
            m_spare.push_back(std::move(slice));
        slice.reset();
    }
    if (m_slices.empty() && !m_done) {
        m_walkWaiting = true;
        // The helper is reading: wait until a batch is ready, or it ended.
        m_ready.wait(lock, [&] {
            return m_done || !hasRoom() || m_slices.size() >= kWakeSlices || m_entries >= kWakeEntries;
        });
        m_walkWaiting = false;
    }
    if (m_slices.empty())
        return false;
    slice = std::move(m_slices.front());
    m_slices.pop_front();
    m_entries -= slice->count();
    if (m_helperWaiting && m_slices.size() <= m_maxSlices / 2 && m_entries <= kMaxEntries / 2)
        m_room.notify_one();
    return true;
}
