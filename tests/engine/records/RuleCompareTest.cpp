// The size and date tests that the walk and the index search share.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/FileTimeConvert.h"
#include "records/Rule_Compare.h"
#include "records/Search_Rule.h"

namespace {

constexpr uint64_t kSecond = 10'000'000ULL;
constexpr uint64_t kDay = 86'400ULL * kSecond;
// The "now" of the date tests: a day in 2022.
constexpr uint64_t kNow = 133'000'000'000'000'000ULL;

// ---- getBytes ---------------------------------------------------------------------------

struct BytesCase {
    const char* name;
    float value;
    uint16_t unit;
    int64_t expected;
};

class GetBytes : public ::testing::TestWithParam<BytesCase> {};

TEST_P(GetBytes, GivesTheCeilingInBytes) {
    const BytesCase& c = GetParam();
    EXPECT_EQ(Rule_Compare::getBytes(c.value, c.unit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Units, GetBytes,
    ::testing::Values(BytesCase{"ZeroBytes", 0.0f, 0, 0}, BytesCase{"FractionOfAByteRoundsUp", 0.25f, 0, 1},
                      BytesCase{"OneKilobyte", 1.0f, 1, 1024}, BytesCase{"HalfKilobyte", 0.5f, 1, 512},
                      BytesCase{"OneAndAThirdKilobyteRoundsUp", 1.333f, 1, 1365},
                      BytesCase{"OneMegabyte", 1.0f, 2, 1048576}, BytesCase{"UnknownUnitIsZero", 5.0f, 3, 0},
                      BytesCase{"NegativeIsZero", -3.0f, 1, 0},
                      BytesCase{"NaNIsZero", std::numeric_limits<float>::quiet_NaN(), 1, 0},
                      BytesCase{"HugeSaturatesInsteadOfOverflowing", 3.0e38f, 2,
                                std::numeric_limits<int64_t>::max()},
                      // 2^43 MB is 2^63 bytes, one past the largest int64; the float below it fits.
                      BytesCase{"TwoToThe63Saturates", 8796093022208.0f, 2, std::numeric_limits<int64_t>::max()},
                      BytesCase{"LargestBelowTwoToThe63Fits", 8796092497920.0f, 2, 9223371487098961920LL}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- compareSize -----------------------------------------------------------------------

struct SizeCase {
    const char* name;
    int64_t size;
    bool larger;
    bool smaller;
    bool expected;
};

class CompareSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(CompareSize, BoundsAreInclusive) {
    const SizeCase& c = GetParam();
    Search_Rule rule;
    rule.bLargerOn = c.larger;
    rule.fLargerSize = 1;
    rule.wLargerUnit = 1;
    rule.bSmallerOn = c.smaller;
    rule.fSmallerSize = 1;
    rule.wSmallerUnit = 1;
    EXPECT_EQ(Rule_Compare::compareSize(c.size, rule), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    OneKilobyte, CompareSize,
    ::testing::Values(SizeCase{"ExactlyOneKPassesLargerThan", 1024, true, false, true},
                      SizeCase{"ExactlyOneKPassesSmallerThan", 1024, false, true, true},
                      SizeCase{"ExactlyOneKPassesBoth", 1024, true, true, true},
                      SizeCase{"OneByteLessFailsLargerThan", 1023, true, false, false},
                      SizeCase{"OneByteMoreFailsSmallerThan", 1025, false, true, false},
                      SizeCase{"NoBoundPassesAnything", 1 << 30, false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- compareDate: within a period ------------------------------------------------------

struct WithinCase {
    const char* name;
    int32_t count;
    int32_t unit;
    int64_t offsetTicks;   // file time relative to the search start
    bool expected;
};

class CompareDateWithin : public ::testing::TestWithParam<WithinCase> {};

TEST_P(CompareDateWithin, LastWriteTimeInsideTheWindow) {
    const WithinCase& c = GetParam();
    const uint64_t now = kNow;
    Rule_Date date;
    date.bAny = false;
    date.bWithin = true;
    date.nPrevious = c.count;
    date.nUnit = c.unit;
    const FILETIME lastWrite = FILETIME::fromU64(static_cast<uint64_t>(static_cast<int64_t>(now) + c.offsetTicks));
    const FILETIME other = FILETIME::fromU64(now);   // creation and access are not looked at
    EXPECT_EQ(Rule_Compare::compareDate(lastWrite, other, other, date, kNow), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, CompareDateWithin,
    ::testing::Values(
        WithinCase{"ExactlyOneDayBeforePasses", 1, 0, -static_cast<int64_t>(kDay), true},
        WithinCase{"OneSecondMoreThanADayFails", 1, 0, -static_cast<int64_t>(kDay + kSecond), false},
        WithinCase{"AtTheSearchStartPasses", 1, 0, 0, true},
        WithinCase{"OneTickInTheFutureFails", 1, 0, 1, false},
        WithinCase{"AWeekIsSevenDays", 1, 1, -static_cast<int64_t>(7 * kDay), true},
        WithinCase{"AMonthIsThirtyOneDays", 1, 2, -static_cast<int64_t>(31 * kDay), true},
        WithinCase{"AMonthIsNotThirtyTwoDays", 1, 2, -static_cast<int64_t>(32 * kDay), false},
        WithinCase{"AYearIs365Days", 1, 3, -static_cast<int64_t>(365 * kDay), true},
        WithinCase{"UnknownUnitIsAnEmptyWindow", 1, 9, -static_cast<int64_t>(kSecond), false},
        WithinCase{"UnknownUnitStillPassesTheStartItself", 1, 9, 0, true},
        WithinCase{"NegativeCountIsAnEmptyWindow", -5, 0, -static_cast<int64_t>(kSecond), false},
        // A window reaching back before 1601 covered nothing (the start wrapped below zero).
        WithinCase{"HugePeriodCoversEverythingUpToNow", 2'000'000'000, 3,
                   -130'000'000'000'000'000LL, true},
        WithinCase{"HugePeriodStillExcludesTheFuture", 2'000'000'000, 3, static_cast<int64_t>(kDay), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompareDate, AnyPassesAndNoFlagFails) {
    Rule_Date date;
    FILETIME t = FILETIME::fromU64(5);
    EXPECT_TRUE(Rule_Compare::compareDate(t, t, t, date, kNow));
    date.bAny = false;
    EXPECT_FALSE(Rule_Compare::compareDate(t, t, t, date, kNow));
}

// ---- compareDate: between two days -----------------------------------------------------

std::time_t localSeconds(int y, int mo, int d, int h, int mi, int s) {
    LocalDateTime local;
    local.year = y;
    local.month = mo;
    local.day = d;
    local.hour = h;
    local.minute = mi;
    local.second = s;
    FILETIME ft;
    EXPECT_TRUE(FileTimeConvert::fromLocalDateTime(local, ft));
    return FileTimeConvert::toTimeT(ft);
}

uint64_t localTicks(int y, int mo, int d, int h, int mi, int s, uint64_t extraTicks = 0) {
    LocalDateTime local;
    local.year = y;
    local.month = mo;
    local.day = d;
    local.hour = h;
    local.minute = mi;
    local.second = s;
    FILETIME ft;
    EXPECT_TRUE(FileTimeConvert::fromLocalDateTime(local, ft));
    return ft.toU64() + extraTicks;
}

struct BetweenCase {
    const char* name;
    uint16_t kind;
    uint64_t ticks;
    bool expected;
};

class CompareDateBetween : public ::testing::TestWithParam<BetweenCase> {};

TEST_P(CompareDateBetween, WholeLocalDays) {
    const BetweenCase& c = GetParam();
    Rule_Date date;
    date.bAny = false;
    date.bSpecify = true;
    date.specifyDate.wTimeKind = c.kind;
    date.specifyDate.tFrom = localSeconds(2023, 3, 10, 0, 0, 0);
    date.specifyDate.tTo = localSeconds(2023, 3, 10, 23, 59, 59);
    const FILETIME chosen = FILETIME::fromU64(c.ticks);
    const FILETIME outside = FILETIME::fromU64(localTicks(2000, 1, 1, 0, 0, 0));
    FILETIME write = outside, creation = outside, access = outside;
    (c.kind == 0 ? write : c.kind == 1 ? creation : access) = chosen;
    EXPECT_EQ(Rule_Compare::compareDate(write, creation, access, date, kNow), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    OneDay, CompareDateBetween,
    ::testing::Values(BetweenCase{"MidnightStartPasses", 0, localTicks(2023, 3, 10, 0, 0, 0), true},
                      BetweenCase{"LastSecondPasses", 0, localTicks(2023, 3, 10, 23, 59, 59), true},
                      // A file written at 23:59:59.5 is still written on that day.
                      BetweenCase{"FractionOfTheLastSecondPasses", 0,
                                  localTicks(2023, 3, 10, 23, 59, 59, 9'999'999), true},
                      BetweenCase{"NextDayFails", 0, localTicks(2023, 3, 11, 0, 0, 0), false},
                      BetweenCase{"DayBeforeFails", 0, localTicks(2023, 3, 9, 23, 59, 59), false},
                      BetweenCase{"CreationTimeChosen", 1, localTicks(2023, 3, 10, 12, 0, 0), true},
                      BetweenCase{"AccessTimeChosen", 2, localTicks(2023, 3, 10, 12, 0, 0), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompareDate, BetweenLooksOnlyAtTheChosenTime) {
    Rule_Date date;
    date.bAny = false;
    date.bSpecify = true;
    date.specifyDate.wTimeKind = 1;   // creation
    date.specifyDate.tFrom = localSeconds(2023, 3, 10, 0, 0, 0);
    date.specifyDate.tTo = localSeconds(2023, 3, 10, 23, 59, 59);
    const FILETIME inside = FILETIME::fromU64(localTicks(2023, 3, 10, 12, 0, 0));
    const FILETIME outside = FILETIME::fromU64(localTicks(2023, 3, 12, 12, 0, 0));
    EXPECT_FALSE(Rule_Compare::compareDate(inside, outside, inside, date, kNow));
}

}  // namespace
