#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/CArchive.h"
#include "records/Data_FileItem.h"

namespace {

struct NameCase {
    const char* name;
    std::string fileName;
    std::string title;
    std::string ext;
    std::string rebuilt;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << "'" << c.fileName << "'"; }

class FileNameSplit : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileNameSplit, TitleAndExtensionAtLastDot) {
    const auto& c = GetParam();
    Data_FileItem item;
    item.setFileName(c.fileName);
    EXPECT_EQ(item.m_strTitle, c.title);
    EXPECT_EQ(item.m_strExt, c.ext);
    EXPECT_EQ(item.getFileName(), c.rebuilt);
    item.m_strPath = "/home/u/";
    item.emptySpeedCache();
    EXPECT_EQ(item.getFullFileName(), "/home/u/" + c.rebuilt);
}

INSTANTIATE_TEST_SUITE_P(Names, FileNameSplit,
                         ::testing::Values(NameCase{"MultiDot", "archive.tar.gz", "archive.tar", "gz", "archive.tar.gz"},
                                           NameCase{"NoDot", "README", "README", "", "README"},
                                           NameCase{"DotFile", ".profile", "", "profile", ".profile"},
                                           NameCase{"Utf8", "r\xC3\xA9sum\xC3\xA9.pdf", "r\xC3\xA9sum\xC3\xA9", "pdf",
                                                    "r\xC3\xA9sum\xC3\xA9.pdf"},
                                           NameCase{"SpacesAndQuotes", "a \"b\".c d", "a \"b\"", "c d", "a \"b\".c d"},
                                           // Regression: "notes." rebuilt as "notes", naming another file.
                                           NameCase{"TrailingDotKeptInName", "notes.", "notes.", "", "notes."},
                                           NameCase{"TwoTrailingDots", "a..", "a..", "", "a.."}),
                         [](const auto& info) { return std::string(info.param.name); });

Data_FileItem sampleItem(bool inArchive) {
    Data_FileItem item;
    item.m_dwAttributes = 0x21;
    item.m_nSize = 0x0000000500000007LL;
    item.m_strTitle = "archive.tar";
    item.m_strExt = "gz";
    item.m_ftCreation = FILETIME::fromU64(0x0102030405060708ULL);
    item.m_ftLastAccess = FILETIME::fromU64(0x1112131415161718ULL);
    item.m_ftLastWrite = FILETIME::fromU64(0x2122232425262728ULL);
    item.m_strPath = "/data/x/";
    item.m_nDupGroup = 3;
    if (inArchive) {
        item.m_bInArchive = 1;
        item.m_strInnerPath = "inner/";
        item.m_strArchiveName = "pack.zip";
        item.m_nArchiveIndex = 42;
    }
    return item;
}

void appendU32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void appendStr(std::vector<uint8_t>& v, const std::string& s) {
    v.push_back(static_cast<uint8_t>(s.size()));
    v.insert(v.end(), s.begin(), s.end());
}

TEST(Data_FileItemStore, PlainItemIsFortyBytesPlusTwoNames) {
    Data_FileItem item = sampleItem(false);
    std::vector<uint8_t> bytes;
    CArchive out(bytes);
    ASSERT_TRUE(item.serialize(out));
    std::vector<uint8_t> expected;
    appendU32(expected, 0x21);
    appendU32(expected, 7);
    appendU32(expected, 5);
    appendStr(expected, "archive.tar");
    appendStr(expected, "gz");
    for (uint64_t t : {0x0102030405060708ULL, 0x1112131415161718ULL, 0x2122232425262728ULL}) {
        appendU32(expected, static_cast<uint32_t>(t));
        appendU32(expected, static_cast<uint32_t>(t >> 32));
    }
    appendU32(expected, 0);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size(), 40u + (1 + 11) + (1 + 2));
}

TEST(Data_FileItemStore, ArchiveMemberFieldsFollowAndRoundTrip) {
    Data_FileItem item = sampleItem(true);
    std::vector<uint8_t> bytes;
    CArchive out(bytes);
    ASSERT_TRUE(item.serialize(out));
    std::vector<uint8_t> tail;
    appendU32(tail, 1);
    appendStr(tail, "inner/");
    appendStr(tail, "pack.zip");
    appendU32(tail, 42);
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - static_cast<long>(tail.size()), bytes.end()), tail);

    Data_FileItem loaded;
    CArchive in(bytes.data(), bytes.size());
    ASSERT_TRUE(loaded.serialize(in));
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(loaded.m_nSize, item.m_nSize);
    EXPECT_EQ(loaded.m_bInArchive, 1);
    EXPECT_EQ(loaded.m_strInnerPath, "inner/");
    EXPECT_EQ(loaded.m_strArchiveName, "pack.zip");
    EXPECT_EQ(loaded.m_nArchiveIndex, 42);
    EXPECT_EQ(loaded.m_ftLastWrite, item.m_ftLastWrite);
}

