#pragma once
// The searcher for PDF documents: scans the text that an external converter extracts.
//
// open() first opens the file as CT_Root does, so only a regular file goes on (a FIFO, a
// device or a folder fails there and never reaches the converter). Then:
//  * first term hexadecimal, or no "%PDF-" signature in the file's first SIGNATURE_WINDOW
//    bytes: the file's own bytes are scanned, as for any other file (a text file that
//    merely ends in ".pdf" is searched as what it is);
//  * otherwise the converter runs: XPDF/pdftotext in the program folder when it is there,
//    else pdftotext on PATH, started without a shell as
//    `pdftotext -raw /proc/self/fd/3 -`, the descriptor that was opened and checked above
//    being its descriptor 3 (so it reads exactly that file; where /proc is missing the
//    full name is given instead). Its text is read from a pipe into memory: no file is
//    written, so nothing is left behind however the search ends.
//     - The converter is not there or cannot be started: the raw bytes are scanned.
//     - It ends with a non-zero status or by a signal (it cannot read the document):
//       open() fails, so the document counts like an unreadable file and matches neither
//       a term nor its negation.
//     - A stop request (the searcher's stop event, CT_Root::setStopEvent) kills it within
//       about 50 ms and open() fails.
//     - At most MAX_TEXT_BYTES of text are kept: the converter of a longer text is killed
//       there and that first part of the text is scanned.
//    The converter dies with the thread that runs open() and is reaped before open()
//    returns (see PipedChildProcess).
//  * With a text cache (setTextCache), the document's text is taken from the cache when
//    its entry matches the open file's key, and no converter runs; a complete conversion
//    is stored there when the file's key did not change while it ran. A text cut at
//    MAX_TEXT_BYTES is not stored.
#include <cstddef>
#include <string>

#include "content/CT_Root.h"

class PdfTextCache;

class CT_PDF : public CT_Root {
public:
    // Bytes at the start of a file searched for the "%PDF-" signature.
    static constexpr size_t SIGNATURE_WINDOW = 1024;
    // Converted text kept per document, in bytes.
    static constexpr size_t MAX_TEXT_BYTES = 64u * 1024 * 1024;

    CT_PDF() = default;
    ~CT_PDF() override;

    using CT_Root::open;
    bool open(const Location& file, bool firstTermIsHex) override;
    void close() override;

    // The converter program that open() would start: the program folder's copy when
    // present, else the bare name "pdftotext" (looked up on PATH).
    static std::string converterProgram();

    // True when the open file's first SIGNATURE_WINDOW bytes hold "%PDF-" (read with
    // pread: the file position does not move). False for a file that is not open.
    bool hasPdfSignature() const;

    // True after an open() that scans converted text rather than the file's bytes.
    bool isConverted() const { return m_converted; }
    // True after an open() whose text came from the text cache.
    bool isFromCache() const { return m_fromCache; }

    // The text cache used by later open() calls; not owned, may be null (the default: none).
    void setTextCache(PdfTextCache* cache) { m_cache = cache; }

protected:
    ssize_t readBlock(uint8_t* into, size_t length) override;

private:
    enum class Conversion { Done, Cut, NotStarted, Failed };
    Conversion convert(const std::string& fullName);

    std::string m_text;        // the converted text, when m_converted
    size_t m_textPos = 0;      // next byte of m_text that readBlock hands out
    bool m_converted = false;
    bool m_fromCache = false;
    PdfTextCache* m_cache = nullptr;
};
