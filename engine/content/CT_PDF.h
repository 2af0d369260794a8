#pragma once
// The searcher for PDF documents: converts the document to plain text with the external
// converter and scans that text.
//
// Converter: XPDF/pdftotext in the program folder when it is there, else pdftotext on
// PATH, started without a shell as `pdftotext -raw <pdf> <text file>`, with no inherited
// descriptors and its standard streams on /dev/null. The text file is a new, uniquely
// named file "~qdtmpXXXXXX.txt" in the temporary folder (so concurrent searches cannot
// overwrite each other's text); close() and the destructor delete it.
//
// open():
//  * first term hexadecimal: the PDF's raw bytes are scanned;
//  * the converter cannot be started (not installed, no temporary file): the raw bytes
//    are scanned;
//  * a stop request while the converter runs kills it and open() fails;
//  * the converter's exit status is not examined: whatever text it left is scanned (none:
//    an empty text, in which no term is found).
#include <string>

#include "content/CT_Root.h"

class CT_PDF : public CT_Root {
public:
    CT_PDF() = default;
    ~CT_PDF() override;

    using CT_Root::open;
    // The converter is given the full name; the raw bytes are opened as the location says.
    bool open(const Location& file, bool firstTermIsHex) override;
    void close() override;

    // The converter program that open() would start: the program folder's copy when
    // present, else the bare name "pdftotext" (looked up on PATH).
    static std::string converterProgram();
    // The temporary text file of the last conversion; empty when none was started.
    const std::string& tempFile() const { return m_strTempFile; }

private:
    enum class Conversion { Done, NotStarted, Stopped };
    Conversion convert(const std::string& pdfFile);
    void removeTempFile();

    std::string m_strTempFile;
};
