// Name patterns whose extension part has dots ("*.tar.gz", "my.report.pdf"): the name is
// divided so that its extension has as many parts as the pattern's, on disk and inside
// archives made by the real 7-Zip program; patterns with one dot keep the usual split.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "RecordingReceiver.h"
#include "archive/CExtractMgr.h"
#include "records/Data_FileItem.h"
#include "tools/FileNameSplit.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace {

// ---- the split itself ----------------------------------------------------------------

struct SplitCase {
    const char* name;
    size_t dots;
    const char* title;
    const char* ext;
};

class FileNameSplitTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(FileNameSplitTable, WholeNameAndStoredPartsAgree) {
    const SplitCase& c = GetParam();
    const std::string name = c.name;
    const size_t dot = FileNameSplit::extensionDot(name, c.dots);
    const std::string title = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    EXPECT_EQ(title, c.title);
    EXPECT_EQ(ext, c.ext);

    // Items and caches hold names split at the last dot; re-dividing those gives the same.
    Data_FileItem item;
    item.setFileName(name);
    std::string_view t = item.m_strTitle, e = item.m_strExt;
    std::string scratch;
    FileNameSplit::forPattern(t, e, c.dots, scratch);
    EXPECT_EQ(std::string(t), c.title);
    EXPECT_EQ(std::string(e), c.ext);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileNameSplitTable,
    ::testing::Values(SplitCase{"archive.tar.gz", 0, "archive.tar", "gz"},
                      SplitCase{"archive.tar.gz", 1, "archive", "tar.gz"},
                      SplitCase{"a.b.c.d", 2, "a", "b.c.d"},
                      SplitCase{"my.report.pdf", 1, "my", "report.pdf"},
                      SplitCase{".tar.gz", 1, "", "tar.gz"},
                      SplitCase{"x..gz", 1, "x", ".gz"},
                      // Too few dots for the pattern: the usual split.
                      SplitCase{"archive.tar.gz", 2, "archive.tar", "gz"},
                      SplitCase{"tar.gz", 1, "tar", "gz"},
                      // No extension by the usual split: none for any pattern.
                      SplitCase{"plain", 1, "plain", ""},
                      SplitCase{"a.tar.gz.", 1, "a.tar.gz.", ""},
                      SplitCase{".profile", 0, "", "profile"}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return "Case" + std::to_string(info.index); });

TEST(FileNameSplit, DotsOfAPattern) {
    EXPECT_EQ(FileNameSplit::dotsIn("*"), 0u);
    EXPECT_EQ(FileNameSplit::dotsIn("*tar.gz*"), 1u);
    EXPECT_EQ(FileNameSplit::dotsIn("*tar.*"), 1u);
    EXPECT_EQ(FileNameSplit::dotsIn("b.c.d"), 2u);
}

// ---- whole searches ------------------------------------------------------------------

const char* const kNames[] = {"archive.tar.gz", "my.report.pdf", "report.pdf", "plain.gz", "tar.gz",
                              "data.tar.xz",    "old.mytar.gz",  "notes.txt",  "x.tar"};

struct LineCase {
    const char* label;
    const char* line;
    bool noOperators;
    std::set<std::string> expected;
};

