#include "archive/ArchiveExtractCallback.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/HandlerLibrary.h"
#include "archive/PropVariant.h"
#include "archive/SafeMemberName.h"

namespace crateview {

namespace {
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrUnixExtension = 0x8000;   // high 16 bits hold st_mode
constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kEpochDifferenceSeconds = 11644473600;

// A fresh name beside the target that no other extraction uses: ".~qd<pid>-<n>.part".
int createAside(const std::string& folder, std::string& path) {
    static std::atomic<uint64_t> s_counter{0};
    const auto seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 32; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".~qd%ld-%llx.part", static_cast<long>(::getpid()),
                      static_cast<unsigned long long>(seed + (s_counter++ * 7919)));
        path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}
}  // namespace

ArchiveExtractCallback::ArchiveExtractCallback(IInArchive* archive, const HandlerLibrary& library,
                                               std::string destination, std::string defaultName,
                                               std::vector<bool> wanted, IExtractProgress* progress,
                                               const std::atomic<bool>* cancel)
    : m_archive(archive), m_library(library), m_destination(std::move(destination)),
      m_defaultName(std::move(defaultName)), m_wanted(std::move(wanted)), m_state(m_wanted.size(), State::Pending),
      m_progress(progress), m_cancel(cancel) {
    while (m_destination.size() > 1 && m_destination.back() == '/')
        m_destination.pop_back();
}

ArchiveExtractCallback* ArchiveExtractCallback::toDescriptor(IInArchive* archive, const HandlerLibrary& library,
                                                             uint32_t index, int fd, uint32_t itemCount) {
    std::vector<bool> wanted(itemCount, false);
    if (index < itemCount)
        wanted[index] = true;
    auto* cb = new ArchiveExtractCallback(archive, library, {}, {}, std::move(wanted), nullptr, nullptr);
    cb->m_targetFd = fd;
    return cb;
}

void ArchiveExtractCallback::report(const std::string& text) {
    if (!m_progress)
        return;
    try {
        m_progress->message(text);
    } catch (...) {
        m_sinkFailed = true;
    }
}

void ArchiveExtractCallback::mark(uint32_t index, State state) {
    if (index < m_state.size() && m_wanted[index])
        m_state[index] = state;
}

bool ArchiveExtractCallback::allWantedDone() const {
    if (m_sinkFailed)
        return false;
    for (size_t i = 0; i < m_wanted.size(); ++i) {
        if (m_wanted[i] && m_state[i] != State::Done)
            return false;
    }
    return true;
}

HRESULT ArchiveExtractCallback::SetTotal(uint64_t total) noexcept {
    if (cancelled())
        return E_ABORT;
    try {
        if (m_progress)
            m_progress->setTotal(total);
    } catch (...) {
        m_sinkFailed = true;
        return E_ABORT;
    }
    return S_OK;
}

HRESULT ArchiveExtractCallback::SetCompleted(const uint64_t* completed) noexcept {
    if (cancelled())
        return E_ABORT;
    try {
        if (m_progress && completed)
            m_progress->setCompleted(*completed);
    } catch (...) {
        m_sinkFailed = true;
        return E_ABORT;
    }
    return S_OK;
}

HRESULT ArchiveExtractCallback::GetStream(uint32_t index, ISequentialOutStream** out, int32_t askMode) noexcept {
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (cancelled())
        return E_ABORT;
    if (askMode != kAskExtract || index >= m_wanted.size() || !m_wanted[index])
        return S_OK;   // test, skip, or a member of a solid block nobody asked for
    try {
        return getStream(index, out);
    } catch (...) {
        abandonCurrent();
        mark(index, State::Failed);
        return E_FAIL;
    }
}

