#pragma once
// scanf-style reading of one number from a character source ("%lf" and "%li"), with a point
// as the decimal separator whatever the C locale, and a limit on how much may be read so
// that an endless source (a device, a pipe) cannot keep the reader waiting for ever.

#include <optional>
#include <streambuf>
#include <string>
#include <utility>

namespace kalvex::report {

// Reads from a stream buffer one character at a time, and behaves as if the source ended
// once `budget` characters have been taken. Counts lines (CR, LF and CR LF each end one),
// notes a NUL byte, which no single-byte text holds, and can record the characters taken.
class CharSource {
public:
    CharSource(std::streambuf* buffer, long long budget) : buffer_(buffer), budget_(budget) {}

    // The next character without taking it, or -1 at the end.
    int peek();
    // Takes the next character; -1 at the end.
    int take();

    int line() const { return line_; }          // 1 for the first line
    bool sawNul() const { return sawNul_; }     // a NUL byte was taken
    // Records the characters taken from now on, until recorded() hands them over.
    void record() { recorded_.clear(), recording_ = true; }
    std::string recorded() { recording_ = false; return std::move(recorded_); }

private:
    std::streambuf* buffer_;
    long long budget_;
    int line_ = 1;
    int previous_ = -1;
    bool sawNul_ = false;
    bool recording_ = false;
    std::string recorded_;
};

// As the scanners skip it: blanks, tabs and line ends. False when the source ended.
bool skipBlanks(CharSource& in);

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
