#pragma once
// Answers searches from the live index cache of one root. The column files stay mapped
// while the searcher lives, because results reported by entry number are read back later
// with readFileInfo.
//
// Opening refuses a root whose columns are missing, empty, unmappable, of different entry
// counts, or not all of the one generation that the root's live generation record names
// (IndexGeneration): a reader never mixes the files of two commits. A single entry whose record is malformed (offset past its data file,
// length running past the end) fails its tests and readFileInfo; the scan goes on.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "index/IndexIncludeFolder.h"
#include "index/SF_SingleSaver.h"

class Data_FileItem;
class ISearchResultReciever;
class SF_ArchiveSaver;
class SF_FolderSaver;
class SF_TitleSaver;
struct FileNameGroup;
struct SearchRun;
struct Search_Rule;

class Search_CachePathSearcher {
public:
    using Groups = std::vector<std::unique_ptr<FileNameGroup>>;
    // The content test of one file found in the cache (the search driver's, which shows
    // status lines and reports unreadable files): true when the file satisfies the terms.
    using ContentTest = std::function<bool(Data_FileItem&, const Search_Rule&, ISearchResultReciever*)>;

    Search_CachePathSearcher();
    virtual ~Search_CachePathSearcher();
    Search_CachePathSearcher(const Search_CachePathSearcher&) = delete;
    Search_CachePathSearcher& operator=(const Search_CachePathSearcher&) = delete;

    // Opens the nine columns of the root's live cache (order "fa", "ft", "fs", "at", "mt",
    // "ct", "fe", "fp", "fn"), then checks them against the live generation record; false,
    // with nothing left open, when any cannot be opened, their entry counts differ or they
    // are not all of the recorded generation (retried a few times first, as a commit in
    // progress elsewhere ends within moments).
    bool initSearcher(const std::string& root);
    void uninitSearcher();
    const std::string& getIndexPath() const { return m_indexPath; }
    // The id of the generation opened (0 when none).
    uint64_t getGeneration() const { return m_generation; }
    // Without a content test (the default) no entry passes a rule with content terms.
    void setContentTest(ContentTest test) { m_contentTest = std::move(test); }

    // Picks the columns the rule needs for this part of the search.
    bool chooseCompareItems(const IndexIncludeFolder& x, const Groups& groups, const Search_Rule& rule);
    // The columns chosen, in the order the scan tests them.
    const std::vector<SF_SingleSaver*>& compareColumns() const { return m_compareColumns; }
    // Scans every entry; a match without content terms is reported by entry number, one
    // with content terms as a full item once its content matched. Each entry is reported
    // at most once, however many groups it matches. `run` gives the date tests their "now"
    // and the stop event, polled after each content test and every 65,536 entries
    // otherwise; once it is set the scan ends.
    void search(const Groups& groups, const Search_Rule& rule, const IndexIncludeFolder& x,
                ISearchResultReciever* receiver, const SearchRun& run);
    // Fills every field the cache holds (times, size, attributes, title, extension,
    // folder ending in '/', archive fields); false when the entry is out of range or
    // malformed.
    bool readFileInfo(uint32_t entry, Data_FileItem& item) const;
    uint32_t getFileNumber(const IndexIncludeFolder& x) const;

    void addFoundedFile(uint32_t entry, ISearchResultReciever* receiver);
    void addFoundedFile(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item, ISearchResultReciever* receiver);
    // False for an archive member or without a content test; otherwise the content test.
    bool isContainText(Data_FileItem& item, const Search_Rule& rule, ISearchResultReciever* receiver);

private:
    enum class OpenResult { Opened, Mixed, Refused };
    OpenResult openGeneration(const std::string& root);
    bool entryMatches(uint32_t entry, const FileNameGroup& group, const Search_Rule& rule, const IndexIncludeFolder& x);

    std::vector<std::unique_ptr<SF_SingleSaver>> m_columns;
    std::vector<SF_SingleSaver*> m_compareColumns;
    SF_FolderSaver* m_folderColumn = nullptr;
    SF_TitleSaver* m_titleColumn = nullptr;
    std::string m_indexPath;
    ContentTest m_contentTest;
    uint32_t m_entryCount = 0;
    uint64_t m_generation = 0;
};
