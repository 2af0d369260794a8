#include "content/CT_PDF.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "content/PdfTextCache.h"
#include "platform/PipedChildProcess.h"
#include "tools/Tool_Resource.h"

CT_PDF::~CT_PDF() { CT_PDF::close(); }

std::string CT_PDF::converterProgram() {
    const std::string bundled = Tool_Resource::getMyPath(true) + "XPDF/pdftotext";
    if (::access(bundled.c_str(), X_OK) == 0)
        return bundled;
    return "pdftotext";
}

bool CT_PDF::open(const Location& file, bool firstTermIsHex) {
    CT_PDF::close();
    // Qualified call: the base's open(string) would come back here.
    if (!CT_Root::open(file, firstTermIsHex))
        return false;
    if (firstTermIsHex || !hasPdfSignature())
        return true;
    struct stat before{};
    const bool keyed = m_cache && ::fstat(m_hFile.get(), &before) == 0;
    if (keyed && m_cache->lookup(PdfTextCache::Key::of(before), m_text)) {
        m_converted = true;
        m_fromCache = true;
        m_textPos = 0;
        m_fileSize = m_text.size();
        return true;
    }
    const Conversion outcome = convert(file.fullName);
    if (outcome == Conversion::Done && keyed) {
        // A file written while it was converted may have given a text of neither version.
        struct stat after{};
        if (::fstat(m_hFile.get(), &after) == 0 && PdfTextCache::Key::of(after) == PdfTextCache::Key::of(before))
            m_cache->store(PdfTextCache::Key::of(before), m_text);
    }
    switch (outcome) {
    case Conversion::Done:
    case Conversion::Cut:
        m_converted = true;
        m_textPos = 0;
        m_fileSize = m_text.size();
        return true;
    case Conversion::NotStarted:
        return true;   // the raw bytes, through the descriptor already open
    case Conversion::Failed:
        break;
    }
    CT_PDF::close();
    return false;
}

void CT_PDF::close() {
    CT_Root::close();
    m_converted = false;
    m_fromCache = false;
    m_textPos = 0;
    std::string().swap(m_text);
}

bool CT_PDF::hasPdfSignature() const {
    if (!m_hFile.valid())
        return false;
    char head[SIGNATURE_WINDOW];
    size_t have = 0;
    while (have < sizeof head) {
        const ssize_t n = ::pread(m_hFile.get(), head + have, sizeof head - have, off_t(have));
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            break;
        have += size_t(n);
    }
    static constexpr char kSignature[] = "%PDF-";
    return ::memmem(head, have, kSignature, sizeof kSignature - 1) != nullptr;
}

ssize_t CT_PDF::readBlock(uint8_t* into, size_t length) {
    if (!m_converted)
        return CT_Root::readBlock(into, length);
    const size_t n = std::min(length, m_text.size() - m_textPos);
    std::memcpy(into, m_text.data() + m_textPos, n);
    m_textPos += n;
    return ssize_t(n);
}

CT_PDF::Conversion CT_PDF::convert(const std::string& fullName) {
    const std::string program = PipedChildProcess::findProgram(converterProgram());
    if (program.empty())
        return Conversion::NotStarted;
    // The converter reads the descriptor that was opened and checked as a regular file;
    // handing it the name instead would let the file be swapped (for a FIFO) meanwhile.
    const bool byDescriptor = ::access("/proc/self/fd", X_OK) == 0;
    const std::vector<std::string> args{program, "-raw", byDescriptor ? "/proc/self/fd/3" : fullName, "-"};
    PipedChildProcess converter;
    if (!converter.start(program, args, byDescriptor ? m_hFile.get() : -1))
        return Conversion::NotStarted;
    const Event* stop = stopEvent();
    m_text.clear();
    switch (converter.readOutput(m_text, MAX_TEXT_BYTES, stop)) {
    case PipedChildProcess::ReadResult::End: {
        const int status = converter.wait(stop);
        if (status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
            return Conversion::Done;
        return Conversion::Failed;
    }
    case PipedChildProcess::ReadResult::Full:
        converter.kill();   // the rest of the text is not searched
        return Conversion::Cut;
    case PipedChildProcess::ReadResult::Stopped:
    case PipedChildProcess::ReadResult::Failed:
        break;
    }
    converter.kill();
    return Conversion::Failed;
}
