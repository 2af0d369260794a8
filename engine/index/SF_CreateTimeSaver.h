#pragma once
// The "ct" column: the creation time of every entry, a local FILETIME as u64.
#include "index/SF_TimeSaver.h"

class SF_CreateTimeSaver : public SF_TimeSaver {
public:
    SF_CreateTimeSaver() : SF_TimeSaver(Kind::Creation) {}
    const char* tag() const override { return "ct"; }
};
