// Quick search with name patterns whose extension part has dots: the cache keeps names split
// at their last dot, and the search divides them again for the pattern, with the same
// results as the disk walk. Caches are built by the real indexer, archives by 7z.
#include <gtest/gtest.h>

#include "IndexTestSupport.h"
#include "archive/CExtractMgr.h"
#include "search/NameLinePreparer.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

using namespace IndexTest;

namespace {

const char* const kNames[] = {"archive.tar.gz", "my.report.pdf", "report.pdf", "plain.gz",
                              "tar.gz",         "data.tar.xz",   "old.mytar.gz", "x.tar"};

struct QuickCase {
    const char* label;
    const char* line;
    std::set<std::string> expected;   // names below the root
};

class MultiDotQuickSearchRegression : public ::testing::TestWithParam<QuickCase> {
protected:
    void SetUp() override {
        Tool_Resource::setIndexCachePath(cache.path());
        Search_Man::s_hStopSearchEvent.reset();
    }

    std::set<std::string> search(bool quick, bool archives) {
        Search_Rule rule;
        NameLinePreparer::prepare(GetParam().line, false, rule);
        rule.folders = {tree.path()};
        rule.iTargetOption = 0;
        rule.bQuickSearch = quick;
        rule.bAutoNormalSearch = !quick;   // quick: only what the cache answers
        rule.bSearchInCompressed = archives;
        Search_Man man;
        man.addIndexedFilePathName(tree.path());
        man.initSearcher({tree.path()});
        PathCollector c;
        man.search(rule, &c);
        return c.unique();
    }
    static std::set<std::string> namesOf(const std::set<std::string>& paths) {
        std::set<std::string> out;
        for (const auto& p : paths)
            out.insert(p.substr(p.rfind('/') + 1));
        return out;
    }
    std::set<std::string> expectedBelow(const std::string& folder) const {
        std::set<std::string> out;
        for (const auto& name : GetParam().expected)
            out.insert(folder + "/" + name);
        return out;
    }
    TempDir cache, tree;
};

TEST_P(MultiDotQuickSearchRegression, CacheAnswersLikeTheDiskWalk) {
    for (const char* name : kNames)
        tree.write(std::string("d/") + name, "x");
    indexRoots({tree.path()});
    ASSERT_EQ(cachedPaths(tree.path()).size(), std::size(kNames) + 1);   // the names and "d"
    const std::set<std::string> quick = search(true, false);
    EXPECT_EQ(quick, expectedBelow(tree / "d"));
    EXPECT_EQ(search(false, false), quick);
}

TEST_P(MultiDotQuickSearchRegression, IndexedArchiveMembers) {
    CExtractMgr::init();
    if (CExtractMgr::getHandlerLibraryFor("zip").empty() || TestPaths::runProgram("7z", {"i"}) != 0) {
        CExtractMgr::uninit();
        GTEST_SKIP() << "no 7-Zip program or handler library installed";
    }
    TempDir stage;
    for (const char* name : kNames)
        stage.write(name, "x");
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram("7z", {"a", "-tzip", tree / "pack.zip", stage / "*"}, &out, &err), 0) << err;
    indexRoots({tree.path()}, {}, {}, true);
    // Members read back from a cache name the archive apart from their folder, so only
    // the names are compared with the walk's.
    const std::set<std::string> quick = namesOf(search(true, true));
    const std::set<std::string> walked = search(false, true);
    CExtractMgr::uninit();
    EXPECT_EQ(quick, GetParam().expected);
    EXPECT_EQ(walked, expectedBelow(tree / "pack.zip"));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MultiDotQuickSearchRegression,
    ::testing::Values(QuickCase{"ExactName", "archive.tar.gz", {"archive.tar.gz"}},
                      QuickCase{"StarTarGz", "*.tar.gz", {"archive.tar.gz", "old.mytar.gz"}},
                      QuickCase{"ThreePartName", "my.report.pdf", {"my.report.pdf"}},
                      QuickCase{"StarTarStar", "*.tar.*", {"archive.tar.gz", "data.tar.xz", "old.mytar.gz"}},
                      QuickCase{"QuotedName", "\"archive.tar.gz\"", {"archive.tar.gz"}},
                      QuickCase{"TitleTermWithDottedExtension", "arch*.tar.gz", {"archive.tar.gz"}},
                      QuickCase{"OneDotAsBefore", "*.gz", {"archive.tar.gz", "plain.gz", "tar.gz", "old.mytar.gz"}}),
    [](const ::testing::TestParamInfo<QuickCase>& info) { return std::string(info.param.label); });

}  // namespace
