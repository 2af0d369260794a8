#pragma once
// How the engine hands results to a front end. Every call is made on the thread that runs
// the search; an implementation hands data to its user interface thread itself.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/Data_FileItem.h"

struct Search_Rule;
class Search_CachePathSearcher;

class ISearchResultReciever {
public:
    virtual ~ISearchResultReciever() = default;

    // An entry of an index cache matched; read it later with searcher->readFileInfo(position).
    virtual void addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher) = 0;
    // One matching file or folder; the receiver owns it now.
    virtual void addResult(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item, bool updateNow) = 0;
    // One group of duplicates; the receiver takes the items out of the list.
    virtual void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) = 0;
    // Called exactly once, at the very end of a search.
    virtual void searchFinished(uint32_t elapsedMilliseconds, const Search_Rule& rule) = 0;
    // A status line; the receiver owns it.
    virtual void showMessage(std::unique_ptr<std::string> message) = 0;
    // False when the receiver ignores status lines: the engine then does not build them
    // (a walk would otherwise make one per tested entry).
    virtual bool wantsMessages() const { return true; }
    // An entry the search could not read: a folder that could not be opened for listing,
    // a file whose content could not be opened, an archive that could not be opened for
    // listing, or a file the duplicate finder could not read. `path` is its full path without a
    // trailing '/', `errorNumber` the errno value (EACCES for "Permission denied").
    // Entries that vanished during the search are not reported. Default: ignored.
    virtual void entryUnreadable(const std::string& /*path*/, int /*errorNumber*/) {}
};
