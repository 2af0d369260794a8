// PDF documents through the real converter: a document written by the test, converted text
// scanned for text terms, raw bytes for hexadecimal ones and for files that are no PDF,
// converter failures, no temporary files, a stop request ending a running conversion.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <future>
#include <fstream>
#include <sys/stat.h>
#include <thread>

#include "content/CT_PDF.h"
#include "content/ContentTermBuilder.h"
#include "content/Search_CT.h"
#include "records/Data_FileItem.h"
#include "platform/Event.h"
#include "records/Search_Rule.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"
#include "support/TestPaths.h"

namespace {

std::string makePdf(const std::string& text) { return TestPdf::document(text); }

std::vector<std::string> tempTextFiles() {
    std::vector<std::string> names;
    const char* tmp = std::getenv("TMPDIR");
    if (DIR* d = ::opendir(tmp && *tmp ? tmp : "/tmp")) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name).rfind("~qdtmp", 0) == 0)
                names.push_back(e->d_name);
        ::closedir(d);
    }
    return names;
}

class ScopedPath {
public:
    explicit ScopedPath(const std::string& path) : m_old(std::getenv("PATH") ? std::getenv("PATH") : "") {
        ::setenv("PATH", path.c_str(), 1);
    }
    ~ScopedPath() { ::setenv("PATH", m_old.c_str(), 1); }

private:
    std::string m_old;
};

