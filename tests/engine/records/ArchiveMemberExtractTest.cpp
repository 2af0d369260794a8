// Archive members as temporary files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/CExtractMgr.h"
#include "records/ArchiveMemberExtract.h"
#include "records/Data_FileItem.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class TemporaryExtractionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CExtractMgr::init(); }
    static void TearDownTestSuite() { CExtractMgr::uninit(); }

    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        m_oldTmp = old ? old : "";
        m_hadTmp = old != nullptr;
        ::setenv("TMPDIR", m_tmp.path().c_str(), 1);
        m_files.write("src/docs/report.txt", "quarterly numbers");
        m_files.write("src/other.txt", "other");
        ::chmod((m_files / "src/docs/report.txt").c_str(), 0444);
        std::string out, err;
        ASSERT_EQ(TestPaths::runProgram("env", {"-C", m_files / "src", "7z", "a", "-bd", m_files / "pack.zip", "."},
                                        &out, &err),
                  0)
            << err;
    }
    void TearDown() override {
        if (m_hadTmp)
            ::setenv("TMPDIR", m_oldTmp.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    // The item the search driver makes for a member.
    Data_FileItem member(const std::string& innerPath, const std::string& fileName) {
        CExtractMgr mgr;
        EXPECT_TRUE(mgr.setArchiveFullFile(m_files / "pack.zip"));
        IMyArchive* a = mgr.getIMyArchive();
        EXPECT_NE(a, nullptr);
        Data_FileItem item;
        for (int i = 0; a && i < a->getItemCount(); ++i) {
            std::string p;
            a->getItem(static_cast<unsigned>(i))->getPath(p);
            if (p == innerPath)
                item.m_nArchiveIndex = i;
        }
        item.m_bInArchive = 1;
        item.m_strArchiveName = "pack.zip";
        item.m_strPath = m_files.path() + "/pack.zip/" + innerPath.substr(0, innerPath.rfind('/') + 1);
        item.setFileName(fileName);
        item.m_ftLastWrite = FILETIME::fromU64(123456789);
        return item;
    }

    TempDir m_tmp, m_files;
    std::string m_oldTmp;
    bool m_hadTmp = false;
};

TEST_F(TemporaryExtractionTest, MemberGoesToAPrivateFolderNamedAfterTheArchive) {
    Data_FileItem item = member("docs/report.txt", "report.txt");
    const std::string folder = ArchiveMemberExtract::extractFileToTemporaryFolder(item);
    ASSERT_EQ(folder, m_tmp.path() + "/~QD~pack.zip/");
    EXPECT_EQ(readAll(folder + "report.txt"), "quarterly numbers");
    struct stat st {};
    ASSERT_EQ(::stat((m_tmp / "~QD~pack.zip").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A second extraction replaces the file in the same folder.
    EXPECT_EQ(ArchiveMemberExtract::extractFileToTemporaryFolder(item), folder);
}

TEST_F(TemporaryExtractionTest, ConvertDescribesTheExtractedFile) {
    Data_FileItem item = member("docs/report.txt", "report.txt");
    std::unique_ptr<Data_FileItem> file = ArchiveMemberExtract::convertArchiveFileToTempFile(item);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->m_strPath, m_tmp.path() + "/~QD~pack.zip/");
    EXPECT_EQ(file->getFullFileName(), m_tmp.path() + "/~QD~pack.zip/report.txt");
    EXPECT_EQ(file->m_nSize, 17);
    EXPECT_EQ(file->m_bInArchive, 0);
    EXPECT_EQ(file->m_ftLastWrite, item.m_ftLastWrite);
    EXPECT_NE(file->m_dwAttributes & Data_FileItem::ATTR_READONLY, 0u);
    EXPECT_EQ(file->m_dwAttributes & 0x8000, 0u);
}

TEST_F(TemporaryExtractionTest, FolderMemberOrBadIndexGivesNothing) {
    Data_FileItem folderItem = member("docs", "docs");
    EXPECT_EQ(ArchiveMemberExtract::convertArchiveFileToTempFile(folderItem), nullptr);
    Data_FileItem bad = member("docs/report.txt", "report.txt");
    bad.m_nArchiveIndex = 99;
    EXPECT_EQ(ArchiveMemberExtract::extractFileToTemporaryFolder(bad), "");
    bad.m_nArchiveIndex = -1;
    EXPECT_EQ(ArchiveMemberExtract::extractFileToTemporaryFolder(bad), "");
    EXPECT_EQ(ArchiveMemberExtract::convertArchiveFileToTempFile(bad), nullptr);
}

TEST_F(TemporaryExtractionTest, NotAnArchiveGivesNothing) {
    Data_FileItem item;
    item.m_bInArchive = 1;
    item.m_strArchiveName = "plain.txt";
    item.m_strPath = m_files.path() + "/";
    m_files.write("plain.txt", "x");
    EXPECT_EQ(ArchiveMemberExtract::extractFileToTemporaryFolder(item), "");
    Data_FileItem corrupt;
    corrupt.m_strArchiveName = "bad.zip";
    corrupt.m_strPath = m_files.path() + "/";
    m_files.write("bad.zip", "this is no zip");
    EXPECT_EQ(ArchiveMemberExtract::extractFileToTemporaryFolder(corrupt), "");
}

// In a shared temporary folder another user could plant the folder name as a link to a
// place of their choosing; extraction must not follow it.
TEST_F(TemporaryExtractionTest, TemporaryFolderSymlinkIsRefused) {
    const std::string elsewhere = m_files.mkdir("elsewhere");
    ASSERT_EQ(::symlink(elsewhere.c_str(), (m_tmp / "~QD~pack.zip").c_str()), 0);
    Data_FileItem item = member("docs/report.txt", "report.txt");
    EXPECT_EQ(ArchiveMemberExtract::extractFileToTemporaryFolder(item), "");
    EXPECT_NE(::access((elsewhere + "/report.txt").c_str(), F_OK), 0);
}

TEST_F(TemporaryExtractionTest, ExistingTemporaryFolderIsMadePrivate) {
    m_tmp.mkdir("~QD~pack.zip");
    ::chmod((m_tmp / "~QD~pack.zip").c_str(), 0777);
    Data_FileItem item = member("other.txt", "other.txt");
    ASSERT_EQ(ArchiveMemberExtract::extractFileToTemporaryFolder(item), m_tmp.path() + "/~QD~pack.zip/");
    struct stat st {};
    ASSERT_EQ(::stat((m_tmp / "~QD~pack.zip").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

}  // namespace
