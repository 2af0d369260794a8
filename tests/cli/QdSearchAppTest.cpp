// The last resort of main: no exception leaves qdsearch as an abort.
#include <gtest/gtest.h>

#include <stdexcept>
#include <sys/mman.h>

#include "cli/QdSearchApp.h"
#include "tests/cli/InProcessRun.h"

namespace {

struct ThrowCase {
    const char* name;
    void (*raise)();
    const char* message;
};

class LastResort : public ::testing::TestWithParam<ThrowCase> {};

TEST_P(LastResort, EscapingExceptionBecomesAMessageAndStatusTwo) {
    const int err = ::memfd_create("err", MFD_CLOEXEC);
    EXPECT_EQ(QdSearchApp::guarded(err, [&]() -> int { GetParam().raise(); return 0; }), QdSearchApp::EXIT_USAGE);
    EXPECT_EQ(readAllFrom(err), GetParam().message);
    ::close(err);
}

INSTANTIATE_TEST_SUITE_P(
    Exceptions, LastResort,
    ::testing::Values(ThrowCase{"OutOfRange", [] { throw std::out_of_range("stoi"); },
                                "qdsearch: internal error: stoi\n"},
                      ThrowCase{"BadAlloc", [] { throw std::bad_alloc(); },
                                "qdsearch: internal error: std::bad_alloc\n"},
                      ThrowCase{"NoStandardException", [] { throw 42; }, "qdsearch: internal error\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LastResort, StatusOfTheBodyPassesThrough) {
    EXPECT_EQ(QdSearchApp::guarded(2, [] { return 1; }), 1);
}

}  // namespace
