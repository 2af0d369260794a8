// ResultFile: writing and reading the rows of a result list.
#include "shell/ResultFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/AtomicFileWriter.h"
#include "platform/CArchive.h"
#include "records/Data_FileItem.h"
#include "shell/IResultListAccess.h"

namespace {

// Records are gathered in a buffer of about this size and written in one piece.
constexpr size_t kWriteChunk = 1 << 20;

template <typename ItemAt>
bool saveRows(const std::string& path, size_t count, ItemAt itemAt)
{
    if (count > UINT32_MAX) {
        errno = EFBIG;
        return false;
    }
    AtomicFileWriter writer;
    if (!writer.open(path, AtomicFileWriter::Links::Follow))
        return false;
    std::vector<uint8_t> buffer;
    buffer.reserve(kWriteChunk + 4096);
    CArchive ar(buffer);
    ar.writeU32(uint32_t(count));
    for (size_t i = 0; i < count; ++i) {
        itemAt(i).serializeAsResult(ar);
        if (buffer.size() >= kWriteChunk) {
            if (!writer.write(buffer.data(), buffer.size()))
                return false;
            buffer.clear();
        }
    }
    return writer.write(buffer.data(), buffer.size()) && writer.commit();
}

}  // namespace

bool ResultFile::save(const std::string& path, IResultListAccess& list)
{
    return saveRows(path, size_t(list.rowCount()), [&list](size_t i) -> Data_FileItem& { return list.itemAt(int(i)); });
}

bool ResultFile::save(const std::string& path, const std::vector<Data_FileItem*>& items)
{
    return saveRows(path, items.size(), [&items](size_t i) -> Data_FileItem& { return *items[i]; });
}

bool ResultFile::parse(const uint8_t* data, size_t size, std::vector<std::unique_ptr<Data_FileItem>>& out)
{
    out.clear();
    CArchive ar(data, size);
    const uint32_t count = ar.readU32();
    if (!ar.ok() || count > ar.remaining() / kMinRecordBytes)
        return false;
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto item = std::make_unique<Data_FileItem>();
        if (!item->serializeAsResult(ar) || !ar.ok())
            return false;
        items.push_back(std::move(item));
    }
    if (ar.remaining() != 0)
        return false;  // the file ends after the last record; more bytes mean it is not one
    out = std::move(items);
    return true;
}

bool ResultFile::load(const std::string& path, std::vector<std::unique_ptr<Data_FileItem>>& out)
{
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    std::vector<uint8_t> bytes;
    bytes.resize(size_t(st.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    ::close(fd);
    if (done != bytes.size())
        return false;  // shrank while read, or a read error
    return parse(bytes.data(), bytes.size(), out);
}
