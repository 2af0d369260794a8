#include "cli/QdResultPrinter.h"

#include "cli/QdFdWriter.h"
#include "cli/QdTerminalText.h"
#include "cli/QdUnreadableReporter.h"
#include "index/Search_CachePathSearcher.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"
#include "search/Search_Man.h"

namespace {
constexpr size_t kBufferLimit = 1 << 16;

// Excerpts are shown on one line each: line breaks and tabs inside them become spaces.
std::string oneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\n' || c == '\r' || c == '\t' || c == '\0')
            c = ' ';
    return out;
}
}  // namespace

QdResultPrinter::QdResultPrinter(int fd, const Format& format, bool flushEachResult)
    : m_fd(fd), m_format(format), m_flushEach(flushEachResult) {
    m_buffer.reserve(kBufferLimit + 4096);
}

QdResultPrinter::~QdResultPrinter() { flush(); }

std::string QdResultPrinter::attributeLetters(uint32_t attributes) {
    std::string letters = "-----";
    if (attributes & Data_FileItem::ATTR_DIRECTORY)
        letters[0] = 'd';
    if (attributes & Data_FileItem::ATTR_HIDDEN)
        letters[1] = 'h';
    if (attributes & Data_FileItem::ATTR_READONLY)
        letters[2] = 'r';
    if (attributes & Data_FileItem::ATTR_SYSTEM)
        letters[3] = 's';
    if (attributes & Data_FileItem::ATTR_REPARSE_POINT)
        letters[4] = 'l';
    return letters;
}

std::string QdResultPrinter::formatTime(uint64_t localTicks) {
    const LocalDateTime t = FileTimeConvert::toLocalDateTime(FILETIME::fromU64(localTicks));
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::string QdResultPrinter::formatItem(Data_FileItem& item, const Format& format) {
    // An archive member prints as its folder (archive path, '/', inner folder) plus name.
    std::string path = item.m_strPath;
    path += item.getFileName();
    if (format.escapeControls)
        path = QdTerminalText::escapeControls(path);
    if (!format.longFormat)
        return path;
    std::string record = std::to_string(item.m_nSize);
    record += '\t';
    record += formatTime(item.m_ftLastWrite.toU64());
    record += '\t';
    record += attributeLetters(item.m_dwAttributes);
    record += '\t';
    record += path;
    return record;
}

void QdResultPrinter::append(const std::string& text) {
    if (m_failed)
        return;
    m_buffer += text;
    if (m_buffer.size() >= kBufferLimit)
        flush();
}

void QdResultPrinter::endRecord() {
    if (m_failed)
        return;
    m_buffer += m_format.nulSeparated ? '\0' : '\n';
    if (m_buffer.size() >= kBufferLimit)
        flush();
}

bool QdResultPrinter::flush() {
    if (!m_failed && !m_buffer.empty() && !QdFdWriter::writeAll(m_fd, m_buffer)) {
        // The reader went away: stop searching for results nobody reads.
        m_failed = true;
        Search_Man::s_hStopSearchEvent.set();
    }
    m_buffer.clear();
    return !m_failed;
}

void QdResultPrinter::printItem(Data_FileItem& item) {
    ++m_count;
    if (m_format.countOnly)
        return;
    append(formatItem(item, m_format));
    endRecord();
    if (m_format.snippets) {
        for (const auto& snippet : item.m_vecSnippets) {
            if (!snippet || (snippet->before.empty() && snippet->match.empty() && snippet->after.empty()))
                continue;
            std::string excerpt =
                oneLine(snippet->before) + "[" + oneLine(snippet->match) + "]" + oneLine(snippet->after);
            if (m_format.escapeControls)
                excerpt = QdTerminalText::escapeControls(excerpt);
            append("\t" + excerpt);
            endRecord();
        }
    }
    if (m_flushEach)
        flush();
}

void QdResultPrinter::addIndexedResult(uint32_t position, Search_CachePathSearcher* searcher) {
    Data_FileItem item;
    if (!searcher || !searcher->readFileInfo(position, item))
        return;   // a damaged record: nothing to print
    if (item.m_bInArchive) {   // the member form: <archive>/<folder inside the archive>
        item.m_strPath += item.m_strArchiveName;
        item.m_strPath += '/';
        item.m_strPath += item.m_strInnerPath;
        item.emptySpeedCache();
    }
    printItem(item);
}

void QdResultPrinter::addResult(const Search_Rule&, std::unique_ptr<Data_FileItem> item, bool) {
    if (item)
        printItem(*item);
}

void QdResultPrinter::addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) {
    for (auto& item : group)
        if (item)
            printItem(*item);
    group.clear();
}

void QdResultPrinter::searchFinished(uint32_t elapsedMilliseconds, const Search_Rule&) {
    m_elapsed = elapsedMilliseconds;
    ++m_finished;
}

void QdResultPrinter::showMessage(std::unique_ptr<std::string>) {}

void QdResultPrinter::entryUnreadable(const std::string& path, int errorNumber) {
    if (m_unreadable)
        m_unreadable->report(path, errorNumber);
}
