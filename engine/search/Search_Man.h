#pragma once
// Runs one search from start to end: prepares the name groups, walks the folders breadth
// first (or re-filters the previous results), applies the size, date, type, name and
// content tests in a fixed order, looks inside archives met on the way, and reports every
// match, status line and the end of the search to an ISearchResultReciever.
//
// A search runs synchronously on the caller's thread; another thread stops it through its
// stop event: s_hStopSearchEvent unless setStopEvent gave it one of its own. One
// Search_Man runs one search at a time; two Search_Man objects may search at once on two
// threads (each search has its own clock and stop event, and hands its own run values down
// to the content, index and duplicate code).
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "content/PdfTextCache.h"
#include "platform/Event.h"
#include "platform/UniqueFd.h"
#include "platform/FILETIME.h"
#include "records/FileNameGroup.h"
#include "records/Rule_Date.h"
#include "records/SearchRun.h"

struct Search_Rule;
class Data_FileItem;
class ISearchResultReciever;
class Search_CT;
class CExtractMgr;
class Search_FolderWalk;
class Search_CachePathSearcher;
class Search_ScannerPool;
struct IndexIncludeFolder;
struct FolderIncludeIndex;

class Search_Man {
public:
    using Groups = std::vector<std::unique_ptr<FileNameGroup>>;

    Search_Man();
    virtual ~Search_Man();
    Search_Man(const Search_Man&) = delete;
    Search_Man& operator=(const Search_Man&) = delete;

    // Signalled: stop the running search as soon as possible. Front ends reset it before
    // each search. The stop event of every Search_Man not given one of its own.
    static Event s_hStopSearchEvent;
    // The event that stops this object's searches (and its isMatched / isContainText
    // calls) instead of s_hStopSearchEvent; null goes back to s_hStopSearchEvent. Setting
    // s_hStopSearchEvent then no longer stops them. The event must outlive its use here;
    // call between searches.
    void setStopEvent(const Event* stop);

    // The instant (local FILETIME ticks) that "within the last ..." date tests count back
    // from. 0 (the default): the clock at the start of each search.
    void setNow(uint64_t nowTicks) { m_fixedNow = nowTicks; }
    // The values of the search in progress (or of the last one): its stop event and its now.
    const SearchRun& run() const { return m_run; }

    // Threads that test file contents during a folder walk: 0 (the default) picks
    // automaticScannerThreads(); 1 tests each file on the search's own thread. Output,
    // order included, is the same for every count (see Search_ScannerPool).
    void setScannerThreads(unsigned threads) { m_scannerThreads = threads; }
    unsigned scannerThreads() const;
    // The number of processors, at least 2 (PDF conversions wait on their converter, so a
    // second scanner pays even on one processor) and at most 8.
    static unsigned automaticScannerThreads();
    // How a folder walk uses a second thread. Always: it reads the folders (and, for size
    // and date tests, the entries' metadata) ahead of the tests (Search_FolderReadAhead).
    // Never: it reads each folder itself when it reaches it. Automatic (the default): a
    // name search reads ahead when a processor is free (the load average is below the
    // number of processors; on a busy machine every hand-over waits for one); when the rule
    // tests size or date the entries' metadata is read from both ends of each listing, by
    // the walk and by a stat helper (SF_StatHelper), as the metadata reads are most of such
    // a walk's time; a content search reads each folder itself (bench/README.md).
    // Output, order included, is the same in every mode.
    enum class FolderReadAhead { Automatic, Always, Never };
    void setFolderReadAhead(FolderReadAhead mode) { m_folderReadAhead = mode; }
    FolderReadAhead folderReadAhead() const { return m_folderReadAhead; }
    bool useFolderReadAhead(const Search_Rule& rule) const;
    // Whether text converted from PDF documents is kept and reused (default on), and where
    // and how (PdfTextCache::Options; default: the per-user cache folder, 256 MiB).
    void setPdfTextCache(bool enabled) { m_pdfCacheEnabled = enabled; }
    bool pdfTextCache() const { return m_pdfCacheEnabled; }
    void setPdfTextCacheOptions(const PdfTextCache::Options& options) { m_pdfCacheOptions = options; }

    // ---- the search ---------------------------------------------------------------------
    // Runs the whole search. Always ends with exactly one receiver->searchFinished call,
    // also when stopped. With an empty rule.folders the previous results handed over in
    // rule.previousResults are re-filtered (and consumed) instead of walking the disk.
    void search(const Search_Rule& rule, ISearchResultReciever* receiver);
    // Forgets the registered index file names (called after each search).
    void reset();

