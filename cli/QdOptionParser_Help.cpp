// QdOptionParser::helpText: the option table, then the rules of the name line and of
// content expressions. The manual page cli/qdsearch.1 says the same at more length.
#include "cli/QdOptionParser.h"

namespace {

constexpr size_t kOptionColumn = 34;

const char* const kUsage =
    "Usage: qdsearch [OPTIONS] [NAME-LINE] [FOLDER...]\n"
    "       qdsearch --index [--cache DIR] [--exclude DIR]... [--exclude-type EXT]...\n"
    "                [--no-archives] [--priority 0-10] ROOT...\n"
    "       qdsearch --list-indexes [--cache DIR]\n"
    "Searches the folders (default: the current folder) for files and folders whose\n"
    "names match NAME-LINE (empty: every name) and prints one full path per result.\n";

const char* const kRules =
    "\nThe name line:\n"
    "  A name is a title and an extension: the extension follows the name's last dot\n"
    "  (\"notes.txt\": title \"notes\", extension \"txt\"; \".bashrc\": an empty title and\n"
    "  the extension \"bashrc\", so the pattern \".bashrc\" finds it, \"bashrc\" does not).\n"
    "  A pattern is split at its first dot: the part before it is tested against the\n"
    "  title, the part after it against the extension. A pattern without a dot is\n"
    "  matched against the name without its extension: \"report\" finds report.pdf and\n"
    "  my-report.txt, but not notes.report. When the part after the pattern's first dot\n"
    "  has dots itself (k of them), the extension is the name's last k+1 dot-separated\n"
    "  parts: \"*.tar.gz\" tests archive.tar.gz as title \"archive\", extension \"tar.gz\".\n"
    "  * matches any run of characters, ? exactly one; case is ignored (ASCII letters).\n"
    "  Unless quoted, title and extension patterns match anywhere inside: \"rep\" is\n"
    "  *rep*, \"rep?rt\" is *rep?rt*, \"*.txt\" also finds notes.txt2.\n"
    "  Commas separate groups; a name matching any group is a result (\"*.txt, *.md\").\n"
    "  Within a group terms are joined by a space or + (AND), ^ (OR), ! (XOR); - before\n"
    "  a term negates it: \"report -draft\" finds report.pdf but not report-draft.pdf.\n"
    "  There is no precedence: \"a ^b -c\" is ((a OR b) AND NOT c), left to right.\n"
    "  A group has one extension pattern, from its first term with a dot.\n"
    "  Double quotes keep spaces, commas and operator characters inside a term, and\n"
    "  quotes around the last term of a group make the group exact: '\"report.doc\"'\n"
    "  matches report.doc only (case ignored), not my-report.doc.\n"
    "  A leading / matches the patterns against the folder path below the searched\n"
    "  folder too: \"/src\" also finds every entry inside a folder whose path contains\n"
    "  \"src\".\n"
    "  \"\", \"*\" and \".\" match every name. --no-operators takes + ^ ! - and spaces\n"
    "  literally (one term per group; quotes are removed).\n"
    "\nContent expressions (--expr):\n"
    "  Terms are separated by the operator that starts them; the first term gets + when\n"
    "  it has none. Spaces do not separate terms: \"big cat\" is one term.\n"
    "    +  AND (the default)          #  the term is hexadecimal bytes: \"#0D 0A\"\n"
    "    ^  OR                         $  whole words only\n"
    "    !  XOR                        %  case-sensitive\n"
    "    -  NOT: must not contain it   @  UTF-8 text (the default)\n"
    "                                  ~  UTF-16 (little-endian) text\n"
    "  Modifiers follow the operator directly, in any order (\"-%$Foo\": must not contain\n"
    "  the whole word Foo, case-sensitive); after a space they are text (\"+ $x\" is the\n"
    "  term \"$x\"). Of adjacent operators only the last counts (\"^-foo\" is AND NOT foo),\n"
    "  and an operator never belongs to a term (\"C++\" is the term \"C\"). There is no\n"
    "  quoting, grouping or precedence: \"foo -bar ^baz\" is ((foo AND NOT bar) OR baz).\n"
    "  --text and --hex give the first term, taken literally; --expr terms follow it.\n"
    "\nArchives:\n"
    "  With --archives the members of archives (whatever the installed 7-Zip format\n"
    "  handlers read: zip, 7z, tar, ...) are matched by name, size and date only; their\n"
    "  content is never searched, so no member matches --text, --hex or --expr.\n"
    "\nOutput:\n"
    "  On a terminal, control characters in names and excerpts are shown escaped (\\e,\n"
    "  \\a, \\n, \\t, \\xHH, \\u009b, and \\\\ for a backslash); pipes, files and -0 output get\n"
    "  the names' bytes exactly. Folders and files that cannot be read are reported on\n"
    "  standard error (qdsearch: 'PATH': Permission denied) unless -q is given.\n"
    "\nExit status: 0 something was found, 1 nothing was found, 2 usage error, bad value,\n"
    "or (--index) a root or cache folder that cannot be used (missing, not a folder,\n"
    "not writable; nothing is indexed), or a folder whose cache another indexer was\n"
    "writing (it was left alone).\n"
    "Ctrl+C ends a search early: the results found so far stay printed and count.\n"
    "See also: man qdsearch.\n";

}  // namespace

std::string QdOptionParser::helpText() {
    std::string text = kUsage;
    for (const auto& option : table()) {
        if (option.section)
            text += std::string("\n") + option.section + "\n";
        std::string left = "  ";
        if (option.shortName)
            left += std::string("-") + option.shortName + ", ";
        else
            left += "    ";
        left += std::string("--") + option.longName;
        if (option.valueCount > 0)
            left += std::string(" ") + option.valueNames;
        if (left.size() < kOptionColumn)
            left.resize(kOptionColumn, ' ');
        else
            left += "\n" + std::string(kOptionColumn, ' ');
        text += left + option.help + "\n";
    }
    return text + kRules;
}
