#pragma once
// One prepared group of name patterns: an extension pattern and terms evaluated left to right.
#include <memory>
#include <string>
#include <vector>

#include "records/NamePatternTerm.h"

struct FileNameGroup {
    std::string strExtPattern;
    bool bQuoted = false;
    std::vector<std::unique_ptr<NamePatternTerm>> terms;
};
