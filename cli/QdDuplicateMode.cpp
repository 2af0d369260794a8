#include "cli/QdDuplicateMode.h"


#include <chrono>
#include <unistd.h>

#include "archive/CExtractMgr.h"
#include "cli/QdDuplicatePrinter.h"
#include "cli/QdFdWriter.h"
#include "cli/QdInterruptWatcher.h"
#include "cli/QdTerminalText.h"
#include "cli/QdUnreadableReporter.h"
#include "duplicate/Duplicate_Man.h"
#include "search/Search_Man.h"

namespace {

const char* const kLevelNames[] = {"name", "size", "time", "crc32", "md5", "bytes"};

// Keeps every found item for the grouping that follows the search.
class ResultCollector : public ISearchResultReciever {
public:
    explicit ResultCollector(QdUnreadableReporter& unreadable) : m_unreadable(unreadable) {}
    std::vector<std::unique_ptr<Data_FileItem>> items;

    void addIndexedResult(uint32_t, Search_CachePathSearcher*) override {}
    void addResult(const Search_Rule&, std::unique_ptr<Data_FileItem> item, bool) override {
        if (item)
            items.push_back(std::move(item));
    }
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>&) override {}
    void searchFinished(uint32_t, const Search_Rule&) override {}
    void showMessage(std::unique_ptr<std::string>) override {}
    bool wantsMessages() const override { return false; }
    void entryUnreadable(const std::string& path, int errorNumber) override { m_unreadable.report(path, errorNumber); }

private:
    QdUnreadableReporter& m_unreadable;
};


}  // namespace

bool QdDuplicateMode::parseLevel(const std::string& text, int32_t& level) {
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    for (int32_t i = 0; i < 6; ++i) {
        if (lower == kLevelNames[i] || lower == std::to_string(i)) {
            level = i;
            return true;
        }
    }
    return false;
}

std::string QdDuplicateMode::applyOption(QdSearchOptions& options, const std::vector<std::string>& values) {
    int32_t level = 0;
    if (!parseLevel(values[0], level))
        return "bad value for --duplicates: '" + values[0] + "' (expected name, size, time, crc32, md5 or bytes)";
    options.rule->duplicate.bEnable = 1;
    options.rule->duplicate.iLevel = level;
    return {};
}

int QdDuplicateMode::run(QdSearchOptions& options, int outFd, int errFd) {
    QdResultPrinter::Format format;
    format.nulSeparated = options.nulSeparated;
    format.longFormat = options.longFormat;
    format.countOnly = options.countOnly;
    format.escapeControls = !options.nulSeparated && QdTerminalText::isTerminal(outFd);   // -0 stays exact
    const bool progress = QdTerminalText::isTerminal(errFd);
    QdUnreadableReporter unreadable(options.quiet ? -1 : errFd, progress);
    QdDuplicatePrinter printer(outFd, format, QdTerminalText::isTerminal(outFd), progress ? errFd : -1, &unreadable);

    const bool archives = options.rule->bSearchInCompressed != 0;
    if (archives)
        CExtractMgr::init();
    const auto started = std::chrono::steady_clock::now();
    bool interrupted = false;
    uint32_t delivered = 0;
    size_t found = 0;
    {
        QdInterruptWatcher watcher;
        Search_Man::s_hStopSearchEvent.reset();
        ResultCollector collector(unreadable);
        {
            Search_Man searcher;
            searcher.search(*options.rule, &collector);
            searcher.reset();
        }
        found = collector.items.size();
        Duplicate_Man finder;
        finder.setStopEvent(&Search_Man::s_hStopSearchEvent);
        delivered = finder.search(&printer, options.rule->duplicate, collector.items);
        interrupted = watcher.interrupted();
    }
    if (archives)
        CExtractMgr::uninit();
    printer.finish();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();

    if (options.countOnly)
        QdFdWriter::writeAll(outFd, std::to_string(delivered) + "\n");
    if (options.stats)
        QdFdWriter::writeAll(errFd, std::to_string(delivered) + " duplicates in " + std::to_string(printer.groupCount()) +
                             " groups among " + std::to_string(found) + " results in " + std::to_string(elapsed) +
                             " ms\n");
    Search_Man::s_hStopSearchEvent.reset();
    if (interrupted)
        QdFdWriter::writeAll(errFd, "qdsearch: interrupted; the groups found so far are printed\n");
    return delivered > 0 ? 0 : 1;
}
