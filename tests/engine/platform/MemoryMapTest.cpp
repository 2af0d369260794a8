#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/MemoryMap.h"
#include "support/TempDir.h"

namespace {

std::string asString(const MemoryMap& map) { return std::string(reinterpret_cast<const char*>(map.data()), map.size()); }

TEST(MemoryMap, MapsWholeFileContents) {
    TempDir tmp;
    std::string bytes(70'000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    MemoryMap map;
    ASSERT_TRUE(map.open(tmp.write("data.bin", bytes)));
    EXPECT_TRUE(map.isOpen());
    EXPECT_EQ(asString(map), bytes);
    EXPECT_EQ(map.bytes().size(), bytes.size());
}

TEST(MemoryMap, EmptyFileIsAnOpenEmptyRange) {
    TempDir tmp;
    MemoryMap map;
    ASSERT_TRUE(map.open(tmp.write("empty", "")));
    EXPECT_TRUE(map.isOpen());
    EXPECT_EQ(map.size(), 0u);
    EXPECT_TRUE(map.bytes().empty());
}

TEST(MemoryMap, StaysReadableAfterTheFileIsDeleted) {
    TempDir tmp;
    MemoryMap map;
    ASSERT_TRUE(map.open(tmp.write("f", "still here")));
    ASSERT_EQ(::unlink((tmp / "f").c_str()), 0);
    EXPECT_EQ(asString(map), "still here");
}

TEST(MemoryMap, MoveHandsOverTheMappingAndEmptiesTheSource) {
    TempDir tmp;
    MemoryMap a;
    ASSERT_TRUE(a.open(tmp.write("a", "alpha")));
    MemoryMap b(std::move(a));
    EXPECT_FALSE(a.isOpen());
    EXPECT_EQ(a.size(), 0u);
    EXPECT_EQ(asString(b), "alpha");
    MemoryMap c;
    ASSERT_TRUE(c.open(tmp.write("c", "gamma")));
    c = std::move(b);   // c's own mapping is released, b's taken over
    EXPECT_EQ(asString(c), "alpha");
    EXPECT_FALSE(b.isOpen());
}

TEST(MemoryMap, ReopenReleasesThePreviousMapping) {
    TempDir tmp;
    MemoryMap map;
    ASSERT_TRUE(map.open(tmp.write("one", "1111")));
    ASSERT_TRUE(map.open(tmp.write("two", "22")));
    EXPECT_EQ(asString(map), "22");
    EXPECT_FALSE(map.open(tmp / "missing"));
    EXPECT_FALSE(map.isOpen()) << "a failed open leaves the object closed";
    EXPECT_EQ(map.data(), nullptr);
}

struct RefusedCase {
    const char* label;
    int expectedErrno;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.label; }

class MemoryMapRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(MemoryMapRefuses, FailsWithErrnoWithoutBlocking) {
    TempDir tmp;
    tmp.mkdir("folder");
    ASSERT_EQ(::mkfifo((tmp / "fifo").c_str(), 0644), 0);   // opening it must not wait for a writer
    MemoryMap map;
    errno = 0;
    EXPECT_FALSE(map.open(tmp / GetParam().label));
    EXPECT_EQ(errno, GetParam().expectedErrno);
    EXPECT_FALSE(map.isOpen());
}

INSTANTIATE_TEST_SUITE_P(NotRegularFiles, MemoryMapRefuses,
                         ::testing::Values(RefusedCase{"missing", ENOENT}, RefusedCase{"folder", EISDIR},
                                           RefusedCase{"fifo", EINVAL}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
