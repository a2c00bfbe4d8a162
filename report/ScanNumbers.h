#pragma once
// scanf-style reading of one number from a character source ("%lf" and "%li"), with a point
// as the decimal separator whatever the C locale, and a limit on how much may be read so
// that an endless source (a device, a pipe) cannot keep the reader waiting for ever.

#include <optional>
#include <streambuf>

namespace kalvex::report {

// Reads from a stream buffer one character at a time, and behaves as if the source ended
// once `budget` characters have been taken.
class CharSource {
public:
    CharSource(std::streambuf* buffer, long long budget) : buffer_(buffer), budget_(budget) {}

    // The next character without taking it, or -1 at the end.
    int peek();
    // Takes the next character; -1 at the end.
    int take();

private:
    std::streambuf* buffer_;
    long long budget_;
};

// The result of one conversion: `ended` when the source ended before any character of a
// number (only white space, or nothing); otherwise `value` holds the number, or nothing
// when the characters found do not make a number.
template <typename T>
struct Scanned {
    bool ended = false;
    std::optional<T> value;
};

// As "%lf": skips white space (line ends included), then takes the longest run of characters
// that can begin a number (sign, digits, point, exponent; also hexadecimal, inf and nan).
// Numbers that overflow to infinity, infinities and NaN count as not readable.
Scanned<double> scanDouble(CharSource& in);

// As "%li": skips white space, then an optionally signed decimal, octal (leading 0) or
// hexadecimal (0x) integer. A value outside the range of long counts as not readable.
Scanned<long> scanLong(CharSource& in);

}  // namespace kalvex::report
