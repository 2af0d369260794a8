#include "cli/QdOptionParser.h"

#include <charconv>
#include <filesystem>
#include <limits>
#include <sys/stat.h>

#include "cli/QdDuplicateMode.h"
#include "records/ContainTextItem.h"
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

std::string applySize(const std::string& text, const char* option, bool& on, int64_t& bytes, float& size,
                      uint16_t& unit) {
    switch (QdOptionParser::parseSize(text, bytes, size, unit)) {
    case QdNumberText::Status::Ok: on = true; return {};
    case QdNumberText::Status::OutOfRange:
        return std::string("size for ") + option + " out of range: '" + text + "' (at most " +
               std::to_string(std::numeric_limits<int64_t>::max()) + " bytes)";
    case QdNumberText::Status::Malformed: break;
    }
    return std::string("bad size for ") + option + ": '" + text +
           "' (expected a number, optionally with a fraction, and a unit B, K, M or G; default K)";
}

std::string applyPriority(QdSearchOptions& o, const Values& v) {
    int64_t priority = 0;
    if (QdNumberText::parseInteger(v[0], 0, 10, priority) != QdNumberText::Status::Ok)
        return "bad value for --priority: '" + v[0] + "' (expected a number from 0 to 10)";
    o.indexing.priority = static_cast<int>(priority);
    return {};
}

