// Listing real archives through the handler library.
#include <sys/stat.h>
#include <unistd.h>

#include "ArchiveTestSupport.h"

using namespace archivetest;

namespace {

struct FormatCase {
    const char* name;
    const char* file;
    bool with7z;
    // Precision the handler reports for these archives: 23 = 100 ns (7z, and zip's NTFS
    // times), 17 = 0.1 s (the decimal PAX times Python's tarfile writes).
    uint16_t precision;
};

std::string caseName(const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; }

class ListingTest : public ArchiveTest, public ::testing::WithParamInterface<FormatCase> {
protected:
    std::string pack() {
        const FormatCase& c = GetParam();
        return c.with7z ? packWith7z(m_root, c.file) : packTarWithPython(m_root, c.file);
    }
    TempDir m_root;
};

TEST_P(ListingTest, MembersMatchWhatWasPacked) {
    const auto packed = makeSourceTree(m_root);
    const std::string archive = pack();
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.isSupportedType(archive));
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    IMyArchive* a = mgr.getIMyArchive();
    ASSERT_NE(a, nullptr);

    std::vector<PackedEntry> listed;
    for (int i = 0; i < a->getItemCount(); ++i) {
        IMyArchiveItem* item = a->getItem(static_cast<unsigned>(i));
        ASSERT_NE(item, nullptr);
        PackedEntry e;
        item->getPath(e.path);
        e.size = item->getSize();
        e.folder = item->isFolder();
        listed.push_back(e);

        ArchiveFileTime mtime;
        ASSERT_TRUE(item->getLastWriteTime(mtime)) << e.path;
        if (!e.folder) {
            EXPECT_EQ(mtime.unixSeconds(), kMTime) << e.path;
            EXPECT_EQ(mtime.precision, GetParam().precision) << e.path;
            const uint32_t attributes = item->getAttributes();
            ASSERT_NE(attributes & 0x8000, 0u) << e.path << " carries no POSIX mode";
            EXPECT_EQ((attributes >> 16) & 0777, 0640u) << e.path;
            EXPECT_EQ(attributes & 0x10, 0u) << e.path;
        } else {
            EXPECT_NE(item->getAttributes() & 0x10, 0u) << e.path;
        }
    }
    std::sort(listed.begin(), listed.end(), [](auto& x, auto& y) { return x.path < y.path; });
    ASSERT_EQ(listed.size(), packed.size());
    for (size_t i = 0; i < packed.size(); ++i) {
        EXPECT_EQ(listed[i].path, packed[i].path);
        EXPECT_EQ(listed[i].size, packed[i].size) << packed[i].path;
        EXPECT_EQ(listed[i].folder, packed[i].folder) << packed[i].path;
    }
    EXPECT_EQ(a->getItem(static_cast<unsigned>(a->getItemCount())), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Formats, ListingTest,
                         ::testing::Values(FormatCase{"zip", "t.zip", true, 23}, FormatCase{"sevenZ", "t.7z", true, 23},
                                           FormatCase{"tar", "t.tar", false, 17},
                                           FormatCase{"tarGz", "t.tar.gz", false, 17},
                                           FormatCase{"tarXz", "t.tar.xz", false, 17}),
                         caseName);

class ArchiveRecognitionTest : public ArchiveTest {
protected:
    TempDir m_root;
};

TEST_F(ArchiveRecognitionTest, UpperCaseExtensionIsRecognised) {
    makeSourceTree(m_root);
    const std::string zip = packWith7z(m_root, "t.zip");
    const std::string upper = m_root / "T.ZIP";
    ASSERT_EQ(::rename(zip.c_str(), upper.c_str()), 0);
    CExtractMgr mgr;
    EXPECT_TRUE(mgr.isSupportedType(upper));
    ASSERT_TRUE(mgr.setArchiveFullFile(upper));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    EXPECT_EQ(mgr.getIMyArchive()->getItemCount(), 7);
}

TEST_F(ArchiveRecognitionTest, UnknownExtensionIsNotAnArchive) {
    CExtractMgr mgr;
    const std::string file = m_root.write("notes.txt", "plain");
    EXPECT_FALSE(mgr.isSupportedType(file));
    EXPECT_FALSE(mgr.setArchiveFullFile(file));
    EXPECT_FALSE(mgr.setArchiveFullFile("/dev/null"));
    EXPECT_FALSE(mgr.isSupportedType(m_root / "folder.zip/file"));
    EXPECT_EQ(mgr.getIMyArchive(), nullptr);
}

// Bad input with a known extension: the manager says "handled" but holds no archive, and
// nothing crashes or blocks.
struct BadInputCase {
    const char* name;
    const char* file;
    int kind;   // 0 random bytes, 1 empty, 2 truncated 7z, 3 link to /dev/null, 4 FIFO, 5 text, 6 missing
};

class BadInputTest : public ArchiveTest, public ::testing::WithParamInterface<BadInputCase> {
protected:
    TempDir m_root;
};

TEST_P(BadInputTest, OpensAsNoArchive) {
    const BadInputCase& c = GetParam();
    const std::string path = m_root / c.file;
    switch (c.kind) {
    case 0: {
        std::string noise;
        for (int i = 0; i < 4096; ++i)
            noise += static_cast<char>((i * 7919 + 13) % 251);
        m_root.write(c.file, noise);
        break;
    }
    case 1: m_root.write(c.file, ""); break;
    case 2: {
        makeSourceTree(m_root);
        const std::string full = readFile(packWith7z(m_root, "full.7z"));
        m_root.write(c.file, full.substr(0, full.size() / 2));
        break;
    }
    case 3: ASSERT_EQ(::symlink("/dev/null", path.c_str()), 0); break;
    case 4: ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); break;
    case 5: m_root.write(c.file, "This is a plain text file, not base64 at all!\n"); break;
    default: break;
    }
    CExtractMgr mgr;
    EXPECT_TRUE(mgr.setArchiveFullFile(path));
    EXPECT_EQ(mgr.getIMyArchive(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadInputTest,
    ::testing::Values(BadInputCase{"randomBytesZip", "bad.zip", 0}, BadInputCase{"randomBytes7z", "bad.7z", 0},
                      BadInputCase{"emptyZip", "empty.zip", 1}, BadInputCase{"emptyTarGz", "empty.tar.gz", 1},
                      BadInputCase{"truncated7z", "cut.7z", 2}, BadInputCase{"devNullLink", "null.zip", 3},
                      BadInputCase{"fifoDoesNotBlock", "pipe.7z", 4}, BadInputCase{"textAsBase64", "text.b64", 5},
                      BadInputCase{"missingFile", "gone.zip", 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ArchiveRecognitionTest, ZipMissingItsLastBytesNeverCrashes) {
    makeSourceTree(m_root);
    const std::string full = readFile(packWith7z(m_root, "full.zip"));
    for (size_t cut : {size_t{10}, full.size() / 3, full.size() - 30, full.size() - 1}) {
        const std::string path = m_root.write("cut.zip", full.substr(0, cut));
        CExtractMgr mgr;
        ASSERT_TRUE(mgr.setArchiveFullFile(path));
        if (IMyArchive* a = mgr.getIMyArchive()) {   // local headers may still be readable
            const std::string out = m_root / ("out" + std::to_string(cut));
            a->extractAll(out);
            for (const std::string& f : treeBelow(out))
                EXPECT_EQ(f.find('/'), std::string::npos) << f;
        }
    }
}

TEST_F(ArchiveRecognitionTest, EncryptedArchiveListsButRefusesToExtract) {
    makeSourceTree(m_root);
    for (const char* name : {"enc.7z", "enc.zip"}) {
        const std::string archive = packWith7z(m_root, name, {"-pSECRET"});
        CExtractMgr mgr;
        ASSERT_TRUE(mgr.setArchiveFullFile(archive));
        IMyArchive* a = mgr.getIMyArchive();
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->getItemCount(), 7) << name;
        const std::string out = m_root / (std::string("out-") + name);
        EXPECT_FALSE(a->extractAll(out)) << name;
        // Folders and the empty member (it has no data to encrypt) may appear; no content.
        for (const std::string& f : treeBelow(out)) {
            struct stat st {};
            ASSERT_EQ(::lstat((out + "/" + f).c_str(), &st), 0);
            EXPECT_TRUE(S_ISDIR(st.st_mode) || st.st_size == 0) << name << ": " << f;
        }
    }
}

TEST_F(ArchiveRecognitionTest, ArchiveWithEncryptedNamesOpensAsNoArchive) {
    makeSourceTree(m_root);
    const std::string archive = packWith7z(m_root, "hidden.7z", {"-pSECRET", "-mhe=on"});
    CExtractMgr mgr;
    EXPECT_TRUE(mgr.setArchiveFullFile(archive));
    EXPECT_EQ(mgr.getIMyArchive(), nullptr);
}

TEST_F(ArchiveRecognitionTest, ResetAndReopenGiveTheSameListing) {
    makeSourceTree(m_root);
    const std::string archive = packWith7z(m_root, "t.7z");
    CExtractMgr mgr;
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    mgr.reset();
    EXPECT_EQ(mgr.getIMyArchive(), nullptr);
    ASSERT_TRUE(mgr.setArchiveFullFile(archive));
    ASSERT_NE(mgr.getIMyArchive(), nullptr);
    EXPECT_EQ(mgr.getIMyArchive()->getItemCount(), 7);
}

}  // namespace
