#include "cli/QdOptionParser.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "cli/QdDuplicateMode.h"
#include "content/ContainTextItem.h"
#include "platform/FileTimeConvert.h"
#include "search/NameLinePreparer.h"
#include "tools/Tool_Resource.h"

namespace {

using Values = std::vector<std::string>;

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string flag(bool& field) {
    field = true;
    return {};
}

std::string applySize(const std::string& text, const char* option, bool& on, float& size, uint16_t& unit) {
    if (!QdOptionParser::parseSize(text, size, unit))
        return std::string("bad size for ") + option + ": '" + text + "' (expected N, NB, NK or NM)";
    on = true;
    return {};
}

// Seconds since 1970 of a local calendar time (whole seconds).
bool localToTimeT(int year, int month, int day, int hour, int minute, int second, std::time_t& out) {
    LocalDateTime local;
    local.year = year;
    local.month = month;
    local.day = day;
    local.hour = hour;
    local.minute = minute;
    local.second = second;
    FILETIME ft;
    if (!FileTimeConvert::fromLocalDateTime(local, ft))
        return false;
    out = FileTimeConvert::toTimeT(ft);
    return true;
}

std::string applyBetween(QdSearchOptions& o, const Values& v) {
    int y1, m1, d1, y2, m2, d2;
    if (!QdOptionParser::parseDate(v[0], y1, m1, d1))
        return "bad date for --between: '" + v[0] + "' (expected YYYY-MM-DD)";
    if (!QdOptionParser::parseDate(v[1], y2, m2, d2))
        return "bad date for --between: '" + v[1] + "' (expected YYYY-MM-DD)";
    Date_SpecifyDate& range = o.rule->date.specifyDate;
    // Whole days, as the date panel makes them: from 00:00:00 to 23:59:59 local time.
    if (!localToTimeT(y1, m1, d1, 0, 0, 0, range.tFrom) || !localToTimeT(y2, m2, d2, 23, 59, 59, range.tTo))
        return "bad date for --between: '" + v[0] + "' .. '" + v[1] + "'";
    if (range.tFrom > range.tTo)
        return "--between: the first date lies after the second";
    o.rule->date.bAny = false;
    o.rule->date.bWithin = false;
    o.rule->date.bSpecify = true;
    return {};
}

std::string applyWithin(QdSearchOptions& o, const Values& v) {
    int32_t count, unit;
    if (!QdOptionParser::parsePeriod(v[0], count, unit))
        return "bad period for --within: '" + v[0] + "' (expected N followed by d, w, m or y)";
    o.rule->date.bAny = false;
    o.rule->date.bSpecify = false;
    o.rule->date.bWithin = true;
    o.rule->date.nPrevious = count;
    o.rule->date.nUnit = unit;
    return {};
}

std::string applyTime(QdSearchOptions& o, const Values& v) {
    const std::string kind = lower(v[0]);
    uint16_t& field = o.rule->date.specifyDate.wTimeKind;
    if (kind == "modified")
        field = 0;
    else if (kind == "created")
        field = 1;
    else if (kind == "accessed")
        field = 2;
    else
        return "bad value for --time: '" + v[0] + "' (expected modified, created or accessed)";
    return {};
}

std::string applyTarget(QdSearchOptions& o, const Values& v) {
    const std::string target = lower(v[0]);
    if (target == "files")
        o.rule->iTargetOption = 0;
    else if (target == "folders")
        o.rule->iTargetOption = 1;
    else if (target == "both")
        o.rule->iTargetOption = 2;
    else
        return "bad value for --target: '" + v[0] + "' (expected files, folders or both)";
    return {};
}

std::string applyEncoding(QdSearchOptions& o, const Values& v) {
    const std::string encoding = lower(v[0]);
    if (encoding == "ansi")
        o.mainTerm.encoding = ContentTermRequest::ENC_ANSI;
    else if (encoding == "utf16")
        o.mainTerm.encoding = ContentTermRequest::ENC_UTF16;
    else if (encoding == "both")
        o.mainTerm.encoding = ContentTermRequest::ENC_BOTH;
    else
        return "bad value for --encoding: '" + v[0] + "' (expected ansi, utf16 or both)";
    return {};
}

std::string applyMainTerm(QdSearchOptions& o, const std::string& text, bool hex) {
    if (o.mainTermGiven && o.mainTerm.isHex != hex)
        return "--text and --hex exclude each other";
    o.mainTermGiven = true;
    o.mainTerm.text = text;
    o.mainTerm.isHex = hex;
    return {};
}

const std::vector<QdOptionParser::Option> kOptions = {
    // ---- where and what ---------------------------------------------------------------
    {"folder", 'f', 1, "DIR", "search in DIR (repeatable; default: the current folder)",
     [](QdSearchOptions& o, const Values& v) { o.folders.push_back(v[0]); return std::string(); }},
    {"no-subdirs", 0, 0, "", "do not descend into subfolders",
     [](QdSearchOptions& o, const Values&) { o.rule->bIncludeSubDir = 0; return std::string(); }},
    {"target", 0, 1, "files|folders|both", "what may match (default both)", applyTarget},
    {"archives", 0, 0, "", "look inside archives met on the way",
     [](QdSearchOptions& o, const Values&) { o.rule->bSearchInCompressed = 1; return std::string(); }},
    {"no-operators", 0, 0, "", "take the name line literally (no + ^ ! - operators)",
     [](QdSearchOptions& o, const Values&) { return flag(o.rule->bDisableBooleanOpt); }},
    // ---- size and date ----------------------------------------------------------------
    {"larger", 0, 1, "N[B|K|M]", "at least this size (default unit K)",
     [](QdSearchOptions& o, const Values& v) {
         return applySize(v[0], "--larger", o.rule->bLargerOn, o.rule->fLargerSize, o.rule->wLargerUnit);
     }},
    {"smaller", 0, 1, "N[B|K|M]", "at most this size (default unit K)",
     [](QdSearchOptions& o, const Values& v) {
         return applySize(v[0], "--smaller", o.rule->bSmallerOn, o.rule->fSmallerSize, o.rule->wSmallerUnit);
     }},
    {"within", 0, 1, "N{d|w|m|y}", "modified within the last N days, weeks, months or years", applyWithin},
    {"between", 0, 2, "FROM TO", "dated between two days (YYYY-MM-DD, both whole days)", applyBetween},
    {"time", 0, 1, "modified|created|accessed", "which time --between tests (default modified)", applyTime},
    // ---- content ----------------------------------------------------------------------
    {"text", 0, 1, "TEXT", "files containing TEXT",
     [](QdSearchOptions& o, const Values& v) { return applyMainTerm(o, v[0], false); }},
    {"hex", 0, 1, "HEX", "files containing these bytes (hexadecimal pairs, spaces ignored)",
     [](QdSearchOptions& o, const Values& v) { return applyMainTerm(o, v[0], true); }},
    {"not", 0, 0, "", "files NOT containing the --text/--hex term",
     [](QdSearchOptions& o, const Values&) { return flag(o.mainTerm.isNot); }},
    {"case", 0, 0, "", "--text is case-sensitive",
     [](QdSearchOptions& o, const Values&) { return flag(o.mainTerm.isCaseSensitive); }},
    {"word", 0, 0, "", "--text matches whole words only",
     [](QdSearchOptions& o, const Values&) { return flag(o.mainTerm.isWholeWord); }},
    {"encoding", 0, 1, "ansi|utf16|both", "encoding of --text (default ansi, i.e. UTF-8)", applyEncoding},
    {"expr", 0, 1, "EXPR", "content expression (terms joined by + ^ ! -)",
     [](QdSearchOptions& o, const Values& v) { o.expression = v[0]; return std::string(); }},
    // ---- duplicates -------------------------------------------------------------------
    {"duplicates", 0, 1, "name|size|time|crc32|md5|bytes",
     "print the results grouped into duplicates at this level (groups end with an empty line)",
     QdDuplicateMode::applyOption},
    // ---- output -----------------------------------------------------------------------
    {"null", '0', 0, "", "end each result with NUL instead of a newline",
     [](QdSearchOptions& o, const Values&) { return flag(o.nulSeparated); }},
    {"long", 0, 0, "", "size, last write time, attributes and path, tab-separated",
     [](QdSearchOptions& o, const Values&) { return flag(o.longFormat); }},
    {"snippets", 0, 0, "", "after each content match, its excerpts",
     [](QdSearchOptions& o, const Values&) { return flag(o.snippets); }},
    {"count", 0, 0, "", "print only the number of results",
     [](QdSearchOptions& o, const Values&) { return flag(o.countOnly); }},
    {"stats", 0, 0, "", "result count and elapsed milliseconds on standard error",
     [](QdSearchOptions& o, const Values&) { return flag(o.stats); }},
    {"help", 'h', 0, "", "show this help",
     [](QdSearchOptions& o, const Values&) { return flag(o.help); }},
    {"version", 0, 0, "", "show the version",
     [](QdSearchOptions& o, const Values&) { return flag(o.version); }},
};

const QdOptionParser::Option* findLong(const std::string& name) {
    for (const auto& option : kOptions)
        if (name == option.longName)
            return &option;
    return nullptr;
}

const QdOptionParser::Option* findShort(char name) {
    for (const auto& option : kOptions)
        if (option.shortName != 0 && option.shortName == name)
            return &option;
    return nullptr;
}

std::string absoluteFolder(const std::string& folder, const std::string& currentFolder) {
    return Tool_Resource::normalizePath(folder, currentFolder);
}

}  // namespace

