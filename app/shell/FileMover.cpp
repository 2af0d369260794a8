// FileMover: renames, or copies then deletes across file systems.
#include "shell/FileMover.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "records/Data_FileItem.h"
#include "shell/FileDeleter.h"
#include "shell/FileRenamer.h"

namespace {

std::string leafOf(const std::string& path)
{
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Bytes of a file or folder tree (plus one per entry, so empty files count), with the
// entry's own status in `top` (errno in `error`, 0 when it could be read).
uint64_t treeBytes(const std::string& path, struct stat* top = nullptr, int* error = nullptr)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (error)
            *error = errno;
        return 1;
    }
    if (top)
        *top = st;
    if (error)
        *error = 0;
    if (!S_ISDIR(st.st_mode))
        return uint64_t(st.st_size) + 1;
    uint64_t sum = 1;
    if (DIR* dir = ::opendir(path.c_str())) {
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                sum += treeBytes(path + "/" + name);
        }
        ::closedir(dir);
    }
    return sum;
}

int writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        data += n;
        size -= size_t(n);
    }
    return 0;
}

}  // namespace

FileMover::FileMover() : FileMover(Hooks{}) {}

FileMover::FileMover(Hooks hooks) : m_hooks(std::move(hooks))
{
    if (!m_hooks.copyFile)
        m_hooks.copyFile = &FileMover::copyRegularFile;
}

std::string FileMover::freeName(const std::string& folder, const std::string& name)
{
    if (!exists(folder + name))
        return name;
    const size_t dot = Data_FileItem::extensionDot(name);
    const std::string title = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    for (unsigned n = 2;; ++n) {
        const std::string candidate = title + " (" + std::to_string(n) + ")" + ext;
        if (!exists(folder + candidate))
            return candidate;
    }
}

int FileMover::copyRegularFile(const std::string& from, const std::string& to,
                               const std::function<bool(uint64_t)>& progress)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0)
        return errno;
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        const int err = errno;
        ::close(in);
        return err;
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return err;
    }
    // A buffer as large as the file (plus one byte to see its end), at most 1 MiB, and
    // not zero-filled: moves of many small files must not pay for a large buffer each.
    const size_t kChunk = size_t(std::min<off_t>(st.st_size, off_t(1) << 20)) + 1;
    auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    uint64_t done = 0;
    int err = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer.get(), kChunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            err = errno;
            break;
        }
        if (n == 0)
            break;
        if ((err = writeAll(out, buffer.get(), size_t(n))) != 0)
            break;
        done += uint64_t(n);
        if (progress && !progress(done)) {
            err = ECANCELED;
            break;
        }
    }
    if (err == 0 && ::fchmod(out, st.st_mode & 07777) != 0)
        err = errno;
    if (err == 0) {
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);  // times are kept where the file system allows it
        if (::fsync(out) != 0)
            err = errno;
    }
    struct stat written {};
    if (err == 0 && (::fstat(out, &written) != 0 || written.st_size != st.st_size))
        err = EIO;  // the copy is not the whole file
    if (::close(out) != 0 && err == 0)
        err = errno;
    ::close(in);
    if (err != 0)
        ::unlink(to.c_str());
    return err;
}

int FileMover::copyTree(const std::string& from, const std::string& to)
{
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0)
        return errno;
    if (S_ISLNK(st.st_mode)) {
        std::string target(size_t(st.st_size) + 1, '\0');
        const ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
        if (n < 0)
            return errno;
        target.resize(size_t(n));
        m_done += 1;
        return ::symlink(target.c_str(), to.c_str()) == 0 ? 0 : errno;
    }
    if (S_ISREG(st.st_mode)) {
        const uint64_t base = m_done;
        const int err = m_hooks.copyFile(from, to, [this, base](uint64_t fileDone) {
            m_done = base + fileDone;
            if (m_hooks.progress && !m_hooks.progress(m_done, m_total))
                m_cancelled = true;
            return !m_cancelled;
        });
        m_done = base + uint64_t(st.st_size) + 1;
        return err;
    }
    if (!S_ISDIR(st.st_mode))
        return ENOTSUP;  // sockets, pipes and devices are not copied
    if (::mkdir(to.c_str(), 0700) != 0)
        return errno;
    m_done += 1;
    DIR* dir = ::opendir(from.c_str());
    if (!dir)
        return errno;
    int err = 0;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        if ((err = copyTree(from + "/" + name, to + "/" + name)) != 0)
            break;
    }
    ::closedir(dir);
    if (err == 0 && ::chmod(to.c_str(), st.st_mode & 07777) != 0)
        err = errno;
    return err;
}

