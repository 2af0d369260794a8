// ResultItemComparator: the comparators of the result list's sort.
#include "shell/ResultItemComparator.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <numeric>
#include <optional>
#include <thread>

#include "records/Data_FileItem.h"

namespace {
QString fromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

template <typename T>
int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// What a comparison needs of one item, copied out so that the sort walks one compact
// array instead of chasing every item in memory.
struct Row {
    int group = 0;
    int folder = 0;     // 1 for a folder
    uint64_t key = 0;   // size, time or attribute word, by the column
    int rank = 0;       // place in the name order, when known
    int index = 0;      // position in the input
    std::optional<QCollatorSortKey> name;
    std::optional<QCollatorSortKey> second;  // folder (column 1) or extension (column 3)
};
}  // namespace

std::vector<int> ResultItemComparator::order(const std::vector<Data_FileItem*>& items, int column, int direction,
                                            const std::vector<int>* nameRank)
{
    std::vector<int> out(items.size());
    std::iota(out.begin(), out.end(), 0);
    if (column < 0 || column > 7)
        return out;
    const bool ranked = nameRank && nameRank->size() == items.size() && column != 0;
    std::vector<Row> rows(items.size());
    // Collation keys are the bulk of the work: two threads make them, each with its own
    // collator (the names' caches are per item, so the halves do not meet).
    const auto makeKeys = [&](size_t from, size_t to) {
        QCollator collator(QLocale::system());
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
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
            else
                r.name = collator.sortKey(fromUtf8(item.getFileName()));
            if (column == 1)
                r.second = collator.sortKey(fromUtf8(item.m_strPath));
            else if (column == 3 && !item.isDirectory())
                r.second = collator.sortKey(fromUtf8(item.m_strExt));
        }
    };
    const size_t half = items.size() / 2;
    if (items.size() > 20000) {
        std::thread helper(makeKeys, half, items.size());
        makeKeys(0, half);
        helper.join();
    } else {
        makeKeys(0, items.size());
    }
    // A folder sorts before a file: -1 when only a is a folder.
    const auto foldersFirst = [](const Row& a, const Row& b) { return threeWay(b.folder, a.folder); };
    // The name rule: folders before files, then the collated names.
    const auto byName = [&](const Row& a, const Row& b) {
        const int c = foldersFirst(a, b);
        if (c != 0)
            return c;
        return ranked ? threeWay(a.rank, b.rank) : a.name->compare(*b.name);
    };
    const auto compare = [&](const Row& a, const Row& b) -> int {
        if (a.group != b.group && (a.group != 0 || b.group != 0))
            return threeWay(a.group, b.group);
        int c = 0;
        switch (column) {
        case 0: return byName(a, b);
        case 1:
            c = foldersFirst(a, b);
            if (c == 0)
                c = a.second->compare(*b.second);
            return c != 0 ? c : byName(a, b);
        case 2:
            c = foldersFirst(a, b);
            if (c == 0)
                c = threeWay(a.key, b.key);
            return c != 0 ? c : byName(a, b);
        case 3:
            c = foldersFirst(a, b);
            if (c != 0)
                return c;
            return a.folder ? byName(a, b) : a.second->compare(*b.second);
        default:
            c = threeWay(a.key, b.key);
            return c != 0 ? c : byName(a, b);
        }
    };
    const int sign = direction < 0 ? -1 : 1;
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& x, const Row& y) { return compare(x, y) * sign < 0; });
    for (size_t k = 0; k < rows.size(); ++k)
        out[k] = rows[k].index;
    return out;
}
