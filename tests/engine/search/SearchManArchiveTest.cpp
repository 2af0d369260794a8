// Archives met during a walk, listed through the real 7-Zip handler library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

#include "RecordingReceiver.h"
#include "archive/CExtractMgr.h"
#include "content/ContentTermBuilder.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "support/Unprivileged.h"

namespace {

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

class SearchArchives : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CExtractMgr::init(); }
    static void TearDownTestSuite() { CExtractMgr::uninit(); }
    void SetUp() override {
        Search_Man::s_hStopSearchEvent.reset();
        if (CExtractMgr::getHandlerLibraryFor("zip").empty())
            GTEST_SKIP() << "no 7-Zip handler library installed";
    }
    void TearDown() override { Search_Man::s_hStopSearchEvent.reset(); }

    // A zip archive with the given members (name -> bytes), written by python3's zipfile.
    void makeZip(const std::string& relative, const std::vector<std::pair<std::string, std::string>>& members) {
        std::string script = "import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1],'w')\n";
        for (size_t i = 0; i < members.size(); ++i)
            script += "z.writestr(sys.argv[" + std::to_string(2 + 2 * i) + "], sys.argv[" +
                      std::to_string(3 + 2 * i) + "])\n";
        script += "z.close()\n";
        const std::string scriptFile = tmp.write(".make_zip.py", script);
        tmp.mkdir(relative.find('/') == std::string::npos ? "." : relative.substr(0, relative.rfind('/')));
        std::vector<std::string> args{scriptFile, tmp / relative};
        for (const auto& m : members) {
            args.push_back(m.first);
            args.push_back(m.second);
        }
        std::string err;
        int rc = -1;
        switch (args.size()) {   // runProgram takes an initializer list
        case 4: rc = TestPaths::runProgram("python3", {args[0], args[1], args[2], args[3]}, nullptr, &err); break;
        case 6:
            rc = TestPaths::runProgram("python3", {args[0], args[1], args[2], args[3], args[4], args[5]}, nullptr, &err);
            break;
        case 8:
            rc = TestPaths::runProgram("python3", {args[0], args[1], args[2], args[3], args[4], args[5], args[6], args[7]},
                                       nullptr, &err);
            break;
        default: FAIL() << "unsupported member count";
        }
        ASSERT_EQ(rc, 0) << err;
        std::remove(scriptFile.c_str());
    }

    static std::unique_ptr<Search_Rule> rule(const std::string& folder, const std::string& nameLine) {
        auto r = std::make_unique<Search_Rule>();
        NameLinePreparer::prepare(nameLine, false, *r);
        r->folders.push_back(folder);
        r->bSearchInCompressed = 1;
        return r;
    }

    TempDir tmp;
    RecordingReceiver receiver;
};

TEST_F(SearchArchives, MembersAreTestedLikeFilesWithTheArchivePathInFront) {
    makeZip("w/pack.zip", {{"top.txt", "one"}, {"dir/sub/inner.txt", "two"}, {"dir/other.bin", "x"}});
    Search_Man searcher;
    searcher.search(*rule(tmp / "w", "*.txt"), &receiver);
    EXPECT_EQ(receiver.finishedCalls, 1);
    const std::string archive = tmp / "w/pack.zip";
    EXPECT_EQ(sorted(receiver.paths()), sorted({archive + "/top.txt", archive + "/dir/sub/inner.txt"}));
    for (const auto& item : receiver.items) {
        EXPECT_EQ(item->m_bInArchive, 1);
        EXPECT_EQ(item->m_strArchiveName, "pack.zip");
        EXPECT_EQ(item->getFullNameIncludeArchivePath(), archive);
        EXPECT_EQ(item->m_nSize, 3);
    }
}

TEST_F(SearchArchives, ArchivePathIsRightWhenAFolderOnTheWayHasTheArchivesName) {
    // .../pack.zip/ (a folder) holds pack.zip (the archive), whose member lives in a folder
    // named pack.zip too. The archive is the middle one.
    makeZip("pack.zip/pack.zip", {{"pack.zip/m.txt", "x"}});
    Search_Man searcher;
    searcher.search(*rule(tmp.path(), "m.txt"), &receiver);
    ASSERT_EQ(receiver.items.size(), 1u);
    const std::string archive = tmp / "pack.zip/pack.zip";
    EXPECT_EQ(receiver.items[0]->m_strPath, archive + "/pack.zip/");
    EXPECT_EQ(receiver.items[0]->getFullNameIncludeArchivePath(), archive);

    // An item loaded from a result file has no cached archive path: it is derived again.
    Data_FileItem loaded;
    loaded.m_strPath = receiver.items[0]->m_strPath;
    loaded.m_strArchiveName = "pack.zip";
    loaded.m_bInArchive = 1;
    EXPECT_EQ(loaded.getFullNameIncludeArchivePath(), archive);
}

