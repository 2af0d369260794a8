#pragma once
// The receiver of qdsearch's duplicates mode: prints each group of duplicates as the finder
// delivers it, and its progress lines on a terminal.
//
// A group prints one record per member (the path, or with the long format the group
// number, a tab and the search's long record) and then an empty record: with '\n'
// terminators an empty line follows each group, with NUL terminators an extra NUL.
// Output is buffered (flushed after each group when `flushEachGroup`); a failed write stops
// the grouping through the stop event and nothing more is written.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/QdResultPrinter.h"
#include "records/ISearchResultReciever.h"

class QdUnreadableReporter;

class QdDuplicatePrinter : public ISearchResultReciever {
public:
    // `progressFd` < 0: no progress lines. Files the grouping could not read go to
    // `unreadable` (not owned, may be null), after the progress line is cleared.
    QdDuplicatePrinter(int outFd, const QdResultPrinter::Format& format, bool flushEachGroup, int progressFd,
                       QdUnreadableReporter* unreadable = nullptr);
    ~QdDuplicatePrinter() override;

    void addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher) override;
    void addResult(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item, bool updateNow) override;
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) override;
    void searchFinished(uint32_t elapsedMilliseconds, const Search_Rule& rule) override;
    void showMessage(std::unique_ptr<std::string> message) override;
    bool wantsMessages() const override { return m_progressFd >= 0; }
    void entryUnreadable(const std::string& path, int errorNumber) override;

    // Writes out what is buffered and clears the progress line; false when writing failed.
    bool finish();

    uint64_t groupCount() const { return m_groups; }
    uint64_t itemCount() const { return m_items; }

    // The record of one group member (without the terminator), for the tests.
    static std::string formatMember(Data_FileItem& item, const QdResultPrinter::Format& format);

private:
    bool flush();

    int m_fd;
    QdResultPrinter::Format m_format;
    bool m_flushEach;
    int m_progressFd;
    QdUnreadableReporter* m_unreadable;
    std::string m_buffer;
    std::string m_lastProgress;
    uint64_t m_groups = 0;
    uint64_t m_items = 0;
    bool m_failed = false;
};
