#pragma once
// The texts of the result list's cells (the same for drawing, type-ahead and printing).
// Pure functions of an item and the display options; any thread.
//
// Columns: 0 name, 1 folder, 2 size, 3 type name, 4 last write, 5 creation, 6 last access,
// 7 attributes. Times are the item's local FILETIMEs; a zero time and 1980-01-01 00:00:00
// give an empty text, and a time of exactly 00:00:00 shows the date alone.
#include <QString>
#include <cstdint>

#include "platform/FILETIME.h"

class Data_FileItem;
struct ResultDisplayOptions;

class ResultCellText {
public:
    static constexpr int kColumnCount = 8;
    static constexpr int kName = 0, kFolder = 1, kSize = 2, kType = 3, kLastWrite = 4, kCreation = 5,
                         kLastAccess = 6, kAttributes = 7;

    // The text of one cell; an unknown column gives an empty text.
    static QString text(Data_FileItem& item, int column, const ResultDisplayOptions& options);
    // Bytes (sizeFormat 0) or KB rounded up (1), grouped when separatedUseComma is 1,
    // followed by " " + string 34 or " KB" unless showNumberOnly is 1.
    static QString sizeText(int64_t bytes, const ResultDisplayOptions& options);
    static QString timeText(const FILETIME& time, const ResultDisplayOptions& options);
    // "C" compressed, "T" temporary, "R" read-only, "H" hidden, "S" system, "A" archive.
    static QString attributeText(uint32_t attributes);
};
