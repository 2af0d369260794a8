#pragma once
// Tells the user about folders and files a search could not read, one line each on
// standard error, as find does: "qdsearch: 'PATH': Permission denied".
//
// The same path reported twice in a row (a file tested for two name groups) prints once.
// With fd < 0 nothing is printed (-q). Paths are escaped for a terminal when `escape`.
// Called on the search thread; not thread-safe.
#include <string>

class QdUnreadableReporter {
public:
    QdUnreadableReporter(int fd, bool escape) : m_fd(fd), m_escape(escape) {}

    void report(const std::string& path, int errorNumber);
    unsigned reported() const { return m_reported; }

    // The line for one entry, with its newline.
    static std::string line(const std::string& path, int errorNumber, bool escape);

private:
    int m_fd;
    bool m_escape;
    std::string m_last;
    unsigned m_reported = 0;
};
