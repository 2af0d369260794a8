#pragma once
// Owns one open file descriptor and closes it when it is destroyed or replaced. Move-only;
// -1 means "owns none" (any negative value given is stored as -1). The result of close()
// is not reported: a descriptor whose data must reach the disk is fsync'ed by its user
// before it goes. Not thread-safe (like the descriptor number it holds).
#include <unistd.h>

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd < 0 ? -1 : fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Gives the descriptor up without closing it; the caller owns it then.
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes the descriptor held (unless it is `fd` itself) and holds `fd` instead.
    void reset(int fd = -1) {
        if (m_fd >= 0 && m_fd != fd)
            ::close(m_fd);
        m_fd = fd < 0 ? -1 : fd;
    }

private:
    int m_fd = -1;
};
