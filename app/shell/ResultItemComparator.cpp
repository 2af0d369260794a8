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

#include "search/Data_FileItem.h"

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

struct Row {
    Data_FileItem* item;
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
            r.item = items[i];
            if (!ranked)
                r.name = collator.sortKey(fromUtf8(r.item->getFileName()));
            if (column == 1)
                r.second = collator.sortKey(fromUtf8(r.item->m_strPath));
            else if (column == 3 && !r.item->isDirectory())
                r.second = collator.sortKey(fromUtf8(r.item->m_strExt));
        }
    };
    const size_t half = items.size() / 2;
    if (items.size() > 20000 && (!ranked || column == 1 || column == 3)) {
        std::thread helper(makeKeys, half, items.size());
        makeKeys(0, half);
        helper.join();
    } else {
        makeKeys(0, items.size());
    }
    const auto foldersFirst = [](const Data_FileItem& a, const Data_FileItem& b) {
        // A folder sorts before a file: -1 when only a is a folder.
        return threeWay(b.isDirectory() != 0, a.isDirectory() != 0);
    };
    // The name rule: folders before files, then the collated names.
    const auto byName = [&](const Row& a, const Row& b) {
        if (ranked)
            return threeWay((*nameRank)[size_t(&a - rows.data())], (*nameRank)[size_t(&b - rows.data())]);
        const int c = foldersFirst(*a.item, *b.item);
        return c != 0 ? c : a.name->compare(*b.name);
    };
    const auto compare = [&](const Row& ra, const Row& rb) -> int {
        const Data_FileItem& a = *ra.item;
        const Data_FileItem& b = *rb.item;
        if (a.m_nDupGroup != b.m_nDupGroup && (a.m_nDupGroup != 0 || b.m_nDupGroup != 0))
            return threeWay(a.m_nDupGroup, b.m_nDupGroup);
        int c = 0;
        switch (column) {
        case 0: return byName(ra, rb);
        case 1:
            c = foldersFirst(a, b);
            if (c == 0)
                c = ra.second->compare(*rb.second);
            return c != 0 ? c : byName(ra, rb);
        case 2:
            c = foldersFirst(a, b);
            if (c == 0)
                c = threeWay(a.m_nSize, b.m_nSize);
            return c != 0 ? c : byName(ra, rb);
        case 3:
            c = foldersFirst(a, b);
            if (c != 0)
                return c;
            return a.isDirectory() ? byName(ra, rb) : ra.second->compare(*rb.second);
        case 4: c = threeWay(a.m_ftLastWrite.toU64(), b.m_ftLastWrite.toU64()); break;
        case 5: c = threeWay(a.m_ftCreation.toU64(), b.m_ftCreation.toU64()); break;
        case 6: c = threeWay(a.m_ftLastAccess.toU64(), b.m_ftLastAccess.toU64()); break;
        default: c = threeWay(a.m_dwAttributes, b.m_dwAttributes); break;
        }
        return c != 0 ? c : byName(ra, rb);
    };
    const int sign = direction < 0 ? -1 : 1;
    std::stable_sort(out.begin(), out.end(),
                     [&](int x, int y) { return compare(rows[size_t(x)], rows[size_t(y)]) * sign < 0; });
    return out;
}