class ContentPdf : public ::testing::Test {
protected:
    void SetUp() override {
        ct.setStopEvent(&stop);
        // Keep our temporary text files apart from other programs' files.
        m_oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
        pdfPath = docs.write("Report.pdf", makePdf("Quarterly zanzibar figures"));
    }
    void TearDown() override {
        if (m_oldTmp.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", m_oldTmp.c_str(), 1);
    }

    bool search(const std::string& fileName, const ContentTermRequest& request, Data_FileItem* out = nullptr) {
        Search_Rule rule;
        EXPECT_TRUE(ContentTermBuilder::addTerms(rule.containText, request).ok);
        Data_FileItem item;
        item.setFileName(fileName);
        item.m_strPath = docs.path() + "/";
        const bool found = ct.searchContainText(item, rule);
        if (out)
            *out = item;
        return found;
    }

    TempDir docs, tmp;
    Event stop;   // the content searcher's stop event
    Search_CT ct;
    std::string pdfPath;
    std::string m_oldTmp;
};

TEST_F(ContentPdf, ConverterExtractsTheTestDocument) {
    std::string out;
    ASSERT_EQ(TestPaths::runProgram("pdftotext", {"-raw", pdfPath, "-"}, &out), 0);
    EXPECT_NE(out.find("Quarterly zanzibar figures"), std::string::npos) << out;
}

TEST_F(ContentPdf, TextTermSearchesConvertedTextAndRemovesTemporaryFile) {
    Data_FileItem item;
    EXPECT_TRUE(search("Report.pdf", {"ZANZIBAR"}, &item));
    ASSERT_EQ(item.m_vecSnippets.size(), 1u);
    EXPECT_EQ(item.m_vecSnippets[0]->before, "Quarterly ");
    EXPECT_EQ(item.m_vecSnippets[0]->match, "zanzibar");
    EXPECT_TRUE(tempTextFiles().empty());
    // Words of the raw file structure are not in the converted text.
    EXPECT_FALSE(search("Report.pdf", {"Catalog"}));
    EXPECT_TRUE(tempTextFiles().empty());
}

TEST_F(ContentPdf, UpperCaseExtensionSelectsPdfSearcher) {
    docs.write("LOUD.PDF", makePdf("Quarterly zanzibar figures"));
    EXPECT_TRUE(search("LOUD.PDF", {"zanzibar"}));
}

TEST_F(ContentPdf, HexFirstTermScansRawBytes) {
    ContentTermRequest hex;
    hex.text = "2F 43 61 74 61 6C 6F 67";   // "/Catalog"
    hex.isHex = true;
    EXPECT_TRUE(search("Report.pdf", hex));
    EXPECT_TRUE(tempTextFiles().empty());
}

TEST_F(ContentPdf, ConverterThatCannotStartScansRawBytes) {
    if (CT_PDF::converterProgram() != "pdftotext")
        GTEST_SKIP() << "a converter is installed in the program folder";
    ScopedPath noConverter(tmp.mkdir("empty-bin"));
    EXPECT_TRUE(search("Report.pdf", {"Catalog"}));
    EXPECT_FALSE(search("Report.pdf", {"zanzibar"}));
    EXPECT_TRUE(tempTextFiles().empty());
}

TEST_F(ContentPdf, CorruptDocumentDoesNotMatchAndLeavesNoFile) {
    docs.write("broken.pdf", "%PDF-1.4\nthis is no document zanzibar\n");
    EXPECT_FALSE(search("broken.pdf", {"zanzibar"}));
    EXPECT_TRUE(tempTextFiles().empty());
}

// Two documents open at once each keep their own converted text.
TEST_F(ContentPdf, TwoConversionsKeepTheirOwnText) {
    docs.write("other.pdf", makePdf("Entirely different words"));
    CT_PDF first, second;
    ASSERT_TRUE(first.open(pdfPath, false));
    ASSERT_TRUE(second.open(docs / "other.pdf", false));
    EXPECT_TRUE(first.isConverted());
    EXPECT_TRUE(second.isConverted());
    Search_Rule zanzibar, different;
    ASSERT_TRUE(ContentTermBuilder::addTerms(zanzibar.containText, {"zanzibar"}).ok);
    ASSERT_TRUE(ContentTermBuilder::addTerms(different.containText, {"different"}).ok);
    EXPECT_TRUE(first.scanTerms(zanzibar));
    EXPECT_FALSE(second.scanTerms(zanzibar));
    first.close();
    ASSERT_TRUE(second.open(docs / "other.pdf", false));
    EXPECT_TRUE(second.scanTerms(different));
    EXPECT_TRUE(tempTextFiles().empty());
}

TEST_F(ContentPdf, StopRequestEndsRunningConversion) {
    if (CT_PDF::converterProgram() != "pdftotext")
        GTEST_SKIP() << "a converter is installed in the program folder";
    // A converter that never finishes on its own and tells us its process id.
    const std::string bin = tmp.mkdir("slow-bin");
    const std::string pidFile = tmp / "converter.pid";
    tmp.write("slow-bin/pdftotext",
              "#!/bin/sh\nPATH=/usr/bin:/bin\necho $$ > '" + pidFile + "'\nexec sleep 600\n");
    ASSERT_EQ(::chmod((bin + "/pdftotext").c_str(), 0755), 0);
    ScopedPath slow(bin);
    // The shell creates the file before it writes the number: wait for the number.
    const auto writtenPid = [&pidFile] {
        std::ifstream in(pidFile);
        pid_t pid = 0;
        return (in >> pid) ? pid : pid_t(0);
    };
    std::thread stopper([this, &writtenPid] {
        for (int i = 0; i < 2000 && writtenPid() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        stop.set();
    });
    const bool found = search("Report.pdf", {"zanzibar"});
    stopper.join();
    EXPECT_FALSE(found);
    std::ifstream in(pidFile);
    pid_t pid = 0;
    ASSERT_TRUE(in >> pid);
    EXPECT_EQ(::kill(pid, 0), -1);   // killed and reaped
    EXPECT_EQ(errno, ESRCH);
    EXPECT_TRUE(tempTextFiles().empty());
}

// Runs `search` on a thread of its own and fails when it has not returned after a generous
// bound; then `unblock` is called so that the thread can still be joined.
bool finishesInTime(const std::function<bool()>& search, const std::function<void()>& unblock) {
    std::promise<bool> done;
    std::future<bool> result = done.get_future();
    std::thread worker([&] { done.set_value(search()); });
    const bool inTime = result.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    if (!inTime) {
        ADD_FAILURE() << "the search did not return";
        unblock();
    }
    worker.join();
    return result.get();
}

// A FIFO that only carries the extension: the converter would block opening it for ever.
TEST_F(ContentPdf, FifoNamedPdfDoesNotHangRegression) {
    const std::string fifo = docs / "x.pdf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (bool isNot : {false, true}) {
        ContentTermRequest request{"zanzibar"};
        request.isNot = isNot;
        const bool found = finishesInTime([&] { return search("x.pdf", request); },
                                          [&] {
                                              stop.set();
                                              const int w = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
                                              if (w >= 0)
                                                  ::close(w);
                                          });
        EXPECT_FALSE(found) << "NOT " << isNot;   // no regular file: matches neither way
    }
}

enum class Doc { RealPdf, PlainText, CorruptPdf, Utf16Text, SignatureTooLate, SignatureAfterJunk };

struct PdfCase {
    const char* label;
    Doc doc;
    ContentTermRequest request;
    bool expected;
};

std::string utf16le(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string documentBytes(Doc doc) {
    switch (doc) {
    case Doc::RealPdf: return makePdf("Quarterly zanzibar figures");
    case Doc::PlainText: return "plain secretword\n";
    case Doc::CorruptPdf: return "%PDF-1.4\n\x01\x02 garbage secretword garbage\n";
    case Doc::Utf16Text: return "\xFF\xFE" + utf16le("plain secretword\n");
    case Doc::SignatureTooLate: return std::string(CT_PDF::SIGNATURE_WINDOW, 'x') + "%PDF-1.4 secretword\n";
    case Doc::SignatureAfterJunk: return std::string(100, '\n') + makePdf("Quarterly zanzibar figures");
    }
    return {};
}

ContentTermRequest term(const char* text, bool isNot = false, bool wholeWord = false,
                        int encoding = ContentTermRequest::ENC_ANSI) {
    ContentTermRequest r{text};
    r.isNot = isNot;
    r.isWholeWord = wholeWord;
    r.encoding = encoding;
    return r;
}

class PdfOrNot : public ContentPdf, public ::testing::WithParamInterface<PdfCase> {};

// A file is converted only when it carries the signature; a document the converter cannot
// read matches neither a term nor its negation.
TEST_P(PdfOrNot, PlainTextNamedPdfIsSearchedAsItIsRegression) {
    docs.write("notes.pdf", documentBytes(GetParam().doc));
    EXPECT_EQ(search("notes.pdf", GetParam().request), GetParam().expected);
    EXPECT_TRUE(tempTextFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PdfOrNot,
    ::testing::Values(
        PdfCase{"RealPdfText", Doc::RealPdf, term("zanzibar"), true},
        PdfCase{"RealPdfNotText", Doc::RealPdf, term("zanzibar", true), false},
        PdfCase{"RealPdfRawWordAbsent", Doc::RealPdf, term("Catalog"), false},
        PdfCase{"RealPdfNotRawWord", Doc::RealPdf, term("Catalog", true), true},
        PdfCase{"RealPdfWholeWord", Doc::RealPdf, term("zanzibar", false, true), true},
        PdfCase{"RealPdfPartOfWord", Doc::RealPdf, term("zanzi", false, true), false},
        PdfCase{"PlainText", Doc::PlainText, term("secretword"), true},
        PdfCase{"PlainTextNot", Doc::PlainText, term("secretword", true), false},
        PdfCase{"PlainTextNotAbsent", Doc::PlainText, term("elsewhere", true), true},
        PdfCase{"PlainTextWholeWord", Doc::PlainText, term("secretword", false, true), true},
        PdfCase{"CorruptPdf", Doc::CorruptPdf, term("secretword"), false},
        PdfCase{"CorruptPdfNot", Doc::CorruptPdf, term("secretword", true), false},
        PdfCase{"CorruptPdfNotAbsent", Doc::CorruptPdf, term("elsewhere", true), false},
        PdfCase{"Utf16Text", Doc::Utf16Text, term("secretword", false, false, ContentTermRequest::ENC_UTF16), true},
        PdfCase{"Utf16TextNot", Doc::Utf16Text, term("secretword", true, false, ContentTermRequest::ENC_UTF16),
                false},
        PdfCase{"SignatureTooLate", Doc::SignatureTooLate, term("secretword"), true},
        PdfCase{"SignatureAfterJunk", Doc::SignatureAfterJunk, term("zanzibar"), true},
        PdfCase{"SignatureAfterJunkRaw", Doc::SignatureAfterJunk, term("Catalog"), false}),
    [](const ::testing::TestParamInfo<PdfCase>& info) { return std::string(info.param.label); });

// Converter stand-ins that print the term and then fail: their text is not believed.
TEST_F(ContentPdf, ConverterThatFailsMatchesNeitherWayRegression) {
    if (CT_PDF::converterProgram() != "pdftotext")
        GTEST_SKIP() << "a converter is installed in the program folder";
    const std::string bin = tmp.mkdir("failing-bin");
    ScopedPath failing(bin);
    for (const char* ending : {"exit 3", "kill -KILL $$"}) {
        tmp.write("failing-bin/pdftotext", std::string("#!/bin/sh\necho zanzibar\n") + ending + "\n");
        ASSERT_EQ(::chmod((bin + "/pdftotext").c_str(), 0755), 0);
        EXPECT_FALSE(search("Report.pdf", term("zanzibar"))) << ending;
        EXPECT_FALSE(search("Report.pdf", term("zanzibar", true))) << ending;
        EXPECT_FALSE(search("Report.pdf", term("elsewhere", true))) << ending;
    }
}

// A converter that prints more than the kept text and never ends: the search still returns,
// with the first part of the text searched and the rest not.
TEST_F(ContentPdf, TextBeyondTheBoundIsNotSearched) {
    if (CT_PDF::converterProgram() != "pdftotext")
        GTEST_SKIP() << "a converter is installed in the program folder";
    const std::string bin = tmp.mkdir("endless-bin");
    tmp.write("endless-bin/pdftotext",
              "#!/bin/sh\nPATH=/usr/bin:/bin\necho zanzibar\nhead -c " + std::to_string(CT_PDF::MAX_TEXT_BYTES) +
                  " /dev/zero\necho secretword\nexec sleep 600\n");
    ASSERT_EQ(::chmod((bin + "/pdftotext").c_str(), 0755), 0);
    ScopedPath endless(bin);
    const auto unblock = [this] { stop.set(); };
    EXPECT_TRUE(finishesInTime([&] { return search("Report.pdf", term("zanzibar")); }, unblock));
    EXPECT_FALSE(finishesInTime([&] { return search("Report.pdf", term("secretword")); }, unblock));
}

TEST(Search_CT, ExistingExtensionKeepsItsSearcher) {
    class Probe : public Search_CT {
    public:
        using Search_CT::getSearcher;
    };
    Probe ct;
    ct.registerType("PDF", Search_CT::factoryByClassName("CT_Hex"));
    Data_FileItem item;
    item.setFileName("x.Pdf");
    EXPECT_NE(dynamic_cast<CT_PDF*>(ct.getSearcher(item).get()), nullptr);
    item.setFileName("x.txt");
    EXPECT_EQ(dynamic_cast<CT_PDF*>(ct.getSearcher(item).get()), nullptr);
    ct.registerType("TXT", Search_CT::factoryByClassName("CT_PDF"));
    EXPECT_NE(dynamic_cast<CT_PDF*>(ct.getSearcher(item).get()), nullptr);
    EXPECT_EQ(Search_CT::factoryByClassName("CT_Root"), nullptr);
}

}  // namespace
