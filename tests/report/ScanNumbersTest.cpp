#include "report/ScanNumbers.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace kalvex::report;

namespace {

struct Outcome {
    bool ended = false;
    bool readable = false;
    double value = 0;
};

Outcome scanWithReader(const std::string& text)
{
    std::istringstream in(text);
    CharSource source(in.rdbuf(), 1 << 20);
    const auto r = scanDouble(source);
    return {r.ended, r.value.has_value(), r.value.value_or(0)};
}

// The C library's own "%lf", in the "C" locale the test programs run in.
Outcome scanWithCLibrary(const std::string& text)
{
    double v = 0;
    const int n = std::sscanf(text.c_str(), "%lf", &v);
    Outcome o;
    o.ended = n == EOF;
    o.readable = n == 1 && std::isfinite(v);
    o.value = o.readable ? v : 0;
    return o;
}

}  // namespace

TEST(ScanNumbers, DoubleAgreesWithTheCLibrary)
{
    const char* cases[] = {
        "1.5", "  \r\n\t-2.25e+03x", "+.5", "5.", ".", "-", "+-1", "1e5", "1E-5", "1e", "1e+", "1.5e:",
        "0", "007", "0x1p3", "0X1.8P1", "0x.8", "1e999", "-1e999", "1e-400", "4.9e-324", "inf", "-Infinity",
        "nan", "NaN(1)", "abc", "", "   ", "\r\n", "12345678901234567890123", "3.0e+07 ", "7.853982e-04",
        "1.2345e-06", "  20.00 ", "1..2", "1.2.3", "e5", "-0", "0.000000e+00",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << text << '"');
        const Outcome ours = scanWithReader(text);
        const Outcome theirs = scanWithCLibrary(text);
        EXPECT_EQ(ours.ended, theirs.ended);
        EXPECT_EQ(ours.readable, theirs.readable);
        if (ours.readable && theirs.readable) {
            EXPECT_EQ(ours.value, theirs.value);
        }
    }
}

TEST(ScanNumbers, LongAgreesWithTheCLibraryInsideItsRange)
{
    const char* cases[] = {"6", "  -7", "+3", "0x1A", "010", "08", "9223372036854775807",
                           "-9223372036854775808", "x", "", "\n 42abc", "- 5", "0x"};
    for (const char* text : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << text << '"');
        std::istringstream in(text);
        CharSource source(in.rdbuf(), 1 << 20);
        const auto ours = scanLong(source);
        long theirs = 0;
        const int n = std::sscanf(text, "%li", &theirs);
        EXPECT_EQ(ours.ended, n == EOF);
        EXPECT_EQ(ours.value.has_value(), n == 1);
        if (ours.value && n == 1) {
            EXPECT_EQ(*ours.value, theirs);
        }
    }
}

TEST(ScanNumbers, ValuesBeyondTheRangeOfLongAreNotReadable)
{
    for (const char* text : {"9223372036854775808", "-9223372036854775809", "0xFFFFFFFFFFFFFFFFF"}) {
        std::istringstream in(text);
        CharSource source(in.rdbuf(), 1 << 20);
        const auto r = scanLong(source);
        EXPECT_FALSE(r.ended);
        EXPECT_FALSE(r.value) << text;
        EXPECT_EQ(source.peek(), -1) << "all digits are taken";
    }
}

TEST(ScanNumbers, SourceEndsWhenItsBudgetIsSpent)
{
    std::istringstream in("   123456");
    CharSource source(in.rdbuf(), 6);
    const auto r = scanDouble(source);
    ASSERT_TRUE(r.value);
    EXPECT_EQ(*r.value, 123);
    EXPECT_EQ(source.take(), -1);
}