    // The content test for one file (shows the file's name as a status line first, unless
    // duplicates are being grouped). True when the file satisfies rule.containText; the
    // item's excerpts have then grown by one per term. `folderFd`, when >= 0, is an open
    // descriptor of the item's folder (a walk's): the file is opened relative to it.
    // A file that exists but cannot be opened goes to receiver->entryUnreadable.
    bool isContainText(Data_FileItem& item, const Search_Rule& rule, ISearchResultReciever* receiver,
                       int folderFd = -1);

    // Every test of a search in order (size, date, target, archive member, status line,
    // name groups, content); stops at the first failure. Name tests on relative paths are
    // measured from the current root folder (setCurrentRootFolder).
    // `folderFd` as for isContainText.
    bool isMatched(Data_FileItem& item, const Search_Rule& rule, const Groups& groups,
                   ISearchResultReciever* receiver, bool suppressMessages, int folderFd = -1);
    // Size then date test, the date measured from this search's now.
    bool compareAdvanceProperty(const Data_FileItem& item, const Search_Rule& rule) const;
    // True when the rule has a size or date condition, i.e. when an entry's metadata must
    // be read before it is tested (otherwise only a match needs it).
    static bool needsMetadata(const Search_Rule& rule);

    // The folder that relative-path name tests are measured from. Trailing '/' are ignored,
    // so "/a/b" and "/a/b/" give the same relative paths; "/" is the file system root.
    void setCurrentRootFolder(const std::string& root);
    const std::string& getCurrentRootFolder() const { return m_strCurRootFolder; }
    // The part of an item folder (ending in '/') below the current root: always starts and
    // ends with '/' ("/" for the root's own entries). Empty when the folder is not below it.
    std::string relativeFolderOf(const std::string& itemFolder) const;

    // ---- index caches (Search_Man_Quick.cpp) ------------------------------------------
    // The indexed roots a quick search may answer from caches, in the order given.
    void addIndexedFilePathName(const std::string& root);
    void addIndexedFilePathName(const std::vector<std::string>& roots);
    const std::vector<std::string>& getIndexedFilePathNames() const { return m_indexFiles; }
    // Opens a searcher for every root whose live cache can be read; the others get none.
    // Returns true.
    bool initSearcher(const std::vector<std::string>& roots);
    // Closes every searcher (entries reported by number can no longer be read).
    void uninitSearcher();
    // The open searcher of a root (exact path match), or null.
    Search_CachePathSearcher* findSearcher(const std::string& root) const;
    // Makes the pending caches of the roots live, then clears SF_Man::s_bNewIndexCache.
    // Call with no searcher open.
    void refreshNewIndexCacheFile(const std::vector<std::string>& roots);
    // Deletes the live caches of the roots. Call with no searcher open.
    void deleteIndexCacheFiles(const std::vector<std::string>& roots);

    // ---- size and date tests (Rule_Compare, shared with the index search) ---------------
    static bool _compareSize(int64_t size, const Search_Rule& rule);
    // The date test of an item, measured from this search's now.
    bool _compareDate(const Data_FileItem& item, const Search_Rule& rule) const;
    static bool _specifyDateCompare(const FILETIME& time, const Date_SpecifyDate& date);
    static bool _specifyDateCompare(const Data_FileItem& item, const Date_SpecifyDate& date);
    static int64_t getBytes(float value, uint16_t unit);
    static uint64_t convertFILETIMEToULONGLONG(const FILETIME& ft);
    static FILETIME convertULONGLONGToFILETIME(uint64_t value);
    // A std::time_t instant read as local calendar time, in FILETIME ticks.
    static uint64_t convertTimeTToLocalULONGLONG(std::time_t utcSeconds);