const std::vector<QdOptionParser::Option>& QdOptionParser::table() { return kOptions; }

bool QdOptionParser::parseSize(const std::string& text, float& value, uint16_t& unit) {
    if (text.empty())
        return false;
    std::string number = text;
    unit = 1;
    const char last = number.back();
    if (last == 'b' || last == 'B')
        unit = 0;
    else if (last == 'k' || last == 'K')
        unit = 1;
    else if (last == 'm' || last == 'M')
        unit = 2;
    else if ((last < '0' || last > '9') && last != '.')
        return false;   // an unknown unit
    if ((last < '0' || last > '9') && last != '.')
        number.pop_back();
    if (number.empty() || number.front() == '-' || number.front() == '+')
        return false;
    for (char c : number)
        if ((c < '0' || c > '9') && c != '.')
            return false;
    char* end = nullptr;
    errno = 0;
    const float parsed = std::strtof(number.c_str(), &end);
    if (end != number.c_str() + number.size() || errno == ERANGE || !std::isfinite(parsed) || parsed < 0)
        return false;
    value = parsed;
    return true;
}

bool QdOptionParser::parsePeriod(const std::string& text, int32_t& count, int32_t& unit) {
    if (text.size() < 2)
        return false;
    switch (text.back()) {
    case 'd': case 'D': unit = 0; break;
    case 'w': case 'W': unit = 1; break;
    case 'm': case 'M': unit = 2; break;
    case 'y': case 'Y': unit = 3; break;
    default: return false;
    }
    const char* first = text.data();
    const char* last = text.data() + text.size() - 1;
    int32_t parsed = 0;
    const auto [ptr, ec] = std::from_chars(first, last, parsed);
    if (ec != std::errc() || ptr != last || parsed <= 0)
        return false;
    count = parsed;
    return true;
}

