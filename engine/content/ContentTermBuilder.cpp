#include "content/ContentTermBuilder.h"

#include "records/ContainTextItem.h"
#include "tools/Tool_Resource.h"
#include "tools/Tool_Utf16.h"

namespace {
std::string trimmed(const std::string& s) {
    static const char* const kSpace = " \t\r\n\v\f";
    const size_t first = s.find_first_not_of(kSpace);
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

std::unique_ptr<ContainTextItem> makeTerm(std::string pattern, bool isAnsi, const ContentTermRequest& r,
                                          bool isNot, int relation) {
    auto term = std::make_unique<ContainTextItem>();
    term->patternLength = static_cast<int32_t>(pattern.size());
    term->pattern = std::move(pattern);
    term->isAnsi = isAnsi;
    term->isCaseSensitive = r.isCaseSensitive ? 1 : 0;
    term->isWholeWord = r.isWholeWord ? 1 : 0;
    term->isNot = isNot ? 1 : 0;
    term->relation = relation;
    return term;
}
}  // namespace

unsigned ContentTermBuilder::decodeHex(const std::string& text, std::string& bytes) {
    std::string digits;
    digits.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            digits += c;
    if (digits.size() % 2 != 0)
        return ERR_HEX_ODD_DIGITS;
    std::string out;
    out.reserve(digits.size() / 2);
    for (size_t i = 0; i < digits.size(); i += 2) {
        const int high = Tool_Resource::charToHex(digits[i]);
        const int low = Tool_Resource::charToHex(digits[i + 1]);
        if (high < 0 || low < 0)
            return ERR_HEX_BAD_DIGIT;
        out += static_cast<char>(high * 16 + low);
    }
    bytes = std::move(out);
    return 0;
}

ContentTermResult ContentTermBuilder::addTerms(TermList& terms, const ContentTermRequest& request) {
    const std::string text = trimmed(request.text);
    if (text.empty())
        return {};
    if (request.isHex) {
        std::string bytes;
        if (const unsigned error = decodeHex(text, bytes))
            return {false, error};
        auto term = std::make_unique<ContainTextItem>();
        term->patternLength = static_cast<int32_t>(bytes.size());
        term->pattern = std::move(bytes);
        term->isNot = request.isNot ? 1 : 0;
        term->relation = request.relation;
        term->isCaseSensitive = 1;
        term->isWholeWord = 0;
        term->isAnsi = true;
        term->isHex = true;
        terms.push_back(std::move(term));
        return {};
    }
    switch (request.encoding) {
    case ContentTermRequest::ENC_UTF16:
        terms.push_back(makeTerm(Tool_Utf16::utf8ToUtf16LE(text), false, request, request.isNot, request.relation));
        break;
    case ContentTermRequest::ENC_BOTH: {
        // Either form satisfies the term; with NOT the file must contain neither form.
        const int relation = request.isNot ? 0 : 1;
        terms.push_back(makeTerm(text, true, request, request.isNot, relation));
        terms.push_back(makeTerm(Tool_Utf16::utf8ToUtf16LE(text), false, request, request.isNot, relation));
        break;
    }
    default:
        terms.push_back(makeTerm(text, true, request, request.isNot, request.relation));
        break;
    }
    return {};
}