TEST(Data_FileItemStore, ResultWithoutSnippetsEndsWithZeroCount) {
    Data_FileItem item = sampleItem(false);
    std::vector<uint8_t> plain, result;
    CArchive p(plain), r(result);
    item.serialize(p);
    ASSERT_TRUE(item.serializeAsResult(r));
    std::vector<uint8_t> expected = plain;
    appendStr(expected, "/data/x/");
    appendU32(expected, 3);
    appendU32(expected, 0);
    EXPECT_EQ(result, expected);
}

std::vector<uint8_t> storeResult(Data_FileItem& item) {
    std::vector<uint8_t> bytes;
    CArchive out(bytes);
    item.serializeAsResult(out);
    return bytes;
}

Data_FileItem itemWithSnippets() {
    Data_FileItem item = sampleItem(true);
    for (int i = 0; i < 3; ++i)
        item.m_vecSnippets.push_back(std::make_shared<const ContentSnippet>(
            ContentSnippet{"before" + std::to_string(i), "m\xC3\xA9" + std::to_string(i), std::string(i * 200, 'a')}));
    return item;
}

TEST(Data_FileItemStore, ResultWithSnippetsRoundTripsAndClearsDisplayFields) {
    Data_FileItem item = itemWithSnippets();
    const auto bytes = storeResult(item);
    Data_FileItem loaded;
    loaded.m_strTypeName = "stale";
    loaded.m_nIconIndex = 7;
    loaded.m_dwShellAttributes = 9;
    loaded.setFullFilled();
    loaded.m_strNameCache = "stale";
    CArchive in(bytes.data(), bytes.size());
    ASSERT_TRUE(loaded.serializeAsResult(in));
    EXPECT_EQ(in.remaining(), 0u);
    ASSERT_EQ(loaded.m_vecSnippets.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded.m_vecSnippets[i]->before, item.m_vecSnippets[i]->before);
        EXPECT_EQ(loaded.m_vecSnippets[i]->match, item.m_vecSnippets[i]->match);
        EXPECT_EQ(loaded.m_vecSnippets[i]->after, item.m_vecSnippets[i]->after);
    }
    EXPECT_EQ(loaded.m_strPath, "/data/x/");
    EXPECT_EQ(loaded.m_nDupGroup, 3);
    EXPECT_EQ(loaded.m_strTypeName, "");
    EXPECT_EQ(loaded.m_nIconIndex, -1);
    EXPECT_EQ(loaded.m_dwShellAttributes, 0u);
    EXPECT_FALSE(loaded.isFullFilled());
    EXPECT_EQ(loaded.getFileName(), "archive.tar.gz");
    EXPECT_EQ(storeResult(loaded), bytes);
}

TEST(Data_FileItemStore, Title255BytesGetsThreeBytePrefix) {
    Data_FileItem item;
    item.m_strTitle = std::string(255, 't');
    std::vector<uint8_t> bytes;
    CArchive out(bytes);
    item.serialize(out);
    ASSERT_GT(bytes.size(), 15u);
    EXPECT_EQ(bytes[12], 0xFF);
    EXPECT_EQ(bytes[13], 0xFF);
    EXPECT_EQ(bytes[14], 0x00);
    Data_FileItem loaded;
    CArchive in(bytes.data(), bytes.size());
    ASSERT_TRUE(loaded.serialize(in));
    EXPECT_EQ(loaded.m_strTitle, item.m_strTitle);
}

TEST(Data_FileItemLoad, EveryTruncationFailsCleanly) {
    Data_FileItem item = itemWithSnippets();
    const auto bytes = storeResult(item);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        Data_FileItem loaded;
        CArchive in(part.data(), part.size());
        EXPECT_FALSE(loaded.serializeAsResult(in)) << "cut at " << cut;
        EXPECT_FALSE(in.ok()) << "cut at " << cut;
    }
}

TEST(Data_FileItemLoad, HugeSnippetCountFailsWithoutReserving) {
    Data_FileItem item = sampleItem(false);
    auto bytes = storeResult(item);
    ASSERT_GE(bytes.size(), 4u);
    std::memset(bytes.data() + bytes.size() - 4, 0xFF, 4);   // count = 4 294 967 295
    bytes.push_back(0);
    Data_FileItem loaded;
    CArchive in(bytes.data(), bytes.size());
    EXPECT_FALSE(loaded.serializeAsResult(in));
    EXPECT_TRUE(loaded.m_vecSnippets.empty());
}

