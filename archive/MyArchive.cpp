#include "archive/MyArchive.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/ArchiveExtractCallback.h"
#include "archive/ArchiveOpenCallback.h"
#include "archive/FormatHandlerTable.h"
#include "archive/InFileStream.h"
#include "archive/PropVariant.h"
#include "archive/SafeMemberName.h"

namespace crateview {

namespace {
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrUnixExtension = 0x8000;

// Multi-threaded codecs would call back from their own threads; one thread keeps every call
// on the caller's.
void keepOnCallingThread(IInArchive* archive) {
    ComPtr<ISetProperties> setter;
    if (archive->QueryInterface(ISetProperties::iid, reinterpret_cast<void**>(setter.receive())) != S_OK || !setter)
        return;
    const wchar_t* names[] = {L"mt"};
    PROPVARIANT value{};
    value.vt = VT_UI4;
    value.ulVal = 1;
    setter->SetProperties(names, &value, 1);   // a handler that does not know "mt" says so; fine
}

bool endsWithIgnoreCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char a = text[text.size() - tail.size() + i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a + 32);
        if (a != tail[i])
            return false;
    }
    return true;
}

std::string temporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

// An unnamed file in the temporary folder that disappears with its last descriptor.
int unnamedTemporaryFile() {
    const std::string folder = temporaryFolder();
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    std::string pattern = folder + "/.~qdtar-XXXXXX";
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(pattern.c_str());
    return fd;
}
}  // namespace

ComPtr<IInArchive> MyArchive::openStream(const FormatHandlerInfo& format, IInStream* stream) {
    ComPtr<IInArchive> archive;
    if (!format.createObject ||
        format.createObject(&format.classId, &IInArchive::iid, reinterpret_cast<void**>(archive.receive())) != S_OK ||
        !archive)
        return {};
    keepOnCallingThread(archive.get());
    ComPtr<ArchiveOpenCallback> callback(new ArchiveOpenCallback());
    if (archive->Open(stream, nullptr, callback.get()) != S_OK) {
        archive->Close();
        return {};
    }
    return archive;
}

std::unique_ptr<MyArchive> MyArchive::open(const std::string& path, const FormatHandlerInfo& format,
                                           size_t pairIndex) {
    std::unique_ptr<MyArchive> self(new MyArchive());
    self->m_strPath = path;
    self->m_library = format.library;
    InFileStream* raw = InFileStream::open(path);
    if (!raw)
        return nullptr;
    ComPtr<InFileStream> stream(raw);
    self->m_archive = openStream(format, stream.get());
    if (!self->m_archive)
        return nullptr;
    if (self->m_archive->GetNumberOfItems(&self->m_count) != S_OK) {
        self->m_archive->Close();
        return nullptr;
    }
    // A compressor around a tar: show the tar's members, as the name promises.
    const bool tarInside = (pairIndex < format.extensions.size() && format.extensions[pairIndex].second == ".tar") ||
                           endsWithIgnoreCase(SafeMemberName::defaultNameFor(path), ".tar");
    if (tarInside && self->m_count == 1)
        self->openInnerTar();
    return self;
}

bool MyArchive::openInnerTar() {
    const FormatHandlerInfo* tar = FormatHandlerTable::findByExtension("tar");
    if (!tar || !tar->library)
        return false;
    const int fd = unnamedTemporaryFile();
    if (fd < 0)
        return false;
    ComPtr<InFileStream> innerStream(new InFileStream(fd));   // owns fd from here
    ComPtr<ArchiveExtractCallback> callback(
        ArchiveExtractCallback::toDescriptor(m_archive.get(), *m_library, 0, fd, m_count));
    const uint32_t first = 0;
    if (m_archive->Extract(&first, 1, 0, callback.get()) != S_OK || !callback->allWantedDone())
        return false;
    ComPtr<IInArchive> inner = openStream(*tar, innerStream.get());
    uint32_t count = 0;
    if (!inner || inner->GetNumberOfItems(&count) != S_OK) {
        if (inner)
            inner->Close();
        return false;
    }
    m_archive->Close();
    m_archive = inner;
    m_count = count;
    m_library = tar->library;
    return true;
}

MyArchive::~MyArchive() {
    if (m_archive)
        m_archive->Close();
    m_archive.reset();   // before the library that holds its code
    m_library.reset();
}

int MyArchive::getItemCount() { return m_count > INT32_MAX ? INT32_MAX : static_cast<int>(m_count); }

IMyArchiveItem* MyArchive::getItem(unsigned index) {
    if (index >= m_count)
        return nullptr;
    m_current = index;
    return this;
}

