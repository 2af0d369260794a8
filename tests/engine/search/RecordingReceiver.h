#pragma once
// A result receiver for tests: keeps every item, message and end-of-search call, and can
// run an action after the n-th result (to stop a search or change the tree mid-walk).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "records/Data_FileItem.h"
#include "records/ISearchResultReciever.h"

class RecordingReceiver : public ISearchResultReciever {
public:
    std::vector<std::unique_ptr<Data_FileItem>> items;
    std::vector<std::string> messages;
    std::vector<bool> updateFlags;
    int finishedCalls = 0;
    int groupCalls = 0;
    // Called after each result with the number of results so far.
    std::function<void(size_t)> afterResult;

    void addIndexedResult(uint32_t, Search_CachePathSearcher*) override {}
    void addResult(const Search_Rule&, std::unique_ptr<Data_FileItem> item, bool updateNow) override {
        items.push_back(std::move(item));
        updateFlags.push_back(updateNow);
        if (afterResult)
            afterResult(items.size());
    }
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) override {
        ++groupCalls;
        for (auto& item : group)
            items.push_back(std::move(item));
        group.clear();
    }
    void searchFinished(uint32_t, const Search_Rule&) override { ++finishedCalls; }
    void showMessage(std::unique_ptr<std::string> message) override { messages.push_back(*message); }

    // Full paths of the results (folder + name), in report order.
    std::vector<std::string> paths() const {
        std::vector<std::string> out;
        for (const auto& item : items)
            out.push_back(item->m_strPath + item->getFileName());
        return out;
    }
};
