// The descriptor owner: every way of letting a descriptor go closes it exactly once, and
// release() hands it over open.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "platform/UniqueFd.h"

namespace {

bool isOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

// Both ends of a fresh pipe; the test owns them.
std::pair<int, int> makePipe() {
    int fds[2] = {-1, -1};
    EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    return {fds[0], fds[1]};
}

TEST(UniqueFd, ClosesWhenDestroyed) {
    const auto [r, w] = makePipe();
    {
        UniqueFd owner(r);
        EXPECT_TRUE(owner.valid());
        EXPECT_EQ(owner.get(), r);
    }
    EXPECT_FALSE(isOpen(r));
    EXPECT_EQ(errno, EBADF);
    ::close(w);
}

TEST(UniqueFd, MoveTransfersOwnershipAndMoveAssignmentClosesTheOldDescriptor) {
    const auto [r, w] = makePipe();
    UniqueFd first(r);
    UniqueFd second(std::move(first));
    EXPECT_FALSE(first.valid());   // NOLINT(bugprone-use-after-move): the moved-from state is the contract
    EXPECT_EQ(second.get(), r);
    UniqueFd third(w);
    third = std::move(second);     // w is closed, r moves on
    EXPECT_FALSE(isOpen(w));
    EXPECT_TRUE(isOpen(r));
    EXPECT_EQ(third.get(), r);
    UniqueFd& same = third;
    third = std::move(same);       // moving onto itself keeps the descriptor
    EXPECT_TRUE(isOpen(r));
}

TEST(UniqueFd, ReleaseLeavesTheDescriptorOpenAndResetClosesIt) {
    const auto [r, w] = makePipe();
    UniqueFd owner(r);
    EXPECT_EQ(owner.release(), r);
    EXPECT_FALSE(owner.valid());
    EXPECT_TRUE(isOpen(r));
    owner.reset(r);
    owner.reset(r);                // the same descriptor again is kept, not closed
    EXPECT_TRUE(isOpen(r));
    owner.reset(w);
    EXPECT_FALSE(isOpen(r));
    EXPECT_TRUE(isOpen(w));
    owner.reset(-7);               // negative: owns none
    EXPECT_EQ(owner.get(), -1);
    EXPECT_FALSE(isOpen(w));
}

}  // namespace
