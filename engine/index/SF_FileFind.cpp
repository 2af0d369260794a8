#include "index/SF_FileFind.h"

#include <atomic>
#include <mutex>
#include <sys/stat.h>

#include "platform/FileTimeConvert.h"
#include "search/Data_FileItem.h"

namespace {
std::string withoutTrailingSlash(const std::string& folder) {
    std::string f = folder;
    while (!f.empty() && f.back() == '/')
        f.pop_back();
    return f;   // "/" becomes "", which is how entries of the root name their folder
}

// Zone offsets change only at transitions, which fall on quarter hours; a bucket whose
// start and end have the same offset has that offset throughout (two transitions within
// 15 minutes do not occur).
struct OffsetBucket {
    int64_t bucket = INT64_MIN;
    long offset = 0;
};
constexpr int64_t kBucketSeconds = 900;
thread_local OffsetBucket t_buckets[64];
}  // namespace

FILETIME SF_FileFind::localTimeOf(const timespec& utc) {
    const int64_t sec = utc.tv_sec;
    // Outside comfortable bounds (or a denormal timespec) the exact conversion decides.
    if (utc.tv_nsec < 0 || utc.tv_nsec >= 1'000'000'000 || sec < -FileTimeConvert::kSecondsFrom1601To1970 + 2 * 86400 ||
        sec > (int64_t(1) << 40))
        return FileTimeConvert::fromTimespec(utc);
    const int64_t bucket = sec >= 0 ? sec / kBucketSeconds : -((-sec + kBucketSeconds - 1) / kBucketSeconds);
    OffsetBucket& slot = t_buckets[static_cast<uint64_t>(bucket) % 64];
    long offset;
    if (slot.bucket == bucket) {
        offset = slot.offset;
    } else {
        const int64_t start = bucket * kBucketSeconds;
        offset = FileTimeConvert::utcOffsetAt(static_cast<std::time_t>(start));
        if (FileTimeConvert::utcOffsetAt(static_cast<std::time_t>(start + kBucketSeconds - 1)) != offset)
            return FileTimeConvert::fromTimespec(utc);
        slot.bucket = bucket;
        slot.offset = offset;
    }
    const int64_t local1601 = sec + offset + FileTimeConvert::kSecondsFrom1601To1970;
    if (local1601 < 0)
        return FILETIME{};
    return FILETIME::fromU64(static_cast<uint64_t>(local1601) * FileTimeConvert::kTicksPerSecond +
                             static_cast<uint64_t>(utc.tv_nsec / 100));
}

bool SF_FileFind::findFile(const std::string& folder) {
    m_folder = withoutTrailingSlash(folder);
    return m_enum.open(m_folder.empty() ? std::string("/") : m_folder) && noteFolderDevice();
}

bool SF_FileFind::noteFolderDevice() {
    struct stat st{};
    if (::fstat(m_enum.fd(), &st) != 0) {
        m_enum.close();
        return false;
    }
    m_folderDev = st.st_dev;
    return true;
}

bool SF_FileFind::findChild(const SF_FileFind& parent, std::string_view name, const std::string& folder) {
    m_folder = withoutTrailingSlash(folder);
    return m_enum.openChild(parent.m_enum, name) && noteFolderDevice();
}

void SF_FileFind::close() { m_enum.close(); }

bool SF_FileFind::findNextFile() {
    while (m_enum.next()) {
        if (!m_enum.stat(m_stat))
            continue;   // vanished (or cannot be asked) since the folder was read
        m_attributes = DirEnumerator::attributesOf(m_stat, m_enum.name());
        m_realLength = DirEnumerator::walkSizeOf(m_stat);
        m_creation = localTimeOf(m_stat.creation);
        m_lastAccess = localTimeOf(m_stat.lastAccess);
        m_lastWrite = localTimeOf(m_stat.lastWrite);
        m_lengthOverride = -1;
        return true;
    }
    return false;
}

std::string_view SF_FileFind::getFileTitle() const {
    const std::string_view name = m_enum.name();
    const size_t dot = Data_FileItem::extensionDot(name);
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string_view SF_FileFind::getFileExt() const {
    const std::string_view name = m_enum.name();
    const size_t dot = Data_FileItem::extensionDot(name);
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

std::string SF_FileFind::getFilePath() const {
    std::string path = m_folder;
    path += '/';
    path += m_enum.name();
    return path;
}