int FileMover::moveOne(const std::string& source, const std::string& target, bool replace)
{
    if (!m_hooks.forceCopy) {
        const int err = replace ? (::rename(source.c_str(), target.c_str()) == 0 ? 0 : errno)
                                : FileRenamer::renameNoReplace(source, target);
        if (err != EXDEV)
            return err;
    }
    // Across file systems: a complete copy under a hidden name first.
    const size_t slash = target.rfind('/');
    const std::string folder = target.substr(0, slash + 1);
    std::string temp;
    for (int n = 0; n < 1000; ++n) {
        temp = folder + ".~qdmove-" + std::to_string(::getpid()) + "-" + std::to_string(n);
        if (!exists(temp))
            break;
    }
    int err = copyTree(source, temp);
    if (err == 0 && m_cancelled)
        err = ECANCELED;
    if (err == 0) {
        err = replace ? (::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno)
                      : FileRenamer::renameNoReplace(temp, target);
    }
    if (err != 0) {
        FileDeleter::removePermanently(temp);
        return err;
    }
    // The copy is complete at its target: now the source may go.
    const int removed = FileDeleter::removePermanently(source);
    return removed == 0 ? 0 : -removed;  // negative: moved, but the source is still there
}

std::vector<FileMover::Outcome> FileMover::move(const std::vector<std::string>& sources, const std::string& folder,
                                                bool autoRename)
{
    using State = Outcome::State;
    std::vector<Outcome> outcomes(sources.size());
    m_done = 0;
    m_total = 0;
    m_cancelled = false;
    std::vector<struct stat> stats(sources.size());
    std::vector<int> statErrors(sources.size());
    for (size_t i = 0; i < sources.size(); ++i)
        m_total += treeBytes(sources[i], &stats[i], &statErrors[i]);
    struct stat folderStat {};
    const bool folderOk = ::stat(folder.c_str(), &folderStat) == 0 && S_ISDIR(folderStat.st_mode);
    bool replaceAll = false;
    for (size_t i = 0; i < sources.size(); ++i) {
        Outcome& out = outcomes[i];
        if (m_cancelled || (m_hooks.progress && !m_hooks.progress(m_done, m_total))) {
            m_cancelled = true;
            out.state = State::Cancelled;
            continue;
        }
        if (!folderOk) {
            out.state = State::Failed;
            out.error = ENOENT;
            continue;
        }
        const std::string& source = sources[i];
        const struct stat& st = stats[i];
        if (statErrors[i] != 0) {
            out.state = State::Failed;
            out.error = statErrors[i];
            continue;
        }
        const std::string name = leafOf(source);
        std::string target = folder + name;
        struct stat there {};
        bool replace = false;
        if (::lstat(target.c_str(), &there) == 0) {
            if (there.st_dev == st.st_dev && there.st_ino == st.st_ino) {
                out.state = State::Skipped;  // already in that folder
                continue;
            }
            if (autoRename) {
                target = folder + freeName(folder, name);
            } else {
                Collision answer = replaceAll ? Collision::Replace
                                   : m_hooks.askCollision ? m_hooks.askCollision(target)
                                                          : Collision::Skip;
                if (answer == Collision::ReplaceAll) {
                    replaceAll = true;
                    answer = Collision::Replace;
                }
                if (answer == Collision::Cancel) {
                    m_cancelled = true;
                    out.state = State::Cancelled;
                    continue;
                }
                if (answer == Collision::Skip) {
                    out.state = State::Skipped;
                    continue;
                }
                replace = true;
            }
        }
        const int err = moveOne(source, target, replace);
        if (err == 0) {
            out.state = State::Moved;
            out.target = target;
        } else if (err == ECANCELED && m_cancelled) {
            out.state = State::Cancelled;
        } else {
            out.state = State::Failed;
            out.error = err < 0 ? -err : err;
            if (err < 0)
                out.target = target;  // complete copy there, source kept
        }
    }
    return outcomes;
}