TEST_F(SearchArchives, ArchiveNameAsPartOfALongerFolderNameIsNotTheArchive) {
    makeZip("old-a.zip-files/a.zip", {{"m.txt", "x"}});
    Data_FileItem member;
    member.m_strPath = tmp / "old-a.zip-files/a.zip/";
    member.m_strArchiveName = "a.zip";
    member.m_bInArchive = 1;
    EXPECT_EQ(member.getFullNameIncludeArchivePath(), tmp / "old-a.zip-files/a.zip");
}

TEST_F(SearchArchives, ContentSearchNeverMatchesMembers) {
    makeZip("c.zip", {{"hit.txt", "needle"}});
    tmp.write("plain.txt", "needle");
    auto r = rule(tmp.path(), "*.txt");
    ContentTermRequest request;
    request.text = "needle";
    ASSERT_TRUE(ContentTermBuilder::addTerms(r->containText, request).ok);
    Search_Man searcher;
    searcher.search(*r, &receiver);
    EXPECT_EQ(receiver.paths(), std::vector<std::string>{tmp / "plain.txt"});
}

TEST_F(SearchArchives, WithoutTheArchiveOptionMembersAreNotListed) {
    makeZip("c.zip", {{"hit.txt", "x"}});
    auto r = rule(tmp.path(), "*.txt");
    r->bSearchInCompressed = 0;
    Search_Man searcher;
    searcher.search(*r, &receiver);
    EXPECT_TRUE(receiver.items.empty());
}

TEST_F(SearchArchives, CorruptArchiveIsAnOrdinaryFile) {
    tmp.write("broken.zip", "PK\x03\x04 this is not really a zip");
    tmp.write("fine.txt", "x");
    Search_Man searcher;
    searcher.search(*rule(tmp.path(), ""), &receiver);
    EXPECT_EQ(sorted(receiver.paths()), sorted({tmp / "broken.zip", tmp / "fine.txt"}));
    EXPECT_EQ(receiver.finishedCalls, 1);
}

// An archive the handler could not open because the file itself cannot be opened is told
// to the receiver; the walk goes on, and an archive the handler rejects is not reported.
class ArchiveReports : public RecordingReceiver {
public:
    std::vector<std::pair<std::string, int>> unreadable;
    void entryUnreadable(const std::string& path, int errorNumber) override {
        unreadable.emplace_back(path, errorNumber);
    }
};

TEST_F(SearchArchives, ArchiveThatCannotBeOpenedIsReportedRegression) {
    makeZip("w/locked.zip", {{"hidden.txt", "x"}});
    makeZip("w/open.zip", {{"seen.txt", "y"}});
    tmp.write("w/corrupt.zip", "not an archive at all");
    Unprivileged::openUp(tmp.path());
    Unprivileged::openUp(tmp / "w");
    for (const char* name : {"w/open.zip", "w/corrupt.zip"})
        ::chmod((tmp / name).c_str(), 0644);
    ::chmod((tmp / "w/locked.zip").c_str(), 0);
    const std::vector<std::pair<std::string, int>> expected{{tmp / "w/locked.zip", EACCES}};
    const std::vector<std::string> found{tmp / "w/open.zip/seen.txt"};
    const int outcome = Unprivileged::run([&] {
        Search_Man searcher;
        ArchiveReports r;
        searcher.search(*rule(tmp / "w", "*.txt"), &r);
        if (r.unreadable != expected)
            return 1;
        return r.paths() == found ? 0 : 2;
    });
    EXPECT_EQ(outcome, 0) << "1: wrong reports, 2: wrong results, -1: could not run unprivileged";
}

TEST_F(SearchArchives, StopBetweenMembers) {
    makeZip("many.zip", {{"a.txt", "1"}, {"b.txt", "2"}, {"c.txt", "3"}});
    receiver.afterResult = [](size_t n) {
        if (n == 2)
            Search_Man::s_hStopSearchEvent.set();
    };
    Search_Man searcher;
    searcher.search(*rule(tmp.path(), "*.txt"), &receiver);
    EXPECT_EQ(receiver.items.size(), 2u);
    EXPECT_EQ(receiver.finishedCalls, 1);
}

TEST_F(SearchArchives, MembersGetMessagesAndPathPatternsSeeTheInnerFolder) {
    makeZip("p.zip", {{"qqinner/m.dat", "x"}, {"other/n.dat", "x"}});
    Search_Man searcher;
    searcher.search(*rule(tmp.path(), "/qqinner"), &receiver);
    EXPECT_EQ(receiver.paths(), std::vector<std::string>{tmp / "p.zip/qqinner/m.dat"});
    EXPECT_NE(std::find_if(receiver.messages.begin(), receiver.messages.end(),
                           [&](const std::string& m) { return m.find(tmp / "p.zip/other/") != std::string::npos; }),
              receiver.messages.end());
}

}  // namespace
