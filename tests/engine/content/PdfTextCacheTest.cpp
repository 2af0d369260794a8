// The PDF text cache: entries served only for the very document they were made from,
// damaged entries ignored and replaced, the size bound, the private folder; and through a
// search with the real converter: an unchanged document is not converted again, a changed
// one is.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "content/CT_PDF.h"
#include "content/ContentTermBuilder.h"
#include "content/PdfTextCache.h"
#include "records/ISearchResultReciever.h"
#include "records/Search_Rule.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"

namespace {

PdfTextCache::Key keyOf(const std::string& path) {
    struct stat st{};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return PdfTextCache::Key::of(st);
}

PdfTextCache::Options options(const std::string& folder, uint64_t maxBytes = PdfTextCache::DEFAULT_MAX_BYTES) {
    PdfTextCache::Options o;
    o.folder = folder;
    o.maxBytes = maxBytes;
    o.settleNanoseconds = 0;   // the test's documents are all brand new
    return o;
}

std::vector<std::string> entriesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class PdfTextCacheTest : public ::testing::Test {
protected:
    TempDir tmp;
    std::string folder() const { return tmp / "cache/pdftext"; }
};

TEST_F(PdfTextCacheTest, StoredTextServedOnlyForTheSameDocument) {
    const std::string doc = tmp.write("d/a.pdf", "first version");
    PdfTextCache cache(options(folder()));
    ASSERT_TRUE(cache.isOpen()) << cache.openError();
    struct stat st{};
    ASSERT_EQ(::stat(folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const PdfTextCache::Key key = keyOf(doc);
    std::string text = "untouched";
    EXPECT_FALSE(cache.lookup(key, text));
    EXPECT_EQ(text, "untouched");
    ASSERT_TRUE(cache.store(key, std::string("extracted \0 text", 16)));
    ASSERT_TRUE(cache.lookup(key, text));
    EXPECT_EQ(text, std::string("extracted \0 text", 16));
    EXPECT_EQ(entriesIn(folder()), std::vector<std::string>{PdfTextCache::entryName(key)});

    // Each part of the key on its own makes another document (same entry name: same file).
    const std::vector<std::pair<const char*, void (*)(PdfTextCache::Key&)>> changes = {
        {"size", [](PdfTextCache::Key& k) { ++k.size; }},
        {"mtime s", [](PdfTextCache::Key& k) { ++k.mtimeSeconds; }},
        {"mtime ns", [](PdfTextCache::Key& k) { ++k.mtimeNanoseconds; }},
        {"ctime s", [](PdfTextCache::Key& k) { ++k.ctimeSeconds; }},
        {"ctime ns", [](PdfTextCache::Key& k) { ++k.ctimeNanoseconds; }},
    };
    for (const auto& [label, change] : changes) {
        PdfTextCache::Key other = key;
        change(other);
        std::string got;
        EXPECT_FALSE(cache.lookup(other, got)) << label;
    }
    // A second cache object (another search) sees the entry.
    PdfTextCache again(options(folder()));
    ASSERT_TRUE(again.lookup(key, text));
}

TEST_F(PdfTextCacheTest, DamagedEntriesAreMissesAndReplaced) {
    const std::string doc = tmp.write("d/a.pdf", "x");
    const PdfTextCache::Key key = keyOf(doc);
    const std::string text(5000, 'k');
    struct Damage {
        const char* label;
        std::string (*apply)(std::string entry);
    };
    const Damage damages[] = {
        {"truncated text", [](std::string e) { return e.substr(0, e.size() - 100); }},
        {"truncated header", [](std::string e) { return e.substr(0, 20); }},
        {"empty", [](std::string) { return std::string(); }},
        {"text byte changed", [](std::string e) { e[e.size() - 1] = 'j'; return e; }},
        {"longer than said", [](std::string e) { return e + "extra"; }},
        {"magic changed", [](std::string e) { e[0] = 'X'; return e; }},
        {"key changed", [](std::string e) { e[8 + 16] ^= 1; return e; }},   // the size field
        {"length field changed", [](std::string e) { e[8 + 56] ^= 2; return e; }},
    };
    PdfTextCache cache(options(folder()));
    const std::string entry = folder() + "/" + PdfTextCache::entryName(key);
    for (const Damage& damage : damages) {
        ASSERT_TRUE(cache.store(key, text)) << damage.label;
        const std::string good = readAll(entry);
        ASSERT_EQ(good.size(), PdfTextCache::HEADER_BYTES + text.size());
        writeAll(entry, damage.apply(good));
        std::string got;
        EXPECT_FALSE(cache.lookup(key, got)) << damage.label;
        ASSERT_TRUE(cache.store(key, text)) << damage.label;
        ASSERT_TRUE(cache.lookup(key, got)) << damage.label;
        EXPECT_EQ(got, text) << damage.label;
    }
    // Something that is no entry file in its place: a folder, a link to a good entry.
    ASSERT_EQ(::unlink(entry.c_str()), 0);
    ASSERT_TRUE(cache.store(key, text));
    ASSERT_EQ(::rename(entry.c_str(), (tmp / "elsewhere").c_str()), 0);
    ASSERT_EQ(::symlink((tmp / "elsewhere").c_str(), entry.c_str()), 0);
    std::string got;
    EXPECT_FALSE(cache.lookup(key, got));
}

TEST_F(PdfTextCacheTest, FullCacheDropsOldestEntriesFirst) {
    const uint64_t maxBytes = 8 * 1024;   // texts of at most 1 KiB are kept
    PdfTextCache cache(options(folder(), maxBytes));
    const std::string text(900, 't');
    std::vector<PdfTextCache::Key> keys;
    for (int i = 0; i < 12; ++i) {
        PdfTextCache::Key key;
        key.device = 7;
        key.inode = uint64_t(100 + i);
        key.size = 900;
        keys.push_back(key);
    }
    const auto age = [&](const PdfTextCache::Key& key, int64_t seconds) {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (folder() + "/" + PdfTextCache::entryName(key)).c_str(), times, 0), 0);
    };
    // Eight entries fit (8 * 976 bytes < 8 KiB); written in an order unlike their age.
    const int order[] = {3, 0, 7, 1, 6, 2, 5, 4};
    for (int i : order) {
        ASSERT_TRUE(cache.store(keys[size_t(i)], text));
        age(keys[size_t(i)], 1'000'000 + i * 10);   // entry i is the i-th oldest
    }
    EXPECT_EQ(entriesIn(folder()).size(), 8u);
    // The ninth does not fit: the oldest go until 7/8 of the bound is left, the new one included.
    ASSERT_TRUE(cache.store(keys[8], text));
    std::vector<std::string> expected;
    for (int i : {2, 3, 4, 5, 6, 7, 8})
        expected.push_back(PdfTextCache::entryName(keys[size_t(i)]));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entriesIn(folder()), expected);
    std::string got;
    EXPECT_FALSE(cache.lookup(keys[0], got));
    EXPECT_TRUE(cache.lookup(keys[8], got));
    // A text larger than an eighth of the bound is not kept at all.
    EXPECT_FALSE(cache.store(keys[9], std::string(1100, 'b')));
    EXPECT_FALSE(cache.lookup(keys[9], got));
}

