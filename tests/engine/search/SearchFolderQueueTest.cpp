// The pending-folder ring of a walk: first in, first out, at most 199,999 waiting.
#include <gtest/gtest.h>

#include "search/Search_FolderQueue.h"

TEST(SearchFolderQueue, HoldsOneFolderLessThanItsSlots) {
    Search_FolderQueue queue;
    for (size_t i = 0; i + 1 < Search_FolderQueue::kSlots; ++i)
        ASSERT_TRUE(queue.push(std::string()));
    EXPECT_EQ(queue.size(), Search_FolderQueue::kSlots - 1);
    EXPECT_FALSE(queue.push("one too many"));
    std::string out;
    ASSERT_TRUE(queue.pop(out));
    EXPECT_TRUE(queue.push("room again"));
}

TEST(SearchFolderQueue, FirstInFirstOut) {
    Search_FolderQueue queue;
    queue.push("a");
    queue.push("a/b");
    queue.push("c");
    std::string out;
    ASSERT_TRUE(queue.pop(out));
    EXPECT_EQ(out, "a");
    ASSERT_TRUE(queue.pop(out));
    EXPECT_EQ(out, "a/b");
    ASSERT_TRUE(queue.pop(out));
    EXPECT_EQ(out, "c");
    EXPECT_FALSE(queue.pop(out));
    EXPECT_TRUE(queue.empty());
}
