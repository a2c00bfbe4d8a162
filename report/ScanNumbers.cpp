#include "report/ScanNumbers.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace kalvex::report {

int CharSource::peek()
{
    if (budget_ <= 0 || !buffer_)
        return -1;
    const auto c = buffer_->sgetc();
    return c == std::streambuf::traits_type::eof() ? -1 : static_cast<unsigned char>(c);
}

int CharSource::take()
{
    const int c = peek();
    if (c >= 0) {
        buffer_->sbumpc();
        --budget_;
        if (c == '\r' || (c == '\n' && previous_ != '\r'))
            ++line_;
        sawNul_ = sawNul_ || c == 0;
        if (recording_)
            recorded_ += static_cast<char>(c);
    }
    previous_ = c;
    return c;
}

namespace {

bool isBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isOctal(int c) { return c >= '0' && c <= '7'; }

bool isHex(int c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int lower(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Appends the characters that are `accept`ed, one by one; returns how many.
template <typename Accept>
int takeWhile(CharSource& in, std::string& token, Accept accept)
{
    int count = 0;
    while (accept(in.peek())) {
        token += static_cast<char>(in.take());
        ++count;
    }
    return count;
}

bool takeIf(CharSource& in, std::string& token, int a, int b)
{
    const int c = in.peek();
    if (c != a && c != b)
        return false;
    token += static_cast<char>(in.take());
    return true;
}

// The letters of "infinity" or "nan", case-insensitively, as far as they match. Such a
// number is never finite, so the caller only needs them taken.
void takeWord(CharSource& in)
{
    const char* word = lower(in.peek()) == 'i' ? "infinity" : "nan";
    for (const char* p = word; *p && lower(in.peek()) == *p; ++p)
        in.take();
}

// Mantissa digits, point and exponent of a decimal or (after "0x") hexadecimal number.
// False when the characters taken hold no digit of the mantissa.
bool takeMantissaAndExponent(CharSource& in, std::string& token, bool hex, bool haveDigit)
{
    const auto digit = [hex](int c) { return hex ? isHex(c) : isDigit(c); };
    int digits = takeWhile(in, token, digit);
    if (takeIf(in, token, '.', '.'))
        digits += takeWhile(in, token, digit);
    if (digits == 0 && !haveDigit)
        return false;
    // An exponent mark without digits is taken but adds nothing: the C library reads "1e" as 1.
    const bool exponent = hex ? takeIf(in, token, 'p', 'P') : takeIf(in, token, 'e', 'E');
    if (exponent) {
        takeIf(in, token, '+', '-');
        takeWhile(in, token, isDigit);
    }
    return true;
}

// strtod with the "C" locale of this thread only, so that the decimal point is a point
// whatever locale the application has set, and no other thread is affected.
double convertInCLocale(const std::string& token)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
    const double value = std::strtod(token.c_str(), nullptr);
    uselocale(previous);
    return value;
}

}  // namespace

bool skipBlanks(CharSource& in)
{
    while (isBlank(in.peek()))
        in.take();
    return in.peek() >= 0;
}

Scanned<double> scanDouble(CharSource& in)
{
    Scanned<double> result;
    if (!skipBlanks(in)) {
        result.ended = true;
        return result;
    }
    std::string token;
    takeIf(in, token, '+', '-');
    const int first = lower(in.peek());
    if (first == 'i' || first == 'n') {
        takeWord(in);
        return result;
    }
    bool hex = false;
    bool leadingZero = false;
    if (in.peek() == '0') {
        token += static_cast<char>(in.take());
        leadingZero = true;
        if (takeIf(in, token, 'x', 'X'))
            hex = true;
    }
    if (!takeMantissaAndExponent(in, token, hex, leadingZero && !hex))
        return result;
    const double value = convertInCLocale(token);
    if (std::isfinite(value))
        result.value = value;
    return result;
}

Scanned<long> scanLong(CharSource& in)
{
    Scanned<long> result;
    if (!skipBlanks(in)) {
        result.ended = true;
        return result;
    }
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-')
        negative = in.take() == '-';
    int base = 10;
    bool haveDigit = false;
    if (in.peek() == '0') {
        in.take();
        haveDigit = true;
        base = 8;
        if (in.peek() == 'x' || in.peek() == 'X') {
            in.take();
            base = 16;
        }
    }
    // Accumulate the magnitude; once it passes the range of long the number is not readable,
    // but its remaining digits are still taken, as scanf does.
    const unsigned long long limit =
        static_cast<unsigned long long>(std::numeric_limits<long>::max()) + (negative ? 1 : 0);
    unsigned long long magnitude = 0;
    bool overflow = false;
    const auto accept = [base](int c) {
        return base == 16 ? isHex(c) : (base == 8 ? isOctal(c) : isDigit(c));
    };
    while (accept(in.peek())) {
        const int c = lower(in.take());
        const unsigned digit = isDigit(c) ? static_cast<unsigned>(c - '0') : static_cast<unsigned>(c - 'a' + 10);
        haveDigit = true;
        if (!overflow && magnitude > (limit - digit) / static_cast<unsigned>(base))
            overflow = true;
        if (!overflow)
            magnitude = magnitude * static_cast<unsigned>(base) + digit;
    }
    if (!haveDigit || overflow)
        return result;
    result.value = negative ? static_cast<long>(0ULL - magnitude) : static_cast<long>(magnitude);
    return result;
}

}  // namespace kalvex::report
