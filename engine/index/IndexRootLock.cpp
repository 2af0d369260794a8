#include "index/IndexRootLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

#include "tools/Tool_Resource.h"

std::string IndexRootLock::fileName(const std::string& root) {
    return Tool_Resource::getIndexCachePath() + "lk" + Tool_Resource::encodeIndexRoot(root);
}

bool IndexRootLock::acquire(const std::string& root) {
    release();
    UniqueFd fd(::open(fileName(root).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid())
        return false;
    int rc;
    while ((rc = ::flock(fd.get(), LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (rc != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        fd.reset();
        errno = error;
        return false;
    }
    m_fd = std::move(fd);
    m_encodedRoot = Tool_Resource::encodeIndexRoot(root);
    return true;
}

bool IndexRootLock::holds(const std::string& root) const {
    return m_fd.valid() && m_encodedRoot == Tool_Resource::encodeIndexRoot(root);
}

void IndexRootLock::release() {
    m_fd.reset();
    m_encodedRoot.clear();
}
