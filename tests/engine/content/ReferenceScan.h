#pragma once
// A direct, slow transcription of the content scan: walks every scan position of the whole
// file, one byte (or one complete UTF-8 sequence) at a time, testing every missing term at
// each. The fast scanner must give exactly the same found flags, result and excerpts.
#include <string>
#include <vector>

struct ContainTextItem;

struct ReferenceTermResult {
    bool found = false;
    std::string before, match, after;
};

struct ReferenceScanResult {
    bool result = false;
    std::vector<ReferenceTermResult> terms;
};

ReferenceScanResult referenceScan(const std::string& file, const std::vector<const ContainTextItem*>& terms);