bool QdOptionParser::parseDate(const std::string& text, int& year, int& month, int& day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    auto number = [&](size_t at, size_t length, int& out) {
        const auto [ptr, ec] = std::from_chars(text.data() + at, text.data() + at + length, out);
        return ec == std::errc() && ptr == text.data() + at + length;
    };
    if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day))
        return false;
    LocalDateTime check;
    check.year = year;
    check.month = month;
    check.day = day;
    FILETIME unused;
    return FileTimeConvert::fromLocalDateTime(check, unused);   // rejects February 30 and the like
}

bool QdOptionParser::parse(const std::vector<std::string>& args, const std::string& currentFolder,
                           QdSearchOptions& options, Error& failure) {
    std::string& error = failure.text;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const Option* option = nullptr;
        std::vector<std::string> values;
        std::string shown = arg;
        if (arg[1] == '-') {
            std::string name = arg.substr(2);
            const size_t eq = name.find('=');
            if (eq != std::string::npos) {
                values.push_back(name.substr(eq + 1));
                name.resize(eq);
                shown = "--" + name;
            }
            option = findLong(name);
            if (option && eq != std::string::npos && option->valueCount != 1) {
                error = "option " + shown + " takes " +
                        (option->valueCount == 0 ? std::string("no value") : std::string("two values, not NAME=VALUE"));
                return false;
            }
        } else {
            option = findShort(arg[1]);
            shown = arg.substr(0, 2);
            if (option && arg.size() > 2) {
                if (option->valueCount != 1) {
                    error = "unknown option " + arg;
                    return false;
                }
                values.push_back(arg.substr(2));
            }
        }
        if (!option) {
            error = "unknown option " + shown;
            return false;
        }
        while (static_cast<int>(values.size()) < option->valueCount) {
            if (++i >= args.size()) {
                error = "option " + shown + " needs " + (option->valueCount == 1 ? "a value" : "two values");
                return false;
            }
            values.push_back(args[i]);
        }
        error = option->apply(options, values);
        if (!error.empty())
            return false;
    }
    if (options.help || options.version)
        return true;

    if (!positional.empty()) {
        options.nameLine = positional.front();
        options.nameLineGiven = true;
        options.folders.insert(options.folders.end(), positional.begin() + 1, positional.end());
    }
    return completeRule(currentFolder, options, failure);
}

