#include "content/CT_Root.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CT_Root::~CT_Root() { CT_Root::close(); }

bool CT_Root::open(const std::string& fileName, bool /*firstTermIsHex*/) {
    CT_Root::close();   // only the handle: a converting searcher opens its own text file here
    // Non-blocking, so that a pipe that nobody writes cannot hang the search; it is
    // rejected below anyway.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_hFile = fd;
    m_fileSize = static_cast<uint64_t>(st.st_size);
    return true;
}

void CT_Root::close() {
    if (m_hFile >= 0) {
        ::close(m_hFile);
        m_hFile = -1;
    }
}

ssize_t CT_Root::readBlock(uint8_t* into, size_t length) {
    for (;;) {
        const ssize_t n = ::read(m_hFile, into, length);
        if (n < 0 && errno == EINTR)
            continue;
        return n;
    }
}
