#include "cli/QdSearchApp.h"


#include <chrono>
#include <climits>
#include <cstdlib>
#include <exception>
#include <unistd.h>

#include "archive/CExtractMgr.h"
#include "cli/QdDuplicateMode.h"
#include "cli/QdFdWriter.h"
#include "cli/QdInterruptWatcher.h"
#include "cli/QdOptionParser.h"
#include "cli/QdResultPrinter.h"
#include "cli/QdTerminalText.h"
#include "cli/QdUnreadableReporter.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "cli/IndexCommands.h"
#include "tools/Tool_Resource.h"

namespace {


std::string currentFolder() {
    std::string buffer(PATH_MAX, '\0');
    if (!::getcwd(buffer.data(), buffer.size())) {
        const char* pwd = std::getenv("PWD");
        return pwd ? pwd : "/";
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

std::string describe(const QdOptionParser::Error& error) {
    if (error.languageString == 0)
        return error.text;
    std::string text = Tool_Resource::loadString(error.languageString);
    if (text.empty() || text == "Failed String")   // no language file beside the program
        text = error.languageString == 90 ? "The hexadecimal value has an odd number of digits."
                                          : "The hexadecimal value holds a character that is no hexadecimal digit.";
    return text;
}

// With --quick --no-auto-normal a folder that no open cache covers is not searched, and of
// a folder that holds indexed roots only those roots are. The first indexed root that
// contains a folder answers it, as in the search itself.
void noteUncoveredFolders(const Search_Rule& rule, const Search_Man& man, int errFd, bool escape) {
    const std::vector<std::string>& roots = man.getIndexedFilePathNames();
    for (const std::string& folder : rule.folders) {
        bool inRoot = false, covered = false, holdsRoots = false;
        for (const std::string& root : roots) {
            if (!inRoot && Tool_Resource::isPathIncludePath(root, folder)) {
                inRoot = true;
                covered = man.findSearcher(root) != nullptr;
            }
            if (man.findSearcher(root) && Tool_Resource::isPathIncludePath(folder, root))
                holdsRoots = true;
        }
        if (covered)
            continue;
        std::string shown = folder;
        Tool_Resource::formatPathString(shown, false, false);
        if (escape)
            shown = QdTerminalText::escapeControls(shown);
        QdFdWriter::writeAll(errFd, "qdsearch: '" + shown +
                                        (!inRoot && holdsRoots
                                             ? "': only its indexed folders are searched (--no-auto-normal)\n"
                                             : "': no index cache covers it; with --no-auto-normal it is not "
                                               "searched\n"));
    }
}

}  // namespace

int QdSearchApp::guarded(int errFd, const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::exception& e) {
        QdFdWriter::writeAll(errFd, std::string("qdsearch: internal error: ") + e.what() + "\n");
    } catch (...) {
        QdFdWriter::writeAll(errFd, "qdsearch: internal error\n");
    }
    return EXIT_USAGE;
}

int QdSearchApp::run(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return run(args, STDOUT_FILENO, STDERR_FILENO);
}

int QdSearchApp::run(const std::vector<std::string>& args, int outFd, int errFd) {
    Tool_Resource::setResourceType(Tool_Resource::RT_ENGLISH);
    QdSearchOptions options;
    QdOptionParser::Error error;
    if (!QdOptionParser::parse(args, currentFolder(), options, error)) {
        QdFdWriter::writeAll(errFd, "qdsearch: " + describe(error) + "\nTry 'qdsearch --help'.\n");
        return EXIT_USAGE;
    }
    if (options.help) {
        QdFdWriter::writeAll(outFd, QdOptionParser::helpText());
        return EXIT_FOUND;
    }
    if (options.version) {
        QdFdWriter::writeAll(outFd, std::string("qdsearch ") + QUENDREL_VERSION + "\n");
        return EXIT_FOUND;
    }

    if (options.indexing.index || options.indexing.list)
        return IndexCommands::run(options.indexing, options.quick.cacheFolder, outFd, errFd);

    const bool errTerminal = QdTerminalText::isTerminal(errFd);
    for (const std::string& notice : options.notices)
        QdFdWriter::writeAll(errFd, "qdsearch: " + (errTerminal ? QdTerminalText::escapeControls(notice) : notice) +
                                        "\n");

    if (options.rule->duplicate.bEnable)
        return QdDuplicateMode::run(options, outFd, errFd);

    QdResultPrinter::Format format;
    format.nulSeparated = options.nulSeparated;
    format.longFormat = options.longFormat;
    format.snippets = options.snippets;
    format.countOnly = options.countOnly;
    // -0 output is for programs (xargs -0): its bytes stay exact even on a terminal.
    format.escapeControls = !options.nulSeparated && QdTerminalText::isTerminal(outFd);
    QdResultPrinter printer(outFd, format, QdTerminalText::isTerminal(outFd));
    QdUnreadableReporter unreadable(options.quiet ? -1 : errFd, errTerminal);
    printer.setUnreadableReporter(&unreadable);

    const bool archives = options.rule->bSearchInCompressed != 0;
    if (archives)
        CExtractMgr::init();
    const auto started = std::chrono::steady_clock::now();
    bool interrupted = false;
    {
        QdInterruptWatcher watcher;
        Search_Man::s_hStopSearchEvent.reset();
        Search_Man searcher;
        searcher.setPdfTextCache(options.pdfCache);
        searcher.setScannerThreads(options.scannerThreads);
        if (options.readAhead != 0)
            searcher.setFolderReadAhead(options.readAhead > 0 ? Search_Man::FolderReadAhead::Always
                                                              : Search_Man::FolderReadAhead::Never);
        IndexCommands::prepareQuick(options.quick, *options.rule, searcher);
        if (options.quick.quick && options.quick.noAutoNormal)
            noteUncoveredFolders(*options.rule, searcher, errFd, errTerminal);
        searcher.search(*options.rule, &printer);
        searcher.reset();
        interrupted = watcher.interrupted();
    }
    if (archives)
        CExtractMgr::uninit();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();

    printer.flush();
    if (options.countOnly)
        QdFdWriter::writeAll(outFd, std::to_string(printer.resultCount()) + "\n");
    if (options.stats)
        QdFdWriter::writeAll(errFd, std::to_string(printer.resultCount()) + " results in " + std::to_string(elapsed) + " ms\n");
    Search_Man::s_hStopSearchEvent.reset();
    if (interrupted)
        QdFdWriter::writeAll(errFd, "qdsearch: interrupted; the results found so far are printed\n");
    return printer.resultCount() > 0 ? EXIT_FOUND : EXIT_NOTHING;
}
