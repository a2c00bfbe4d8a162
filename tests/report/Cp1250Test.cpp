#include "report/Cp1250.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <string>

using namespace kalvex::report;

namespace {

// The C library's converter, an independent table of the same code page.
std::string iconvConvert(const char* to, const char* from, std::string text)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "<no converter>";
    std::string out(text.size() * 4 + 4, '\0');
    char* in = text.data();
    std::size_t inLeft = text.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1))
        return "<undefined>";
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

TEST(Cp1250, EveryUpperByteMapsLikeTheSystemConverterBothWays)
{
    int defined = 0;
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const std::string byte(1, static_cast<char>(b));
        const std::string expected = iconvConvert("UTF-8", "CP1250", byte);
        ASSERT_NE(expected, "<no converter>");
        if (expected == "<undefined>") {
            EXPECT_EQ(cp1250ToUtf8(byte), "?");
            continue;
        }
        ++defined;
        EXPECT_EQ(cp1250ToUtf8(byte), expected);
        EXPECT_EQ(utf8ToCp1250(expected), byte);
    }
    EXPECT_EQ(defined, 123);  // five bytes of the upper half are undefined
}

TEST(Cp1250, CzechNameRoundTripsAndAsciiIsUnchanged)
{
    const std::string utf8 = "Houfnice vz. 77 \xC5\xA0KODA \xC4\x8D\xC5\x99 \xC2\xB0 ";
    const std::string bytes = "Houfnice vz. 77 \x8AKODA \xE8\xF8 \xB0 ";
    EXPECT_EQ(utf8ToCp1250(utf8), bytes);
    EXPECT_EQ(cp1250ToUtf8(bytes), utf8);
    std::string ascii;
    for (int c = 0; c < 0x80; ++c)
        ascii += static_cast<char>(c);
    EXPECT_EQ(utf8ToCp1250(ascii), ascii);
    EXPECT_EQ(cp1250ToUtf8(ascii), ascii);
}

TEST(Cp1250, UnrepresentableAndBrokenTextBecomesQuestionMarks)
{
    struct Case {
        std::string utf8, expected;
    };
    const Case cases[] = {
        {"\xE6\x97\xA5", "?"},            // CJK character
        {"\xF0\x9F\x94\xA5x", "?x"},      // outside the basic plane
        {"\xC3\xA9\xC3", "\xE9?"},        // truncated sequence at the end
        {"\x80z", "?z"},                  // stray continuation byte
        {"\xC0\xAF", "?"},                // overlong encoding of '/'
        {"\xED\xA0\x80", "?"},            // surrogate half
        {"\xE2\x82", "??"},               // truncated three-byte sequence
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8ToCp1250(c.utf8), c.expected);
}
