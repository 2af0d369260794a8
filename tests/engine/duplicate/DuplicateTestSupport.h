#pragma once
// Shared pieces of the duplicate finder tests: items built from real files, a receiver that
// records everything it is handed, and the pairwise grouping written out literally.
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "duplicate/Duplicate_Man.h"
#include "records/Data_FileItem.h"
#include "records/ISearchResultReciever.h"

namespace duptest {

// An item describing `fullPath` as the search walk would (size, times, folder bit, name).
// `tag` goes into m_nIconIndex so that results can be traced back to their candidate.
std::unique_ptr<Data_FileItem> itemFor(const std::string& fullPath, int tag);
// An item for a path that need not exist, with the given recorded size.
std::unique_ptr<Data_FileItem> itemNamed(const std::string& fullPath, int64_t size, int tag, bool folder = false);

struct Member {
    int tag;
    int group;
    bool operator==(const Member&) const = default;
};
void PrintTo(const Member& m, std::ostream* os);

// Records messages, groups and unreadable files; optionally signals the stop event after a number of messages.
class RecordingReceiver : public ISearchResultReciever {
public:
    std::vector<std::string> messages;
    std::vector<std::vector<Member>> groups;
    std::vector<std::unique_ptr<Data_FileItem>> kept;
    std::vector<std::pair<std::string, int>> unreadable;
    size_t stopAfterMessages = SIZE_MAX;

    void addIndexedResult(uint32_t, Search_CachePathSearcher*) override {}
    void addResult(const Search_Rule&, std::unique_ptr<Data_FileItem>, bool) override {}
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) override;
    void searchFinished(uint32_t, const Search_Rule&) override {}
    void showMessage(std::unique_ptr<std::string> message) override;
    void entryUnreadable(const std::string& path, int errorNumber) override {
        unreadable.emplace_back(path, errorNumber);
    }
};

// The pairwise grouping, step by step as the finder is described: take the first
// candidate, compare it with every later one, and so on. Only the tests use it, as the
// yardstick for the bucketed grouping.
class PairwiseDuplicateMan : public Duplicate_Man {
public:
    uint32_t searchPairwise(ISearchResultReciever* receiver, const Duplicate_Rule& rule,
                            std::vector<std::unique_ptr<Data_FileItem>>& candidates);
    using Duplicate_Man::compare;
    using Duplicate_Man::compareBBB;
};

// Deep copies keeping the tag (clone() starts without checksums, as the search hands over).
std::vector<std::unique_ptr<Data_FileItem>> cloneAll(const std::vector<std::unique_ptr<Data_FileItem>>& items);

}  // namespace duptest
