// Finding handler libraries: a Formats folder beside the program wins; bad files are skipped.
#include <sys/stat.h>
#include <unistd.h>

#include "ArchiveTestSupport.h"

using namespace archivetest;

namespace {

const char* kSystemLibrary = "/usr/lib/p7zip/7z.so";

class HandlerDiscoveryTest : public ::testing::Test {
protected:
    void TearDown() override { CExtractMgr::init(); CExtractMgr::uninit(); }
    void copySystemLibrary(const std::string& to) {
        m_base.write(to, readFile(kSystemLibrary));
    }
    TempDir m_base;
};

TEST_F(HandlerDiscoveryTest, StandardFolderGivesOneRecordPerFormat) {
    CExtractMgr::init(m_base.path());
    EXPECT_GT(CExtractMgr::getHandlerCount(), 30u);
    EXPECT_EQ(CExtractMgr::getHandlerLibraryFor("7z"), kSystemLibrary);
    EXPECT_EQ(CExtractMgr::getHandlerLibraryFor("TGZ"), kSystemLibrary);
    CExtractMgr::uninit();
    EXPECT_EQ(CExtractMgr::getHandlerCount(), 0u);
    CExtractMgr mgr;
    EXPECT_FALSE(mgr.isSupportedType("/x/a.zip"));
}

TEST_F(HandlerDiscoveryTest, FormatsFolderBesideTheLibraryTakesPrecedence) {
    copySystemLibrary("Formats/7z.so");
    CExtractMgr::init(m_base.path());
    EXPECT_EQ(CExtractMgr::getHandlerLibraryFor("zip"), m_base / "Formats/7z.so");
    // And the copy really works.
    makeSourceTree(m_base);
    const std::string archive = packWith7z(m_base, "t.zip");
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    EXPECT_EQ(mgr.getIMyArchive()->getItemCount(), 7);
    // An archive still open keeps its library loaded after uninit.
    CExtractMgr::uninit();
    IMyArchiveItem* item = mgr.getIMyArchive()->getItem(0);
    ASSERT_NE(item, nullptr);
    std::string path;
    item->getPath(path);
    EXPECT_FALSE(path.empty());
}

TEST_F(HandlerDiscoveryTest, BadFilesInFormatsAreSkipped) {
    m_base.write("Formats/0-text.so", "not a library at all");
    m_base.write("Formats/1-empty.so", "");
    m_base.write("Formats/2-fake-elf.so", std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(60, '\0'));
    ASSERT_EQ(::symlink("/nonexistent/lib.so", (m_base / "Formats/3-dangling.so").c_str()), 0);
    // A real shared library that is no handler (no CreateObject).
    ASSERT_EQ(::symlink("/lib/x86_64-linux-gnu/libz.so.1", (m_base / "Formats/4-libz.so").c_str()), 0);
    copySystemLibrary("Formats/5-unreadable.so");
    ::chmod((m_base / "Formats/5-unreadable.so").c_str(), 0);
    copySystemLibrary("Formats/9-good.so");
    CExtractMgr::init(m_base.path());
    const std::string lib = CExtractMgr::getHandlerLibraryFor("7z");
    if (::geteuid() == 0)   // root reads the unreadable copy too
        EXPECT_TRUE(lib == m_base / "Formats/5-unreadable.so" || lib == m_base / "Formats/9-good.so") << lib;
    else
        EXPECT_EQ(lib, m_base / "Formats/9-good.so");
}

TEST_F(HandlerDiscoveryTest, FormatsFolderWithoutUsableLibraryFallsBackToTheSystemFolder) {
    m_base.write("Formats/broken.so", "garbage");
    CExtractMgr::init(m_base.path());
    EXPECT_EQ(CExtractMgr::getHandlerLibraryFor("zip"), kSystemLibrary);
}

TEST_F(HandlerDiscoveryTest, ConfiguredFolderComesBeforeTheStandardOnes) {
    copySystemLibrary("seven/7z.so");
    m_base.write("seven/readme.txt", "not a library");
    CExtractMgr::setConfiguredFolder(m_base / "seven");
    CExtractMgr::init(m_base / "no-formats-here");
    CExtractMgr::setConfiguredFolder("");
    EXPECT_EQ(CExtractMgr::getHandlerLibraryFor("7z"), m_base / "seven/7z.so");
}

}  // namespace
