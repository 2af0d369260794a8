#pragma once
// The figures of the statistics dialog: counts of the result list's rows and the total
// size of its files (folders not counted), and the texts the dialog shows for them.
// Pure value and functions; any thread.
#include <QString>
#include <cstdint>
#include <vector>

class Data_FileItem;

struct ResultStatistics {
    int64_t rows = 0;
    int64_t files = 0;
    int64_t folders = 0;
    int64_t compressed = 0;
    int64_t archive = 0;
    int64_t readOnly = 0;
    int64_t hidden = 0;
    int64_t system = 0;
    int64_t temporary = 0;
    int64_t totalFileBytes = 0;

    static ResultStatistics of(const std::vector<const Data_FileItem*>& items);
    // Below 1024 bytes: the number, a space and string 34. Otherwise rounded up to whole
    // GB (from 2^30 bytes), MB (from 2^20) or KB, then the unit, a space and string 80.
    static QString sizeText(int64_t bytes);
    // A count with its digits grouped.
    static QString countText(int64_t count);
};
