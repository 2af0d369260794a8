#include "cli/IndexCommands.h"


#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "archive/CExtractMgr.h"
#include "cli/QdFdWriter.h"
#include "cli/QdInterruptWatcher.h"
#include "index/IIndexResultReceiver.h"
#include "index/IndexCacheCatalog.h"
#include "index/SF_Man.h"
#include "index/SF_SaverSet.h"
#include "platform/Event.h"
#include "platform/FileTimeConvert.h"
#include "platform/XdgFolders.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;


std::string absolute(const std::string& path) { return Tool_Resource::normalizePath(path); }

std::string cacheFolderOf(const std::string& folder) {
    return folder.empty() ? absolute(XdgFolders::programCacheFolder()) : absolute(folder);
}

// Makes `folder` (empty: the default) the cache folder. Without `create` a missing folder is
// left missing and false returned: there are no caches to read.
bool useCacheFolder(const std::string& folder, bool create = true) {
    const std::string f = cacheFolderOf(folder);
    if (create)
        XdgFolders::ensureFolder(f);
    else if (::access(f.c_str(), F_OK) != 0)
        return false;
    Tool_Resource::setIndexCachePath(f);
    return true;
}

std::string errorText(int error) { return error ? std::strerror(error) : "unknown error"; }

// For --index: the cache folder exists (or is created) and this process may write there.
// Empty when it can be used, else the message.
std::string checkCacheFolder(const std::string& folder) {
    const std::string f = cacheFolderOf(folder);
    if (f.empty())
        return "no cache folder";
    XdgFolders::ensureFolder(f);
    struct stat st{};
    if (::stat(f.c_str(), &st) != 0)
        return "cannot create the cache folder " + f + ": " + errorText(errno);
    if (!S_ISDIR(st.st_mode))
        return "the cache folder " + f + " is not a folder";
    if (::access(f.c_str(), W_OK | X_OK) != 0)
        return "cannot write to the cache folder " + f + ": " + errorText(errno);
    return {};
}

std::string describe(const SF_IndexOutcome& outcome) {
    switch (outcome.kind) {
    case SF_IndexOutcome::NotAFolder:
        return "cannot index " + outcome.root + ": " +
               (outcome.error == ENOTDIR ? std::string("not a folder") : errorText(outcome.error));
    case SF_IndexOutcome::Excluded: return "cannot index " + outcome.root + ": it is excluded";
    case SF_IndexOutcome::Busy:
        return "cannot index " + outcome.root + ": another indexer is writing its cache; its cache is left as it was";
    case SF_IndexOutcome::CannotWrite:
        return "cannot write the cache of " + outcome.root + " in " + Tool_Resource::getIndexCachePath() + ": " +
               errorText(outcome.error);
    case SF_IndexOutcome::WriteFailed:
        return "writing the cache of " + outcome.root + " failed: " + errorText(outcome.error);
    default: return {};
    }
}

struct Quiet : IIndexResultReceiver {
    std::atomic<bool> finished{false};   // set on the indexing thread
    void showIndexMessage(std::unique_ptr<std::string>) override {}
    void indexFinished() override { finished = true; }
};

std::string formatSize(uint64_t bytes) {
    std::string s;
    Tool_Resource::formatCompatiableSize(static_cast<int64_t>(bytes), s);
    return s;
}

// "1,234 entries, 5 MB" for the run so far; the current root's text goes to `text`.
std::string entriesAndSize(const SF_Man& man, std::string* text = nullptr) {
    uint64_t bytes;
    uint32_t entries;
    std::string current;
    man.getSumValues(bytes, entries, current);
    if (text)
        *text = std::move(current);
    std::string count;
    Tool_Resource::seperateNumberToString(entries, count);
    return count + " entries, " + formatSize(bytes);
}

