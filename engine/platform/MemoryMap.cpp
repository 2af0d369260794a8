#include "platform/MemoryMap.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

MemoryMap::~MemoryMap() { close(); }

MemoryMap::MemoryMap(MemoryMap&& other) noexcept
    : m_data(other.m_data), m_size(other.m_size), m_open(other.m_open), m_inode(other.m_inode),
      m_modified(other.m_modified) {
    other.m_data = nullptr;
    other.m_size = 0;
    other.m_open = false;
    other.m_inode = 0;
    other.m_modified = {};
}

MemoryMap& MemoryMap::operator=(MemoryMap&& other) noexcept {
    if (this != &other) {
        close();
        m_data = other.m_data;
        m_size = other.m_size;
        m_open = other.m_open;
        m_inode = other.m_inode;
        m_modified = other.m_modified;
        other.m_data = nullptr;
        other.m_size = 0;
        other.m_open = false;
        other.m_inode = 0;
        other.m_modified = {};
    }
    return *this;
}

void MemoryMap::close() {
    if (m_data)
        ::munmap(const_cast<uint8_t*>(m_data), m_size);
    m_data = nullptr;
    m_size = 0;
    m_open = false;
    m_inode = 0;
    m_modified = {};
}

bool MemoryMap::open(const std::string& path) {
    close();
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below anyway.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        return false;
    struct stat st{};
    int error = 0;
    if (::fstat(fd.get(), &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (!S_ISREG(st.st_mode))
        error = EINVAL;
    else if (static_cast<uint64_t>(st.st_size) > SIZE_MAX)
        error = EFBIG;
    if (error == 0 && st.st_size > 0) {
        void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd.get(), 0);
        if (p == MAP_FAILED) {
            error = errno;
        } else {
            m_data = static_cast<const uint8_t*>(p);
            m_size = static_cast<size_t>(st.st_size);
        }
    }
    fd.reset();   // the mapping stays valid without the descriptor
    if (error != 0) {
        errno = error;
        return false;
    }
    m_open = true;
    m_inode = static_cast<uint64_t>(st.st_ino);
    m_modified = st.st_mtim;
    return true;
}