bool MyArchive::extract(std::vector<bool> wanted, const std::string& folder, IExtractProgress* progress,
                        const std::atomic<bool>* cancel) {
    if (folder.empty())
        return false;
    std::string dest = folder;
    while (dest.size() > 1 && dest.back() == '/')
        dest.pop_back();
    // Make sure the destination exists, with its missing parents.
    for (size_t pos = 1; pos <= dest.size(); ++pos) {
        if (pos == dest.size() || dest[pos] == '/') {
            const std::string part = dest.substr(0, pos);
            if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
                return false;
        }
    }
    struct stat st {};
    if (::stat(dest.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;

    std::vector<uint32_t> indices;
    const bool all = std::find(wanted.begin(), wanted.end(), false) == wanted.end();
    if (!all) {
        for (uint32_t i = 0; i < wanted.size(); ++i)
            if (wanted[i])
                indices.push_back(i);   // ascending: solid archives need the sorted order
        if (indices.empty())
            return true;
    }
    ComPtr<ArchiveExtractCallback> callback(new ArchiveExtractCallback(
        m_archive.get(), *m_library, dest, SafeMemberName::defaultNameFor(m_strPath), std::move(wanted), progress,
        cancel));
    const HRESULT hr = all ? m_archive->Extract(nullptr, UINT32_MAX, 0, callback.get())
                           : m_archive->Extract(indices.data(), static_cast<uint32_t>(indices.size()), 0,
                                                callback.get());
    callback->abandonCurrent();
    return hr == S_OK && !callback->cancelled() && callback->allWantedDone();
}

bool MyArchive::extractItems(const unsigned* indices, int count, const std::string& folder,
                             IExtractProgress* progress, const std::atomic<bool>* cancel) {
    if (count < 0 || (count > 0 && !indices))
        return false;
    std::vector<bool> wanted(m_count, false);
    for (int i = 0; i < count; ++i) {
        if (indices[i] >= m_count)
            return false;
        wanted[indices[i]] = true;
    }
    if (count == 0)
        return true;
    return extract(std::move(wanted), folder, progress, cancel);
}

bool MyArchive::extractItem(unsigned index, const std::string& folder, IExtractProgress* progress,
                            const std::atomic<bool>* cancel) {
    if (index >= m_count)
        return false;
    return extractItems(&index, 1, folder, progress, cancel);
}

bool MyArchive::extractAll(const std::string& folder, IExtractProgress* progress, const std::atomic<bool>* cancel) {
    return extract(std::vector<bool>(m_count, true), folder, progress, cancel);
}

uint32_t MyArchive::getAttributes() {
    PropVariant v(*m_library);
    if (m_archive->GetProperty(m_current, kpidAttrib, v.out()) == S_OK && !v.isEmpty()) {
        if (auto a = v.asUInt())
            return static_cast<uint32_t>(*a);
    }
    // Formats that keep only a POSIX mode (tar): present it the way the handler does for
    // archives made on this platform.
    if (m_archive->GetProperty(m_current, kpidPosixAttrib, v.out()) == S_OK) {
        if (auto m = v.asUInt()) {
            const uint32_t mode = static_cast<uint32_t>(*m) & 0xFFFF;
            uint32_t attrib = (mode << 16) | kAttrUnixExtension;
            if (S_ISDIR(mode))
                attrib |= kAttrDirectory;
            if ((mode & 0222) == 0)
                attrib |= kAttrReadOnly;
            return attrib;
        }
    }
    return 0;
}

void MyArchive::getPath(std::string& path) {
    path.clear();
    PropVariant v(*m_library);
    if (m_archive->GetProperty(m_current, kpidPath, v.out()) == S_OK) {
        if (auto s = v.asString())
            path = std::move(*s);
    }
}

uint64_t MyArchive::getSize() {
    PropVariant v(*m_library);
    if (m_archive->GetProperty(m_current, kpidSize, v.out()) == S_OK)
        return v.asUInt().value_or(0);
    return 0;
}

bool MyArchive::readTime(PROPID id, ArchiveFileTime& time) {
    time = ArchiveFileTime{};
    PropVariant v(*m_library);
    if (m_archive->GetProperty(m_current, id, v.out()) != S_OK || v.value().vt != VT_FILETIME)
        return false;
    const HandlerFileTime& ft = v.value().filetime;
    const uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    if (ticks == 0)
        return false;   // zip's "not recorded"
    time.ticks = ticks;
    time.precision = v.value().wReserved1;
    time.nanoRemainder = v.value().wReserved2;
    return true;
}

bool MyArchive::getCreationTime(ArchiveFileTime& time) { return readTime(kpidCTime, time); }
bool MyArchive::getLastWriteTime(ArchiveFileTime& time) { return readTime(kpidMTime, time); }
bool MyArchive::getLastAccessTime(ArchiveFileTime& time) { return readTime(kpidATime, time); }

bool MyArchive::isFolder() {
    PropVariant v(*m_library);
    if (m_archive->GetProperty(m_current, kpidIsDir, v.out()) == S_OK)
        return v.asBool().value_or(false);
    return false;
}

}  // namespace crateview
