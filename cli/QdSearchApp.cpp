#include "cli/QdSearchApp.h"


#include <chrono>
#include <climits>
#include <cstdlib>
#include <unistd.h>

#include "archive/CExtractMgr.h"
#include "cli/QdDuplicateMode.h"
#include "cli/QdFdWriter.h"
#include "cli/QdInterruptWatcher.h"
#include "cli/QdOptionParser.h"
#include "cli/QdResultPrinter.h"
#include "search/Search_Man.h"
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

}  // namespace

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
    IndexCommands::QuickOptions quick;
    std::vector<std::string> searchArgs;
    if (const int status = IndexCommands::handle(args, outFd, errFd, searchArgs, quick); status >= 0)
        return status;
    if (!QdOptionParser::parse(searchArgs, currentFolder(), options, error)) {
        QdFdWriter::writeAll(errFd, "qdsearch: " + describe(error) + "\nTry 'qdsearch --help'.\n");
        return EXIT_USAGE;
    }
    if (options.help) {
        QdFdWriter::writeAll(outFd, QdOptionParser::helpText() + IndexCommands::helpText());
        return EXIT_FOUND;
    }
    if (options.version) {
        QdFdWriter::writeAll(outFd, std::string("qdsearch ") + QUENDREL_VERSION + "\n");
        return EXIT_FOUND;
    }

    if (options.rule->duplicate.bEnable)
        return QdDuplicateMode::run(options, outFd, errFd);

    QdResultPrinter::Format format;
    format.nulSeparated = options.nulSeparated;
    format.longFormat = options.longFormat;
    format.snippets = options.snippets;
    format.countOnly = options.countOnly;
    QdResultPrinter printer(outFd, format, ::isatty(outFd) == 1);

    const bool archives = options.rule->bSearchInCompressed != 0;
    if (archives)
        CExtractMgr::init();
    const auto started = std::chrono::steady_clock::now();
    bool interrupted = false;
    {
        QdInterruptWatcher watcher;
        Search_Man::s_hStopSearchEvent.reset();
        Search_Man searcher;
        IndexCommands::prepareQuick(quick, *options.rule, searcher);
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