bool QdOptionParser::completeRule(const std::string& currentFolder, QdSearchOptions& options, Error& failure) {
    std::string& error = failure.text;
    Search_Rule& rule = *options.rule;
    NameLinePreparer::prepare(options.nameLine, rule.bDisableBooleanOpt, rule);

    // Folders as the name-and-location panel keeps them: existing ones only, normalised
    // with a trailing '/', nested ones dropped. A missing folder is a usage error here,
    // not a silent omission.
    if (options.folders.empty())
        options.folders.push_back(currentFolder);
    rule.folders.clear();
    for (const std::string& given : options.folders) {
        if (given.empty()) {
            error = "empty folder name";
            return false;
        }
        std::string folder = absoluteFolder(given, currentFolder);
        if (Tool_Resource::isFileOrFolderExist(folder.c_str()) != 0) {
            error = "no such folder: " + given;
            return false;
        }
        if (folder.back() != '/')   // normalised already; blanks in names are kept
            folder += '/';
        rule.folders.push_back(folder);
    }
    Tool_Resource::slimFolders(rule.folders);

    // Content terms as the contained-text panel builds them: the main term, then the
    // user-defined expression.
    if (options.mainTermGiven) {
        const ContentTermResult result = ContentTermBuilder::addTerms(rule.containText, options.mainTerm);
        if (!result.ok) {
            failure.languageString = result.errorString;
            return false;
        }
    } else if (options.mainTerm.isNot || options.mainTerm.isCaseSensitive || options.mainTerm.isWholeWord) {
        error = "--not, --case and --word need --text or --hex";
        return false;
    }
    if (!options.expression.empty()) {
        const ContentTermResult result = ContentTermBuilder::addExpression(rule.containText, options.expression);
        if (!result.ok) {
            failure.languageString = result.errorString;
            return false;
        }
    }
    return true;
}

std::string QdOptionParser::helpText() {
    std::string text =
        "Usage: qdsearch [OPTIONS] [NAME-LINE] [FOLDER...]\n"
        "Searches the folders (default: the current folder) for files and folders whose names\n"
        "match NAME-LINE (empty: every name) and prints one full path per result.\n"
        "NAME-LINE: patterns with * and ?, separated by commas (groups); within a group terms\n"
        "are joined by space or + (and), ^ (or), ! (xor), - (not). A leading / matches the\n"
        "patterns against folder paths too.\n\nOptions:\n";
    for (const auto& option : kOptions) {
        std::string left = "  ";
        if (option.shortName)
            left += std::string("-") + option.shortName + ", ";
        else
            left += "    ";
        left += std::string("--") + option.longName;
        if (option.valueCount > 0)
            left += std::string(" ") + option.valueNames;
        if (left.size() < 34)
            left.resize(34, ' ');
        else
            left += "\n" + std::string(34, ' ');
        text += left + option.help + "\n";
    }
    text +=
        "\nExit status: 0 something was found, 1 nothing was found, 2 usage error or bad value.\n"
        "Ctrl+C ends a search early: the results found so far stay printed and count.\n";
    return text;
}
