#include "core/format/CFormat.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <string>

using namespace kalvex;

namespace {

std::string cprintf(const char* format, double v)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string cprintfInt(const char* format, long long v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

}  // namespace

TEST(PrintfNumbers, AgreeWithPrintfInTheCLocale)
{
    const double values[] = {0.0, -0.0, 7.853982e-3, 1.2345e-6, 12345670.0, 19.999, 20.0, -50.0, 0.5,
                             0.125, 2.5, 0.0005, 1e300, -1e-300, 5e-324, 123456.789, 9.99999995,
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(), 0.05, 0.15, 0.25, 0.35, 1.0 / 3};
    struct Format {
        const char* printf;
        int width, precision;
        bool scientific;
    };
    const Format formats[] = {{"%6.6e", 6, 6, true},  {"%6.4e", 6, 4, true},  {"%6.3e", 6, 3, true},
                              {"%6.4f", 6, 4, false}, {"%6.3f", 6, 3, false}, {"%6.2f", 6, 2, false},
                              {"%9.1f", 9, 1, false}, {"%9.0f", 9, 0, false}, {"%9.3f", 9, 3, false}};
    for (const Format& f : formats)
        for (const double v : values) {
            SCOPED_TRACE(::testing::Message() << f.printf << " of " << v);
            const std::string ours =
                f.scientific ? printfExp(v, f.width, f.precision) : printfFixed(v, f.width, f.precision);
            EXPECT_EQ(ours, cprintf(f.printf, v));
        }
}

TEST(PrintfNumbers, IntegersAgreeWithPrintf)
{
    const long long values[] = {0, 1, 7, -7, 40797, 1234567890123LL, std::numeric_limits<long long>::min()};
    for (const long long v : values) {
        EXPECT_EQ(printfInt(v, 6, 0), cprintfInt("%6.0lli", v));
        EXPECT_EQ(printfInt(v, 9, 0), cprintfInt("%9.0lli", v));
        EXPECT_EQ(printfInt(v, 4, 3), cprintfInt("%4.3lli", v));
    }
}
