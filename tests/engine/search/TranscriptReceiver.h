#pragma once
// A result receiver for tests that compare whole reports: every receiver call becomes one
// line, in call order ("R path size=.. attrs=.. mtime=.. [excerpts]", "M message",
// "U path errno", "finished", ...). Two searches reported the same when the lines are equal.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "records/Data_FileItem.h"
#include "records/ISearchResultReciever.h"

// Every receiver call as one line, in call order.
class TranscriptReceiver : public ISearchResultReciever {
public:
    std::vector<std::string> lines;
    size_t results = 0;
    // Called on the search's thread after each result, with the number of results so far.
    std::function<void(size_t)> afterResult;
    bool messages = true;

    void addIndexedResult(uint32_t, Search_CachePathSearcher*) override { lines.push_back("indexed"); }
    void addResult(const Search_Rule&, std::unique_ptr<Data_FileItem> item, bool updateNow) override {
        std::string line = "R " + item->getFullFileName() + " size=" + std::to_string(item->m_nSize) +
                           " attrs=" + std::to_string(item->m_dwAttributes) +
                           " mtime=" + std::to_string(item->m_ftLastWrite.dwLowDateTime) + (updateNow ? " now" : "");
        for (const auto& s : item->m_vecSnippets)
            line += " [" + s->before + "|" + s->match + "|" + s->after + "]";
        lines.push_back(line);
        ++results;
        if (afterResult)
            afterResult(results);
    }
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) override {
        lines.push_back("group " + std::to_string(group.size()));
        group.clear();
    }
    void searchFinished(uint32_t, const Search_Rule&) override { lines.push_back("finished"); }
    void showMessage(std::unique_ptr<std::string> message) override { lines.push_back("M " + *message); }
    bool wantsMessages() const override { return messages; }
    void entryUnreadable(const std::string& path, int errorNumber) override {
        lines.push_back("U " + path + " " + std::to_string(errorNumber));
    }
};
