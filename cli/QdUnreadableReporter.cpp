#include "cli/QdUnreadableReporter.h"

#include <cstring>

#include "cli/QdFdWriter.h"
#include "cli/QdTerminalText.h"

std::string QdUnreadableReporter::line(const std::string& path, int errorNumber, bool escape) {
    char buffer[256];
    // The GNU strerror_r returns its text, which need not be in `buffer`.
    const char* reason = ::strerror_r(errorNumber, buffer, sizeof buffer);
    return "qdsearch: '" + (escape ? QdTerminalText::escapeControls(path) : path) + "': " + reason + "\n";
}

void QdUnreadableReporter::report(const std::string& path, int errorNumber) {
    if (m_fd < 0 || path == m_last)
        return;
    m_last = path;
    ++m_reported;
    QdFdWriter::writeAll(m_fd, line(path, errorNumber, m_escape));
}
