// The stat helper's read-ahead of whole subfolders: a walk that takes folders over from the
// helper must see exactly the entries of a walk without a helper, and every folder read
// ahead must be given back (descriptor and budget) whether the walk took it or not.
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

#include "index/SF_FileFind.h"
#include "index/SF_StatHelper.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace {

struct Seen {
    std::string path;
    uint64_t size;
    uint32_t attributes;
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* os) { *os << s.path << " (" << s.size << ", " << s.attributes << ")"; }

void walkAll(SF_FileFind& find, std::vector<Seen>& out) {
    while (find.findNextFile()) {
        out.push_back({find.getFilePath(), find.getRealLength(), find.getAttributes()});
        if (find.isDirectory()) {
            SF_FileFind child;
            if (child.findChild(find, find.getFileName(), find.getFilePath()))
                walkAll(child, out);
        }
    }
}

std::vector<Seen> walkWithoutHelper(const std::string& root) {
    std::vector<Seen> out;
    SF_FileFind find;
    if (find.findFile(root))
        walkAll(find, out);
    return out;
}

// Starts the walk, gives the helper time to read subfolders ahead (up to five seconds, until
// it has read at least one), then walks on.
std::vector<Seen> walkAfterReadAhead(const std::string& root, SF_StatHelper& helper) {
    std::vector<Seen> out;
    SF_FileFind find(&helper);
    if (!find.findFile(root))
        return out;
    for (int i = 0; i < 500 && helper.foldersReadAhead() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    walkAll(find, out);
    return out;
}

void wideTree(const TempDir& t) {
    for (int a = 0; a < 40; ++a)
        for (int f = 0; f < 12; ++f)
            t.write("w" + std::to_string(a) + "/f" + std::to_string(f) + (f % 4 ? ".txt" : ""),
                    std::string(static_cast<size_t>(a + f), 'x'));
    for (int a = 0; a < 40; a += 7)
        t.write("w" + std::to_string(a) + "/inner/deeper/leaf.bin", "leaf");
}

TEST(StatHelperReadAhead, WalkSeesTheEntriesOfAWalkWithoutHelperAndGivesEveryFolderBack) {
    TempDir tree;
    wideTree(tree);
    const auto expected = walkWithoutHelper(tree.path());
    ASSERT_EQ(expected.size(), 40u * 13 + 6u * 3);
    SF_StatHelper helper;
    const auto seen = walkAfterReadAhead(tree.path(), helper);
    EXPECT_GT(helper.foldersReadAhead(), 0u);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(helper.prefetchedFolders(), 0u);
    EXPECT_EQ(helper.prefetchedEntries(), 0u);
}

TEST(StatHelperReadAhead, FoldersReadAheadButNeverTakenAreGivenBack) {
    // The walk stops after the first entry: everything read ahead is dropped with it.
    TempDir tree;
    wideTree(tree);
    SF_StatHelper helper;
    {
        SF_FileFind find(&helper);
        ASSERT_TRUE(find.findFile(tree.path()));
        for (int i = 0; i < 500 && helper.foldersReadAhead() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(find.findNextFile());
    }
    EXPECT_GT(helper.foldersReadAhead(), 0u);
    EXPECT_EQ(helper.prefetchedFolders(), 0u);
    EXPECT_EQ(helper.prefetchedEntries(), 0u);
}

TEST(StatHelperReadAhead, UnreadableSubfoldersAreListedWithoutTheirContents) {
    TempDir tree;
    wideTree(tree);
    for (int a = 1; a < 40; a += 3)
        ::chmod((tree / ("w" + std::to_string(a))).c_str(), 0);
    Unprivileged::openUp(tree.path());
    // 0: same entries; 1: an unreadable folder's contents were seen; 2: budget not returned.
    EXPECT_EQ(Unprivileged::run([&] {
                  const auto expected = walkWithoutHelper(tree.path());
                  for (const auto& s : expected)
                      if (s.path.find("/w1/") != std::string::npos)
                          return 1;
                  SF_StatHelper helper;
                  if (walkAfterReadAhead(tree.path(), helper) != expected)
                      return 3;
                  return helper.prefetchedFolders() == 0 && helper.prefetchedEntries() == 0 ? 0 : 2;
              }),
              0);
    for (int a = 1; a < 40; a += 3)
        ::chmod((tree / ("w" + std::to_string(a))).c_str(), 0755);
}

}  // namespace
