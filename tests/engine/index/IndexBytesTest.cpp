// The bytes of a cache written by the indexer, with and without the stat helper thread,
// against a cache written from a plain recursive walk (readdir order, lstat, the zone
// asked for every time). The fast walk (listing in slices, stat'ing ahead, remembered
// zone offsets, buffered column writers) must not change a single byte.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "IndexTestSupport.h"
#include "platform/DirEnumerator.h"
#include "platform/FileTimeConvert.h"
#include "support/TempDir.h"

using namespace IndexTest;

namespace {

const char* const kColumns[] = {"fa", "idfa", "fn", "idfn", "fe", "idfe", "fs",
                                "fp", "idfp", "ct", "mt", "at", "ft"};

// Depth first in readdir order, a folder after everything below it with its total size.
class PlainWalk {
public:
    explicit PlainWalk(std::vector<Data_FileItem>& out) : m_out(out) {}

    uint64_t walk(const std::string& folder) {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(folder.c_str())) {
            while (const dirent* e = ::readdir(d)) {
                const std::string n = e->d_name;
                if (n != "." && n != "..")
                    names.push_back(n);
            }
            ::closedir(d);
        }
        uint64_t total = 0;
        for (const auto& n : names) {
            const std::string path = folder + "/" + n;
            FileStat st;
            if (!DirEnumerator::statAt(AT_FDCWD, path.c_str(), st))
                continue;
            Data_FileItem it;
            it.m_strPath = folder + "/";
            const size_t dot = Data_FileItem::extensionDot(n);
            it.m_strTitle = dot == std::string::npos ? n : n.substr(0, dot);
            it.m_strExt = dot == std::string::npos ? "" : n.substr(dot + 1);
            it.m_dwAttributes = DirEnumerator::attributesOf(st, n);
            it.m_ftCreation = FileTimeConvert::fromTimespecExact(st.creation);
            it.m_ftLastAccess = FileTimeConvert::fromTimespecExact(st.lastAccess);
            it.m_ftLastWrite = FileTimeConvert::fromTimespecExact(st.lastWrite);
            uint64_t size = st.size;
            if (S_ISDIR(st.mode))
                size = walk(path);
            it.m_nSize = static_cast<int64_t>(size);
            m_out.push_back(std::move(it));
            total += size;
        }
        return total;
    }

private:
    std::vector<Data_FileItem>& m_out;
};

struct TreeShape {
    const char* label;
    std::function<void(const TempDir&)> build;
};

void PrintTo(const TreeShape& s, std::ostream* os) { *os << s.label; }

class IndexBytes : public ::testing::TestWithParam<TreeShape> {
protected:
    // Indexes the tree into `cacheFolder` and returns the thirteen live files' bytes.
    std::vector<std::string> indexInto(const TempDir& cacheFolder, bool parallel) {
        Tool_Resource::setIndexCachePath(cacheFolder.path());
        SF_Man man;
        man.addPath({tree.path()});
        man.setExcludeListInfo({}, {}, false);
        man.setIndexThreadPriority(10);
        man.setParallelStat(parallel);
        SF_Man::s_hCancelEvent.reset();
        man.startIndex(nullptr);
        EXPECT_TRUE(SF_SaverSet::makeLive(tree.path()));
        return liveColumns();
    }
    std::vector<std::string> liveColumns() const {
        std::vector<std::string> bytes;
        for (const char* tag : kColumns)
            bytes.push_back(readFile(columnFile(tag, tree.path())));
        return bytes;
    }
    TempDir tree, serialCache, parallelCache, plainCache;
};

TEST_P(IndexBytes, FastWalkWritesTheBytesOfAPlainWalk) {
    GetParam().build(tree);
    // Reading a folder may move its access time once (relatime): settle that first.
    std::vector<Data_FileItem> items;
    PlainWalk(items).walk(tree.path());
    items.clear();
    PlainWalk(items).walk(tree.path());
    Tool_Resource::setIndexCachePath(plainCache.path());
    ASSERT_TRUE(writeLiveCache(tree.path(), items));
    const auto plain = liveColumns();

    const auto serial = indexInto(serialCache, false);
    const auto parallel = indexInto(parallelCache, true);
    ASSERT_FALSE(plain[0].empty());
    for (size_t i = 0; i < std::size(kColumns); ++i) {
        EXPECT_EQ(serial[i], plain[i]) << "column " << kColumns[i] << ", helper off";
        EXPECT_EQ(parallel[i], plain[i]) << "column " << kColumns[i] << ", helper on";
    }
}

void nested(const TempDir& t) {
    for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 5; ++b)
            for (int f = 0; f < 9; ++f)
                t.write("d" + std::to_string(a) + "/e" + std::to_string(b) + "/file" + std::to_string(f) +
                            (f % 3 ? ".txt" : ""),
                        std::string(static_cast<size_t>(a * 7 + f), 'x'));
}

// More entries than one listing slice, with folders between the files.
void largeFolder(const TempDir& t) {
    for (int i = 0; i < 5000; ++i)
        t.write("big/n" + std::to_string(i) + ".dat", i % 97 == 0 ? "12345" : "");
    t.write("big/m/inner", "abc");
    t.write("big/zz/inner2", "abcd");
}

void oddEntries(const TempDir& t) {
    t.write("with space.txt", "1");
    t.write("new\nline", "22");
    t.write("trailing.", "333");
    t.write(".hidden", "4444");
    t.write(std::string(255, 'n'), "x");
    t.write("dir/ro.bin", "5");
    ::chmod((t / "dir/ro.bin").c_str(), 0444);
    ::symlink((t / "dir").c_str(), (t / "link-to-dir").c_str());
    ::symlink("nowhere", (t / "dangling").c_str());
    ::mkfifo((t / "fifo").c_str(), 0600);
    ::mkdir((t / "empty").c_str(), 0700);
}

// Times on both sides of clock changes and far from now, so the remembered zone offsets
// are exercised (under TZ, when the machine's zone has daylight saving time).
void spreadTimes(const TempDir& t) {
    const int64_t times[] = {0,          1616893199, 1616893200, 1635642000, 1635645600,
                             -86400LL * 365 * 50, 4102444800LL, 1700000000};
    int i = 0;
    for (int64_t s : times) {
        const std::string name = "t" + std::to_string(i++);
        t.write(name, "x");
        t.setTimes(name, s);
    }
}

// Many sibling folders, some large and some nested: the helper reads folders ahead.
void manyFolders(const TempDir& t) {
    for (int a = 0; a < 120; ++a) {
        const std::string d = "s" + std::to_string(a) + "/";
        const int files = a % 60 == 0 ? 4200 : 6;
        for (int f = 0; f < files; ++f)
            t.write(d + "f" + std::to_string(f), std::string(static_cast<size_t>(f % 5), 'y'));
        if (a % 9 == 0)
            t.write(d + "sub/deep/x.txt", "deep");
    }
}

INSTANTIATE_TEST_SUITE_P(Trees, IndexBytes,
                         ::testing::Values(TreeShape{"NestedFolders", nested}, TreeShape{"LargerThanASlice", largeFolder},
                                           TreeShape{"OddEntries", oddEntries}, TreeShape{"SpreadTimes", spreadTimes},
                                           TreeShape{"ManyFolders", manyFolders}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