int runIndex(const std::vector<std::string>& roots, const std::string& cache, const std::vector<std::string>& excluded,
             const std::vector<std::string>& types, bool archives, int priority, int errFd) {
    if (const std::string problem = checkCacheFolder(cache); !problem.empty()) {
        QdFdWriter::writeAll(errFd, "qdsearch: " + problem + "\n");
        return EXIT_USAGE;
    }
    useCacheFolder(cache);
    std::vector<std::string> absRoots, absExcluded;
    for (const auto& r : roots)
        absRoots.push_back(absolute(r));
    for (const auto& e : excluded)
        absExcluded.push_back(absolute(e));
    if (archives)
        CExtractMgr::init();
    SF_Man man;
    man.init();
    man.addPath(absRoots);
    man.setExcludeListInfo(absExcluded, types, archives);
    man.setIndexThreadPriority(priority);
    SF_Man::s_hCancelEvent.reset();
    Search_Man::s_hStopSearchEvent.reset();
    Quiet receiver;
    bool interrupted = false;
    {
        QdInterruptWatcher watcher;   // Ctrl+C sets the search stop event; pass it on
        // The run's end wakes this thread at once; the progress line is redrawn meanwhile.
        Event runEnded;
        std::thread run([&] {
            man.startIndex(&receiver);
            runEnded.set();
        });
        const bool showProgress = ::isatty(errFd) == 1;
        while (!runEnded.waitFor(std::chrono::milliseconds(100))) {
            if (Search_Man::s_hStopSearchEvent.isSet())
                SF_Man::s_hCancelEvent.set();
            if (showProgress) {
                std::string text;
                const std::string sums = entriesAndSize(man, &text);
                QdFdWriter::writeAll(errFd, "\r\033[K" + sums + "  " + text);
            }
            if (SF_Man::s_hCancelEvent.isSet())
                break;
        }
        run.join();
        if (showProgress)
            QdFdWriter::writeAll(errFd, "\r\033[K");
        interrupted = watcher.interrupted();
    }
    man.reset();
    if (archives)
        CExtractMgr::uninit();
    // The caches were built to be used: make them live now. Only roots that were indexed
    // count; a root that could not be indexed is reported and leaves nothing behind.
    bool ok = true, failed = false, busy = false, anyCommitted = false;
    for (const SF_IndexOutcome& outcome : man.getOutcomes()) {
        if (outcome.kind == SF_IndexOutcome::Committed) {
            anyCommitted = true;
            if (!SF_SaverSet::makeLive(outcome.root)) {
                QdFdWriter::writeAll(errFd, "qdsearch: the new cache of " + outcome.root + " could not be made live\n");
                ok = false;
            }
        } else if (outcome.kind != SF_IndexOutcome::Cancelled) {
            QdFdWriter::writeAll(errFd, "qdsearch: " + describe(outcome) + "\n");
            (outcome.kind == SF_IndexOutcome::Busy ? busy : failed) = true;
        }
    }
    SF_Man::clearNewIndexCache();
    SF_Man::s_hCancelEvent.reset();
    Search_Man::s_hStopSearchEvent.reset();
    if (interrupted || !receiver.finished) {
        QdFdWriter::writeAll(errFd, "qdsearch: indexing interrupted; roots finished before stay indexed\n");
        return EXIT_FAILED;
    }
    if (anyCommitted)
        QdFdWriter::writeAll(errFd, "qdsearch: indexed " + entriesAndSize(man) + "\n");
    if (failed || busy)   // busy: another indexer was writing a root given; it was left alone
        return EXIT_USAGE;
    return ok ? EXIT_OK : EXIT_FAILED;
}

int runList(const std::string& cache, int outFd) {
    if (!useCacheFolder(cache, false))
        return EXIT_OK;   // no cache folder: nothing is indexed
    for (const auto& c : IndexCacheCatalog::list(Tool_Resource::INDEX_STAGE_LIVE)) {
        const LocalDateTime t = FileTimeConvert::localDateTimeOf(c.written);
        char when[96];
        std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                      t.second);
        QdFdWriter::writeAll(outFd, c.root + "\t" + std::to_string(c.entries) + "\t" + when + "\n");
    }
    return EXIT_OK;
}
}  // namespace

int IndexCommands::run(const IndexOptions& options, const std::string& cacheFolder, int outFd, int errFd) {
    if (options.index) {
        if (options.roots.empty()) {
            QdFdWriter::writeAll(errFd, "qdsearch: --index needs at least one folder\nTry 'qdsearch --help'.\n");
            return EXIT_USAGE;
        }
        for (const std::string& root : options.roots)
            if (root.empty()) {
                QdFdWriter::writeAll(errFd, "qdsearch: empty folder name\nTry 'qdsearch --help'.\n");
                return EXIT_USAGE;
            }
        return runIndex(options.roots, cacheFolder, options.excluded, options.types, options.archives,
                        options.priority, errFd);
    }
    return runList(cacheFolder, outFd);
}

void IndexCommands::prepareQuick(const QuickOptions& quick, Search_Rule& rule, Search_Man& man) {
    if (!quick.quick)
        return;
    rule.bQuickSearch = 1;
    rule.bAutoNormalSearch = !quick.noAutoNormal;
    if (!useCacheFolder(quick.cacheFolder, false))
        return;   // no cache folder, no caches: every folder is walked (or, without auto-normal, skipped)
    // Pending caches left by an indexing run become live before they are read.
    const auto pending = IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_PENDING);
    if (!pending.empty())
        man.refreshNewIndexCacheFile(pending);
    std::vector<std::string> roots;
    for (const auto& r : quick.indexed)
        roots.push_back(absolute(r));
    if (quick.indexed.empty())
        roots = IndexCacheCatalog::rootsOf(Tool_Resource::INDEX_STAGE_LIVE);
    man.addIndexedFilePathName(roots);
    man.initSearcher(roots);
}
