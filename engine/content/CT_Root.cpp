#include "content/CT_Root.h"

#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CT_Root::~CT_Root() { CT_Root::close(); }

bool CT_Root::open(const Location& file, bool /*firstTermIsHex*/) {
    CT_Root::close();   // only the handle: a converting searcher opens its own text file here
    uint64_t size = 0;
    const bool inFolder = file.folderFd >= 0 && file.nameInFolder && *file.nameInFolder;
    const int fd = inFolder ? RegularFile::openForReadingAt(file.folderFd, file.nameInFolder, &size)
                            : RegularFile::openForReadingAt(-1, file.fullName, &size);
    if (fd < 0)
        return false;
    m_hFile.reset(fd);
    m_fileSize = size;
    return true;
}

void CT_Root::close() { m_hFile.reset(); }

ssize_t CT_Root::readBlock(uint8_t* into, size_t length) {
    for (;;) {
        const ssize_t n = ::read(m_hFile.get(), into, length);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))   // O_NONBLOCK stays set; regular files ignore it
            continue;
        return n;
    }
}
