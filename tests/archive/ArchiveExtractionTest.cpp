// Extracting members of real archives into folders.
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ArchiveTestSupport.h"

using namespace archivetest;

namespace {

int indexOf(IMyArchive* a, const std::string& path) {
    std::string p;
    for (int i = 0; i < a->getItemCount(); ++i) {
        a->getItem(static_cast<unsigned>(i))->getPath(p);
        if (p == path)
            return i;
    }
    return -1;
}

struct FormatCase {
    const char* name;
    const char* file;
    bool with7z;
};

class ExtractionTest : public ArchiveTest, public ::testing::WithParamInterface<FormatCase> {
protected:
    IMyArchive* open() {
        makeSourceTree(m_root);
        const FormatCase& c = GetParam();
        const std::string archive = c.with7z ? packWith7z(m_root, c.file) : packTarWithPython(m_root, c.file);
        if (!m_mgr.setArchiveFullFile(archive))
            return nullptr;
        return m_mgr.getIMyArchive();
    }
    TempDir m_root;
    CExtractMgr m_mgr;
};

TEST_P(ExtractionTest, MemberIsWrittenUnderItsLastComponentReplacingAnOldFile) {
    IMyArchive* a = open();
    ASSERT_NE(a, nullptr);
    const int index = indexOf(a, "dir/sub/a.txt");
    ASSERT_GE(index, 0);
    const std::string folder = m_root / "F";
    m_root.write("F/a.txt", "an older and longer content");
    ASSERT_TRUE(a->extractItem(static_cast<unsigned>(index), folder));
    EXPECT_EQ(readFile(folder + "/a.txt"), "hello\n");
    EXPECT_EQ(treeBelow(folder), std::vector<std::string>{"a.txt"});
    struct stat st {};
    ASSERT_EQ(::stat((folder + "/a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, kMTime);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_P(ExtractionTest, DestinationAndItsParentsAreCreated) {
    IMyArchive* a = open();
    ASSERT_NE(a, nullptr);
    const std::string folder = m_root / "x/y/z/";
    ASSERT_TRUE(a->extractItem(static_cast<unsigned>(indexOf(a, "empty.txt")), folder));
    EXPECT_EQ(treeBelow(m_root / "x/y/z"), std::vector<std::string>{"empty.txt"});
}

TEST_P(ExtractionTest, SeveralMembersAreWrittenAndNothingElse) {
    IMyArchive* a = open();
    ASSERT_NE(a, nullptr);
    const unsigned wanted[] = {static_cast<unsigned>(indexOf(a, "emoji \xF0\x9F\x98\x80.txt")),
                               static_cast<unsigned>(indexOf(a, "sp ace 'q\".txt")),
                               static_cast<unsigned>(indexOf(a, "sp ace 'q\".txt"))};
    const std::string folder = m_root / "F";
    ASSERT_TRUE(a->extractItems(wanted, 3, folder));
    EXPECT_EQ(treeBelow(folder), (std::vector<std::string>{"emoji \xF0\x9F\x98\x80.txt", "sp ace 'q\".txt"}));
    EXPECT_EQ(readFile(folder + "/sp ace 'q\".txt"), "quoted");
}

TEST_P(ExtractionTest, AllMembersGoFlatIntoTheFolder) {
    IMyArchive* a = open();
    ASSERT_NE(a, nullptr);
    const std::string folder = m_root / "F";
    ASSERT_TRUE(a->extractAll(folder));
    EXPECT_EQ(treeBelow(folder),
              (std::vector<std::string>{"a.txt", "dir", "emoji \xF0\x9F\x98\x80.txt", "empty.txt", "sp ace 'q\".txt",
                                        "sub", "\xC3\xBC" "n\xC3\xAF.txt"}));
    EXPECT_EQ(readFile(folder + "/\xC3\xBC" "n\xC3\xAF.txt"), "utf8");
}

TEST_P(ExtractionTest, OutOfRangeIndexIsRefused) {
    IMyArchive* a = open();
    ASSERT_NE(a, nullptr);
    const unsigned count = static_cast<unsigned>(a->getItemCount());
    EXPECT_FALSE(a->extractItem(count, m_root / "F"));
    const unsigned list[] = {0, count + 5};
    EXPECT_FALSE(a->extractItems(list, 2, m_root / "F"));
}

INSTANTIATE_TEST_SUITE_P(Formats, ExtractionTest,
                         ::testing::Values(FormatCase{"zip", "t.zip", true}, FormatCase{"sevenZ", "t.7z", true},
                                           FormatCase{"tar", "t.tar", false}, FormatCase{"tarGz", "t.tar.gz", false},
                                           FormatCase{"tarXz", "t.tar.xz", false}),
                         [](const auto& info) { return std::string(info.param.name); });

class RecordingProgress : public IExtractProgress {
public:
    void setTotal(uint64_t t) override { total = t; }
    void setCompleted(uint64_t c) override {
        completed = c;
        ++completedCalls;
        if (cancelAfterCompleted && completedCalls >= cancelAfterCompleted)
            cancel = true;
    }
    void setCurrentName(const std::string& n) override {
        names.push_back(n);
        if (cancelAfterNames && names.size() >= cancelAfterNames)
            cancel = true;
    }
    uint64_t total = 0, completed = 0;
    size_t completedCalls = 0, cancelAfterCompleted = 0, cancelAfterNames = 0;
    std::vector<std::string> names;
    std::atomic<bool> cancel{false};
};

class ExtractionControlTest : public ArchiveTest {
protected:
    // Many small members, so that a cancel lands in the middle.
    std::string manyMembers(const std::string& name) {
        for (int i = 0; i < 40; ++i)
            m_root.write("src/m" + std::to_string(100 + i) + ".txt", std::string(20000, static_cast<char>('a' + i % 26)));
        return packWith7z(m_root, name, {"-mx=1"});
    }
    TempDir m_root;
};

TEST_F(ExtractionControlTest, ProgressReportsTotalCompletedAndNames) {
    const std::string archive = manyMembers("m.7z");
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    RecordingProgress progress;
    ASSERT_TRUE(mgr.getIMyArchive()->extractAll(m_root / "F", &progress, &progress.cancel));
    EXPECT_EQ(progress.total, 40u * 20000u);
    EXPECT_EQ(progress.completed, progress.total);
    ASSERT_EQ(progress.names.size(), 40u);
    EXPECT_EQ(progress.names.front(), "m100.txt");
    EXPECT_EQ(treeBelow(m_root / "F").size(), 40u);
}

struct CancelCase {
    const char* name;
    const char* file;
    size_t afterNames;
};

class CancelTest : public ExtractionControlTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, CancelMidwayReturnsFalseAndLeavesNoPartialFile) {
    const std::string archive = manyMembers(GetParam().file);
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    RecordingProgress progress;
    progress.cancelAfterNames = GetParam().afterNames;
    EXPECT_FALSE(mgr.getIMyArchive()->extractAll(m_root / "F", &progress, &progress.cancel));
    const auto written = treeBelow(m_root / "F");
    EXPECT_LT(written.size(), 40u);
    for (const std::string& f : written) {
        EXPECT_NE(f.rfind(".~qd", 0), 0u) << "left-over partial file " << f;
        EXPECT_EQ(readFile(m_root / ("F/" + f)).size(), 20000u) << f;
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, CancelTest,
                         ::testing::Values(CancelCase{"solid7zAtFirst", "c.7z", 1}, CancelCase{"solid7zMidway", "c.7z", 10},
                                           CancelCase{"zipMidway", "c.zip", 10}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExtractionControlTest, CancelBeforeStartWritesNothing) {
    const std::string archive = manyMembers("m.zip");
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(mgr.getIMyArchive()->extractAll(m_root / "F", nullptr, &cancel));
    EXPECT_TRUE(treeBelow(m_root / "F").empty());
}

TEST_F(ExtractionControlTest, ThrowingProgressSinkEndsExtractionWithFalse) {
    struct Throwing : IExtractProgress {
        void setTotal(uint64_t) override {}
        void setCompleted(uint64_t) override {}
        void setCurrentName(const std::string&) override { throw std::runtime_error("sink broke"); }
    } sink;
    const std::string archive = manyMembers("m.zip");
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    EXPECT_FALSE(mgr.getIMyArchive()->extractAll(m_root / "F", &sink));
}

// A member whose data fails its check must neither appear nor destroy the file it would
// have replaced.
TEST_F(ExtractionControlTest, CrcErrorKeepsExistingFileAndWritesNothing) {
    m_root.write("src/a.txt", std::string(3000, 'Q'));
    const std::string archive = packWith7z(m_root, "s.zip", {"-mx=0"});
    std::string bytes = readFile(archive);
    const size_t at = bytes.find(std::string(100, 'Q'));
    ASSERT_NE(at, std::string::npos);
    bytes[at + 50] = 'R';
    m_root.write("s.zip", bytes);
    m_root.write("F/a.txt", "precious");
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    EXPECT_FALSE(mgr.getIMyArchive()->extractItem(0, m_root / "F"));
    EXPECT_EQ(readFile(m_root / "F/a.txt"), "precious");
    EXPECT_EQ(treeBelow(m_root / "F"), std::vector<std::string>{"a.txt"});
}

TEST_F(ExtractionControlTest, DestinationThatIsAFileFails) {
    m_root.write("src/a.txt", "x");
    const std::string archive = packWith7z(m_root, "s.zip");
    m_root.write("blocker", "file");
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    EXPECT_FALSE(mgr.getIMyArchive()->extractAll(m_root / "blocker"));
    EXPECT_FALSE(mgr.getIMyArchive()->extractAll(m_root / "blocker/below"));
    EXPECT_FALSE(mgr.getIMyArchive()->extractAll(""));
}

}  // namespace
