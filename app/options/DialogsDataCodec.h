#pragma once
// "DialogsData": the option panels' state as one binary value of the settings store.
// The records follow each other in this order: name and location, date, size, contained
// text, duplicates. Integers are u32 little-endian, strings and string lists take the
// archive forms of CArchive (UTF-8 text):
//   name and location: string name (trimmed), string path (trimmed), string list folders,
//                      u32 search-in, u32 include subfolders, u32 target, u32 quick search,
//                      u32 compressed
//   date:              u32 period unit, u32 time kind, u32 period count, u32 from and u32 to
//                      (seconds since 1970-01-01 UTC), u32 radio index
//   size:              u32 larger unit, u32 smaller unit, f32 larger value, f32 smaller
//                      value, u32 larger check box, u32 smaller check box
//   contained text:    u32 case, u32 whole word, u32 not, string main text, u32 radio index,
//                      u32 encoding, string user-defined expression
//   duplicates:        1 byte enable, u32 level, string select-by-folder, string select-by-mask
// Works on values only, any thread.
#include <QByteArray>

#include "options/SearchOptionsValues.h"

class DialogsDataCodec {
public:
    static constexpr int kRecordCount = 5;

    static QByteArray encode(const SearchOptionsValues& values);
    // Reads the records in order into `values`. A record is taken only when it was read
    // whole; at the first broken or missing record reading stops and the records read so
    // far stay. Returns the number of records taken (kRecordCount: all). Values out of
    // range take their fields' defaults.
    static int decode(const QByteArray& blob, SearchOptionsValues& values);
};
