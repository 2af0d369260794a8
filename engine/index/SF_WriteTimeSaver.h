#pragma once
// The "mt" column: the last-write time of every entry, a local FILETIME as u64.
#include "index/SF_TimeSaver.h"

class SF_WriteTimeSaver : public SF_TimeSaver {
public:
    SF_WriteTimeSaver() : SF_TimeSaver(Kind::LastWrite) {}
    const char* tag() const override { return "mt"; }
};
