#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <random>
#include <thread>
#include <unistd.h>
#include <vector>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>

#include "platform/FileTimeConvert.h"

void PrintTo(const LocalDateTime& t, std::ostream* os) {
    *os << t.year << '-' << t.month << '-' << t.day << ' ' << t.hour << ':' << t.minute << ':' << t.second << '.'
        << t.milliseconds;
}

namespace {

// POSIX zone strings, so the tests do not depend on the installed zone database.
constexpr const char* kUtc = "UTC0";
constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";
constexpr const char* kIndia = "IST-5:30";

// Sets TZ for the life of the object and restores the previous value.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_old;
};

struct InstantCase {
    const char* label;
    const char* zone;
    int64_t utcSeconds;
    LocalDateTime local;
};

void PrintTo(const InstantCase& c, std::ostream* os) { *os << c.label; }

class FileTimeInstant : public ::testing::TestWithParam<InstantCase> {};

TEST_P(FileTimeInstant, ConvertsToLocalWallClockAndBack) {
    const auto& c = GetParam();
    ZoneScope zone(c.zone);
    const FILETIME ft = FileTimeConvert::fromTimeT(static_cast<std::time_t>(c.utcSeconds));
    EXPECT_EQ(FileTimeConvert::toLocalDateTime(ft), c.local);
    FILETIME fromCalendar;
    ASSERT_TRUE(FileTimeConvert::fromLocalDateTime(c.local, fromCalendar));
    EXPECT_EQ(fromCalendar.toU64(), ft.toU64());
    EXPECT_EQ(FileTimeConvert::toTimeT(ft), c.utcSeconds);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, FileTimeInstant,
    ::testing::Values(
        InstantCase{"Utc1970", kUtc, 0, {1970, 1, 1, 0, 0, 0, 0}},
        InstantCase{"Utc1601Epoch", kUtc, -11644473600LL, {1601, 1, 1, 0, 0, 0, 0}},
        InstantCase{"UtcSecondBefore1970", kUtc, -1, {1969, 12, 31, 23, 59, 59, 0}},
        InstantCase{"Utc1900", kUtc, -2208988800LL, {1900, 1, 1, 0, 0, 0, 0}},
        InstantCase{"UtcLeapDay2000", kUtc, 951782400, {2000, 2, 29, 0, 0, 0, 0}},
        InstantCase{"UtcAfter2038", kUtc, 4102444800LL, {2100, 1, 1, 0, 0, 0, 0}},
        InstantCase{"BerlinWinter", kBerlin, 1609502400, {2021, 1, 1, 13, 0, 0, 0}},
        InstantCase{"BerlinSummer", kBerlin, 1625140800, {2021, 7, 1, 14, 0, 0, 0}},
        InstantCase{"BerlinWinter1960", kBerlin, -315576000, {1960, 1, 1, 13, 0, 0, 0}},
        InstantCase{"IndiaBefore1970", kIndia, -631152000, {1950, 1, 1, 5, 30, 0, 0}},
        InstantCase{"NewYorkSummer", kNewYork, 1625140800, {2021, 7, 1, 8, 0, 0, 0}},
        InstantCase{"NewYorkEpochIsPreviousDay", kNewYork, 0, {1969, 12, 31, 19, 0, 0, 0}},
        InstantCase{"IndiaHalfHourOffset", kIndia, 0, {1970, 1, 1, 5, 30, 0, 0}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FileTimeConvert, KeepsSubSecondTicksBothWays) {
    ZoneScope zone(kBerlin);
    const timespec utc{1625140800, 123456700};
    const FILETIME ft = FileTimeConvert::fromTimespec(utc);
    EXPECT_EQ(ft.toU64() % FileTimeConvert::kTicksPerSecond, 1234567u);
    EXPECT_EQ(FileTimeConvert::toLocalDateTime(ft).milliseconds, 123);
    const timespec back = FileTimeConvert::toTimespec(ft);
    EXPECT_EQ(back.tv_sec, utc.tv_sec);
    EXPECT_EQ(back.tv_nsec, utc.tv_nsec);
}

TEST(FileTimeConvert, NegativeInstantWithNanosecondsStaysInItsSecond) {
    ZoneScope zone(kUtc);
    // Half a second before 1970: the local reading is 23:59:59.500 of the previous day.
    const FILETIME ft = FileTimeConvert::fromTimespec(timespec{-1, 500'000'000});
    EXPECT_EQ(FileTimeConvert::toLocalDateTime(ft), (LocalDateTime{1969, 12, 31, 23, 59, 59, 500}));
}

TEST(FileTimeConvert, InstantsBefore1601ClampToZero) {
    ZoneScope zone(kUtc);
    EXPECT_EQ(FileTimeConvert::fromTimeT(-11644473601LL).toU64(), 0u);
    EXPECT_EQ(FileTimeConvert::fromTimeT(-50'000'000'000LL).toU64(), 0u);
    // In a zone east of Greenwich the first UTC second of 1601 is already 1601 local.
    ZoneScope east(kIndia);
    EXPECT_EQ(FileTimeConvert::fromTimeT(-11644473600LL).toU64(), (5 * 3600 + 1800) * FileTimeConvert::kTicksPerSecond);
}

TEST(FileTimeConvert, ClockSetBackGivesSameLocalTimeForBothInstantsAndLaterOneBack) {
    ZoneScope zone(kBerlin);
    // 2021-10-31 02:30 local happens at 00:30 UTC (summer time) and again at 01:30 UTC.
    const FILETIME summer = FileTimeConvert::fromTimeT(1635640200);
    const FILETIME winter = FileTimeConvert::fromTimeT(1635643800);
    EXPECT_EQ(summer.toU64(), winter.toU64());
    EXPECT_EQ(FileTimeConvert::toLocalDateTime(summer), (LocalDateTime{2021, 10, 31, 2, 30, 0, 0}));
    EXPECT_EQ(FileTimeConvert::toTimeT(summer), 1635643800);
}

TEST(FileTimeConvert, LocalTimeInsideClockSetForwardGapLandsAfterTheChange) {
    ZoneScope zone(kBerlin);
    // 2021-03-28 02:30 local never happened; it is read with winter time: 01:30 UTC.
    FILETIME gap;
    ASSERT_TRUE(FileTimeConvert::fromLocalDateTime({2021, 3, 28, 2, 30, 0, 0}, gap));
    EXPECT_EQ(FileTimeConvert::toTimeT(gap), 1616895000);
}

TEST(FileTimeConvert, LocalDateTimeOfUsesOffsetOfThatInstant) {
    ZoneScope zone(kNewYork);
    EXPECT_EQ(FileTimeConvert::localDateTimeOf(1609502400), (LocalDateTime{2021, 1, 1, 7, 0, 0, 0}));
    EXPECT_EQ(FileTimeConvert::localDateTimeOf(1625140800), (LocalDateTime{2021, 7, 1, 8, 0, 0, 0}));
}

TEST(FileTimeConvert, NowLiesBetweenTwoClockReadings) {
    ZoneScope zone(kIndia);
    const std::time_t before = std::time(nullptr);
    const uint64_t now = FileTimeConvert::now().toU64();
    const std::time_t after = std::time(nullptr);
    EXPECT_GE(now, FileTimeConvert::fromTimeT(before).toU64());
    EXPECT_LT(now, FileTimeConvert::fromTimeT(after + 1).toU64());
}

struct CalendarCase {
    const char* label;
    LocalDateTime value;
    bool valid;
};

void PrintTo(const CalendarCase& c, std::ostream* os) { *os << c.label; }

class FileTimeCalendar : public ::testing::TestWithParam<CalendarCase> {};

TEST_P(FileTimeCalendar, AcceptsOnlyRealDatesFrom1601) {
    const auto& c = GetParam();
    FILETIME ft = FILETIME::fromU64(42);
    EXPECT_EQ(FileTimeConvert::fromLocalDateTime(c.value, ft), c.valid);
    if (c.valid)
        EXPECT_EQ(FileTimeConvert::toLocalDateTime(ft), c.value);
    else
        EXPECT_EQ(ft.toU64(), 42u) << "output must stay untouched on failure";
}

INSTANTIATE_TEST_SUITE_P(
    Dates, FileTimeCalendar,
    ::testing::Values(CalendarCase{"FirstTick", {1601, 1, 1, 0, 0, 0, 0}, true},
                      CalendarCase{"Before1601", {1600, 12, 31, 23, 59, 59, 999}, false},
                      CalendarCase{"LeapDay2020", {2020, 2, 29, 12, 0, 0, 0}, true},
                      CalendarCase{"NoLeapDay2021", {2021, 2, 29, 12, 0, 0, 0}, false},
                      CalendarCase{"NoLeapDay1900", {1900, 2, 29, 0, 0, 0, 0}, false},
                      CalendarCase{"LeapDay2000", {2000, 2, 29, 0, 0, 0, 0}, true},
                      CalendarCase{"LastMillisecondOfYear", {1999, 12, 31, 23, 59, 59, 999}, true},
                      CalendarCase{"Month13", {2021, 13, 1, 0, 0, 0, 0}, false},
                      CalendarCase{"Day0", {2021, 1, 0, 0, 0, 0, 0}, false},
                      CalendarCase{"April31", {2021, 4, 31, 0, 0, 0, 0}, false},
                      CalendarCase{"Hour24", {2021, 1, 1, 24, 0, 0, 0}, false},
                      CalendarCase{"Second60", {2021, 1, 1, 0, 0, 60, 0}, false},
                      CalendarCase{"Millisecond1000", {2021, 1, 1, 0, 0, 0, 1000}, false},
                      CalendarCase{"NegativeMinute", {2021, 1, 1, 0, -1, 0, 0}, false}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- remembered zone offsets ------------------------------------------------------------

struct ZoneCase {
    const char* label;
    const char* zone;          // a TZ value
    const char* needsFile;     // a zone file it reads, or nullptr
};

void PrintTo(const ZoneCase& c, std::ostream* os) { *os << c.label; }

class FileTimeFastPath : public ::testing::TestWithParam<ZoneCase> {
protected:
    void SetUp() override {
        if (GetParam().needsFile && ::access(GetParam().needsFile, R_OK) != 0)
            GTEST_SKIP() << "no " << GetParam().needsFile;
    }
};

// Instants within 40 minutes of every clock change from 1950 to 2045 (found by asking
// the C library), plus instants spread over four centuries, in shuffled order so the
// remembered offsets are reused and displaced in every way.
std::vector<timespec> instantsAroundClockChanges(std::mt19937_64& rng) {
    std::vector<timespec> out;
    const int64_t from = -631152000;   // 1950
    const int64_t to = 2366841600;     // 2045
    for (int64_t day = from; day < to; day += 86400) {
        if (FileTimeConvert::utcOffsetAt(day) == FileTimeConvert::utcOffsetAt(day + 86400))
            continue;
        int64_t lo = day, hi = day + 86400;   // offset(lo) != offset(hi): find the change
        while (hi - lo > 1) {
            const int64_t mid = lo + (hi - lo) / 2;
            (FileTimeConvert::utcOffsetAt(mid) == FileTimeConvert::utcOffsetAt(lo) ? lo : hi) = mid;
        }
        for (int64_t d = -2400; d <= 2400; d += 1 + static_cast<int64_t>(rng() % 97))
            out.push_back(timespec{static_cast<std::time_t>(hi + d), static_cast<long>(rng() % 1'000'000'000)});
        out.push_back(timespec{static_cast<std::time_t>(hi - 1), 999'999'999});
        out.push_back(timespec{static_cast<std::time_t>(hi), 0});
    }
    std::uniform_int_distribution<int64_t> anywhere(-11644473600LL + 3 * 86400, 7258118400LL);   // 1601..2200
    for (int i = 0; i < 20000; ++i)
        out.push_back(timespec{static_cast<std::time_t>(anywhere(rng)), static_cast<long>(rng() % 1'000'000'000)});
    std::shuffle(out.begin(), out.end(), rng);
    return out;
}

TEST_P(FileTimeFastPath, RandomInstantsMatchTheCLibraryAcrossClockChanges) {
    ZoneScope zone(GetParam().zone);
    std::mt19937_64 rng(20240607);
    const auto instants = instantsAroundClockChanges(rng);
    ASSERT_GE(instants.size(), 20000u);
    size_t mismatches = 0;
    for (const timespec& t : instants) {
        const uint64_t exact = FileTimeConvert::fromTimespecExact(t).toU64();
        const uint64_t fast = FileTimeConvert::fromTimespec(t).toU64();
        if (fast != exact && ++mismatches <= 5)
            ADD_FAILURE() << "instant " << t.tv_sec << "." << t.tv_nsec << ": " << fast << " != " << exact;
    }
    EXPECT_EQ(mismatches, 0u);
    // The batch form gives the same values.
    std::vector<FILETIME> batch(instants.size());
    FileTimeConvert::fromTimespecs(instants.data(), batch.data(), instants.size());
    for (size_t i = 0; i < instants.size(); ++i)
        ASSERT_EQ(batch[i].toU64(), FileTimeConvert::fromTimespecExact(instants[i]).toU64()) << instants[i].tv_sec;
}

INSTANTIATE_TEST_SUITE_P(
    Zones, FileTimeFastPath,
    ::testing::Values(ZoneCase{"BerlinRule", kBerlin, nullptr}, ZoneCase{"NewYorkRule", kNewYork, nullptr},
                      ZoneCase{"IndiaRule", kIndia, nullptr},
                      ZoneCase{"BerlinDatabase", "Europe/Berlin", "/usr/share/zoneinfo/Europe/Berlin"},
                      ZoneCase{"NewYorkDatabase", "America/New_York", "/usr/share/zoneinfo/America/New_York"},
                      ZoneCase{"LordHoweHalfHourChanges", "Australia/Lord_Howe",
                               "/usr/share/zoneinfo/Australia/Lord_Howe"}),
    [](const auto& info) { return std::string(info.param.label); });

// Offsets remembered under one zone must not answer for another: the memory is dropped
// when TZ changes, also between two zones with the same names and standard offset.
TEST(FileTimeConvert, RememberedOffsetsFollowAZoneChange) {
    const timespec summer{1625140800, 0};   // 2021-07-01 12:00 UTC
    const timespec april{1617238800, 0};    // 2021-04-01 01:00 UTC
    uint64_t berlin = 0, berlinApril = 0;
    {
        ZoneScope zone(kBerlin);
        berlin = FileTimeConvert::fromTimespec(summer).toU64();
        berlinApril = FileTimeConvert::fromTimespec(april).toU64();
        {
            ZoneScope other(kNewYork);
            EXPECT_EQ(FileTimeConvert::fromTimespec(summer).toU64(), FileTimeConvert::fromTimespecExact(summer).toU64());
            EXPECT_EQ(FileTimeConvert::fromTimespec(summer).toU64() + 6ull * 3600 * FileTimeConvert::kTicksPerSecond,
                      berlin);
        }
        {
            // Same names and standard offset, summer time starting in May instead of March.
            ZoneScope variant("CET-1CEST,M5.1.0,M10.5.0/3");
            EXPECT_EQ(FileTimeConvert::fromTimespec(april).toU64(), FileTimeConvert::fromTimespecExact(april).toU64());
            EXPECT_EQ(FileTimeConvert::fromTimespec(april).toU64() + 3600ull * FileTimeConvert::kTicksPerSecond,
                      berlinApril);
        }
        EXPECT_EQ(FileTimeConvert::fromTimespec(summer).toU64(), berlin);
    }
}

// Each thread keeps its own offsets; threads converting at once agree with the C library.
TEST(FileTimeConvert, ThreadsConvertingAtOnceAgree) {
    ZoneScope zone(kNewYork);
    std::atomic<size_t> mismatches{0};
    auto work = [&](uint64_t seed) {
        std::mt19937_64 rng(seed);
        for (int i = 0; i < 20000; ++i) {
            const timespec t{static_cast<std::time_t>(1500000000 + static_cast<int64_t>(rng() % 400'000'000)), 0};
            if (FileTimeConvert::fromTimespec(t).toU64() != FileTimeConvert::fromTimespecExact(t).toU64())
                ++mismatches;
        }
    };
    std::thread a(work, 1), b(work, 2);
    a.join();
    b.join();
    EXPECT_EQ(mismatches.load(), 0u);
}

}  // namespace
