// ResultItemComparator: the comparators of the result list's sort.
#include "shell/ResultItemComparator.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <optional>
#include <string_view>
#include <thread>

#include "records/Data_FileItem.h"
#include "shell/AsciiCollation.h"

namespace {
// More rows than this are keyed and sorted on two threads.
constexpr size_t kParallelRows = 20000;

QString fromUtf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

template <typename T>
int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

QCollator listCollator()
{
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

// The collation key of one text: printable-ASCII texts by their AsciiCollation weights (the
// first sixteen packed in `prefix`, the rest at `tail` in the arena of the row's half), any
// other text by the collator's sort key, kept aside.
struct TextKey {
    static constexpr uint32_t kCollated = UINT32_MAX;
    static constexpr uint32_t kInline = 16;
    uint64_t prefix[2] = {0, 0};
    uint32_t tail = 0;
    uint32_t length = kCollated;  // characters of a weighed text
    bool weighed() const { return length != kCollated; }
};

// What a comparison needs of one item, copied out so that the sort walks one compact
// array instead of chasing every item in memory.
struct Row {
    int group = 0;
    int folder = 0;    // 1 for a folder
    uint64_t key = 0;  // size, time or attribute word, by the column
    int rank = 0;      // place in the name order, when known
    int index = 0;     // position in the input
    TextKey name;
};

// The keys of one sort. Rows are keyed, and sorted, in two halves on two threads; each half
// writes only its own rows' keys and arena, so the halves never meet until the merge.
class Keys {
public:
    // names: the name rule collates (no name order is known).
    Keys(const std::vector<Data_FileItem*>& items, int column, bool names, const AsciiCollation* fast, size_t half)
        : m_items(items)
        , m_column(column)
        , m_fast(fast)
        , m_half(half)
    {
        if (names)
            m_collated[0].resize(items.size());
        if (hasSecond()) {
            m_collated[1].resize(items.size());
            m_second.resize(items.size());
        }
    }
    // The second text: the folder (column 1) or a file's extension (column 3).
    bool hasSecond() const { return m_column == 1 || m_column == 3; }

    void make(Row& row, bool ranked, const QCollator& collator)
    {
        Data_FileItem& item = *m_items[size_t(row.index)];
        if (!ranked)
            row.name = keyOf(item.getFileName(), row.index, 0, collator);
        if (m_column == 1)
            m_second[size_t(row.index)] = keyOf(item.m_strPath, row.index, 1, collator);
        else if (m_column == 3 && !item.isDirectory())
            m_second[size_t(row.index)] = keyOf(item.m_strExt, row.index, 1, collator);
    }

    int compareNames(const Row& a, const Row& b, const QCollator& collator)
    {
        return compare(a.name, a.index, b.name, b.index, 0, collator);
    }
    int compareSeconds(const Row& a, const Row& b, const QCollator& collator)
    {
        return compare(m_second[size_t(a.index)], a.index, m_second[size_t(b.index)], b.index, 1, collator);
    }

private:
    std::string_view text(int index, int slot) const
    {
        Data_FileItem& item = *m_items[size_t(index)];
        if (slot == 0)
            return item.getFileName();
        return m_column == 1 ? std::string_view(item.m_strPath) : std::string_view(item.m_strExt);
    }
    std::string& arenaOf(int index) { return m_arena[size_t(index) < m_half ? 0 : 1]; }

    TextKey keyOf(std::string_view s, int index, int slot, const QCollator& collator)
    {
        TextKey key;
        if (m_fast && AsciiCollation::covers(s)) {
            key.prefix[0] = m_fast->prefix(s);
            key.prefix[1] = m_fast->prefix(s, 8);
            key.length = uint32_t(s.size());
            if (s.size() > TextKey::kInline) {
                std::string& arena = arenaOf(index);
                key.tail = uint32_t(arena.size());
                m_fast->appendWeights(s.substr(TextKey::kInline), arena);
            }
        } else {
            m_collated[slot][size_t(index)] = collator.sortKey(fromUtf8(s));
        }
        return key;
    }

    // A weighed text compared with a collated one needs its own collator key: made on first
    // need, by the thread whose half holds the row (or by the merge, after both ended).
    const QCollatorSortKey& collated(int index, int slot, const QCollator& collator)
    {
        std::optional<QCollatorSortKey>& key = m_collated[slot][size_t(index)];
        if (!key)
            key = collator.sortKey(fromUtf8(text(index, slot)));
        return *key;
    }

    int compare(const TextKey& x, int xi, const TextKey& y, int yi, int slot, const QCollator& collator)
    {
        if (x.weighed() && y.weighed()) {
            if (x.prefix[0] != y.prefix[0])
                return x.prefix[0] < y.prefix[0] ? -1 : 1;
            if (x.prefix[1] != y.prefix[1])
                return x.prefix[1] < y.prefix[1] ? -1 : 1;
            if (x.length <= TextKey::kInline || y.length <= TextKey::kInline)
                return threeWay(x.length, y.length);
            const int c = std::memcmp(arenaOf(xi).data() + x.tail, arenaOf(yi).data() + y.tail,
                                      std::min(x.length, y.length) - TextKey::kInline);
            return c != 0 ? (c < 0 ? -1 : 1) : threeWay(x.length, y.length);
        }
        const int c = collated(xi, slot, collator).compare(collated(yi, slot, collator));
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }

    const std::vector<Data_FileItem*>& m_items;
    const int m_column;
    const AsciiCollation* const m_fast;
    const size_t m_half;
    std::string m_arena[2];
    std::vector<std::optional<QCollatorSortKey>> m_collated[2];  // by input index; [1] second text
    std::vector<TextKey> m_second;                               // by input index
};
}  // namespace

std::vector<int> ResultItemComparator::order(const std::vector<Data_FileItem*>& items, int column, int direction,
                                            const std::vector<int>* nameRank, Collation collation)
{
    std::vector<int> out(items.size());
    std::iota(out.begin(), out.end(), 0);
    if (column < 0 || column > 7)
        return out;
    const bool ranked = nameRank && nameRank->size() == items.size() && column != 0;
    const bool parallel = items.size() > kParallelRows;
    const size_t half = parallel ? items.size() / 2 : items.size();
    std::shared_ptr<const AsciiCollation> fast;
    if (collation == Collation::Fast) {
        fast = AsciiCollation::forLocale(QLocale::system());
        if (!fast->usable())
            fast.reset();
    }
    Keys keys(items, column, !ranked, fast.get(), half);
    std::vector<Row> rows(items.size());

    // A folder sorts before a file: -1 when only a is a folder.
    const auto foldersFirst = [](const Row& a, const Row& b) { return threeWay(b.folder, a.folder); };
    // The name rule: folders before files, then the collated names.
    const auto byName = [&](const Row& a, const Row& b, const QCollator& collator) {
        const int c = foldersFirst(a, b);
        if (c != 0)
            return c;
        return ranked ? threeWay(a.rank, b.rank) : keys.compareNames(a, b, collator);
    };
    const auto compare = [&](const Row& a, const Row& b, const QCollator& collator) -> int {
        if (a.group != b.group && (a.group != 0 || b.group != 0))
            return threeWay(a.group, b.group);
        int c = 0;
        switch (column) {
        case 0: return byName(a, b, collator);
        case 1:
            c = foldersFirst(a, b);
            if (c == 0)
                c = keys.compareSeconds(a, b, collator);
            return c != 0 ? c : byName(a, b, collator);
        case 2:
            c = foldersFirst(a, b);
            if (c == 0)
                c = threeWay(a.key, b.key);
            return c != 0 ? c : byName(a, b, collator);
        case 3:
            c = foldersFirst(a, b);
            if (c != 0)
                return c;
            return a.folder ? byName(a, b, collator) : keys.compareSeconds(a, b, collator);
        default:
            c = threeWay(a.key, b.key);
            return c != 0 ? c : byName(a, b, collator);
        }
    };
    const int sign = direction < 0 ? -1 : 1;

    // Each half is keyed and sorted by its own thread with its own collator; equal rows keep
    // their order, so merging the sorted halves gives the one stable order.
    const auto sortHalf = [&](size_t from, size_t to) {
        const QCollator collator = listCollator();
        for (size_t i = from; i < to; ++i) {
            Row& r = rows[i];
            Data_FileItem& item = *items[i];
            r.index = int(i);
            r.group = item.m_nDupGroup;
            r.folder = item.isDirectory() ? 1 : 0;
            switch (column) {
            case 2: r.key = uint64_t(std::max<int64_t>(0, item.m_nSize)); break;
            case 4: r.key = item.m_ftLastWrite.toU64(); break;
            case 5: r.key = item.m_ftCreation.toU64(); break;
            case 6: r.key = item.m_ftLastAccess.toU64(); break;
            case 7: r.key = item.m_dwAttributes; break;
            default: break;
            }
            if (ranked)
                r.rank = (*nameRank)[i];
            keys.make(r, ranked, collator);
        }
        std::stable_sort(rows.begin() + std::ptrdiff_t(from), rows.begin() + std::ptrdiff_t(to),
                         [&](const Row& x, const Row& y) { return compare(x, y, collator) * sign < 0; });
    };
    if (parallel) {
        std::thread helper(sortHalf, half, items.size());
        sortHalf(0, half);
        helper.join();
        const QCollator collator = listCollator();
        std::vector<Row> merged;
        merged.reserve(rows.size());
        std::merge(rows.begin(), rows.begin() + std::ptrdiff_t(half), rows.begin() + std::ptrdiff_t(half), rows.end(),
                   std::back_inserter(merged),
                   [&](const Row& x, const Row& y) { return compare(x, y, collator) * sign < 0; });
        rows = std::move(merged);
    } else {
        sortHalf(0, items.size());
    }
    for (size_t k = 0; k < rows.size(); ++k)
        out[k] = rows[k].index;
    return out;
}
