#pragma once
// The order of the result list's rows for a sort by one column.
//
// Every comparison first looks at the duplicate groups: when the two items' groups differ
// and either is non-zero, the group numbers decide (so a group always stays together);
// otherwise the column rule decides:
//   0 name: folders before files, then the file name (locale collation);
//   1 folder: folders before files, then the folder text, then the name rule;
//   2 size: folders before files, then the 64-bit size, equal sizes by the name rule;
//   3 type: folders before files; two folders by the name rule, two files by extension;
//   4, 5, 6: last write, creation, last access time, equal times by the name rule;
//   7 attributes: the attribute word as an unsigned number, equal words by the name rule.
// The result is multiplied by the direction (+1 ascending, -1 descending); equal rows keep
// their order. User-interface thread (the collator is the system locale's, case-insensitive).
// Texts of printable ASCII are compared by AsciiCollation's weights where the locale allows
// it, which gives the collator's order without making its keys; Collation::Full collates
// every text (the reference the fast path is checked against).
#include <vector>

class Data_FileItem;

class ResultItemComparator {
public:
    enum class Collation { Fast, Full };

    // The new order of `items` (none null): entry k is the index in `items` of the row that
    // comes k-th. Unknown columns keep the order. `nameRank`, when given (one entry per
    // item), is each item's place in the ascending name order (as a sort by column 0 made
    // it); the name rule then compares those places instead of collating the names again.
    static std::vector<int> order(const std::vector<Data_FileItem*>& items, int column, int direction,
                                  const std::vector<int>* nameRank = nullptr, Collation collation = Collation::Fast);
};
