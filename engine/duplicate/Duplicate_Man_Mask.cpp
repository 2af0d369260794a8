// Duplicate_Man: the select-by-mask test of the duplicate selection.
#include "duplicate/Duplicate_Man.h"

#include "tools/FileNameSplit.h"
#include "tools/Tool_Resource.h"
#include "tools/Tool_WCComp.h"

namespace {
bool wildcardMatches(const std::string& pattern, std::string_view text) {
    return Tool_WCComp::comparePattenString(pattern.data(), static_cast<int>(pattern.size()), text.data(),
                                            static_cast<int>(text.size()), false) == 0;
}
}  // namespace

bool Duplicate_Man::matchesFileMask(const std::string& mask, const Data_FileItem& item) {
    std::string completed = mask;
    Tool_Resource::fullfillSearchPattern(completed);
    const std::string titlePattern = FileNameSplit::patternPart(completed, true);
    std::string extPattern = FileNameSplit::patternPart(completed, false);
    if (completed.find('.') == std::string::npos)
        extPattern.assign(1, '*');   // a mask without a dot says nothing about extensions
    std::string scratch;
    std::string_view title = item.m_strTitle, ext = item.m_strExt;
    FileNameSplit::forPattern(title, ext, FileNameSplit::dotsIn(extPattern), scratch);
    return wildcardMatches(titlePattern, title) && wildcardMatches(extPattern, ext);
}
