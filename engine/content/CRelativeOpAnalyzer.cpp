#include "content/CRelativeOpAnalyzer.h"

#include "tools/Tool_Text.h"

void CRelativeOpAnalyzer::analyzeExpression(const std::string& expression, std::vector<std::string>& out) {
    const std::string s = Tool_Text::trimmed(expression);
    size_t split = 0;
    bool sawOperator = false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (!isDivideChar(s[i]))
            continue;
        std::string segment = Tool_Text::trimmed(s.substr(split, i - split));
        if (!segment.empty() && !(segment.size() == 1 && isDivideChar(segment[0])))
            out.push_back(std::move(segment));
        split = i;
        sawOperator = true;
    }
    if (sawOperator)
        out.push_back(s.substr(split));
}
