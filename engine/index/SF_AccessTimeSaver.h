#pragma once
// The "at" column: the last-access time of every entry, a local FILETIME as u64.
#include "index/SF_TimeSaver.h"

class SF_AccessTimeSaver : public SF_TimeSaver {
public:
    SF_AccessTimeSaver() : SF_TimeSaver(Kind::LastAccess) {}
    const char* tag() const override { return "at"; }
};
