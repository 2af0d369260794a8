#include "index/IndexGeneration.h"

#include <fstream>
#include <iterator>
#include <sys/random.h>
#include <unistd.h>
#include <sys/stat.h>

#include "platform/AtomicFileWriter.h"
#include "platform/MemoryMap.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr char kMagic[4] = {'Q', 'D', 'G', 'N'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kMaxColumns = 64;   // a sane bound for a damaged count

void putU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putU64(std::string& out, uint64_t v) {
    putU32(out, static_cast<uint32_t>(v));
    putU32(out, static_cast<uint32_t>(v >> 32));
}

struct Reader {
    std::string_view bytes;
    size_t at = 0;
    bool u32(uint32_t& v) {
        if (bytes.size() - at < 4)
            return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
        at += 4;
        return true;
    }
    bool u64(uint64_t& v) {
        uint32_t lo, hi;
        if (!u32(lo) || !u32(hi))
            return false;
        v = (uint64_t(hi) << 32) | lo;
        return true;
    }
    bool str(std::string& s) {
        if (at >= bytes.size())
            return false;
        const size_t n = static_cast<uint8_t>(bytes[at++]);
        if (bytes.size() - at < n)
            return false;
        s.assign(bytes.substr(at, n));
        at += n;
        return true;
    }
};

bool sameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

uint64_t randomId() {
    uint64_t id = 0;
    if (::getrandom(&id, sizeof id, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof id)) {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        id = (static_cast<uint64_t>(ts.tv_sec) << 30) ^ static_cast<uint64_t>(ts.tv_nsec) ^
             (static_cast<uint64_t>(::getpid()) << 48);
    }
    return id;
}
}  // namespace

IndexGeneration IndexGeneration::fresh(uint32_t entries) {
    IndexGeneration g;
    g.m_id = randomId();
    g.m_entries = entries;
    return g;
}

std::string IndexGeneration::fileName(const std::string& root, int stage) {
    return Tool_Resource::getIndexCachePath() + "gn" + Tool_Resource::convertToIndexFileName(root, stage);
}

bool IndexGeneration::addColumn(const std::string& tag, const std::string& path, uint32_t crc, uint64_t bytes) {
    struct stat st{};
    if (tag.size() > 255 || ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<uint64_t>(st.st_size) != bytes)
        return false;
    Column c;
    c.tag = tag;
    c.size = bytes;
    c.inode = static_cast<uint64_t>(st.st_ino);
    c.modified = st.st_mtim;
    c.crc = crc;
    m_columns.push_back(std::move(c));
    return true;
}

std::string IndexGeneration::serialize() const {
    std::string out(kMagic, sizeof kMagic);
    putU32(out, kVersion);
    putU64(out, m_id);
    putU32(out, m_entries);
    putU32(out, static_cast<uint32_t>(m_columns.size()));
    for (const Column& c : m_columns) {
        out += static_cast<char>(c.tag.size());
        out += c.tag;
        putU64(out, c.size);
        putU64(out, c.inode);
        putU64(out, static_cast<uint64_t>(c.modified.tv_sec));
        putU32(out, static_cast<uint32_t>(c.modified.tv_nsec));
        putU32(out, c.crc);
    }
    putU32(out, Tool_Resource::checkCRC32(reinterpret_cast<const uint8_t*>(out.data()), out.size()));
    return out;
}

bool IndexGeneration::parse(std::string_view bytes) {
    *this = IndexGeneration();
    if (bytes.size() < 4 + 4 + 8 + 4 + 4 + 4 || bytes.substr(0, 4) != std::string_view(kMagic, 4))
        return false;
    const std::string_view body = bytes.substr(0, bytes.size() - 4);
    Reader tail{bytes, bytes.size() - 4};
    uint32_t stored;
    if (!tail.u32(stored) ||
        stored != Tool_Resource::checkCRC32(reinterpret_cast<const uint8_t*>(body.data()), body.size()))
        return false;
    Reader r{body, 4};
    uint32_t version, count;
    IndexGeneration g;
    if (!r.u32(version) || version != kVersion || !r.u64(g.m_id) || !r.u32(g.m_entries) || !r.u32(count) ||
        count > kMaxColumns)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        Column c;
        uint64_t seconds;
        uint32_t nanoseconds;
        if (!r.str(c.tag) || !r.u64(c.size) || !r.u64(c.inode) || !r.u64(seconds) || !r.u32(nanoseconds) ||
            !r.u32(c.crc))
            return false;
        c.modified.tv_sec = static_cast<time_t>(seconds);
        c.modified.tv_nsec = static_cast<long>(nanoseconds);
        g.m_columns.push_back(std::move(c));
    }
    if (r.at != body.size())
        return false;
    *this = std::move(g);
    return true;
}

bool IndexGeneration::write(const std::string& root, int stage) const {
    AtomicFileWriter writer;
    return writer.open(fileName(root, stage)) && writer.write(serialize()) && writer.commit();
}

bool IndexGeneration::read(const std::string& root, int stage) {
    std::ifstream in(fileName(root, stage), std::ios::binary);
    if (!in) {
        *this = IndexGeneration();
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return !in.bad() && parse(bytes);
}

const IndexGeneration::Column* IndexGeneration::column(const std::string& tag) const {
    for (const Column& c : m_columns)
        if (c.tag == tag)
            return &c;
    return nullptr;
}

bool IndexGeneration::describes(const std::string& tag, const MemoryMap& map) const {
    const Column* c = column(tag);
    if (!c || !map.isOpen() || map.size() != c->size)
        return false;
    if (map.inode() == c->inode && sameTime(map.modified(), c->modified))
        return true;
    return Tool_Resource::checkCRC32(map.data(), map.size()) == c->crc;
}

bool IndexGeneration::describesFile(const std::string& tag, const std::string& path) const {
    const Column* c = column(tag);
    struct stat st{};
    if (!c || ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) != c->size)
        return false;
    if (static_cast<uint64_t>(st.st_ino) == c->inode && sameTime(st.st_mtim, c->modified))
        return true;
    uint32_t crc;
    return Tool_Resource::checkFileCRC32(path, crc) && crc == c->crc;
}
