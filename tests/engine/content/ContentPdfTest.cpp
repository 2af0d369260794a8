// PDF documents through the real converter: a document written by the test, converted text
// scanned for text terms, raw bytes for hexadecimal ones, temporary text files removed,
// a stop request ending a running conversion.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <thread>

#include "content/CT_PDF.h"
#include "content/ContentTermBuilder.h"
#include "content/Search_CT.h"
#include "search/Data_FileItem.h"
#include "search/Search_Man.h"
#include "search/Search_Rule.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace {

// A one-page PDF whose text is written as a hexadecimal string, so the words appear in
// the converted text but not in the raw bytes.
std::string makePdf(const std::string& text) {
    std::string hexText;
    char buf[4];
    for (unsigned char c : text) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        hexText += buf;
    }
    const std::string content = "BT /F1 18 Tf 72 700 Td <" + hexText + "> Tj ET\n";
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t off : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

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
        Search_Man::s_hStopSearchEvent.reset();
        // Keep our temporary text files apart from other programs' files.
        m_oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
        pdfPath = docs.write("Report.pdf", makePdf("Quarterly zanzibar figures"));
    }
    void TearDown() override {
        Search_Man::s_hStopSearchEvent.reset();
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

// The design's single fixed text file name lets two searches overwrite each other's text.
TEST_F(ContentPdf, TwoConversionsDoNotShareTheTextFile) {
    docs.write("other.pdf", makePdf("Entirely different words"));
    CT_PDF first, second;
    ASSERT_TRUE(first.open(pdfPath, false));
    ASSERT_TRUE(second.open(docs / "other.pdf", false));
    EXPECT_NE(first.tempFile(), second.tempFile());
    Search_Rule rule;
    ASSERT_TRUE(ContentTermBuilder::addTerms(rule.containText, {"zanzibar"}).ok);
    EXPECT_TRUE(first.scanTerms(rule));
    const std::string firstFile = first.tempFile();
    first.close();
    EXPECT_NE(::access(firstFile.c_str(), F_OK), 0);
    EXPECT_EQ(::access(second.tempFile().c_str(), F_OK), 0);
}

TEST_F(ContentPdf, StopRequestEndsRunningConversion) {
    if (CT_PDF::converterProgram() != "pdftotext")
        GTEST_SKIP() << "a converter is installed in the program folder";
    // A converter that never finishes on its own and tells us its process id.
    const std::string bin = tmp.mkdir("slow-bin");
    const std::string pidFile = tmp / "converter.pid";
    tmp.write("slow-bin/pdftotext", "#!/bin/sh\necho $$ > '" + pidFile + "'\nexec sleep 600\n");
    ASSERT_EQ(::chmod((bin + "/pdftotext").c_str(), 0755), 0);
    ScopedPath slow(bin);
    std::thread stopper([&pidFile] {
        for (int i = 0; i < 2000 && ::access(pidFile.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Search_Man::s_hStopSearchEvent.set();
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