std::vector<LineCase> lineCases() {
    return {
        {"ExactName", "archive.tar.gz", false, {"archive.tar.gz"}},
        {"StarTarGz", "*.tar.gz", false, {"archive.tar.gz", "old.mytar.gz"}},
        {"ThreePartName", "my.report.pdf", false, {"my.report.pdf"}},
        {"StarTarStar", "*.tar.*", false, {"archive.tar.gz", "data.tar.xz", "old.mytar.gz"}},
        {"QuotedName", "\"archive.tar.gz\"", false, {"archive.tar.gz"}},
        {"QuotedStarTarGz", "\"*.tar.gz\"", false, {"archive.tar.gz"}},
        {"NoOperators", "archive.tar.gz", true, {"archive.tar.gz"}},
        {"NoOperatorsStar", "*.tar.*", true, {"archive.tar.gz", "data.tar.xz", "old.mytar.gz"}},
        {"TwoGroups", "*.tar.gz, my.report.pdf", false, {"archive.tar.gz", "old.mytar.gz", "my.report.pdf"}},
        {"NegatedTermKeepsTheSplit", "*.tar.* -data", false, {"archive.tar.gz", "old.mytar.gz"}},
        // One dot in the pattern: the split at the last dot, exactly as before.
        {"OneDotPdf", "*.pdf", false, {"my.report.pdf", "report.pdf"}},
        {"OneDotGz", "*.gz", false, {"archive.tar.gz", "plain.gz", "tar.gz", "old.mytar.gz"}},
        {"NoDotMatchesTitles", "report", false, {"my.report.pdf", "report.pdf"}},
        {"OneDotTitleKeepsItsDots", "archive.tar", false, {}},
        {"OneDotWholeTitle", "archive.gz", false, {"archive.tar.gz"}},
    };
}

std::set<std::string> names(const RecordingReceiver& receiver) {
    std::set<std::string> out;
    for (const auto& item : receiver.items)
        out.insert(const_cast<Data_FileItem&>(*item).getFileName());
    return out;
}

class MultiDotPatternRegression : public ::testing::TestWithParam<LineCase> {
protected:
    void SetUp() override { Search_Man::s_hStopSearchEvent.reset(); }

    std::unique_ptr<Search_Rule> rule(const std::string& folder) const {
        auto r = std::make_unique<Search_Rule>();
        r->bDisableBooleanOpt = GetParam().noOperators;
        NameLinePreparer::prepare(GetParam().line, GetParam().noOperators, *r);
        r->folders.push_back(folder);
        r->iTargetOption = 0;
        return r;
    }
    TempDir tmp;
};

TEST_P(MultiDotPatternRegression, DiskWalk) {
    for (const char* name : kNames)
        tmp.write(std::string("d/") + name, "x");
    Search_Man searcher;
    RecordingReceiver receiver;
    searcher.search(*rule(tmp / "d"), &receiver);
    EXPECT_EQ(names(receiver), GetParam().expected);
}

TEST_P(MultiDotPatternRegression, SearchInResults) {
    std::vector<std::unique_ptr<Data_FileItem>> previous;
    for (const char* name : kNames) {
        auto item = std::make_unique<Data_FileItem>();
        item->setFileName(name);
        item->m_strPath = "/nowhere/";
        previous.push_back(std::move(item));
    }
    auto r = rule("");
    r->folders.clear();
    r->previousResults = std::move(previous);
    Search_Man searcher;
    RecordingReceiver receiver;
    searcher.search(*r, &receiver);
    EXPECT_EQ(names(receiver), GetParam().expected);
}

TEST_P(MultiDotPatternRegression, MembersOfAnArchiveMadeBy7z) {
    CExtractMgr::init();
    if (CExtractMgr::getHandlerLibraryFor("zip").empty() || TestPaths::runProgram("7z", {"i"}) != 0) {
        CExtractMgr::uninit();
        GTEST_SKIP() << "no 7-Zip program or handler library installed";
    }
    for (const char* name : kNames)
        tmp.write(std::string("stage/inner/") + name, "x");
    tmp.mkdir("w");
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram("7z", {"a", "-tzip", tmp / "w/pack.zip", tmp / "stage/*"}, &out, &err), 0) << err;
    Search_Man searcher;
    RecordingReceiver receiver;
    auto r = rule(tmp / "w");
    r->bSearchInCompressed = 1;
    searcher.search(*r, &receiver);
    CExtractMgr::uninit();
    std::set<std::string> found;
    for (const auto& item : receiver.items) {
        if (!item->m_bInArchive)
            continue;
        EXPECT_EQ(item->m_strPath, tmp / "w/pack.zip/inner/");
        found.insert(item->getFileName());
    }
    EXPECT_EQ(found, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, MultiDotPatternRegression, ::testing::ValuesIn(lineCases()),
                         [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.label); });

}  // namespace
