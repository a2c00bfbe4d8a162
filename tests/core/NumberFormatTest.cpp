#include "core/results/Errors.h"
#include "core/format/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kalvex;

TEST(RoundDecimals, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(RoundDecimals(2.5, 0), 3);
    EXPECT_EQ(RoundDecimals(-2.5, 0), -3);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.125, 2), 0.13);
    EXPECT_DOUBLE_EQ(RoundDecimals(0.2714285, 2), 0.27);
    EXPECT_DOUBLE_EQ(RoundDecimals(-1.2346, 3), -1.235);
    EXPECT_DOUBLE_EQ(RoundDecimals(4.6816e-05, 8), 4.682e-05);
    EXPECT_EQ(RoundDecimals(1e-13, 14), 0);  // below the zero threshold
    EXPECT_EQ(RoundDecimals(0, 5), 0);
}

TEST(FormatGeneral, WritesShortestTextOfFifteenDigits)
{
    EXPECT_EQ(formatGeneral(0), "0");
    EXPECT_EQ(formatGeneral(-0.0), "0");
    EXPECT_EQ(formatGeneral(20), "20");
    EXPECT_EQ(formatGeneral(2.5), "2.5");
    EXPECT_EQ(formatGeneral(-0.27), "-0.27");
    EXPECT_EQ(formatGeneral(0.0001), "0.0001");
    EXPECT_EQ(formatGeneral(0.00001), "1E-5");
    EXPECT_EQ(formatGeneral(0.000015), "1.5E-5");
    EXPECT_EQ(formatGeneral(1.65837e-9), "1.65837E-9");
    EXPECT_EQ(formatGeneral(2e15), "2E15");
    EXPECT_EQ(formatGeneral(999999999999999.0), "999999999999999");
    EXPECT_EQ(formatGeneral(123456789012.5), "123456789012.5");
    EXPECT_EQ(formatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatGeneral(4e-5), "4E-5");
    EXPECT_EQ(formatGeneral(-1.5e-20), "-1.5E-20");
    EXPECT_EQ(formatGeneral(1e100), "1E100");
}

TEST(FormatGeneral, UsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(formatGeneral(2.5, ','), "2,5");
    EXPECT_EQ(formatGeneral(1.5e-5, ','), "1,5E-5");
    EXPECT_EQ(formatGeneral(12, ','), "12");
}

TEST(ParseFloatField, AcceptsNumbersInBothNotations)
{
    EXPECT_EQ(parseFloatField("0.5"), 0.5);
    EXPECT_EQ(parseFloatField("  -12.25 "), -12.25);
    EXPECT_EQ(parseFloatField("1E-5"), 1e-5);
    EXPECT_EQ(parseFloatField("4.7e-9"), 4.7e-9);
    EXPECT_EQ(parseFloatField("+3"), 3);
    EXPECT_EQ(parseFloatField("2,5", ','), 2.5);
    EXPECT_EQ(parseFloatField("1,5E-5", ','), 1.5e-5);
}

TEST(ParseFloatField, RejectsTextsThatAreNoFiniteNumber)
{
    for (const char* bad : {"", "   ", "abc", "1.2.3", "12abc", "nan", "inf", "-inf", "1e400",
                            "+-1", "++1", "0x10"}) {
        try {
            parseFloatField(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
    EXPECT_THROW(parseFloatField("2.5", ','), InputError);  // a point is no separator there
}

TEST(ParseIntField, AcceptsWholeNumbersOnly)
{
    EXPECT_EQ(parseIntField("20"), 20);
    EXPECT_EQ(parseIntField(" -5 "), -5);
    for (const char* bad : {"", "2.5", "x", "1e3"}) {
        try {
            parseIntField(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}