std::string applyThreads(QdSearchOptions& o, const Values& v) {
    int64_t threads = 0;
    if (QdNumberText::parseInteger(v[0], 0, 64, threads) != QdNumberText::Status::Ok)
        return "bad value for --threads: '" + v[0] + "' (expected a number from 0 to 64)";
    o.scannerThreads = static_cast<unsigned>(threads);
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
    switch (QdOptionParser::parsePeriod(v[0], count, unit)) {
    case QdNumberText::Status::Ok: break;
    case QdNumberText::Status::OutOfRange:
        return "period for --within out of range: '" + v[0] + "' (the count goes from 1 to " +
               std::to_string(std::numeric_limits<int32_t>::max()) + ")";
    case QdNumberText::Status::Malformed:
        return "bad period for --within: '" + v[0] + "' (expected N followed by d, w, m or y)";
    }
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

constexpr unsigned kSearch = QdOptionParser::MODE_SEARCH;
constexpr unsigned kIndex = QdOptionParser::MODE_INDEX;
constexpr unsigned kAny = QdOptionParser::MODE_ANY;

const std::vector<QdOptionParser::Option> kOptions = {
    // ---- where and what ---------------------------------------------------------------
    {"folder", 'f', 1, "DIR", "search in DIR (repeatable; default: the current folder)",
     [](QdSearchOptions& o, const Values& v) { o.folders.push_back(v[0]); return std::string(); }, kSearch,
     "Where and what:"},
    {"no-subdirs", 0, 0, "", "do not descend into subfolders",
     [](QdSearchOptions& o, const Values&) { o.rule->bIncludeSubDir = 0; return std::string(); }},
    {"target", 0, 1, "files|folders|both", "what may match (default both)", applyTarget},
    {"archives", 0, 0, "", "also list archive members (matched by name, size and date only)",
     [](QdSearchOptions& o, const Values&) { o.rule->bSearchInCompressed = 1; return std::string(); }},
    {"no-operators", 0, 0, "", "take the name line literally (no + ^ ! - operators)",
     [](QdSearchOptions& o, const Values&) { return flag(o.rule->bDisableBooleanOpt); }},
    // ---- size and date ----------------------------------------------------------------
    {"larger", 0, 1, "N[B|K|M|G]", "at least this size, exactly (default unit K = 1024 bytes)",
     [](QdSearchOptions& o, const Values& v) {
         return applySize(v[0], "--larger", o.rule->bLargerOn, o.rule->nLargerBytes, o.rule->fLargerSize,
                          o.rule->wLargerUnit);
     }, kSearch, "Size and date:"},
    {"smaller", 0, 1, "N[B|K|M|G]", "at most this size, exactly (default unit K)",
     [](QdSearchOptions& o, const Values& v) {
         return applySize(v[0], "--smaller", o.rule->bSmallerOn, o.rule->nSmallerBytes, o.rule->fSmallerSize,
                          o.rule->wSmallerUnit);
     }},
    {"within", 0, 1, "N{d|w|m|y}", "modified within the last N days, weeks, months or years", applyWithin},
    {"between", 0, 2, "FROM TO", "dated between two days (YYYY-MM-DD, both whole days)", applyBetween},
    {"time", 0, 1, "modified|created|accessed", "which time --between tests (default modified)", applyTime},
    // ---- content ----------------------------------------------------------------------
    {"text", 0, 1, "TEXT", "files containing TEXT (taken literally, operators included)",
     [](QdSearchOptions& o, const Values& v) { return applyMainTerm(o, v[0], false); }, kSearch, "Content:"},
    {"hex", 0, 1, "HEX", "files containing these bytes (hexadecimal pairs, spaces ignored)",
     [](QdSearchOptions& o, const Values& v) { return applyMainTerm(o, v[0], true); }},
    {"not", 0, 0, "", "files NOT containing the --text/--hex term",
     [](QdSearchOptions& o, const Values&) { return flag(o.mainTerm.isNot); }},
    {"case", 0, 0, "", "--text is case-sensitive",
     [](QdSearchOptions& o, const Values&) { return flag(o.mainTerm.isCaseSensitive); }},
    {"word", 0, 0, "", "--text matches whole words only",
     [](QdSearchOptions& o, const Values&) { return flag(o.mainTerm.isWholeWord); }},
    {"encoding", 0, 1, "ansi|utf16|both", "encoding of --text (default ansi, i.e. UTF-8)", applyEncoding},
    {"expr", 0, 1, "EXPR", "content expression: + ^ ! - terms, # $ % @ ~ modifiers (below)",
     [](QdSearchOptions& o, const Values& v) { o.expression = v[0]; return std::string(); }},
    {"no-pdf-cache", 0, 0, "", "convert every PDF again instead of reusing its kept text",
     [](QdSearchOptions& o, const Values&) { o.pdfCache = false; return std::string(); }},
    {"threads", 0, 1, "N", "content tests on N threads (0, the default: one per processor; 1: one at a time)",
     applyThreads},
    {"read-ahead", 0, 0, "", "always read folders ahead on a second thread (default: name searches on an idle processor)",
     [](QdSearchOptions& o, const Values&) { o.readAhead = 1; return std::string(); }},
    {"no-read-ahead", 0, 0, "", "walk on one thread only (no second thread for folders or sizes and dates)",
     [](QdSearchOptions& o, const Values&) { o.readAhead = -1; return std::string(); }},
    // ---- duplicates -------------------------------------------------------------------
    {"duplicates", 0, 1, "name|size|time|crc32|md5|bytes",
     "print the results grouped into duplicates at this level (groups end with an empty line)",
     QdDuplicateMode::applyOption, kSearch, "Duplicates:"},
    // ---- output -----------------------------------------------------------------------
    {"null", '0', 0, "", "end each result with NUL instead of a newline",
     [](QdSearchOptions& o, const Values&) { return flag(o.nulSeparated); }, kSearch, "Output:"},
    {"long", 0, 0, "", "size, last write time, attributes and path, tab-separated",
     [](QdSearchOptions& o, const Values&) { return flag(o.longFormat); }},
    {"snippets", 0, 0, "", "after each content match its excerpts, the match in [ ]",
     [](QdSearchOptions& o, const Values&) { return flag(o.snippets); }},
    {"count", 0, 0, "", "print only the number of results",
     [](QdSearchOptions& o, const Values&) { return flag(o.countOnly); }},
    {"stats", 0, 0, "", "result count and elapsed milliseconds on standard error",
     [](QdSearchOptions& o, const Values&) { return flag(o.stats); }},
    {"quiet", 'q', 0, "", "no messages about folders and files that cannot be read",
     [](QdSearchOptions& o, const Values&) { return flag(o.quiet); }},
    {"help", 'h', 0, "", "show this help",
     [](QdSearchOptions& o, const Values&) { return flag(o.help); }, kAny},
    {"version", 0, 0, "", "show the version",
     [](QdSearchOptions& o, const Values&) { return flag(o.version); }, kAny},
    // ---- index caches -----------------------------------------------------------------
    {"index", 0, 0, "", "build the caches of the ROOT folders, make them live",
     [](QdSearchOptions& o, const Values&) { return flag(o.indexing.index); }, kIndex, "Index caches:"},
    {"exclude", 0, 1, "DIR", "with --index: do not index DIR (repeatable)",
     [](QdSearchOptions& o, const Values& v) { o.indexing.excluded.push_back(v[0]); return std::string(); }, kIndex},
    {"exclude-type", 0, 1, "EXT", "with --index: do not index files with extension EXT (repeatable)",
     [](QdSearchOptions& o, const Values& v) { o.indexing.types.push_back(v[0]); return std::string(); }, kIndex},
    {"no-archives", 0, 0, "", "with --index: do not index the members of archives",
     [](QdSearchOptions& o, const Values&) { o.indexing.archives = false; return std::string(); }, kIndex},
    {"priority", 0, 1, "0-10", "with --index: the indexing thread's priority (default 10)", applyPriority, kIndex},
    {"list-indexes", 0, 0, "", "list the indexed roots: root, entries, time written",
     [](QdSearchOptions& o, const Values&) { return flag(o.indexing.list); }, QdOptionParser::MODE_LIST},
    {"quick", 0, 0, "", "answer the search from the caches; folders without one are walked",
     [](QdSearchOptions& o, const Values&) { return flag(o.quick.quick); }},
    {"indexed", 0, 1, "ROOT", "with --quick: only the cache of ROOT (repeatable)",
     [](QdSearchOptions& o, const Values& v) { o.quick.indexed.push_back(v[0]); return std::string(); }},
    {"no-auto-normal", 0, 0, "", "with --quick: do not walk folders that no cache covers",
     [](QdSearchOptions& o, const Values&) { return flag(o.quick.noAutoNormal); }},
    {"cache", 0, 1, "DIR", "the cache folder (default $XDG_CACHE_HOME/Quendrel)",
     [](QdSearchOptions& o, const Values& v) { o.quick.cacheFolder = v[0]; return std::string(); }, kAny},
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

// A text as one word for a POSIX shell: in single quotes, each ' written as '\''.
std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

bool isFolder(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "qdsearch ~/Documents" searches the current folder for names matching "/home/u/Documents":
// likely not what was meant, so say how to search inside it. The lines that list every
// name ("", "*", ".") are no folder to hint at.
void noteLoneFolder(const std::string& line, const std::string& currentFolder, std::vector<std::string>& notices) {
    if (line.empty() || line == "*" || line == "." || !isFolder(absoluteFolder(line, currentFolder)))
        return;
    notices.push_back(shellQuoted(line) + " is a folder, read here as the name line: the current folder is searched "
                      "for names matching it. To search inside it, run: qdsearch '' " + shellQuoted(line));
}

}  // namespace

const std::vector<QdOptionParser::Option>& QdOptionParser::table() { return kOptions; }

QdNumberText::Status QdOptionParser::parseSize(const std::string& text, int64_t& bytes, float& value,
                                               uint16_t& unit) {
    int64_t exact = 0;
    int unitIndex = 1;
    const QdNumberText::Status status = QdNumberText::parseSize(text, 1, exact, unitIndex);
    if (status != QdNumberText::Status::Ok)
        return status;
    // The float fields know B, K and M; a size in G is kept in M.
    const uint16_t storedUnit = static_cast<uint16_t>(unitIndex > 2 ? 2 : unitIndex);
    bytes = exact;
    value = static_cast<float>(static_cast<double>(exact) / static_cast<double>(int64_t{1} << (10 * storedUnit)));
    unit = storedUnit;
    return status;
}

QdNumberText::Status QdOptionParser::parsePeriod(const std::string& text, int32_t& count, int32_t& unit) {
    if (text.size() < 2)
        return QdNumberText::Status::Malformed;
    int32_t parsedUnit;
    switch (text.back()) {
    case 'd': case 'D': parsedUnit = 0; break;
    case 'w': case 'W': parsedUnit = 1; break;
    case 'm': case 'M': parsedUnit = 2; break;
    case 'y': case 'Y': parsedUnit = 3; break;
    default: return QdNumberText::Status::Malformed;
    }
    int64_t parsed = 0;
    const QdNumberText::Status status = QdNumberText::parseInteger(
        std::string_view(text).substr(0, text.size() - 1), 1, std::numeric_limits<int32_t>::max(), parsed);
    if (status != QdNumberText::Status::Ok)
        return status;
    count = static_cast<int32_t>(parsed);
    unit = parsedUnit;
    return status;
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
    std::vector<const Option*> given;
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
        given.push_back(option);
    }
    if (options.help || options.version)
        return true;

    if (options.indexing.index && options.indexing.list) {
        error = "--index and --list-indexes exclude each other";
        return false;
    }
    const unsigned mode = options.indexing.index ? MODE_INDEX : options.indexing.list ? MODE_LIST : MODE_SEARCH;
    for (const Option* option : given) {
        if (option->modes & mode)
            continue;
        if (mode == MODE_SEARCH)
            error = std::string("option --") + option->longName + " goes with --index only";
        else
            error = std::string("option --") + option->longName + " does not go with " +
                    (mode == MODE_INDEX ? "--index" : "--list-indexes");
        return false;
    }
    if (mode == MODE_INDEX) {
        options.indexing.roots = positional;
        return true;
    }
    if (mode == MODE_LIST) {
        if (!positional.empty()) {
            error = "--list-indexes takes no folders: '" + positional.front() + "'";
            return false;
        }
        return true;
    }
    if (!options.quick.quick && (options.quick.noAutoNormal || !options.quick.indexed.empty())) {
        error = "--indexed and --no-auto-normal go with --quick";
        return false;
    }

    if (!positional.empty()) {
        options.nameLine = positional.front();
        options.nameLineGiven = true;
        options.folders.insert(options.folders.end(), positional.begin() + 1, positional.end());
        if (positional.size() == 1 && options.folders.empty())
            noteLoneFolder(options.nameLine, currentFolder, options.notices);
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
        if (!isFolder(folder)) {
            options.notices.push_back(shellQuoted(given) + " is no folder: nothing is searched in it");
            continue;
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