// Random bytes, and well-formed records with bytes overwritten: whatever the loader accepts
// must store, load and store again identically. Both kinds of input must occur, so that the
// round trip is really exercised.
TEST(Data_FileItemLoad, GarbageNeverCrashes) {
    unsigned seed = 7;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u, static_cast<uint8_t>(seed >> 24); };
    Data_FileItem sample = sampleItem(true);
    const auto valid = storeResult(sample);
    int accepted = 0;
    int refused = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> bytes;
        if (round % 2) {
            bytes.resize(next() % 96);
            for (auto& b : bytes)
                b = next();
        } else {
            bytes = valid;
            const int flips = 1 + next() % 3;
            for (int f = 0; f < flips; ++f)
                bytes[(static_cast<size_t>(next()) << 8 | next()) % bytes.size()] = next();
        }
        Data_FileItem loaded;
        CArchive in(bytes.data(), bytes.size());
        if (!loaded.serializeAsResult(in)) {
            ++refused;
            continue;
        }
        ++accepted;
        const auto first = storeResult(loaded);
        Data_FileItem reloaded;
        CArchive in2(first.data(), first.size());
        ASSERT_TRUE(reloaded.serializeAsResult(in2)) << "round " << round;
        EXPECT_EQ(storeResult(reloaded), first) << "round " << round;
    }
    EXPECT_GT(accepted, 100);
    EXPECT_GT(refused, 100);
}

TEST(Data_FileItemCopy, CopySharesSnippetsCloneDuplicatesThem) {
    Data_FileItem item = itemWithSnippets();
    item.m_dwCRC32 = 0x1234;
    item.m_md5[0] = 5;
    item.m_nIconIndex = 4;
    item.m_strTypeName = "type";
    item.setFullFilled();
    item.getFullFileName();

    Data_FileItem copy = item;
    ASSERT_EQ(copy.m_vecSnippets.size(), 3u);
    EXPECT_EQ(copy.m_vecSnippets[0].get(), item.m_vecSnippets[0].get());
    EXPECT_EQ(copy.m_dwCRC32, 0x1234u);

    auto clone = item.clone();
    ASSERT_EQ(clone->m_vecSnippets.size(), 3u);
    EXPECT_NE(clone->m_vecSnippets[0].get(), item.m_vecSnippets[0].get());
    EXPECT_EQ(clone->m_vecSnippets[2]->after, item.m_vecSnippets[2]->after);
    EXPECT_EQ(clone->m_nDupGroup, 0);
    EXPECT_EQ(clone->m_dwCRC32, 0u);
    EXPECT_EQ(clone->m_md5[0], 0);
    EXPECT_EQ(clone->m_strInnerPath, "");
    EXPECT_EQ(clone->m_strArchiveName, "pack.zip");
    EXPECT_EQ(clone->m_nArchiveIndex, 42);
    EXPECT_EQ(clone->m_nIconIndex, 4);
    EXPECT_EQ(clone->m_strTypeName, "type");
    EXPECT_TRUE(clone->isFullFilled());
    EXPECT_EQ(clone->m_strFullNameCache, "/data/x/archive.tar.gz");
}

TEST(Data_FileItemCopy, ResetKeepsNameAndTimesOnly) {
    Data_FileItem item = itemWithSnippets();
    item.m_nIconIndex = 4;
    item.m_strTypeName = "type";
    item.m_dwShellAttributes = 8;
    item.m_dwCRC32 = 1;
    item.m_md5[0] = 1;
    item.setFullFilled();
    item.getFullFileName();
    item.getFullNameIncludeArchivePath();
    item.reset();
    EXPECT_TRUE(item.m_vecSnippets.empty());
    EXPECT_EQ(item.m_bInArchive, 0);
    EXPECT_EQ(item.m_nArchiveIndex, 0);
    EXPECT_EQ(item.m_nDupGroup, 0);
    EXPECT_EQ(item.m_dwCRC32, 0u);
    EXPECT_EQ(item.m_md5[0], 0);
    EXPECT_EQ(item.m_nIconIndex, -1);
    EXPECT_EQ(item.m_dwShellAttributes, 0u);
    EXPECT_EQ(item.m_strArchiveName, "");
    EXPECT_EQ(item.m_strArchiveFullCache, "");
    EXPECT_EQ(item.m_strPath, "");
    EXPECT_EQ(item.m_strTypeName, "");
    EXPECT_EQ(item.m_strNameCache, "");
    EXPECT_EQ(item.m_strFullNameCache, "");
    EXPECT_FALSE(item.isFullFilled());
    // Kept: the next fill overwrites them.
    EXPECT_EQ(item.m_strTitle, "archive.tar");
    EXPECT_EQ(item.m_strExt, "gz");
    EXPECT_EQ(item.m_strInnerPath, "inner/");
    EXPECT_EQ(item.m_nSize, 0x0000000500000007LL);
    EXPECT_EQ(item.m_dwAttributes, 0x21u);
    EXPECT_EQ(item.m_ftCreation, FILETIME::fromU64(0x0102030405060708ULL));
}

TEST(Data_FileItem, DefaultState) {
    Data_FileItem item;
    EXPECT_EQ(item.m_nIconIndex, -1);
    EXPECT_EQ(item.m_bInArchive, 0);
    EXPECT_EQ(item.m_md5[0], 0);
    EXPECT_FALSE(item.isFullFilled());
    EXPECT_TRUE(item.m_vecSnippets.empty());
    EXPECT_EQ(item.getFileName(), "");
}

}  // namespace
