#pragma once
// A chain of nested folders whose full paths pass PATH_MAX, for tests of long paths. Built
// and removed through descriptors (mkdirat, openat, unlinkat), because the kernel refuses
// the full paths; std::filesystem cannot remove such a tree either.
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

class DeepTree {
public:
    // `depth` folders below `base`, each name `nameLength` bytes long (level number first).
    DeepTree(const std::string& base, int depth, size_t nameLength) : m_path(base) {
        int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int level = 0; level < depth && fd >= 0; ++level) {
            std::string name = "level" + std::to_string(level) + "-";
            name.resize(nameLength, 'n');
            if (level == 0)
                m_first = name;
            if (::mkdirat(fd, name.c_str(), 0700) != 0) {
                ::close(fd);
                throw std::runtime_error("mkdirat failed at level " + std::to_string(level));
            }
            const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = child;
            m_path += "/" + name;
        }
        if (fd < 0)
            throw std::runtime_error("cannot open a folder of the deep tree");
        m_baseFd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        m_fd = fd;
    }
    ~DeepTree() {
        ::close(m_fd);
        if (m_baseFd >= 0 && !m_first.empty())
            removeAt(m_baseFd, m_first.c_str());
        ::close(m_baseFd);
    }
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;

    // Full path of the deepest folder, no trailing '/'.
    const std::string& path() const { return m_path; }
    // An open descriptor of the deepest folder (owned by the tree).
    int fd() const { return m_fd; }

    // Creates a file with the given bytes in the deepest folder.
    void write(const std::string& name, const std::string& bytes) const {
        const int f = ::openat(m_fd, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (f < 0 || ::write(f, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("cannot write " + name + " in the deep tree");
        ::close(f);
    }
    // Moves a file of a short path into the deepest folder under `name`.
    void moveInto(const std::string& from, const std::string& name) const {
        if (::renameat(AT_FDCWD, from.c_str(), m_fd, name.c_str()) != 0)
            throw std::runtime_error("cannot move " + from + " into the deep tree");
    }

private:
    static void removeAt(int parent, const char* name) {
        const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            if (DIR* d = ::fdopendir(fd)) {
                while (const dirent* e = ::readdir(d)) {
                    const std::string n = e->d_name;
                    if (n == "." || n == "..")
                        continue;
                    if (::unlinkat(::dirfd(d), n.c_str(), 0) != 0)
                        removeAt(::dirfd(d), n.c_str());
                }
                ::closedir(d);
            } else {
                ::close(fd);
            }
        }
        ::unlinkat(parent, name, AT_REMOVEDIR);
    }

    std::string m_path;
    std::string m_first;
    int m_fd = -1;
    int m_baseFd = -1;
};
