#pragma once
// The complete description of one search. Built by a front end, read by the engine.
// Not copyable: it owns its content terms and the previous results it hands over.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/ContainTextItem.h"
#include "records/Data_FileItem.h"
#include "records/Duplicate_Rule.h"
#include "records/Rule_Date.h"

struct Search_Rule {
    Search_Rule() = default;
    Search_Rule(const Search_Rule&) = delete;
    Search_Rule& operator=(const Search_Rule&) = delete;

    bool bDisableBooleanOpt = false;
    bool bMatchPath = false;
    bool bAutoNormalSearch = true;
    std::vector<std::string> names;     // one entry per name group
    std::vector<std::string> folders;   // normalised; empty: search in previousResults
    int32_t bIncludeSubDir = 1;
    int32_t bQuickSearch = 0;
    int32_t iTargetOption = 2;          // 0 files, 1 folders, 2 both
    int32_t bSearchInCompressed = 0;
    Duplicate_Rule duplicate;
    std::vector<std::unique_ptr<ContainTextItem>> containText;
    int32_t iSearchIn = 0;
    Rule_Date date;
    bool bLargerOn = false;
    float fLargerSize = 0;
    uint16_t wLargerUnit = 1;           // 0 bytes, 1 KB, 2 MB
    bool bSmallerOn = false;
    float fSmallerSize = 0;
    uint16_t wSmallerUnit = 1;
    // Exact bounds in bytes, for front ends that know the byte count (the command line):
    // when >= 0 the size test uses them instead of the float fields above, which the
    // panels' stored formats keep. -1: not set.
    int64_t nLargerBytes = -1;
    int64_t nSmallerBytes = -1;
    // Handed over for a search in results; the engine consumes it.
    mutable std::vector<std::unique_ptr<Data_FileItem>> previousResults;
};
