#include "core/format/NumberFormat.h"
#include "core/format/UnitConversion.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using namespace kalvex;

TEST(RoundHalfUp, RoundsToTheNearestMultipleWithHalvesTowardPlusInfinity)
{
    const struct {
        double y;
        int decimals;
        double expected;
    } cases[] = {
        {2.5, 0, 3},          {-2.5, 0, -2},        {0.5, 0, 1},         {-0.5, 0, 0},
        {2.4999, 0, 2},       {-2.5001, 0, -3},     {3, 0, 3},           {-3, 0, -3},
        {0.0005468, 3, 0.001}, {0.0004999, 3, 0},   {145.038, 2, 145.04}, {0.6894744825, 2, 0.69},
        {15.43236073, 4, 15.4324}, {-2.54, 3, -2.54}, {-0.0001, 3, 0},   {113.398, 3, 113.398},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(roundHalfUp(c.y, c.decimals), c.expected) << c.y << " to " << c.decimals;
}

TEST(RoundHalfUp, DiffersFromRoundDecimalsOnlyForNegativeHalves)
{
    EXPECT_EQ(roundHalfUp(-2.5, 0), -2);
    EXPECT_EQ(RoundDecimals(-2.5, 0), -3);
    EXPECT_EQ(roundHalfUp(2.5, 0), RoundDecimals(2.5, 0));
    EXPECT_EQ(roundHalfUp(-2.4, 0), RoundDecimals(-2.4, 0));
    EXPECT_EQ(roundHalfUp(-2.6, 0), RoundDecimals(-2.6, 0));
}

TEST(UnitConversionTable, EveryButtonConvertsBetweenTheTwoFieldsOfOneGroup)
{
    std::set<int> buttons;
    std::set<int> sources;
    for (const UnitConversion& c : unitConversions()) {
        buttons.insert(c.button);
        sources.insert(c.source);
        // The reverse button of the group reads this conversion's target.
        int reverses = 0;
        for (const UnitConversion& r : unitConversions())
            if (r.source == c.target && r.target == c.source) {
                ++reverses;
                EXPECT_EQ(r.decimals, c.decimals) << c.button;
                EXPECT_NEAR(r.factor * c.factor, 1.0, 1e-15) << c.button << " and " << r.button;
            }
        EXPECT_EQ(reverses, 1) << c.button;
    }
    EXPECT_EQ(buttons.size(), 18u);
    EXPECT_EQ(*buttons.begin(), 1);
    EXPECT_EQ(*buttons.rbegin(), 18);
    EXPECT_EQ(sources.size(), 18u);
}

TEST(UnitConversionTable, UsesTheShortenedBaseValuesAndExactDefinitions)
{
    EXPECT_EQ(conversionOfButton(1).factor, 0.0647989);    // g per grain
    EXPECT_EQ(conversionOfButton(13).factor, 28.3495);     // g per ounce
    EXPECT_EQ(conversionOfButton(8).factor, 1.35582);      // J per foot-pound
    EXPECT_EQ(conversionOfButton(15).factor, 145.038);     // psi per MPa
    EXPECT_EQ(conversionOfButton(10).factor, 2.54);        // cm per inch
    EXPECT_EQ(conversionOfButton(12).factor, 0.3048);      // m per foot
    EXPECT_EQ(conversionOfButton(4).factor, 0.9144);       // m per yard
    EXPECT_EQ(conversionOfButton(17).factor, 10);          // bar per MPa
    EXPECT_EQ(conversionOfButton(2).factor, 1 / 0.0647989);
    EXPECT_EQ(conversionOfButton(16).factor, 1 / 145.038);
    EXPECT_EQ(conversionOfButton(2).decimals, 4);
    EXPECT_EQ(conversionOfButton(15).decimals, 2);
    EXPECT_EQ(conversionOfButton(9).decimals, 3);
    EXPECT_THROW(conversionOfButton(0), std::out_of_range);
    EXPECT_THROW(conversionOfButton(19), std::out_of_range);
}

TEST(UnitConversionTable, ConvertsAndRounds)
{
    EXPECT_DOUBLE_EQ(convertUnits(conversionOfButton(2), 1), 15.4324);
    EXPECT_DOUBLE_EQ(convertUnits(conversionOfButton(3), 0.0005), 0.001);
    EXPECT_DOUBLE_EQ(convertUnits(conversionOfButton(10), -1), -2.54);
    EXPECT_EQ(convertUnits(conversionOfButton(7), 0), 0);
}
