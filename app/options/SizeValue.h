#pragma once
// What the size panel shows: the fields of the "Size" section of a search-options file and
// of the panel's "DialogsData" record, with their defaults. Units: 0 bytes, 1 KB, 2 MB.
// Plain value, any thread.
struct SizeValue {
    int iLargeSizeDW = 1;
    int iSmallSizeDW = 1;
    float fLargeSize = 1.0f;   // 0 .. 3.4028235e38
    float fSmallSize = 1.0f;
    int iLargeState = 0;       // larger-than check box
    int iSmallState = 0;       // smaller-than check box

    bool operator==(const SizeValue&) const = default;
};
