// Turning the name groups of a rule into prepared FileNameGroup records, and the small
// string operations the front ends use on name patterns.
#include "content/CStringAnalyzer.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "tools/FileNameSplit.h"
#include "tools/Tool_Text.h"

namespace {

// The operators that join and negate name terms.
bool isNameOperator(char c) { return CStringAnalyzer::isDivideChar(c); }

bool hasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// "*" + core + "*", where core has its own leading and trailing '*' removed.
std::string surroundWithStars(std::string core) {
    Tool_Text::trim(core, "*");
    return Tool_Text::concat("*", core, "*");
}

std::string makeTitlePattern(const std::string& titlePart, bool quoted) {
    if (titlePart.empty() || titlePart == "*")
        return "*";
    if (quoted)
        return titlePart;
    if (!hasWildcard(titlePart))
        return Tool_Text::concat("*", titlePart, "*");
    return surroundWithStars(titlePart);
}

// Splits the text after the leading operator run into alternating term and operator
// tokens. terms[i] is preceded by ops[i] (ops[0] is unused and empty).
void tokenizeGroup(const std::string& rest, std::vector<std::string>& terms, std::vector<std::string>& ops) {
    const size_t n = rest.size();
    size_t i = 0;
    std::string pendingOp;
    while (true) {
        while (i < n && rest[i] == ' ')
            ++i;
        if (i >= n)
            break;
        const size_t termStart = i;
        int quotes = 0;
        for (; i < n; ++i) {
            const char c = rest[i];
            if (c == '"')
                ++quotes;
            else if (quotes % 2 == 0 && (c == ' ' || isNameOperator(c)))
                break;
        }
        terms.push_back(rest.substr(termStart, i - termStart));
        ops.push_back(pendingOp);
        while (i < n && rest[i] == ' ')
            ++i;
        const size_t opStart = i;
        while (i < n && (rest[i] == ' ' || isNameOperator(rest[i])))
            ++i;
        pendingOp = rest.substr(opStart, i - opStart);
    }
}

}  // namespace

bool Search_Man::roundData(std::string& text) {
    Tool_Text::trimLeft(text, " ");
    const bool quoted = !text.empty() && text[0] == '"';
    Tool_Text::trimLeft(text, "\"");
    Tool_Text::trimRight(text, " \"");
    return quoted;
}

void Search_Man::roundKey(std::string& op) {
    Tool_Text::trimRight(op, " \"");
    if (op.empty())
        op = std::string(1, CStringAnalyzer::OPC_AND);
    else
        op = op.substr(op.size() - 1);
}

void Search_Man::getTitlePart(const std::string& pattern, bool title, std::string& out) {
    out = FileNameSplit::patternPart(pattern, title);
}

void Search_Man::dividePattenString(std::vector<std::pair<std::string, std::string>>& out,
                                    const std::vector<std::string>& patterns) {
    for (const auto& pattern : patterns) {
        std::pair<std::string, std::string> parts;
        getTitlePart(pattern, true, parts.first);
        getTitlePart(pattern, false, parts.second);
        out.push_back(std::move(parts));
    }
}

void Search_Man::fillMiddleDefaultOperator(std::string& text) {
    Tool_Text::trim(text);
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const char next = text[i + 1];
        if (text[i] == ' ' && next != ' ' && !isNameOperator(next))
            text[i] = CStringAnalyzer::OPC_AND;
    }
}

void Search_Man::removeSpaceAfterOperator(std::string& text) {
    Tool_Text::trim(text);
    std::string out;
    out.reserve(text.size());
    bool inQuotes = false;
    bool afterOperator = false;
    for (const char c : text) {
        if (c == '"')
            inQuotes = !inQuotes;
        if (!inQuotes && afterOperator && c == ' ')
            continue;
        afterOperator = !inQuotes && isNameOperator(c);
        out += c;
    }
    text = std::move(out);
}

void Search_Man::divideGroupString(std::vector<std::unique_ptr<FileNameGroup>>& groups, const Search_Rule& rule) {
    for (const std::string& name : rule.names) {
        auto group = std::make_unique<FileNameGroup>();
        bool quoted = false;
        std::vector<std::string> prefixedTerms;

        if (rule.bDisableBooleanOpt) {
            std::string literal;
            for (const char c : name)
                if (c != '"')
                    literal += c;
            prefixedTerms.push_back(std::string(1, CStringAnalyzer::OPC_AND) + literal);
        } else {
            std::string run, rest;
            CStringAnalyzer::divideString(name, run, rest);
            // Spaces inside the leading run would otherwise end the operator reading of the
            // first term and leak into its text.
            std::string leading;
            for (const char c : run)
                if (c != ' ')
                    leading += c;
            if (leading.empty())
                leading = std::string(1, CStringAnalyzer::OPC_AND);
            Tool_Text::trim(rest);
            if (rest.empty())
                continue;   // nothing but operators: no group

            std::vector<std::string> terms, ops;
            tokenizeGroup(rest, terms, ops);
            for (size_t i = 0; i < terms.size(); ++i) {
                std::string op = ops[i];
                if (i == 0) {
                    op = leading;
                } else {
                    roundKey(op);
                }
                std::string term = terms[i];
                quoted = roundData(term);
                prefixedTerms.push_back(op + term);
            }
        }
        group->bQuoted = quoted;

        CStringAnalyzer analyzer;
        std::vector<std::string> texts;
        for (const std::string& prefixed : prefixedTerms) {
            auto term = std::make_unique<NamePatternTerm>();
            std::string text;
            if (rule.bDisableBooleanOpt) {
                text = prefixed.substr(1);
            } else {
                Analysis_Data data;
                analyzer.analysis(prefixed, data);
                term->op = data.relation;
                term->bNegate = data.isNot != 0;
                text = data.text;
            }
            std::string titlePart;
            getTitlePart(text, true, titlePart);
            term->strTitlePattern = makeTitlePattern(titlePart, quoted);
            if (rule.bMatchPath)
                term->strPathPattern = term->strTitlePattern;
            texts.push_back(std::move(text));
            group->terms.push_back(std::move(term));
        }

        // The first term that names an extension gives the group's extension pattern.
        for (size_t i = 0; i < texts.size(); ++i) {
            if (!(group->strExtPattern.empty() || group->strExtPattern == "*"))
                break;
            if (texts[i].empty())
                continue;
            std::string ext;
            getTitlePart(texts[i], false, ext);
            if (ext.empty()) {
                group->strExtPattern.assign(1, '*');
                if (!quoted) {
                    std::string& title = group->terms[i]->strTitlePattern;
                    Tool_Text::trimRight(title, "*");
                    title += '*';
                    if (rule.bMatchPath)
                        group->terms[i]->strPathPattern = title;
                }
            } else if (ext == "*" || quoted) {
                group->strExtPattern = ext;
            } else {
                group->strExtPattern = surroundWithStars(ext);
            }
        }
        groups.push_back(std::move(group));
    }
}
