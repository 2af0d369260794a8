// Numbers of option values: read without exceptions, range-checked, sizes kept exact.
#include <gtest/gtest.h>

#include <limits>

#include "cli/QdNumberText.h"
#include "cli/QdOptionParser.h"
#include "search/Search_Man.h"
#include "support/TempDir.h"

namespace {

using Status = QdNumberText::Status;
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

struct IntegerCase {
    const char* name;
    const char* text;
    int64_t min, max;
    Status status;
    int64_t value;
};

class ParseInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParseInteger, DigitsOnlyWithinTheRange) {
    const IntegerCase& c = GetParam();
    int64_t value = -7;
    EXPECT_EQ(QdNumberText::parseInteger(c.text, c.min, c.max, value), c.status);
    EXPECT_EQ(value, c.status == Status::Ok ? c.value : -7);   // untouched on failure
}

INSTANTIATE_TEST_SUITE_P(
    Integers, ParseInteger,
    ::testing::Values(IntegerCase{"Lowest", "0", 0, 10, Status::Ok, 0},
                      IntegerCase{"Highest", "10", 0, 10, Status::Ok, 10},
                      IntegerCase{"LeadingZeros", "007", 0, 10, Status::Ok, 7},
                      IntegerCase{"AboveTheRange", "11", 0, 10, Status::OutOfRange, 0},
                      IntegerCase{"BelowTheRange", "0", 1, 10, Status::OutOfRange, 0},
                      IntegerCase{"BeyondLongLong", "99999999999", 0, 10, Status::OutOfRange, 0},
                      IntegerCase{"BeyondUint64", "99999999999999999999999", 0, kMax, Status::OutOfRange, 0},
                      IntegerCase{"Int64Max", "9223372036854775807", 0, kMax, Status::Ok, kMax},
                      IntegerCase{"Int64MaxPlusOne", "9223372036854775808", 0, kMax, Status::OutOfRange, 0},
                      IntegerCase{"Negative", "-1", 0, 10, Status::Malformed, 0},
                      IntegerCase{"Plus", "+1", 0, 10, Status::Malformed, 0},
                      IntegerCase{"Spaces", " 1", 0, 10, Status::Malformed, 0},
                      IntegerCase{"Trailing", "1x", 0, 10, Status::Malformed, 0},
                      IntegerCase{"Hexadecimal", "0x1", 0, 10, Status::Malformed, 0},
                      IntegerCase{"Empty", "", 0, 10, Status::Malformed, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
    const char* name;
    const char* text;
    Status status;
    int64_t bytes;
    int unit;
};

class ParseExactSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ParseExactSize, ByteCountIsExact) {
    const SizeCase& c = GetParam();
    int64_t bytes = -1;
    int unit = -1;
    ASSERT_EQ(QdNumberText::parseSize(c.text, 1, bytes, unit), c.status);
    if (c.status == Status::Ok) {
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_EQ(unit, c.unit);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ParseExactSize,
    ::testing::Values(SizeCase{"TwoToThe24", "16777216B", Status::Ok, 16777216, 0},
                      SizeCase{"TwoToThe24PlusOne", "16777217B", Status::Ok, 16777217, 0},
                      SizeCase{"TwoToThe53PlusOne", "9007199254740993b", Status::Ok, 9007199254740993, 0},
                      SizeCase{"DefaultUnitIsK", "16384", Status::Ok, 16777216, 1},
                      SizeCase{"Kilobytes", "16385k", Status::Ok, 16778240, 1},
                      SizeCase{"Megabytes", "16M", Status::Ok, 16777216, 2},
                      SizeCase{"Gigabytes", "3G", Status::Ok, 3221225472, 3},
                      SizeCase{"HugeGigabytes", "8589934591G", Status::Ok, 8589934591LL << 30, 3},
                      SizeCase{"FractionRoundsUp", "1.0001K", Status::Ok, 1025, 1},
                      SizeCase{"FractionExact", "1.5M", Status::Ok, 1572864, 2},
                      SizeCase{"FractionOfAByteRoundsUp", "2.5B", Status::Ok, 3, 0},
                      SizeCase{"TrailingFractionZerosAreFree", "1.50000000000000000000G", Status::Ok, 1610612736, 3},
                      SizeCase{"Int64Max", "9223372036854775807B", Status::Ok, kMax, 0},
                      SizeCase{"Int64MaxPlusOne", "9223372036854775808B", Status::OutOfRange, 0, 0},
                      SizeCase{"GigabytesBeyondInt64", "8589934592G", Status::OutOfRange, 0, 0},
                      SizeCase{"FractionPushesBeyondInt64", "9223372036854775807.5B", Status::OutOfRange, 0, 0},
                      SizeCase{"FractionJustBelowInt64", "8589934591.999999999G", Status::Ok, kMax, 3},
                      SizeCase{"TenDecimals", "1.0000000001K", Status::Malformed, 0, 0},
                      SizeCase{"UnknownUnit", "3T", Status::Malformed, 0, 0},
                      SizeCase{"UnitOnly", "K", Status::Malformed, 0, 0},
                      SizeCase{"Negative", "-1K", Status::Malformed, 0, 0},
                      SizeCase{"Exponent", "1e99", Status::Malformed, 0, 0},
                      SizeCase{"TwoPoints", "1.2.3K", Status::Malformed, 0, 0},
                      SizeCase{"NoDigitsBeforeThePoint", ".5K", Status::Malformed, 0, 0},
                      SizeCase{"Empty", "", Status::Malformed, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --larger and --smaller used to pass their bound through a float: 16777217B became
// 16777216 and "at least 16777217 bytes" let a file of 16777216 bytes through.
struct BoundCase {
    const char* name;
    const char* option;
    const char* value;
    int64_t size;
    bool passes;
};

class ExactSizeBound : public ::testing::TestWithParam<BoundCase> {};

TEST_P(ExactSizeBound, LargerThan16MiBRegression) {
    const BoundCase& c = GetParam();
    TempDir tmp;
    QdSearchOptions options;
    QdOptionParser::Error error;
    ASSERT_TRUE(QdOptionParser::parse({c.option, c.value}, tmp.path(), options, error)) << error.text;
    EXPECT_EQ(Search_Man::_compareSize(c.size, *options.rule), c.passes);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, ExactSizeBound,
    ::testing::Values(BoundCase{"LargerTwoTo24PlusOneRefusesTwoTo24", "--larger", "16777217B", 16777216, false},
                      BoundCase{"LargerTwoTo24PlusOneTakesItself", "--larger", "16777217B", 16777217, true},
                      BoundCase{"LargerTwoTo24TakesItself", "--larger", "16777216B", 16777216, true},
                      BoundCase{"SmallerTwoTo24RefusesOneMore", "--smaller", "16777216B", 16777217, false},
                      BoundCase{"SmallerTwoTo24PlusOneTakesItself", "--smaller", "16777217B", 16777217, true},
                      BoundCase{"LargerTwoTo53PlusOneRefusesTwoTo53", "--larger", "9007199254740993B",
                                9007199254740992, false},
                      BoundCase{"LargerTwoTo53PlusOneTakesItself", "--larger", "9007199254740993B",
                                9007199254740993, true},
                      BoundCase{"SmallerTwoTo53RefusesOneMore", "--smaller", "9007199254740992B",
                                9007199254740993, false},
                      BoundCase{"LargerKilobytesOneByteShort", "--larger", "16385K", 16778239, false},
                      BoundCase{"LargerKilobytesExact", "--larger", "16385K", 16778240, true},
                      BoundCase{"SmallerMegabytesOneByteMore", "--smaller", "17M", 17825793, false},
                      BoundCase{"SmallerGigabytesExact", "--smaller", "8G", 8589934592, true},
                      BoundCase{"SmallerGigabytesOneByteMore", "--smaller", "8G", 8589934593, false},
                      BoundCase{"LargerGigabytesOneByteShort", "--larger", "1G", 1073741823, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExactSizeBound, FloatFieldsStillDescribeTheBound) {
    // The panels store the float fields: they keep the value in the unit given (G in M).
    TempDir tmp;
    QdSearchOptions options;
    QdOptionParser::Error error;
    ASSERT_TRUE(QdOptionParser::parse({"--larger", "2G", "--smaller", "1.5K"}, tmp.path(), options, error));
    EXPECT_EQ(options.rule->nLargerBytes, int64_t{2} << 30);
    EXPECT_EQ(options.rule->wLargerUnit, 2);
    EXPECT_FLOAT_EQ(options.rule->fLargerSize, 2048);
    EXPECT_EQ(options.rule->nSmallerBytes, 1536);
    EXPECT_EQ(options.rule->wSmallerUnit, 1);
    EXPECT_FLOAT_EQ(options.rule->fSmallerSize, 1.5f);
}

}  // namespace
