// Whole-word terms at the edges of a file: the start and the end of the file (of the
// converted text, for PDF documents) are word boundaries, in UTF-8, UTF-16 and PDF text,
// through the real content searcher and the real converter.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TestPdf.h"
#include "content/ContentTermBuilder.h"
#include "content/Search_CT.h"
#include "records/Data_FileItem.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "tools/Tool_Utf16.h"

namespace {

enum class Encoding { Utf8, Utf8Bom, Utf16, Utf16Bom, Pdf };

struct BoundaryCase {
    const char* label;
    Encoding encoding;
    const char* text;   // what the file says, as UTF-8
    bool found;         // whole word "hello" is found
};

std::string fileBytes(Encoding e, const std::string& text) {
    switch (e) {
    case Encoding::Utf8: return text;
    case Encoding::Utf8Bom: return "\xEF\xBB\xBF" + text;
    case Encoding::Utf16: return Tool_Utf16::utf8ToUtf16LE(text);
    case Encoding::Utf16Bom: return "\xFF\xFE" + Tool_Utf16::utf8ToUtf16LE(text);
    case Encoding::Pdf: return TestPdf::document(text);
    }
    return {};
}

class WordAtFileStartRegression : public ::testing::TestWithParam<BoundaryCase> {
protected:
    void SetUp() override {
        Search_Man::s_hStopSearchEvent.reset();
        if (GetParam().encoding == Encoding::Pdf && TestPaths::runProgram("pdftotext", {"-v"}) < 0)
            GTEST_SKIP() << "pdftotext is not installed";
        // PDF conversions leave their text beside our files, not among other programs'.
        m_oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
    }
    void TearDown() override {
        if (m_oldTmp.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", m_oldTmp.c_str(), 1);
    }

    bool search(bool isNot) {
        const BoundaryCase& c = GetParam();
        const bool pdf = c.encoding == Encoding::Pdf;
        const std::string name = pdf ? "doc.pdf" : "doc.txt";
        docs.write(name, fileBytes(c.encoding, c.text));
        ContentTermRequest request;
        request.text = "hello";
        request.isWholeWord = true;
        request.isNot = isNot;
        const bool utf16 = c.encoding == Encoding::Utf16 || c.encoding == Encoding::Utf16Bom;
        request.encoding = utf16 ? ContentTermRequest::ENC_UTF16 : ContentTermRequest::ENC_ANSI;
        Search_Rule rule;
        EXPECT_TRUE(ContentTermBuilder::addTerms(rule.containText, request).ok);
        Data_FileItem item;
        item.setFileName(name);
        item.m_strPath = docs.path() + "/";
        Search_CT ct;
        return ct.searchContainText(item, rule);
    }

    TempDir docs, tmp;
    std::string m_oldTmp;
};

TEST_P(WordAtFileStartRegression, WholeWordAtTheEdges) {
    EXPECT_EQ(search(false), GetParam().found);
    // The NOT form lists exactly the files the plain form does not.
    EXPECT_EQ(search(true), !GetParam().found);
}

std::vector<BoundaryCase> cases() {
    struct Position {
        const char* label;
        const char* text;
        bool found;
    };
    const Position positions[] = {
        {"AtStart", "hello world", true},
        {"WholeFile", "hello", true},
        {"AtStartBeforePunctuation", "hello, world", true},
        {"AtEnd", "say hello", true},
        {"InTheMiddle", "we say hello there", true},
        {"AtStartGluedToAWord", "helloworld", false},
        {"AtEndGluedToAWord", "sayhello", false},
        {"InsideAWord", "ohellow", false},
    };
    const std::pair<const char*, Encoding> encodings[] = {{"Utf8", Encoding::Utf8},
                                                          {"Utf8Bom", Encoding::Utf8Bom},
                                                          {"Utf16", Encoding::Utf16},
                                                          {"Utf16Bom", Encoding::Utf16Bom},
                                                          {"Pdf", Encoding::Pdf}};
    static std::vector<std::string> labels;   // the cases point into it
    labels.clear();
    labels.reserve(std::size(positions) * std::size(encodings));
    std::vector<BoundaryCase> out;
    for (const auto& e : encodings)
        for (const auto& p : positions) {
            labels.push_back(std::string(e.first) + p.label);
            out.push_back({labels.back().c_str(), e.second, p.text, p.found});
        }
    return out;
}

INSTANTIATE_TEST_SUITE_P(EncodingsAndPositions, WordAtFileStartRegression, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<BoundaryCase>& info) {
                             return std::string(info.param.label);
                         });

}  // namespace
