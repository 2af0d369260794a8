#pragma once
// The result receiver of qdsearch: prints every result as the engine reports it.
//
// Output goes to a file descriptor through an internal buffer: flushed after every result
// when `flushEachResult` (a terminal), otherwise when the buffer fills and by flush().
// A failed write (closed pipe) stops the search: the stop event is set and nothing more
// is written. With `escapeControls` (standard output is a terminal) names and excerpts go
// through QdTerminalText::escapeControls; otherwise their bytes are written unchanged.
// Unreadable folders and files go to the reporter set with setUnreadableReporter.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/ISearchResultReciever.h"

class QdUnreadableReporter;

class QdResultPrinter : public ISearchResultReciever {
public:
    struct Format {
        bool nulSeparated = false;   // NUL instead of '\n' after each record
        bool longFormat = false;     // size, last write time, attributes, path (tab-separated)
        bool snippets = false;       // each excerpt of a content match on its own record
        bool countOnly = false;      // print nothing per result
        bool escapeControls = false; // escape control characters in names and excerpts
    };

    QdResultPrinter(int fd, const Format& format, bool flushEachResult);
    ~QdResultPrinter() override;

    void addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher) override;
    void addResult(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item, bool updateNow) override;
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) override;
    void searchFinished(uint32_t elapsedMilliseconds, const Search_Rule& rule) override;
    void showMessage(std::unique_ptr<std::string> message) override;
    bool wantsMessages() const override { return false; }
    void entryUnreadable(const std::string& path, int errorNumber) override;

    // Where unreadable entries are reported (not owned; null: nowhere).
    void setUnreadableReporter(QdUnreadableReporter* reporter) { m_unreadable = reporter; }

    // Writes out what is buffered; false when writing failed (now or before).
    bool flush();

    uint64_t resultCount() const { return m_count; }
    uint32_t elapsedMilliseconds() const { return m_elapsed; }
    unsigned finishedCalls() const { return m_finished; }
    bool writeFailed() const { return m_failed; }

    // The record printed for one item (without the terminator), for the tests.
    static std::string formatItem(Data_FileItem& item, const Format& format);
    // "d", "h", "r", "s", "l" (folder, hidden, read-only, system, link) or '-' each.
    static std::string attributeLetters(uint32_t attributes);
    // "YYYY-MM-DD HH:MM:SS" of a local FILETIME.
    static std::string formatTime(uint64_t localTicks);

private:
    void printItem(Data_FileItem& item);
    void append(const std::string& text);
    void endRecord();

    int m_fd;
    Format m_format;
    bool m_flushEach;
    std::string m_buffer;
    uint64_t m_count = 0;
    uint32_t m_elapsed = 0;
    unsigned m_finished = 0;
    bool m_failed = false;
    QdUnreadableReporter* m_unreadable = nullptr;
};