TEST_F(PdfTextCacheTest, FolderThatIsALinkOrAnotherUsersIsRefused) {
    const std::string target = tmp.mkdir("target");
    tmp.mkdir("cache");
    ASSERT_EQ(::symlink(target.c_str(), folder().c_str()), 0);
    {
        PdfTextCache cache(options(folder()));
        EXPECT_FALSE(cache.isOpen());
        EXPECT_TRUE(cache.openError() == ELOOP || cache.openError() == ENOTDIR) << cache.openError();
        PdfTextCache::Key key;
        key.inode = 1;
        EXPECT_FALSE(cache.store(key, "text"));
        EXPECT_TRUE(entriesIn(target).empty());
    }
    // Another user's folder: as root one is made, otherwise root's own /tmp serves.
    std::string foreign = "/tmp";
    if (::geteuid() == 0) {
        foreign = tmp.mkdir("foreign");
        ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    } else {
        struct stat st{};
        if (::stat("/tmp", &st) != 0 || st.st_uid == ::geteuid())
            GTEST_SKIP() << "no folder of another user at hand";
    }
    PdfTextCache cache(options(foreign));
    EXPECT_FALSE(cache.isOpen());
    EXPECT_EQ(cache.openError(), EPERM);

    // Our own folder that is too open is made private.
    const std::string open = tmp.mkdir("open");
    ASSERT_EQ(::chmod(open.c_str(), 0755), 0);
    PdfTextCache mine(options(open));
    EXPECT_TRUE(mine.isOpen());
    struct stat st{};
    ASSERT_EQ(::stat(open.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(PdfTextCacheTest, FreshlyChangedDocumentIsNotStored) {
    const std::string doc = tmp.write("d/a.pdf", "x");
    PdfTextCache::Options o = options(folder());
    o.settleNanoseconds = PdfTextCache::DEFAULT_SETTLE_NANOSECONDS;
    PdfTextCache cache(o);
    EXPECT_FALSE(cache.store(keyOf(doc), "text"));
    PdfTextCache::Key old = keyOf(doc);
    old.ctimeSeconds -= 10;
    EXPECT_TRUE(cache.store(old, "text"));
}

// ---- through a search, with the real converter -------------------------------------

class CollectingReceiver : public ISearchResultReciever {
public:
    std::vector<std::string> results;
    void addIndexedResult(uint32_t, Search_CachePathSearcher*) override {}
    void addResult(const Search_Rule&, std::unique_ptr<Data_FileItem> item, bool) override {
        results.push_back(item->getFileName());
    }
    void addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>&) override {}
    void searchFinished(uint32_t, const Search_Rule&) override {}
    void showMessage(std::unique_ptr<std::string>) override {}
};

class PdfCacheSearch : public ::testing::Test {
protected:
    void SetUp() override {
        if (CT_PDF::converterProgram() != "pdftotext" || !pdftotextOnPath())
            GTEST_SKIP() << "pdftotext is needed";
        m_oldCache = std::getenv("XDG_CACHE_HOME") ? std::getenv("XDG_CACHE_HOME") : "";
        m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("XDG_CACHE_HOME", cacheHome.path().c_str(), 1);
        // A converter that fails every document, for the searches that must not convert.
        tmp.write("failing-bin/pdftotext", "#!/bin/sh\nexit 3\n");
        ::chmod((tmp / "failing-bin/pdftotext").c_str(), 0755);
    }
    void TearDown() override {
        ::setenv("PATH", m_oldPath.c_str(), 1);
        if (m_oldCache.empty())
            ::unsetenv("XDG_CACHE_HOME");
        else
            ::setenv("XDG_CACHE_HOME", m_oldCache.c_str(), 1);
    }
    static bool pdftotextOnPath() { return ::system("command -v pdftotext >/dev/null 2>&1") == 0; }

    std::vector<std::string> search(const std::string& word, bool cacheOn = true, unsigned threads = 2) {
        Search_Rule rule;
        NameLinePreparer::prepare("*.pdf", false, rule);
        rule.folders.push_back(tmp / "docs");
        ContentTermRequest request;
        request.text = word;
        EXPECT_TRUE(ContentTermBuilder::addTerms(rule.containText, request).ok);
        Search_Man::s_hStopSearchEvent.reset();
        Search_Man man;
        man.setScannerThreads(threads);
        man.setPdfTextCache(cacheOn);
        PdfTextCache::Options o;   // the default folder, below XDG_CACHE_HOME
        o.settleNanoseconds = 0;
        man.setPdfTextCacheOptions(o);
        CollectingReceiver receiver;
        man.search(rule, &receiver);
        std::sort(receiver.results.begin(), receiver.results.end());
        return receiver.results;
    }
    void withFailingConverter() { ::setenv("PATH", (tmp / "failing-bin").c_str(), 1); }
    void withRealConverter() { ::setenv("PATH", m_oldPath.c_str(), 1); }
    std::string cacheFolder() const { return cacheHome / "Quendrel/pdftext"; }

    TempDir cacheHome;
    TempDir tmp;

private:
    std::string m_oldCache, m_oldPath;
};

TEST_F(PdfCacheSearch, UnchangedDocumentsAreNotConvertedAgain) {
    for (int i = 0; i < 4; ++i)
        tmp.write("docs/d" + std::to_string(i) + ".pdf", TestPdf::document("report zanzibar " + std::to_string(i)));
    const std::vector<std::string> all = {"d0.pdf", "d1.pdf", "d2.pdf", "d3.pdf"};
    EXPECT_EQ(search("zanzibar"), all);
    EXPECT_EQ(entriesIn(cacheFolder()).size(), 4u);
    struct stat st{};
    ASSERT_EQ(::stat(cacheFolder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    withFailingConverter();
    EXPECT_EQ(search("zanzibar"), all) << "served from the cache";
    EXPECT_EQ(search("zanzibar", true, 1), all) << "served from the cache, one thread";
    EXPECT_TRUE(search("zanzibar", false).empty()) << "cache off: the failing converter runs";
}

TEST_F(PdfCacheSearch, ChangedDocumentGivesItsNewText) {
    const std::string doc = tmp.write("docs/a.pdf", TestPdf::document("old words zanzibar"));
    EXPECT_EQ(search("zanzibar"), std::vector<std::string>{"a.pdf"});
    tmp.write("docs/a.pdf", TestPdf::document("new words kilimanjaro"));
    EXPECT_TRUE(search("zanzibar").empty());
    EXPECT_EQ(search("kilimanjaro"), std::vector<std::string>{"a.pdf"});
    // Same size, same modification time, new content: the change time still tells.
    const std::string before = TestPdf::document("same length AAAAA");
    const std::string after = TestPdf::document("same length BBBBB");
    ASSERT_EQ(before.size(), after.size());
    tmp.write("docs/a.pdf", before);
    tmp.setTimes("docs/a.pdf", 1'600'000'000);
    EXPECT_EQ(search("AAAAA"), std::vector<std::string>{"a.pdf"});
    const PdfTextCache::Key first = keyOf(tmp / "docs/a.pdf");
    // Rewritten until the clock of the file system has moved on (it counts in ticks).
    for (int i = 0; i < 5000 && keyOf(tmp / "docs/a.pdf") == first; ++i) {
        tmp.write("docs/a.pdf", after);
        tmp.setTimes("docs/a.pdf", 1'600'000'000);
    }
    ASSERT_FALSE(keyOf(tmp / "docs/a.pdf") == first);
    EXPECT_EQ(readAll(tmp / "docs/a.pdf"), after);
    EXPECT_EQ(search("BBBBB"), std::vector<std::string>{"a.pdf"});
    EXPECT_TRUE(search("AAAAA").empty());
}

TEST_F(PdfCacheSearch, CacheOffWritesNothing) {
    tmp.write("docs/fake.pdf", "text zanzibar, no document");
    EXPECT_EQ(search("zanzibar"), std::vector<std::string>{"fake.pdf"});
    EXPECT_NE(::access((cacheHome / "Quendrel").c_str(), F_OK), 0) << "no PDF met: no cache folder made";
    tmp.write("docs/a.pdf", TestPdf::document("zanzibar"));
    EXPECT_EQ(search("zanzibar", false), (std::vector<std::string>{"a.pdf", "fake.pdf"}));
    EXPECT_TRUE(entriesIn(cacheFolder()).empty());
}

}  // namespace
