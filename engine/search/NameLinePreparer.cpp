#include "search/NameLinePreparer.h"

#include "content/CStringAnalyzer.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Text.h"

void NameLinePreparer::splitAtCommas(const std::string& text, std::vector<std::string>& out) {
    if (text.empty())
        return;
    std::string rest = text;
    while (true) {
        const std::string copy = Tool_Text::trimmed(rest);
        const size_t comma = copy.find(',');
        if (comma == std::string::npos) {
            out.push_back(rest);
            return;
        }
        out.push_back(copy.substr(0, comma));
        rest = copy.substr(comma + 1);
    }
}

namespace {

bool beginsWithQuote(const std::string& s) { return !s.empty() && s.front() == '"'; }
bool endsWithQuote(const std::string& s) { return !s.empty() && s.back() == '"'; }

// Normalises the line; returns it ready for splitting.
std::string normaliseLine(const std::string& typed, bool& bMatchPath) {
    std::string line = Tool_Text::trimmed(typed);
    bMatchPath = false;
    if (!line.empty() && (line.front() == '/' || line.front() == '\\')) {
        bMatchPath = true;
        Tool_Text::trimLeft(line, "/\\");
        // A bare "/" asks for every name, tried against paths as well.
        Tool_Text::trim(line);
    }
    if (line.empty() || line == "*" || line == ".")
        line = "*.*";
    return line;
}

}  // namespace

void NameLinePreparer::prepare(const std::string& typed, bool bDisableBooleanOpt, std::vector<std::string>& names,
                               bool& bMatchPath) {
    names.clear();
    const std::string line = normaliseLine(typed, bMatchPath);

    std::vector<std::string> pieces;
    splitAtCommas(line, pieces);

    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::string piece = Tool_Text::trimmed(pieces[i]);
        if (piece.empty())
            continue;
        std::string run, rest;
        CStringAnalyzer::divideString(piece, run, rest);
        Tool_Text::trim(run);
        if (!bDisableBooleanOpt && run.size() > 1)
            run = run.substr(run.size() - 1);

        if (!beginsWithQuote(rest)) {
            Tool_Text::trimRight(rest, "\"");
            names.push_back(run + rest);
        } else if (endsWithQuote(rest)) {
            if (rest.size() > 1)
                names.push_back(run + rest);   // a lone quote is dropped
        } else {
            // A quoted text that the comma split cut apart: join it back up to the piece
            // that closes the quote.
            std::string joined = rest;
            Tool_Text::trimLeft(joined, "\"");
            joined.insert(joined.begin(), '"');
            bool closed = false;
            size_t j = i + 1;
            for (; j < pieces.size() && !closed; ++j) {
                std::string next = Tool_Text::trimmed(pieces[j]);
                closed = endsWithQuote(next);
                Tool_Text::trimLeft(next, "\"");
                joined += ',';
                joined += next;
            }
            if (closed) {
                Tool_Text::trimRight(joined, "\"");
                joined += '"';
            }
            names.push_back(run + joined);
            i = j - 1;
        }
    }
}

void NameLinePreparer::prepare(const std::string& line, bool bDisableBooleanOpt, Search_Rule& rule) {
    prepare(line, bDisableBooleanOpt, rule.names, rule.bMatchPath);
}
