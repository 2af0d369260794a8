#include "cli/QdDuplicatePrinter.h"

#include <cerrno>
#include <unistd.h>

#include "cli/QdFdWriter.h"
#include "cli/QdTerminalText.h"
#include "cli/QdUnreadableReporter.h"
#include "records/Data_FileItem.h"
#include "search/Search_Man.h"

namespace {
constexpr size_t kBufferLimit = 1 << 16;

}  // namespace

QdDuplicatePrinter::QdDuplicatePrinter(int outFd, const QdResultPrinter::Format& format, bool flushEachGroup,
                                       int progressFd, QdUnreadableReporter* unreadable)
    : m_fd(outFd), m_format(format), m_flushEach(flushEachGroup), m_progressFd(progressFd), m_unreadable(unreadable) {}

QdDuplicatePrinter::~QdDuplicatePrinter() { finish(); }

std::string QdDuplicatePrinter::formatMember(Data_FileItem& item, const QdResultPrinter::Format& format) {
    const std::string record = QdResultPrinter::formatItem(item, format);
    if (!format.longFormat)
        return record;
    return std::to_string(item.m_nDupGroup) + "\t" + record;
}

void QdDuplicatePrinter::addIndexedResult(uint32_t, Search_CachePathSearcher*) {}
void QdDuplicatePrinter::addResult(const Search_Rule&, std::unique_ptr<Data_FileItem>, bool) {}
void QdDuplicatePrinter::searchFinished(uint32_t, const Search_Rule&) {}

void QdDuplicatePrinter::addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) {
    ++m_groups;
    m_items += group.size();
    if (m_failed || m_format.countOnly)
        return;
    const char terminator = m_format.nulSeparated ? '\0' : '\n';
    for (auto& item : group) {
        if (!item)
            continue;
        m_buffer += formatMember(*item, m_format);
        m_buffer += terminator;
    }
    m_buffer += terminator;
    if (m_flushEach || m_buffer.size() >= kBufferLimit)
        flush();
}

void QdDuplicatePrinter::showMessage(std::unique_ptr<std::string> message) {
    // The finder reports every step; the terminal gets a line only when its text changes.
    if (m_progressFd < 0 || !message || *message == m_lastProgress)
        return;
    m_lastProgress = *message;
    // A terminal: the text may hold a file name with control characters.
    QdFdWriter::writeAll(m_progressFd, "\r" + QdTerminalText::escapeControls(m_lastProgress) + "\033[K");
}

void QdDuplicatePrinter::entryUnreadable(const std::string& path, int errorNumber) {
    if (!m_unreadable)
        return;
    if (m_progressFd >= 0 && !m_lastProgress.empty()) {
        QdFdWriter::writeAll(m_progressFd, "\r\033[K");
        m_lastProgress.clear();   // the next step draws its line again
    }
    m_unreadable->report(path, errorNumber);
}

bool QdDuplicatePrinter::flush() {
    if (!m_failed && !m_buffer.empty() && !QdFdWriter::writeAll(m_fd, m_buffer)) {
        // The reader went away: stop grouping for output nobody reads.
        m_failed = true;
        Search_Man::s_hStopSearchEvent.set();
    }
    m_buffer.clear();
    return !m_failed;
}

bool QdDuplicatePrinter::finish() {
    if (m_progressFd >= 0 && !m_lastProgress.empty()) {
        QdFdWriter::writeAll(m_progressFd, "\r\033[K");
        m_lastProgress.clear();
    }
    return flush();
}
