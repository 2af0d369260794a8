// The column files of an index cache: names, byte layouts, stages, long strings.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "IndexTestSupport.h"
#include "index/IndexCacheCatalog.h"
#include "index/SF_ArchiveSaver.h"
#include "index/SF_ExtSaver.h"
#include "index/SF_FolderSaver.h"
#include "index/SF_SizeSaver.h"
#include "index/SF_TitleSaver.h"
#include "index/SF_WriteTimeSaver.h"
#include "support/TempDir.h"

using namespace IndexTest;

namespace {

class IndexFormat : public ::testing::Test {
protected:
    void SetUp() override { Tool_Resource::setIndexCachePath(tmp.path()); }
    TempDir tmp;
};

bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

// ---- names ------------------------------------------------------------------------------

struct NameCase {
    const char* label;
    std::string root;
    int stage;
    std::string expected;
};

class IndexFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(IndexFileName, EncodesRootAndStage) {
    const auto& c = GetParam();
    EXPECT_EQ(Tool_Resource::convertToIndexFileName(c.root, c.stage), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IndexFileName,
    ::testing::Values(NameCase{"Root", "/", 1, "__fi.ind"},
                      NameCase{"Nested", "/data/docs", 1, "_data_docs_fi.ind"},
                      NameCase{"Pending", "/data/docs", 2, "_data_docs_fim.ind"},
                      NameCase{"Temporary", "/data/docs", 3, "_data_docs_fit.ind"},
                      NameCase{"TrailingSlashIsTheSameFolder", "/data/", 1, "_data_fi.ind"},
                      NameCase{"DotDotIsResolved", "/x/../data", 1, "_data_fi.ind"},
                      NameCase{"UnderscoreEscaped", "/a_b", 1, "_a%5Fb_fi.ind"},
                      NameCase{"PercentEscaped", "/50%", 1, "_50%25_fi.ind"},
                      NameCase{"OtherBytesKept", "/C: x~y", 1, "_C: x~y_fi.ind"},
                      NameCase{"EmptyRoot", "", 1, ""},
                      NameCase{"StageZeroRefused", "/a", 0, ""},
                      NameCase{"StageFourRefused", "/a", 4, ""}),
    [](const auto& info) { return std::string(info.param.label); });

// Fault: replacing '/' by '_' alone gives /a_b and /a/b the same files, so indexing one
// overwrote the other's cache.
TEST(IndexFileNameFault, RootsWithUnderscoreAndSlashGetDifferentFiles) {
    const char* roots[] = {"/a_b", "/a/b", "/a%5Fb", "/a%2Fb", "/a_/b", "/a/_b"};
    std::vector<std::string> names;
    for (const char* r : roots)
        names.push_back(Tool_Resource::convertToIndexFileName(r, 1));
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t j = i + 1; j < names.size(); ++j)
            EXPECT_NE(names[i], names[j]) << roots[i] << " vs " << roots[j];
}

TEST(IndexFileNameDecode, DecodesEveryDirectName) {
    for (const std::string root : {"/", "/a_b", "/a/b", "/50%/x_y%", "/deep/er/and/deeper", "/sp ace/\xC3\xA9"}) {
        std::string back;
        ASSERT_TRUE(Tool_Resource::decodeIndexRoot(Tool_Resource::encodeIndexRoot(root), back)) << root;
        EXPECT_EQ(back, root);
    }
    std::string out;
    EXPECT_FALSE(Tool_Resource::decodeIndexRoot("_a%4", out));
    EXPECT_FALSE(Tool_Resource::decodeIndexRoot("_a%41", out));
}

TEST_F(IndexFormat, LongRootsGetHashedNamesThatFitAndListBack) {
    const std::string longRoot = "/" + std::string(200, 'x') + "/" + std::string(100, '_');
    const std::string otherLong = longRoot + "y";
    const std::string name = Tool_Resource::convertToIndexFileName(longRoot, 3);
    EXPECT_LE(name.size() + 4, 255u);
    EXPECT_NE(name, Tool_Resource::convertToIndexFileName(otherLong, 3));
    ASSERT_TRUE(writeLiveCache(longRoot, {item(longRoot + "/", "a.txt")}));
    ASSERT_TRUE(writeLiveCache("/short", {item("/short/", "b.txt"), item("/short/", "c")}));
    const auto caches = IndexCacheCatalog::list(Tool_Resource::INDEX_STAGE_LIVE);
    ASSERT_EQ(caches.size(), 2u);
    EXPECT_EQ(caches[0].root, "/short");
    EXPECT_EQ(caches[0].entries, 2u);
    EXPECT_EQ(caches[1].root, longRoot);
    EXPECT_EQ(caches[1].entries, 1u);
    // Deleting the live cache also drops the side file that named the long root.
    ASSERT_TRUE(SF_SaverSet::deleteLive(longRoot));
    EXPECT_EQ(IndexCacheCatalog::list(Tool_Resource::INDEX_STAGE_LIVE).size(), 1u);
    EXPECT_FALSE(exists(tmp.path() + "/rt" + Tool_Resource::encodeIndexRoot(longRoot)));
}

TEST_F(IndexFormat, HashCollisionIsRefusedNotOverwritten) {
    const std::string longRoot = "/" + std::string(300, 'q');
    const std::string side = tmp.path() + "/rt" + Tool_Resource::encodeIndexRoot(longRoot);
    writeFile(side, "/some/other/root");   // as if another root had this hash
    SF_SaverSet set;
    EXPECT_FALSE(set.openWrite(longRoot));
    EXPECT_EQ(readFile(side), "/some/other/root");
}

TEST_F(IndexFormat, SetIndexCachePathAddsSlashAndCreatesOneLevel) {
    Tool_Resource::setIndexCachePath(tmp.path() + "/cache");
    EXPECT_EQ(Tool_Resource::getIndexCachePath(), tmp.path() + "/cache/");
    EXPECT_TRUE(exists(tmp.path() + "/cache"));
}

// ---- layouts ----------------------------------------------------------------------------

// Fault: sharing extension records case-insensitively read b.txt back as b.TXT, a path
// that does not exist on a case-sensitive file system.
TEST_F(IndexFormat, ExtensionSharingKeepsCase) {
    ASSERT_TRUE(writeLiveCache("/r", {item("/r/", "a.TXT"), item("/r/", "b.txt"), item("/r/", "c.txt"),
                                      item("/r/", "d.doc")}));
    EXPECT_EQ(readFile(columnFile("fe", "/r")), std::string("\3TXT\3txt\3doc", 12));
    EXPECT_EQ(readFile(columnFile("idfe", "/r")), u32(0) + u32(4) + u32(4) + u32(8));
    SF_ExtSaver fe;
    ASSERT_TRUE(fe.openRead("/r"));
    Data_FileItem it;
    ASSERT_TRUE(fe.fillItem(1, it));
    EXPECT_EQ(it.m_strExt, "txt");
}

TEST_F(IndexFormat, NameWithoutDotStoresOneEmptyExtensionRecord) {
    ASSERT_TRUE(writeLiveCache("/r", {item("/r/", "README"), item("/r/", "Makefile")}));
    EXPECT_EQ(readFile(columnFile("fe", "/r")), std::string("\0", 1));
    EXPECT_EQ(readFile(columnFile("idfe", "/r")), u32(0) + u32(0));
    EXPECT_EQ(readFile(columnFile("fn", "/r")), std::string("\6README\x08Makefile"));
}

TEST_F(IndexFormat, ArchiveColumnSharesZeroRecordsPerRun) {
    std::vector<Data_FileItem> items;
    for (int i = 0; i < 10; ++i)
        items.push_back(item("/r/", "f" + std::to_string(i)));
    items.push_back(member("/r/", "a.zip", 7, "in/", "m.txt"));
    items.push_back(item("/r/", "g"));
    items.push_back(item("/r/", "h"));
    ASSERT_TRUE(writeLiveCache("/r", items));
    const std::string memberRecord = u32(1) + u32(7) + "\5a.zip" + "\3in/";
    EXPECT_EQ(readFile(columnFile("fa", "/r")), u32(0) + memberRecord + u32(0));
    std::string offsets;
    for (int i = 0; i < 10; ++i)
        offsets += u32(0);
    const uint32_t after = 4 + static_cast<uint32_t>(memberRecord.size());
    EXPECT_EQ(after, 4u + 10 + 5 + 3);
    offsets += u32(4) + u32(after) + u32(after);
    EXPECT_EQ(readFile(columnFile("idfa", "/r")), offsets);

    SF_ArchiveSaver fa;
    ASSERT_TRUE(fa.openRead("/r"));
    Data_FileItem it;
    ASSERT_TRUE(fa.fillItem(10, it));
    EXPECT_EQ(it.m_bInArchive, 1);
    EXPECT_EQ(it.m_nArchiveIndex, 7);
    EXPECT_EQ(it.m_strArchiveName, "a.zip");
    EXPECT_EQ(it.m_strInnerPath, "in/");
    ASSERT_TRUE(fa.fillItem(12, it));
    EXPECT_EQ(it.m_bInArchive, 0);
    EXPECT_TRUE(it.m_strArchiveName.empty());
}

TEST_F(IndexFormat, FolderColumnStoresFolderWithoutSlashAndReadsItBackWithOne) {
    ASSERT_TRUE(writeLiveCache("/", {item("/", "top"), item("/a/", "x"), item("/a/", "y"), item("/a/B/", "z")}));
    EXPECT_EQ(readFile(columnFile("fp", "/")), std::string("\0\2/a\4/a/B", 9));
    SF_FolderSaver fp;
    ASSERT_TRUE(fp.openRead("/"));
    Data_FileItem it;
    ASSERT_TRUE(fp.fillItem(0, it));
    EXPECT_EQ(it.m_strPath, "/");
    ASSERT_TRUE(fp.fillItem(2, it));
    EXPECT_EQ(it.m_strPath, "/a/");
}

TEST_F(IndexFormat, FiveGibibyteSizeAndHalfZeroTimesReadBackUnchanged) {
    Data_FileItem big = item("/r/", "big.iso", 5ll << 30);
    big.m_ftLastWrite = FILETIME{0, 0x01D00000};
    Data_FileItem low = item("/r/", "low");
    low.m_ftLastWrite = FILETIME{0x12345678, 0};
    ASSERT_TRUE(writeLiveCache("/r", {big, low}));
    SF_SizeSaver fs;
    SF_WriteTimeSaver mt;
    ASSERT_TRUE(fs.openRead("/r"));
    ASSERT_TRUE(mt.openRead("/r"));
    Data_FileItem it;
    ASSERT_TRUE(fs.fillItem(0, it));
    EXPECT_EQ(it.m_nSize, 5ll << 30);
    ASSERT_TRUE(mt.fillItem(0, it));
    EXPECT_EQ(it.m_ftLastWrite, (FILETIME{0, 0x01D00000}));
    ASSERT_TRUE(mt.fillItem(1, it));
    EXPECT_EQ(it.m_ftLastWrite, (FILETIME{0x12345678, 0}));
}

TEST_F(IndexFormat, RootWithoutEntriesGivesEmptyFilesThatCannotBeOpened) {
    ASSERT_TRUE(writeLiveCache("/empty", {}));
    EXPECT_TRUE(exists(columnFile("fn", "/empty")));
    EXPECT_EQ(readFile(columnFile("fn", "/empty")).size(), 0u);
    SF_TitleSaver fn;
    EXPECT_FALSE(fn.openRead("/empty"));
}

// Strings of 255 bytes and more use the escaped length prefix and keep every column in step.
TEST_F(IndexFormat, LongStringsUseTheEscapedPrefixAndStayConsistent) {
    const std::string deep = "/" + std::string(299, 'd') + "/";
    const std::string huge = "/" + std::string(70000, 'h') + "/";
    const std::string title255(255, 't');
    ASSERT_TRUE(writeLiveCache("/r", {item(deep, title255 + ".ext"), item(huge, "after.txt"), item("/r/", "last")}));
    const std::string fn = readFile(columnFile("fn", "/r"));
    ASSERT_GE(fn.size(), 3u);
    EXPECT_EQ(fn.substr(0, 3), std::string("\xFF\xFF\x00", 3));
    const std::string fp = readFile(columnFile("fp", "/r"));
    EXPECT_EQ(fp.substr(0, 3), std::string("\xFF\x2C\x01", 3));   // 300 as u16
    EXPECT_EQ(fp.substr(3 + 300, 3), std::string("\xFF\xFF\xFF", 3));   // 70000 needs the u32 form
    SF_TitleSaver t;
    SF_FolderSaver f;
    ASSERT_TRUE(t.openRead("/r"));
    ASSERT_TRUE(f.openRead("/r"));
    EXPECT_EQ(t.entryCount(), 3u);
    Data_FileItem it;
    ASSERT_TRUE(t.fillItem(0, it));
    EXPECT_EQ(it.m_strTitle, title255);
    ASSERT_TRUE(f.fillItem(1, it));
    EXPECT_EQ(it.m_strPath, huge);
    ASSERT_TRUE(t.fillItem(2, it));
    EXPECT_EQ(it.m_strTitle, "last");
    ASSERT_TRUE(f.fillItem(2, it));
    EXPECT_EQ(it.m_strPath, "/r/");
}

// ---- stages -----------------------------------------------------------------------------

TEST_F(IndexFormat, RenameWithoutPendingLeavesLiveUntouched) {
    ASSERT_TRUE(writeLiveCache("/r", {item("/r/", "a.txt")}));
    const std::string before = readFile(columnFile("fn", "/r"));
    EXPECT_TRUE(SF_SaverSet::makeLive("/r"));
    EXPECT_EQ(readFile(columnFile("fn", "/r")), before);
}

TEST_F(IndexFormat, StagesMoveTemporaryToPendingToLive) {
    SF_SaverSet set;
    ASSERT_TRUE(set.openWrite("/r"));
    ASSERT_TRUE(set.writeItem(item("/r/", "a.txt")));
    ASSERT_TRUE(set.closeWrite());
    EXPECT_TRUE(exists(columnFile("idfn", "/r", 3)));
    ASSERT_TRUE(set.commit("/r"));
    EXPECT_FALSE(exists(columnFile("idfn", "/r", 3)));
    EXPECT_TRUE(exists(columnFile("idfn", "/r", 2)));
    EXPECT_EQ(IndexCacheCatalog::rootsOf(2), std::vector<std::string>{"/r"});
    EXPECT_TRUE(IndexCacheCatalog::rootsOf(1).empty());
    ASSERT_TRUE(SF_SaverSet::makeLive("/r"));
    EXPECT_EQ(IndexCacheCatalog::rootsOf(1), std::vector<std::string>{"/r"});
    EXPECT_TRUE(IndexCacheCatalog::rootsOf(2).empty());
    ASSERT_TRUE(SF_SaverSet::deleteLive("/r"));
    EXPECT_TRUE(IndexCacheCatalog::rootsOf(1).empty());
}

TEST_F(IndexFormat, DiscardRemovesAllThirteenTemporaryFiles) {
    SF_SaverSet set;
    ASSERT_TRUE(set.openWrite("/r"));
    ASSERT_TRUE(set.writeItem(item("/r/", "a.txt")));
    set.closeWrite();
    set.discardTemporary("/r");
    int left = 0;
    for (const char* tag : {"fa", "idfa", "fn", "idfn", "fe", "idfe", "fp", "idfp", "fs", "ct", "mt", "at", "ft"})
        left += exists(columnFile(tag, "/r", 3));
    EXPECT_EQ(left, 0);
}

TEST_F(IndexFormat, OpenWriteFailsWhenTheCacheFolderIsMissing) {
    Tool_Resource::setIndexCachePath(tmp.path() + "/no/such/folder");
    SF_SaverSet set;
    EXPECT_FALSE(set.openWrite("/r"));
    EXPECT_FALSE(set.isOpen());
}

}  // namespace
