// ContentTermBuilder::addExpression: the user-defined content expression, read with the
// operator analysers.
#include "content/CRelativeOpAnalyzer.h"
#include "content/CStringAnalyzer.h"
#include "records/ContainTextItem.h"
#include "content/ContentTermBuilder.h"

ContentTermResult ContentTermBuilder::addExpression(TermList& terms, const std::string& expression) {
    static const char* const kSpace = " \t\r\n\v\f";
    const size_t first = expression.find_first_not_of(kSpace);
    if (first == std::string::npos)
        return {};
    std::string text = expression.substr(first, expression.find_last_not_of(kSpace) - first + 1);
    if (!CStringAnalyzer::isDivideChar(text[0]))
        text.insert(text.begin(), CStringAnalyzer::OPC_AND);

    std::vector<std::string> segments;
    CRelativeOpAnalyzer().analyzeExpression(text, segments);

    TermList built;
    for (const std::string& segment : segments) {
        Analysis_Data data{};
        if (!CStringAnalyzer().analysis(segment, data))
            continue;
        ContentTermRequest request;
        request.text = data.text;   // trimmed by addTerms; an empty text adds nothing
        request.isHex = data.isHex != 0;
        request.encoding = data.isUnicode ? ContentTermRequest::ENC_UTF16 : ContentTermRequest::ENC_ANSI;
        request.isCaseSensitive = data.isCaseSensitive != 0;
        request.isWholeWord = data.isWholeWord != 0;
        request.isNot = data.isNot != 0;
        request.relation = data.relation;
        const ContentTermResult result = addTerms(built, request);
        if (!result.ok)
            return result;
    }
    for (auto& term : built)
        terms.push_back(std::move(term));
    return {};
}
