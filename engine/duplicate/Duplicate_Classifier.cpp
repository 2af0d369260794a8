#include "duplicate/Duplicate_Classifier.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "duplicate/Duplicate_FileContent.h"
#include "platform/Event.h"

namespace {
// Bytes hashed to split a large bucket of equal sizes before any byte comparison.
constexpr uint64_t kPrefixBytes = 64 * 1024;
// Above this many files with equal size and equal beginnings, whole-file hashes split them
// further, so the comparisons against class representatives stay few.
constexpr size_t kFullHashThreshold = 4;
// Level 4 digests are computed in batches of whole buckets of at least this many bytes (or
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
    if (m_level == 4) {
        m_digests.resize(items.size());
        m_digestState.assign(items.size(), DigestState::Pending);
        m_bucketDigested.assign(m_buckets.size(), false);
    }
}

std::string Duplicate_Classifier::foldName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

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
        return resolveByCRC32(members);
    case 4:
        return resolveByMD5(bucket, members);
    default:
        return resolveByBytes(members);
    }
}

bool Duplicate_Classifier::resolveByCRC32(const std::vector<uint32_t>& members) {
    std::unordered_map<uint32_t, int32_t> byCRC;
    for (uint32_t index : members) {
        if (stopped())
            return false;
        uint32_t crc = 0;
        if (!Duplicate_FileContent::itemCRC32(*m_items[index], crc)) {
            addTo(newClass(), index);
            continue;
        }
        auto [it, added] = byCRC.try_emplace(crc, kUnresolved);
        if (added)
            it->second = newClass();
        addTo(it->second, index);
    }
    return true;
}

bool Duplicate_Classifier::resolveByMD5(size_t bucket, const std::vector<uint32_t>& members) {
    if (!m_bucketDigested[bucket] && !digestBatchFrom(bucket, members))
        return false;
    std::unordered_map<std::string, int32_t> byDigest;
    for (uint32_t index : members) {
        if (m_digestState[index] != DigestState::Computed) {
            addTo(newClass(), index);   // unreadable: a duplicate of nothing
            continue;
        }
        const auto& digest = m_digests[index];
        auto [it, added] = byDigest.try_emplace(std::string(reinterpret_cast<const char*>(digest.data()), 16),
                                                kUnresolved);
        if (added)
            it->second = newClass();
        addTo(it->second, index);
    }
    return true;
}

// Computes the digests of `members` (those of `bucket`) and of the members of the following
// buckets still to be resolved, up to a batch, on this thread and one helper. Digests the
// items already carry are taken from their caches; new ones are stored there too. Other
// candidates are not touched, and nothing runs after the return. False when the stop event
// ended it; the batch is then left to be computed again.
bool Duplicate_Classifier::digestBatchFrom(size_t bucket, const std::vector<uint32_t>& members) {
    struct Job {
        uint32_t index;
        uint64_t size;
        const std::string* path;
    };
    std::vector<Job> jobs;
    std::vector<size_t> batch;
    uint64_t bytes = 0;
    auto take = [&](size_t b, const std::vector<uint32_t>& files) {
        m_bucketDigested[b] = true;
        batch.push_back(b);
        for (uint32_t index : files) {
            if (m_digestState[index] == DigestState::Computed)
                continue;
            Data_FileItem& item = *m_items[index];
            if (item.m_md5[0] != 0) {
                std::memcpy(m_digests[index].data(), item.m_md5, 16);
                m_digestState[index] = DigestState::Computed;
                continue;
            }
            const uint64_t size = item.m_nSize > 0 ? static_cast<uint64_t>(item.m_nSize) : 0;
            jobs.push_back({index, size, &item.getFullFileName()});   // names are built here, not in the threads
            bytes += size;
        }
    };
    take(bucket, members);
    for (size_t b = bucket + 1; b < m_buckets.size() && bytes < kDigestBatchBytes && jobs.size() < kDigestBatchFiles;
         ++b)
        if (!m_bucketDigested[b] && m_buckets[b].size() >= 2)   // a lone file is never read
            take(b, m_buckets[b]);
    // Largest first, so that the two threads finish close together.
    std::stable_sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) { return a.size > b.size; });

    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k = next.fetch_add(1); k < jobs.size() && !stopped(); k = next.fetch_add(1)) {
            const Job& job = jobs[k];
            const bool read = Duplicate_FileContent::fileMD5(*job.path, m_digests[job.index].data(), m_stop);
            m_digestState[job.index] = read ? DigestState::Computed : DigestState::Unreadable;
        }
    };
    if (jobs.size() < 2) {
        work();
    } else {
        try {
            std::thread helper(work);
            work();
            helper.join();
        } catch (const std::system_error&) {
            work();   // no second thread to be had: this one does all
        }
    }
    if (stopped()) {
        for (const Job& job : jobs)
            if (m_digestState[job.index] != DigestState::Computed)
                m_digestState[job.index] = DigestState::Pending;   // may have failed only for the stop
        for (size_t b : batch)
            m_bucketDigested[b] = false;
        return false;
    }
    for (const Job& job : jobs)
        if (m_digestState[job.index] == DigestState::Computed)
            std::memcpy(m_items[job.index]->m_md5, m_digests[job.index].data(), 16);
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
        if (!Duplicate_FileContent::hashFile(m_items[index]->getFullFileName(), limit, hash, m_stop)) {
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
