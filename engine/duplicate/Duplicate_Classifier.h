#pragma once
// Splits the files of a candidate list into classes of duplicates at one compare level.
//
// Folders (and null entries) belong to no class. Levels 0 to 2 and the "everything equal"
// levels are classified at once from the items' names, sizes or times. At levels 3 to 5
// the files are first bucketed by size; a bucket's files are read only when the bucket is
// first asked about, and a file alone in its size bucket is never read. A file that cannot
// be read is a class of its own. Members of a class are listed in candidate order.
//
// At levels 3 to 5 the files are read ahead on two threads, a batch of buckets at a time
// (the asked bucket and the next unresolved ones). A bucket's files are first told apart by
// a fast hash of their first 4 KiB: a file whose beginning no other file of its size
// shares has different bytes from all of them and is nobody's duplicate, so it is never
// read further. The others get their whole-file checksum, each once (level 5: they are
// compared byte by byte, bucket by bucket). Classes are those of comparing checksums,
// except that two different files whose checksums happen to collide are not put together
// when their beginnings differ. The grouping itself stays sequential, so the classes do
// not depend on the threads' timing.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/Data_FileItem.h"

class Event;

class Duplicate_Classifier {
public:
    // Keeps references to `items` and `stop` (may be null); neither may change meanwhile,
    // except that entries already classified may be taken out of the list.
    Duplicate_Classifier(int level, const std::vector<std::unique_ptr<Data_FileItem>>& items, const Event* stop);

    // Makes sure the file at `index` (not a folder) has its class; reads the files of its
    // size bucket when needed. False when the stop event ended the work first.
    bool resolve(size_t index);
    // The members of the class of `index` (resolved before), in candidate order.
    const std::vector<uint32_t>& classOf(size_t index) const { return m_classes[m_classOf[index]]; }
    // After resolve(index): the errno of the open or read that failed for that file, 0 when
    // it was read, never needed reading, or failed for another reason (not a regular file).
    int readError(size_t index) const { return m_readError.empty() ? 0 : m_readError[index]; }

    // The name as level 0 compares it: ASCII letters folded to lower case; other bytes,
    // UTF-8 sequences included, stay as they are.
    static std::string foldName(const std::string& name);
    // Whether the entry takes part in the grouping at all.
    static bool isGroupable(const Data_FileItem* item) { return item && !item->isDirectory(); }

private:
    static constexpr int32_t kUnresolved = -1;

    void classifyByKey();
    void bucketBySize();
    bool resolveBucket(size_t bucket);
    bool resolveByChecksum(size_t bucket, const std::vector<uint32_t>& members);
    bool checksumBatchFrom(size_t bucket, const std::vector<uint32_t>& members);
    bool hasCachedChecksum(const Data_FileItem& item) const;
    bool resolveByBytes(const std::vector<uint32_t>& members);
    bool splitByContentHash(const std::vector<uint32_t>& members, uint64_t limit,
                            std::vector<std::vector<uint32_t>>& parts);
    bool classifyByComparison(const std::vector<uint32_t>& members);
    int32_t newClass();
    void addTo(int32_t cls, uint32_t index);
    bool stopped() const;

    int m_level;
    const std::vector<std::unique_ptr<Data_FileItem>>& m_items;
    const Event* m_stop;
    std::vector<int32_t> m_classOf;                // per candidate
    std::vector<std::vector<uint32_t>> m_classes;
    std::vector<int32_t> m_bucketOf;               // levels 3 to 5: size bucket per candidate
    std::vector<std::vector<uint32_t>> m_buckets;
    // Levels 3 to 5: per candidate, the checksum (a CRC-32 in the first four bytes; none at
    // level 5) and its state; per bucket, whether its members' beginnings and checksums are
    // settled.
    enum class SumState : uint8_t {
        Pending,
        Computed,
        Unreadable,   // a duplicate of nothing
        Distinct,     // no other file of its size begins like it: a duplicate of nothing
    };
    std::vector<std::array<uint8_t, 16>> m_sums;
    std::vector<SumState> m_sumState;
    std::vector<bool> m_bucketSummed;
    std::vector<int> m_readError;   // levels 3 to 5, per candidate; each written by one job
};