HRESULT ArchiveExtractCallback::getStream(uint32_t index, ISequentialOutStream** out) {
    abandonCurrent();   // a member the handler never finished
    m_current = Current{};
    m_current.index = index;

    if (m_targetFd >= 0) {
        const int fd = ::fcntl(m_targetFd, F_DUPFD_CLOEXEC, 0);
        if (fd < 0) {
            mark(index, State::Failed);
            return S_OK;
        }
        m_current.stream = ComPtr<OutFileStream>(new OutFileStream(fd, nullptr));
        m_current.active = true;
        *out = m_current.stream.get();
        (*out)->AddRef();
        return S_OK;
    }

    PropVariant v(m_library);
    std::string path;
    if (m_archive->GetProperty(index, kpidPath, v.out()) == S_OK) {
        if (auto s = v.asString())
            path = *s;
    }
    bool isDir = false, isAnti = false;
    if (m_archive->GetProperty(index, kpidIsDir, v.out()) == S_OK)
        isDir = v.asBool().value_or(false);
    if (m_archive->GetProperty(index, kpidIsAnti, v.out()) == S_OK)
        isAnti = v.asBool().value_or(false);
    std::optional<uint64_t> position;
    if (m_archive->GetProperty(index, kpidPosition, v.out()) == S_OK)
        position = v.asUInt();

    const std::string name = SafeMemberName::leafName(path, m_defaultName);
    if (m_archive->GetProperty(index, kpidAttrib, v.out()) == S_OK && !v.isEmpty()) {
        if (v.value().vt != VT_UI4) {
            report("incorrect item " + path);
            mark(index, State::Failed);
            return S_OK;
        }
        const uint32_t attrib = v.value().ulVal;
        if (attrib & kAttrUnixExtension) {
            m_current.hasMode = true;
            m_current.mode = attrib >> 16;
        } else {
            m_current.readOnly = (attrib & kAttrReadOnly) != 0;
        }
    } else if (m_archive->GetProperty(index, kpidPosixAttrib, v.out()) == S_OK) {
        if (auto mode = v.asUInt()) {
            m_current.hasMode = true;
            m_current.mode = static_cast<uint32_t>(*mode);
        }
    }
    if (m_archive->GetProperty(index, kpidMTime, v.out()) == S_OK && v.value().vt == VT_FILETIME) {
        const HandlerFileTime& ft = v.value().filetime;
        m_current.mtimeTicks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
        m_current.hasMTime = m_current.mtimeTicks != 0;
    }

    if (isDir) {
        if (!name.empty()) {
            const std::string folder = m_destination + "/" + name;
            if (isAnti) {
                ::rmdir(folder.c_str());
            } else if (::mkdir(folder.c_str(), 0777) != 0) {
                struct stat st {};
                if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
                    report("can not create folder " + folder);
                    mark(index, State::Failed);
                    return S_OK;
                }
            }
        }
        mark(index, State::Done);
        return S_OK;
    }
    if (isAnti) {
        mark(index, State::Done);
        return S_OK;
    }
    if (name.empty()) {
        report("member without a usable name skipped: " + path);
        mark(index, State::Failed);
        return S_OK;
    }

    m_current.name = name;
    m_current.finalPath = m_destination + "/" + name;
    int fd = -1;
    if (position) {
        // A piece of a file split over several members: write it in place at its offset.
        fd = ::open(m_current.finalPath.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 && ::lseek(fd, static_cast<off_t>(*position), SEEK_SET) < 0) {
            ::close(fd);
            fd = -1;
        }
    } else {
        fd = createAside(m_destination, m_current.tempPath);
    }
    if (fd < 0) {
        report("can not open output file " + m_current.finalPath);
        m_current.tempPath.clear();
        mark(index, State::Failed);
        return S_OK;
    }
    m_current.stream = ComPtr<OutFileStream>(new OutFileStream(fd, m_cancel));
    m_current.active = true;
    *out = m_current.stream.get();
    (*out)->AddRef();
    return S_OK;
}

HRESULT ArchiveExtractCallback::PrepareOperation(int32_t askMode) noexcept {
    if (askMode != kAskExtract || !m_current.active || !m_progress || m_current.name.empty())
        return S_OK;
    try {
        m_progress->setCurrentName(m_current.name);
    } catch (...) {
        m_sinkFailed = true;
        return E_ABORT;
    }
    return S_OK;
}

HRESULT ArchiveExtractCallback::SetOperationResult(int32_t result) noexcept {
    try {
        finishCurrent(result);
    } catch (...) {
        abandonCurrent();
        return E_FAIL;
    }
    if (result < kOpOk || result > kOpCrcError)
        return E_FAIL;
    return S_OK;
}

void ArchiveExtractCallback::finishCurrent(int32_t result) {
    if (!m_current.active)
        return;
    OutFileStream& stream = *m_current.stream.get();
    bool ok = result == kOpOk && !stream.failed() && !cancelled() && stream.fd() >= 0;
    if (ok && m_targetFd < 0) {
        const int fd = stream.fd();
        if (m_current.hasMTime) {
            const int64_t ticks = static_cast<int64_t>(m_current.mtimeTicks);
            timespec times[2];
            times[0].tv_sec = 0;
            times[0].tv_nsec = UTIME_OMIT;
            times[1].tv_sec = ticks / kTicksPerSecond - kEpochDifferenceSeconds;
            times[1].tv_nsec = static_cast<long>(ticks % kTicksPerSecond) * 100;
            ::futimens(fd, times);
        }
        if (m_current.hasMode) {
            // Permission bits only (never set-id bits from an archive), and always readable
            // by the user who extracted it.
            ::fchmod(fd, (m_current.mode & 0777) | S_IRUSR);
        } else if (m_current.readOnly) {
            struct stat st {};
            if (::fstat(fd, &st) == 0)
                ::fchmod(fd, st.st_mode & 0555);
        }
    }
    if (!stream.finish())
        ok = false;
    if (ok && !m_current.tempPath.empty() &&
        ::rename(m_current.tempPath.c_str(), m_current.finalPath.c_str()) != 0) {
        report("ERROR: Can not replace output file " + m_current.finalPath);
        ok = false;
    }
    if (!ok && !m_current.tempPath.empty())
        ::unlink(m_current.tempPath.c_str());
    mark(m_current.index, ok ? State::Done : State::Failed);
    m_current = Current{};
}

void ArchiveExtractCallback::abandonCurrent() {
    if (!m_current.active)
        return;
    m_current.stream->finish();
    if (!m_current.tempPath.empty())
        ::unlink(m_current.tempPath.c_str());
    mark(m_current.index, State::Failed);
    m_current = Current{};
}

}  // namespace crateview
