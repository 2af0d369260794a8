// Folders whose paths pass PATH_MAX: 25 nested folders of 200-byte names. The walk reaches
// them, reads their entries' metadata and content, lists archives there, and a search in
// the results (which has no folder descriptor) reads the files by their long names.
#include <gtest/gtest.h>

#include <climits>

#include "RecordingReceiver.h"
#include "archive/CExtractMgr.h"
#include "content/ContentTermBuilder.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "support/DeepTree.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace {

class DeepFolderRegression : public ::testing::Test {
protected:
    void SetUp() override {
        Search_Man::s_hStopSearchEvent.reset();
        ASSERT_GE(deep.path().size(), size_t(PATH_MAX));
        deep.write("deep.txt", "the needle is here");
    }
    std::unique_ptr<Search_Rule> rule(const std::string& line) const {
        auto r = std::make_unique<Search_Rule>();
        NameLinePreparer::prepare(line, false, *r);
        r->folders.push_back(tmp.path());
        return r;
    }
    static void addText(Search_Rule& r, const std::string& text) {
        ContentTermRequest request;
        request.text = text;
        ASSERT_TRUE(ContentTermBuilder::addTerms(r.containText, request).ok);
    }
    std::vector<std::string> run(const Search_Rule& r) {
        Search_Man searcher;
        receiver = RecordingReceiver();
        searcher.search(r, &receiver);
        return receiver.paths();
    }

    TempDir tmp;
    DeepTree deep{tmp.path(), 25, 200};
    RecordingReceiver receiver;
};

TEST_F(DeepFolderRegression, WalkFindsTheFileAtTheBottom) {
    EXPECT_EQ(run(*rule("deep.txt")), std::vector<std::string>{deep.path() + "/deep.txt"});
    // Every folder on the way is reported too.
    auto folders = rule("level");
    folders->iTargetOption = 1;
    EXPECT_EQ(run(*folders).size(), 25u);
}

TEST_F(DeepFolderRegression, EntriesThereAreStatted) {
    auto r = rule("deep.txt");
    r->bLargerOn = 1;   // a size condition makes the walk read metadata before testing
    r->fLargerSize = 18;
    r->wLargerUnit = 0;
    ASSERT_EQ(run(*r).size(), 1u);
    EXPECT_EQ(receiver.items[0]->m_nSize, 18);
    EXPECT_NE(receiver.items[0]->m_ftLastWrite.toU64(), 0u);
    r->fLargerSize = 19;
    EXPECT_TRUE(run(*r).empty());
}

TEST_F(DeepFolderRegression, ContentIsSearchedThere) {
    auto r = rule("*.txt");
    addText(*r, "needle");
    EXPECT_EQ(run(*r), std::vector<std::string>{deep.path() + "/deep.txt"});
    ASSERT_EQ(receiver.items[0]->m_vecSnippets.size(), 1u);
    EXPECT_EQ(receiver.items[0]->m_vecSnippets[0]->match, "needle");
}

TEST_F(DeepFolderRegression, SearchInResultsReadsTheLongName) {
    auto first = rule("deep.txt");
    ASSERT_EQ(run(*first).size(), 1u);
    auto again = rule("deep.txt");
    again->folders.clear();
    addText(*again, "needle");
    again->previousResults = std::move(receiver.items);
    EXPECT_EQ(run(*again), std::vector<std::string>{deep.path() + "/deep.txt"});
}

TEST_F(DeepFolderRegression, ArchiveThereIsListed) {
    CExtractMgr::init();
    if (CExtractMgr::getHandlerLibraryFor("zip").empty() || TestPaths::runProgram("7z", {"i"}) != 0) {
        CExtractMgr::uninit();
        GTEST_SKIP() << "no 7-Zip program or handler library installed";
    }
    TempDir stage;
    stage.write("inner/member.txt", "x");
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram("7z", {"a", "-tzip", stage / "pack.zip", stage / "inner"}, &out, &err), 0) << err;
    deep.moveInto(stage / "pack.zip", "pack.zip");
    auto r = rule("member.txt");
    r->bSearchInCompressed = 1;
    const auto paths = run(*r);
    CExtractMgr::uninit();
    EXPECT_EQ(paths, std::vector<std::string>{deep.path() + "/pack.zip/inner/member.txt"});
}

}  // namespace
