#include "CommaLocale.h"

#include "core/format/CFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale.h>
#include <random>
#include <string>
#include <vector>

using namespace kalvex;
using kalvex::test::commaLocale;

namespace {

std::string printfText(const char* format, double v)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

}  // namespace

TEST(CFormat, FixedConversionsMatchPrintfInTheCLocale)
{
    const std::vector<const char*> formats = {"%5.3f", "%5.2f", "%9.3f", "%9.2f", "%9.1f", "%9.0f", "%.6f", "%f"};
    std::vector<double> values = {0,     -0.0,   0.5,   1.5,      2.5,     0.125,   0.375,  -0.125,
                                  -0.05, 0.0005, 0.045, 1e-300,   1e20,    -1e20,   999.95, 9999999.5,
                                  12748, 100,    889.165, 0.550358, 1.0815, -2.40459};
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-6, 9);
    for (int i = 0; i < 2000; ++i)
        values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
    for (const char* format : formats)
        for (double v : values)
            ASSERT_EQ(formatC(format, {v}), printfText(format, v)) << format << " of " << v;
}

TEST(CFormat, IntegerConversionsMatchPrintf)
{
    for (int n : {0, 1, 7, 1475, 27040, 40797, -12, 123456789, 1234567890}) {
        for (const char* format : {"%9.0i", "%i", "%3d", "%9.4i"}) {
            char buf[64];
            std::snprintf(buf, sizeof buf, format, n);
            EXPECT_EQ(formatC(format, {double(n)}), buf) << format << " of " << n;
        }
    }
}

TEST(CFormat, CopiesTextAndPercentSigns)
{
    EXPECT_EQ(formatC(" Share:%9.1f%% of %5.2f", {29.84, 3.14159}), " Share:     29.8% of  3.14");
    EXPECT_EQ(formatC("no conversions", {}), "no conversions");
    EXPECT_THROW(formatC("%5.2f %5.2f", {1.0}), std::invalid_argument);
    EXPECT_THROW(formatC("%5.2x", {1.0}), std::invalid_argument);
}

TEST(CFormat, WritesAPointWhateverTheLocale)
{
    const locale_t comma = commaLocale();
    if (comma == locale_t{})
        GTEST_SKIP() << "no locale with a decimal comma is installed here";
    const locale_t previous = uselocale(comma);
    const std::string viaPrintf = printfText("%9.1f", 2.5);
    const std::string viaFormat = formatC("%9.1f", {2.5});
    uselocale(previous);
    freelocale(comma);
    EXPECT_EQ(viaPrintf, "      2,5");  // the locale is in force
    EXPECT_EQ(viaFormat, "      2.5");
}
