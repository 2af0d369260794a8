// What qdsearch says on standard error about cases that used to pass in silence: entries it
// cannot read, a folder argument that is a file, folders that a quick search without the
// disk walk skips, and a lone folder argument read as the name line. The exit status stays
// what the results make it.
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/CExtractMgr.h"
#include "cli/QdUnreadableReporter.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"
#include "support/Unprivileged.h"
#include "tests/cli/InProcessRun.h"

namespace {

std::string qdsearch() { return TestPaths::binDir() + "/qdsearch"; }

// ---- unreadable folders and files ----------------------------------------------------

class UnreadableEntries : public ::testing::Test {
protected:
    void SetUp() override {
        Unprivileged::openUp(tmp.path());
        tmp.write("t/open/a.txt", "needle");
        tmp.write("t/locked/b.txt", "needle");
        tmp.write("t/secret.txt", "needle");
        for (const char* path : {"t", "t/open", "t/locked"})
            Unprivileged::openUp(tmp / path);
        ::chmod((tmp / "t/open/a.txt").c_str(), 0644);
        ::chmod((tmp / "t/locked").c_str(), 0);
        ::chmod((tmp / "t/secret.txt").c_str(), 0);
    }
    // Runs qdsearch as an unprivileged user: 0 when the output matched the expectations.
    int runUnprivileged(std::initializer_list<std::string> args, int status, const std::string& expectedErr,
                        const std::string& expectedOut) {
        return Unprivileged::run([&] {
            std::string out, err;
            if (TestPaths::runProgram(qdsearch(), args, &out, &err) != status)
                return 1;
            if (err != expectedErr)
                return 2;
            return out == expectedOut ? 0 : 3;
        });
    }
    TempDir tmp;
};

TEST_F(UnreadableEntries, UnreadableFolderIsReportedAsFindDoesRegression) {
    EXPECT_EQ(runUnprivileged({"*.txt", tmp / "t"}, 0, "qdsearch: '" + tmp / "t/locked" + "': Permission denied\n",
                              tmp / "t/secret.txt\n" + tmp / "t/open/a.txt\n"),
              0);
}

TEST_F(UnreadableEntries, UnreadableFileIsReportedWhenItsContentIsSearchedRegression) {
    EXPECT_EQ(runUnprivileged({"--text", "needle", "*.txt", tmp / "t"}, 0,
                              // breadth first: t's own files before its subfolders
                              "qdsearch: '" + tmp / "t/secret.txt" + "': Permission denied\nqdsearch: '" +
                                  tmp / "t/locked" + "': Permission denied\n",
                              tmp / "t/open/a.txt\n"),
              0);
    // An unreadable file is no file without the term either: --not does not list it.
    EXPECT_EQ(runUnprivileged({"-q", "--text", "other", "--not", "*.txt", tmp / "t"}, 0, "", tmp / "t/open/a.txt\n"),
              0);
}

TEST_F(UnreadableEntries, UnreadableFileIsReportedWhileGroupingDuplicatesRegression) {
    tmp.write("t/open/copy.txt", "needle");
    ::chmod((tmp / "t/open/copy.txt").c_str(), 0644);
    // The walk tells of the folder; the grouping, which reads the files, of the file.
    const std::string expectedErr = "qdsearch: '" + tmp / "t/locked" + "': Permission denied\nqdsearch: '" +
                                    tmp / "t/secret.txt" + "': Permission denied\n";
    for (const char* level : {"crc32", "md5", "bytes"})
        EXPECT_EQ(runUnprivileged({"--count", "--duplicates", level, "*.txt", tmp / "t"}, 0, expectedErr, "2\n"), 0)
            << level;
    EXPECT_EQ(runUnprivileged({"-q", "--count", "--duplicates", "md5", "*.txt", tmp / "t"}, 0, "", "2\n"), 0);
}

TEST_F(UnreadableEntries, ArchiveThatCannotBeOpenedIsReportedRegression) {
    CExtractMgr::init();
    const bool handlerFound = !CExtractMgr::getHandlerLibraryFor("zip").empty();
    CExtractMgr::uninit();
    if (!handlerFound)
        GTEST_SKIP() << "no 7-Zip handler library installed";
    const std::string zip = tmp / "t/pack.zip";
    ASSERT_EQ(TestPaths::runProgram("python3",
                                    {"-c", "import zipfile,sys\nwith zipfile.ZipFile(sys.argv[1],'w') as z: "
                                           "z.writestr('inner.txt','x')",
                                     zip}),
              0);
    ::chmod(zip.c_str(), 0);
    EXPECT_EQ(runUnprivileged({"--archives", "*.txt", tmp / "t"}, 0,
                              "qdsearch: '" + zip + "': Permission denied\nqdsearch: '" + tmp / "t/locked" +
                                  "': Permission denied\n",
                              tmp / "t/secret.txt\n" + tmp / "t/open/a.txt\n"),
              0);
}

TEST_F(UnreadableEntries, QuietSuppressesTheReports) {
    EXPECT_EQ(runUnprivileged({"-q", "*.txt", tmp / "t"}, 0, "", tmp / "t/secret.txt\n" + tmp / "t/open/a.txt\n"), 0);
    EXPECT_EQ(runUnprivileged({"--quiet", "--text", "needle", "", tmp / "t"}, 0, "", tmp / "t/open/a.txt\n"), 0);
}

TEST_F(UnreadableEntries, UnreadableRootIsReportedAndFindsNothing) {
    EXPECT_EQ(runUnprivileged({"", tmp / "t/locked"}, 1,
                              "qdsearch: '" + tmp / "t/locked" + "': Permission denied\n", ""),
              0);
}

TEST(UnreadableReporter, SamePathInARowPrintsOnceAndNamesTheReason) {
    EXPECT_EQ(QdUnreadableReporter::line("/x/y", ENOENT, false), "qdsearch: '/x/y': No such file or directory\n");
    EXPECT_EQ(QdUnreadableReporter::line("/x/\x1b[2J", EACCES, true), "qdsearch: '/x/\\e[2J': Permission denied\n");
    const int fd = ::memfd_create("unreadable", MFD_CLOEXEC);
    QdUnreadableReporter reporter(fd, false);
    reporter.report("/a", EACCES);
    reporter.report("/a", EACCES);
    reporter.report("/b", EIO);
    reporter.report("/a", EACCES);
    EXPECT_EQ(reporter.reported(), 3u);
    EXPECT_EQ(readAllFrom(fd), "qdsearch: '/a': Permission denied\nqdsearch: '/b': Input/output error\n"
                               "qdsearch: '/a': Permission denied\n");
    ::close(fd);
}

// ---- arguments and quick searches -------------------------------------------------------

struct MessageCase {
    const char* name;
    std::vector<std::string> args;   // "@" stands for the temporary folder
    int status;
    std::string expectedErr;          // "@" likewise; empty: standard error stays empty
    std::string expectedOut;
};

class QdSearchMessages : public ::testing::TestWithParam<MessageCase> {
protected:
    std::string expand(const std::string& text) const {
        std::string out;
        for (char c : text)
            out += c == '@' ? tmp.path() : std::string(1, c);
        return out;
    }
    TempDir tmp;
};

TEST_P(QdSearchMessages, SaySoOnStandardError) {
    const MessageCase& c = GetParam();
    tmp.write("dir/hit.txt", "x");
    tmp.write("notes.txt", "x");
    std::vector<std::string> args;
    for (const auto& a : c.args)
        args.push_back(expand(a));
    // A search of the current folder stays inside the test's tree.
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir((tmp / "dir").c_str()), 0);
    const InProcessRun run = runInProcess(args);
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.err, expand(c.expectedErr));
    EXPECT_EQ(run.out, expand(c.expectedOut));
    // Neither the quick search nor the listing creates a missing cache folder.
    EXPECT_NE(::access((tmp / "nocache").c_str(), F_OK), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QdSearchMessages,
    ::testing::Values(
        MessageCase{"FolderArgumentThatIsAFileRegression",
                    {"*.txt", "@/notes.txt"},
                    1,
                    "qdsearch: '@/notes.txt' is no folder: nothing is searched in it\n",
                    ""},
        MessageCase{"FileArgumentBesideAFolderStillSearchesTheFolder",
                    {"*.txt", "@/notes.txt", "@/dir"},
                    0,
                    "qdsearch: '@/notes.txt' is no folder: nothing is searched in it\n",
                    "@/dir/hit.txt\n"},
        MessageCase{"QuickWithoutAutoNormalOnAnUncoveredFolderRegression",
                    {"--quick", "--no-auto-normal", "--cache", "@/nocache", "*.txt", "@/dir"},
                    1,
                    "qdsearch: '@/dir': no index cache covers it; with --no-auto-normal it is not searched\n",
                    ""},
        MessageCase{"QuickWithoutCacheFolderWalksInSilence",
                    {"--quick", "--cache", "@/nocache", "*.txt", "@/dir"},
                    0,
                    "",
                    "@/dir/hit.txt\n"},
        MessageCase{"ListIndexesWithoutCacheFolderListsNothingRegression",
                    {"--list-indexes", "--cache", "@/nocache"},
                    0,
                    "",
                    ""},
        MessageCase{"LoneFolderArgumentGetsAHintRegression",
                    {"@/dir"},
                    1,
                    "qdsearch: '@/dir' is a folder, read here as the name line: the current folder is searched "
                    "for names matching it. To search inside it, run: qdsearch '' '@/dir'\n",
                    ""},
        MessageCase{"NameLineWithAFolderGetsNoHint", {"hit", "@/dir"}, 0, "", "@/dir/hit.txt\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QdSearchMessagesQuick, CoveredFolderIsNotReported) {
    TempDir tree, cache;
    tree.write("a/x.txt", "1");
    std::string out, err;
    ASSERT_EQ(TestPaths::runProgram(qdsearch(), {"--index", tree / "a", "--cache", cache.path()}, &out, &err), 0) << err;
    tree.write("b/y.txt", "1");
    const InProcessRun run =
        runInProcess({"--quick", "--no-auto-normal", "--cache", cache.path(), "*.txt", tree / "a", tree / "b"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, tree / "a/x.txt\n");
    EXPECT_EQ(run.err, "qdsearch: '" + tree / "b" +
                           "': no index cache covers it; with --no-auto-normal it is not searched\n");
    // A folder holding an indexed root: only the root is searched, and that is said.
    const InProcessRun outer = runInProcess({"--quick", "--no-auto-normal", "--cache", cache.path(), "*.txt",
                                             tree.path()});
    EXPECT_EQ(outer.out, tree / "a/x.txt\n");
    EXPECT_EQ(outer.err,
              "qdsearch: '" + tree.path() + "': only its indexed folders are searched (--no-auto-normal)\n");
}

}  // namespace
