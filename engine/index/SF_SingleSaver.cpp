#include "index/SF_SingleSaver.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "index/IndexGeneration.h"
#include "tools/Tool_Resource.h"

SF_SingleSaver::~SF_SingleSaver() { SF_SingleSaver::closeRead(); }

std::string SF_SingleSaver::fileName(const std::string& root, int stage) const {
    return Tool_Resource::getIndexCachePath() + tag() + Tool_Resource::convertToIndexFileName(root, stage);
}

bool SF_SingleSaver::rename(const std::string& root, int stage) {
    std::string from, to;
    if (stage == Tool_Resource::INDEX_STAGE_LIVE) {
        from = fileName(root, Tool_Resource::INDEX_STAGE_PENDING);
        to = fileName(root, Tool_Resource::INDEX_STAGE_LIVE);
    } else if (stage == Tool_Resource::INDEX_STAGE_PENDING) {
        from = fileName(root, Tool_Resource::INDEX_STAGE_TEMPORARY);
        to = fileName(root, Tool_Resource::INDEX_STAGE_PENDING);
    } else {
        return false;
    }
    struct stat st{};
    if (::lstat(from.c_str(), &st) != 0)
        return true;   // nothing to move: the target stays as it is
    // rename() replaces the target atomically: a reader sees the old or the new file.
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool SF_SingleSaver::describeWritten(IndexGeneration& generation, const std::string& root) const {
    return m_writer.ok() && generation.addColumn(tag(), fileName(root, Tool_Resource::INDEX_STAGE_TEMPORARY),
                                                 m_writer.crc(), m_writer.bytesWritten());
}

bool SF_SingleSaver::isOfGeneration(const IndexGeneration& generation) const {
    return generation.describes(tag(), m_map);
}

bool SF_SingleSaver::deleteLive(const std::string& root) {
    const std::string name = fileName(root, Tool_Resource::INDEX_STAGE_LIVE);
    return ::unlink(name.c_str()) == 0 || errno == ENOENT;
}

void SF_SingleSaver::discardTemporary(const std::string& root) {
    const std::string name = fileName(root, Tool_Resource::INDEX_STAGE_TEMPORARY);
    ::unlink(name.c_str());
    m_writer.close();
}

bool SF_SingleSaver::isNeeded(const IndexIncludeFolder&, const GroupList&, const Search_Rule&) const { return false; }

bool SF_SingleSaver::openRead(const std::string& root) {
    closeRead();
    // An empty file is refused: a cache without entries answers nothing.
    if (!m_map.open(fileName(root, Tool_Resource::INDEX_STAGE_LIVE)) || m_map.size() == 0) {
        m_map.close();
        return false;
    }
    m_view = m_map.data();
    m_viewSize = m_map.size();
    return true;
}

void SF_SingleSaver::closeRead() {
    m_map.close();
    m_view = nullptr;
    m_viewSize = 0;
}

uint32_t SF_SingleSaver::entryCount() const {
    const uint64_t n = m_viewSize / recordWidth();
    return n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
}

bool SF_SingleSaver::openWrite(const std::string& root) {
    return m_writer.open(fileName(root, Tool_Resource::INDEX_STAGE_TEMPORARY));
}

bool SF_SingleSaver::closeWrite() { return m_writer.close(); }

bool SF_SingleSaver::writeItem(const Data_FileItem&) { return true; }

bool SF_SingleSaver::writeFound(const SF_FileFind&) { return true; }

bool SF_SingleSaver::matches(uint32_t, const FileNameGroup&, const Search_Rule&, const IndexIncludeFolder&) {
    return false;
}

bool SF_SingleSaver::readRecord(uint32_t entry, uint32_t& out) const {
    return readU32At(static_cast<uint64_t>(entry) * 4, out);
}

uint64_t SF_SingleSaver::stringRecordSize(size_t length) {
    if (length < 0xFF)
        return 1 + length;
    if (length < 0xFFFE)
        return 3 + length;
    return 7 + static_cast<uint64_t>(length);
}

bool SF_SingleSaver::parseString(const uint8_t* data, size_t size, uint64_t offset, std::string_view& out) {
    if (offset >= size)
        return false;
    uint64_t at = offset;
    uint64_t length = data[at++];
    if (length == 0xFF) {
        if (size - at < 2)
            return false;
        length = data[at] | (uint64_t(data[at + 1]) << 8);
        at += 2;
        if (length == 0xFFFF) {
            if (size - at < 4)
                return false;
            length = data[at] | (uint64_t(data[at + 1]) << 8) | (uint64_t(data[at + 2]) << 16) |
                     (uint64_t(data[at + 3]) << 24);
            at += 4;
        }
    }
    if (length > size - at)
        return false;
    out = std::string_view(reinterpret_cast<const char*>(data + at), static_cast<size_t>(length));
    return true;
}

bool SF_SingleSaver::writeString(std::string_view s) {
    const size_t n = s.size();
    bool ok;
    if (n < 0xFF) {
        const uint8_t b = static_cast<uint8_t>(n);
        ok = m_writer.write(&b, 1);
    } else if (n < 0xFFFE) {
        const uint8_t b[3] = {0xFF, uint8_t(n), uint8_t(n >> 8)};
        ok = m_writer.write(b, 3);
    } else {
        const uint8_t b[3] = {0xFF, 0xFF, 0xFF};
        ok = m_writer.write(b, 3) && m_writer.writeU32(static_cast<uint32_t>(n));
    }
    return ok && m_writer.write(s.data(), n);
}

bool SF_SingleSaver::readU32At(uint64_t at, uint32_t& out) const {
    if (!m_view || at > m_viewSize || m_viewSize - at < 4)
        return false;
    const uint8_t* p = m_view + at;
    out = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    return true;
}

bool SF_SingleSaver::readU64At(uint64_t at, uint64_t& out) const {
    uint32_t lo, hi;
    if (!readU32At(at, lo) || !readU32At(at + 4, hi))
        return false;
    out = (uint64_t(hi) << 32) | lo;
    return true;
}
