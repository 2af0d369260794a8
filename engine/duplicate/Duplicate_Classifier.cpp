#include "duplicate/Duplicate_Classifier.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "duplicate/Duplicate_FileContent.h"
#include "platform/Event.h"
#include "platform/AsciiCase.h"

namespace {
// Bytes hashed to split a large bucket of equal sizes before any byte comparison.
constexpr uint64_t kPrefixBytes = uint64_t{64} * 1024;
// Above this many files with equal size and equal beginnings, whole-file hashes split them
// further, so the comparisons against class representatives stay few.
constexpr size_t kFullHashThreshold = 4;
// Bytes of a file's beginning hashed to tell files of equal size apart before checksums.
constexpr uint64_t kHeadBytes = 4096;
// Level 3 and 4 checksums are settled in batches of whole buckets of at least this many bytes (or
// this many files), so that starting the helper thread costs little against the hashing.
constexpr uint64_t kDigestBatchBytes = 16u << 20;
constexpr size_t kDigestBatchFiles = 4096;

uint64_t timeKey(const FILETIME& ft) {
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
}  // namespace

Duplicate_Classifier::Duplicate_Classifier(int level, const std::vector<std::unique_ptr<Data_FileItem>>& items,
                                           const Event* stop)
    : m_level(level), m_items(items), m_stop(stop), m_classOf(items.size(), kUnresolved) {
    if (m_level >= 3 && m_level <= 5)
        bucketBySize();
    else
        classifyByKey();
    if (m_level >= 3 && m_level <= 5) {
        m_sums.resize(m_level == 5 ? 0 : items.size());
        m_sumState.assign(items.size(), SumState::Pending);
        m_bucketSummed.assign(m_buckets.size(), false);
        m_readError.assign(items.size(), 0);
    }
}

std::string Duplicate_Classifier::foldName(const std::string& name) { return AsciiCase::folded(name); }

bool Duplicate_Classifier::stopped() const { return m_stop && m_stop->isSet(); }

int32_t Duplicate_Classifier::newClass() {
    m_classes.emplace_back();
    return static_cast<int32_t>(m_classes.size() - 1);
}

void Duplicate_Classifier::addTo(int32_t cls, uint32_t index) {
    m_classes[static_cast<size_t>(cls)].push_back(index);
    m_classOf[index] = cls;
}

void Duplicate_Classifier::classifyByKey() {
    std::unordered_map<std::string, int32_t> byName;
    std::unordered_map<uint64_t, int32_t> byNumber;
    int32_t everything = kUnresolved;
    for (uint32_t i = 0; i < m_items.size(); ++i) {
        Data_FileItem* item = m_items[i].get();
        if (!isGroupable(item))
            continue;
        int32_t* slot = nullptr;
        switch (m_level) {
        case 0:
            slot = &byName.try_emplace(foldName(item->getFileName()), kUnresolved).first->second;
            break;
        case 1:
            slot = &byNumber.try_emplace(static_cast<uint64_t>(item->m_nSize), kUnresolved).first->second;
            break;
        case 2:
            slot = &byNumber.try_emplace(timeKey(item->m_ftLastWrite), kUnresolved).first->second;
            break;
        default:
            slot = &everything;
            break;
        }
        if (*slot == kUnresolved)
            *slot = newClass();
        addTo(*slot, i);
    }
}

void Duplicate_Classifier::bucketBySize() {
    m_bucketOf.assign(m_items.size(), kUnresolved);
    std::unordered_map<int64_t, int32_t> bySize;
    for (uint32_t i = 0; i < m_items.size(); ++i) {
        Data_FileItem* item = m_items[i].get();
        if (!isGroupable(item))
            continue;
        auto [it, added] = bySize.try_emplace(item->m_nSize, static_cast<int32_t>(m_buckets.size()));
        if (added)
            m_buckets.emplace_back();
        m_buckets[static_cast<size_t>(it->second)].push_back(i);
        m_bucketOf[i] = it->second;
    }
    // A file alone in its size bucket has no partner: it is never read.
    for (auto& bucket : m_buckets)
        if (bucket.size() == 1)
            addTo(newClass(), bucket.front());
}

bool Duplicate_Classifier::resolve(size_t index) {
    if (m_classOf[index] != kUnresolved)
        return true;
    return resolveBucket(static_cast<size_t>(m_bucketOf[index]));
}

bool Duplicate_Classifier::resolveBucket(size_t bucket) {
    const std::vector<uint32_t> members = std::move(m_buckets[bucket]);
    switch (m_level) {
    case 3:
    case 4:
        return resolveByChecksum(bucket, members);
    default: {
        if (!m_bucketSummed[bucket] && !checksumBatchFrom(bucket, members))
            return false;
        std::vector<uint32_t> alike;   // those whose beginning another file of the size shares
        for (uint32_t index : members) {
            if (m_sumState[index] == SumState::Pending)
                alike.push_back(index);
            else
                addTo(newClass(), index);   // unreadable, or unlike every other file of its size
        }
        return resolveByBytes(alike);
    }
    }
}

bool Duplicate_Classifier::resolveByChecksum(size_t bucket, const std::vector<uint32_t>& members) {
    if (!m_bucketSummed[bucket] && !checksumBatchFrom(bucket, members))
        return false;
    const size_t keyLength = m_level == 3 ? 4 : 16;
    std::unordered_map<std::string, int32_t> bySum;
    for (uint32_t index : members) {
        if (m_sumState[index] != SumState::Computed) {
            addTo(newClass(), index);   // unreadable, or unlike every other file of its size
            continue;
        }
        auto [it, added] =
            bySum.try_emplace(std::string(reinterpret_cast<const char*>(m_sums[index].data()), keyLength), kUnresolved);
        if (added)
            it->second = newClass();
        addTo(it->second, index);
    }
    return true;
}

bool Duplicate_Classifier::hasCachedChecksum(const Data_FileItem& item) const {
    if (m_level == 5)
        return false;
    return m_level == 3 ? item.m_dwCRC32 != 0 : item.m_md5[0] != 0;
}

namespace {
// Runs work(k) for every k below `count` on this thread and one helper (when there is
// more than one job and a thread can be had). Returns when all are done.
template <typename Work>
void runOnTwoThreads(size_t count, Work&& work) {
    std::atomic<size_t> next{0};
    auto loop = [&] {
        for (size_t k = next.fetch_add(1); k < count; k = next.fetch_add(1))
            work(k);
    };
    if (count < 2) {
        loop();
        return;
    }
    try {
        std::thread helper(loop);
        loop();
        helper.join();
    } catch (const std::system_error&) {
        loop();   // no second thread to be had: this one does all
    }
}
}  // namespace

// Settles the checksums (level 5: only the beginnings) of `members` (those of `bucket`) and of the members of the
// following buckets still to be resolved, up to a batch, on this thread and one helper.
// Checksums the items already carry are taken from their caches; new ones are stored
// there too. Other candidates are not touched, and nothing runs after the return. False
// when the stop event ended it; the batch is then left to be settled again.
bool Duplicate_Classifier::checksumBatchFrom(size_t bucket, const std::vector<uint32_t>& members) {
    struct Job {
        uint32_t index;
        uint64_t size;
        const std::string* path;   // names are built here, not in the threads
    };
    std::vector<Job> headJobs, sumJobs;
    std::vector<size_t> batch;
    uint64_t bytes = 0;
    auto take = [&](size_t b, const std::vector<uint32_t>& files) {
        m_bucketSummed[b] = true;
        batch.push_back(b);
        // A file with a cached checksum may equal any other file of its size, so such a
        // bucket is settled by checksums alone.
        const bool anyCached = std::any_of(files.begin(), files.end(),
                                           [&](uint32_t index) { return hasCachedChecksum(*m_items[index]); });
        for (uint32_t index : files) {
            if (m_sumState[index] == SumState::Computed)
                continue;
            Data_FileItem& item = *m_items[index];
            if (hasCachedChecksum(item)) {
                if (m_level == 3)
                    std::memcpy(m_sums[index].data(), &item.m_dwCRC32, 4);
                else
                    std::memcpy(m_sums[index].data(), item.m_md5, 16);
                m_sumState[index] = SumState::Computed;
                continue;
            }
            const uint64_t size = item.m_nSize > 0 ? static_cast<uint64_t>(item.m_nSize) : 0;
            (anyCached ? sumJobs : headJobs).push_back({index, size, &item.getFullFileName()});
            bytes += size;
        }
    };
    take(bucket, members);
    for (size_t b = bucket + 1; b < m_buckets.size() && bytes < kDigestBatchBytes &&
                                headJobs.size() + sumJobs.size() < kDigestBatchFiles;
         ++b)
        if (!m_bucketSummed[b] && m_buckets[b].size() >= 2)   // a lone file is never read
            take(b, m_buckets[b]);

    // First the beginnings: jobs of one bucket are adjacent, so files of equal size whose
    // head hashes differ from all others of their size need no more reading.
    std::vector<uint64_t> heads(headJobs.size());
    std::vector<uint8_t> headRead(headJobs.size(), 0);
    runOnTwoThreads(headJobs.size(), [&](size_t k) {
        if (!stopped())
            headRead[k] = Duplicate_FileContent::hashFile(*headJobs[k].path, kHeadBytes, heads[k], m_stop,
                                                          &m_readError[headJobs[k].index]);
    });
    if (!stopped()) {
        std::unordered_map<uint64_t, uint32_t> headCount;
        for (size_t first = 0; first < headJobs.size();) {
            const int32_t b = m_bucketOf[headJobs[first].index];
            size_t end = first;
            while (end < headJobs.size() && m_bucketOf[headJobs[end].index] == b)
                ++end;
            headCount.clear();
            for (size_t k = first; k < end; ++k)
                if (headRead[k])
                    ++headCount[heads[k]];
            for (size_t k = first; k < end; ++k) {
                const uint32_t index = headJobs[k].index;
                if (!headRead[k])
                    m_sumState[index] = SumState::Unreadable;
                else if (headCount[heads[k]] == 1)
                    m_sumState[index] = SumState::Distinct;
                else if (m_level != 5)
                    sumJobs.push_back(headJobs[k]);
                // (level 5: stays pending, for the byte comparison)
            }
            first = end;
        }
    }

    // Largest first, so that the two threads finish close together.
    std::stable_sort(sumJobs.begin(), sumJobs.end(), [](const Job& a, const Job& b) { return a.size > b.size; });
    runOnTwoThreads(sumJobs.size(), [&](size_t k) {
        if (stopped())
            return;
        const Job& job = sumJobs[k];
        bool read;
        if (m_level == 3) {
            uint32_t crc = 0;
            read = Duplicate_FileContent::fileCRC32(*job.path, crc, m_stop, &m_readError[job.index]);
            std::memcpy(m_sums[job.index].data(), &crc, 4);
        } else {
            read = Duplicate_FileContent::fileMD5(*job.path, m_sums[job.index].data(), m_stop, &m_readError[job.index]);
        }
        m_sumState[job.index] = read ? SumState::Computed : SumState::Unreadable;
    });

    if (stopped()) {
        for (size_t b : batch) {
            m_bucketSummed[b] = false;
            for (uint32_t index : (b == bucket ? members : m_buckets[b]))
                if (m_sumState[index] != SumState::Computed)
                    m_sumState[index] = SumState::Pending;   // may have failed only for the stop
        }
        return false;
    }
    for (const Job& job : sumJobs) {
        if (m_sumState[job.index] != SumState::Computed)
            continue;
        Data_FileItem& item = *m_items[job.index];
        if (m_level == 3)
            std::memcpy(&item.m_dwCRC32, m_sums[job.index].data(), 4);   // a genuine 0 stays "not computed"
        else
            std::memcpy(item.m_md5, m_sums[job.index].data(), 16);
    }
    return true;
}

bool Duplicate_Classifier::resolveByBytes(const std::vector<uint32_t>& members) {
    // Two files: one comparison decides. More: split by a hash of the first bytes, then
    // large parts by a hash of everything, then compare against each part's representatives.
    // Equal files always land in the same part, so the classes are those of comparing all.
    if (members.size() <= 2)
        return classifyByComparison(members);
    std::vector<std::vector<uint32_t>> byPrefix;
    if (!splitByContentHash(members, kPrefixBytes, byPrefix))
        return false;
    const uint64_t size = static_cast<uint64_t>(m_items[members.front()]->m_nSize);
    for (const auto& part : byPrefix) {
        if (part.size() > kFullHashThreshold && size > kPrefixBytes) {
            std::vector<std::vector<uint32_t>> byWhole;
            if (!splitByContentHash(part, UINT64_MAX, byWhole))
                return false;
            for (const auto& whole : byWhole)
                if (!classifyByComparison(whole))
                    return false;
        } else if (!classifyByComparison(part)) {
            return false;
        }
    }
    return true;
}

bool Duplicate_Classifier::splitByContentHash(const std::vector<uint32_t>& members, uint64_t limit,
                                              std::vector<std::vector<uint32_t>>& parts) {
    std::unordered_map<uint64_t, size_t> partOf;
    for (uint32_t index : members) {
        if (stopped())
            return false;
        uint64_t hash = 0;
        if (!Duplicate_FileContent::hashFile(m_items[index]->getFullFileName(), limit, hash, m_stop,
                                             &m_readError[index])) {
            if (stopped())
                return false;
            addTo(newClass(), index);   // unreadable: a duplicate of nothing
            continue;
        }
        auto [it, added] = partOf.try_emplace(hash, parts.size());
        if (added)
            parts.emplace_back();
        parts[it->second].push_back(index);
    }
    return true;
}

bool Duplicate_Classifier::classifyByComparison(const std::vector<uint32_t>& members) {
    std::vector<uint32_t> representatives;
    for (uint32_t index : members) {
        if (stopped())
            return false;
        int32_t cls = kUnresolved;
        const std::string& path = m_items[index]->getFullFileName();
        for (uint32_t rep : representatives) {
            if (Duplicate_FileContent::equalFiles(m_items[rep]->getFullFileName(), path, m_stop)) {
                cls = m_classOf[rep];
                break;
            }
        }
        if (stopped())
            return false;
        if (cls == kUnresolved) {
            cls = newClass();
            representatives.push_back(index);
        }
        addTo(cls, index);
    }
    return true;
}
