#pragma once
// The front-end side of name-pattern preparation, shared by the GUI and the command line:
// turns the line the user typed into the name groups of a rule.
//
//  - The line is trimmed; an empty line, "*" or "." means every name ("*.*").
//  - A leading '/' (or '\') asks for the patterns to be tried against folder paths too
//    (bMatchPath); all leading '/' and '\' are removed.
//  - Commas separate groups, except inside double quotes: a quoted text containing commas is
//    joined back into one group.
//  - With logical operators enabled, of a group's leading operator run only the last
//    character is kept ("+-a" becomes "-a").
//
// Search_Man::divideGroupString then turns each group into a FileNameGroup.
#include <string>
#include <vector>

struct Search_Rule;

class NameLinePreparer {
public:
    // Replaces rule.names with the groups of `line` and sets rule.bMatchPath.
    static void prepare(const std::string& line, bool bDisableBooleanOpt, Search_Rule& rule);

    // The same, into plain outputs.
    static void prepare(const std::string& line, bool bDisableBooleanOpt, std::vector<std::string>& names,
                        bool& bMatchPath);

    // Splits at every comma: a trimmed copy is cut at its first comma, the part before it is
    // appended, and the rest is handled the same way; the last piece is appended as it came.
    // Empty text gives nothing.
    static void splitAtCommas(const std::string& text, std::vector<std::string>& out);
};
