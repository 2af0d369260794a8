#include "records/FileNameGroupMatch.h"

#include <cstring>
#include <limits>

#include "records/FileNameGroup.h"
#include "tools/Tool_WCComp.h"

bool FileNameGroupMatch::compareFileGroup(const FileNameGroup* group, const char* text, bool usePathPatterns) {
    return compareFileGroup(group, text, text ? std::strlen(text) : 0, usePathPatterns);
}

bool FileNameGroupMatch::compareFileGroup(const FileNameGroup* group, const char* text, size_t length,
                                     bool usePathPatterns) {
    if (!group)
        return false;
    if (!text)
        length = 0;
    const int textLength = length > static_cast<size_t>(std::numeric_limits<int>::max())
                               ? std::numeric_limits<int>::max()
                               : static_cast<int>(length);
    bool value = true;
    for (const auto& term : group->terms) {
        const std::string& pattern = usePathPatterns ? term->strPathPattern : term->strTitlePattern;
        bool matched = Tool_WCComp::comparePattenString(pattern.data(), static_cast<int>(pattern.size()),
                                                        text ? text : "", textLength, false) == 0;
        if (term->bNegate)
            matched = !matched;
        switch (term->op) {
        case NamePatternTerm::OP_OR: value = value || matched; break;
        case NamePatternTerm::OP_XOR: value = value != matched; break;
        default: value = value && matched; break;
        }
    }
    return value;
}