    // ---- name-pattern preparation -----------------------------------------------------
    // Appends one prepared group per entry of rule.names, in order.
    static void divideGroupString(std::vector<std::unique_ptr<FileNameGroup>>& groups, const Search_Rule& rule);
    // Trims a term, strips its quotes; returns whether it was quoted.
    static bool roundData(std::string& text);
    static void roundKey(std::string& op);
    static void getTitlePart(const std::string& pattern, bool title, std::string& out);
    static void dividePattenString(std::vector<std::pair<std::string, std::string>>& out,
                                   const std::vector<std::string>& patterns);
    static void fillMiddleDefaultOperator(std::string& text);
    static void removeSpaceAfterOperator(std::string& text);

protected:
    // A quick (index) search. Until index caches answer folders, the folders are walked
    // as bAutoNormalSearch allows.
    void searchQuick(const Groups& groups, const Search_Rule& rule, ISearchResultReciever* receiver);
    // Splits the rule's folders into folders inside an indexed root (served by that
    // root's cache), folders that contain indexed roots, and the rest.
    void reGroupRelationOfFolderAndCache(const std::vector<std::string>& folders,
                                         std::vector<IndexIncludeFolder>& iif,
                                         std::vector<FolderIncludeIndex>& fii, std::vector<std::string>& rest) const;
    bool addToIIF(const std::string& folder, std::vector<IndexIncludeFolder>& iif) const;
    bool addToFII(const std::string& folder, std::vector<FolderIncludeIndex>& fii) const;
    void doSearch(const IndexIncludeFolder& x, const Groups& groups, const Search_Rule& rule,
                  ISearchResultReciever* receiver);
    void doSearch(const FolderIncludeIndex& y, const Groups& groups, const Search_Rule& rule,
                  ISearchResultReciever* receiver);
    // Walks each folder in order, unless this is a quick search without the automatic
    // disk search; stops between roots when the stop event is set.
    void searchNormalWay(const Groups& groups, const Search_Rule& rule, const std::vector<std::string>& folders,
                         ISearchResultReciever* receiver);
    // Walks one root breadth first. Folders equal to an entry of `excluded` are not
    // enumerated; folders that cannot be opened (the root included) go to
    // receiver->entryUnreadable. Returns false when the walk was stopped.
    bool searchInFolder(const Groups& groups, const Search_Rule& rule, const std::string& folder,
                        ISearchResultReciever* receiver, const std::vector<std::string>& excluded);
    // Reads an entry's size, times and attributes into an item on demand.
    class MetadataSource {
    public:
        // False when the entry can no longer be read (it vanished): it is then not reported.
        virtual bool fill(Data_FileItem& item) = 0;

    protected:
        ~MetadataSource() = default;
    };
    // Hands a clone of the item to the receiver when it matches. With a `lateMetadata`
    // source the item's metadata has not been read yet: it is read when the rule's tests
    // need it (before testing) or else only for a match (before the clone). `folderFd` as
    // for isContainText.
    void checkAndAdd(Data_FileItem& item, const Search_Rule& rule, const Groups& groups,
                     ISearchResultReciever* receiver, bool suppressMessages, MetadataSource* lateMetadata,
                     int folderFd = -1);
    // Lists the members of the archive `item` names and tests each as a file item.
    // Returns false when stopped. `folderFd`, when >= 0, is an open descriptor of the
    // item's folder: an archive whose full path is too long to be opened by name is then
    // reached through it. An archive that exists but cannot be opened goes to
    // receiver->entryUnreadable.
    bool searchWithinArchiveInNormalWay(Data_FileItem& item, const Search_Rule& rule, const Groups& groups,
                                        ISearchResultReciever* receiver, int folderFd = -1);
    // Re-filters rule.previousResults; failures are deleted.
    void doSearchInResult(const Groups& groups, const Search_Rule& rule, ISearchResultReciever* receiver);
    // Sends language string 2 followed by `text` as a status line.
    void showSearchMessage(const std::string& text, ISearchResultReciever* receiver);
    // Starts a search's run values: the stop event and now.
    void initData();
    // The event given to setStopEvent, or s_hStopSearchEvent.
    const Event* stopEvent() const { return m_stop ? m_stop : &s_hStopSearchEvent; }
    // Hands the content test of an entry that passed every other test to the scanner pool
    // (attempts: m_deferredTests). `folderFd` as for isContainText.
    void deferContentTest(const Data_FileItem& item, const Search_Rule& rule, ISearchResultReciever* receiver,
                          bool lateMetadata, int folderFd);

    friend class Search_FolderWalk;

private:
    std::unique_ptr<Search_CT> m_ct;              // content searcher dispatcher
    std::vector<std::string> m_indexFiles;        // index file names registered for a search
    std::vector<std::unique_ptr<Search_CachePathSearcher>> m_searchers;   // one per readable cache
    std::unique_ptr<CExtractMgr> m_extractMgr;    // reused for every archive met on a walk
    std::string m_strCurRootFolder;               // root of the walk in progress
    size_t m_nRootPrefix = 0;                     // its length without trailing '/'
    uint64_t m_fixedNow = 0;                      // setNow; 0: the clock
    SearchRun m_run;                              // of the search in progress
    const Event* m_stop = nullptr;                // setStopEvent; null: s_hStopSearchEvent
    unsigned m_scannerThreads = 0;
    FolderReadAhead m_folderReadAhead = FolderReadAhead::Automatic;
    bool m_pdfCacheEnabled = true;
    PdfTextCache::Options m_pdfCacheOptions;
    std::unique_ptr<PdfTextCache> m_pdfCache;     // of the content search in progress
    // While a folder walk tests contents on scanner threads: the pool, the tests the last
    // isMatched left to it, and a shared descriptor of the folder being listed.
    Search_ScannerPool* m_pool = nullptr;
    int m_deferredTests = 0;
    std::shared_ptr<const UniqueFd> m_poolFolder;
};
