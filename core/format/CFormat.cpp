#include "core/format/CFormat.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace kalvex {

namespace {

struct Conversion {
    int width = 0;
    int precision = -1;  // -1: none given
    char kind = 0;
};

// Reads "W.Pk" after a '%'; `pos` ends behind the conversion character.
Conversion parseConversion(std::string_view format, std::size_t& pos)
{
    Conversion c;
    auto readNumber = [&] {
        int n = 0;
        while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9')
            n = n * 10 + (format[pos++] - '0');
        return n;
    };
    c.width = readNumber();
    if (pos < format.size() && format[pos] == '.') {
        ++pos;
        c.precision = readNumber();
    }
    if (pos >= format.size())
        throw std::invalid_argument("incomplete conversion in format");
    c.kind = format[pos++];
    return c;
}

// Wide enough for any double in fixed notation (the largest finite double has 309 digits
// before the point).
constexpr int kBufferSize = 400;

std::string padLeft(std::string_view text, int width)
{
    std::string out;
    if (static_cast<int>(text.size()) < width)
        out.assign(static_cast<std::size_t>(width) - text.size(), ' ');
    out.append(text);
    return out;
}

// std::to_chars never consults the locale and rounds exactly as glibc's printf does.
std::string convert(double value, int width, int precision, std::chars_format format)
{
    char buf[kBufferSize];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, format, precision);
    if (res.ec != std::errc())
        return padLeft("?", width);  // cannot happen for the precisions in use
    return padLeft(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)), width);
}

// "%W.Pi" of a double: printf's conversion of the value truncated to an integer.
std::string integerField(double v, int width, int precision)
{
    if (!std::isfinite(v) || std::fabs(v) >= 9.2e18)
        return printfFixed(v, width, 0);  // no integer can stand for it
    return printfInt(static_cast<long long>(v), width, precision);
}

}  // namespace

std::string printfFixed(double value, int width, int precision)
{
    return convert(value, width, precision, std::chars_format::fixed);
}

std::string printfExp(double value, int width, int precision)
{
    return convert(value, width, precision, std::chars_format::scientific);
}

std::string printfInt(long long value, int width, int precision)
{
    char buf[32];
    std::string digits;
    if (!(value == 0 && precision == 0)) {
        // The magnitude as unsigned, so that the most negative value needs no special case.
        const unsigned long long magnitude =
            value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                      : static_cast<unsigned long long>(value);
        const auto res = std::to_chars(buf, buf + sizeof buf, magnitude);
        digits.assign(buf, res.ptr);
    }
    if (static_cast<int>(digits.size()) < precision)
        digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
    if (value < 0)
        digits.insert(0, 1, '-');
    return padLeft(digits, width);
}

std::string formatC(std::string_view format, std::initializer_list<double> values)
{
    std::string out;
    const double* next = values.begin();
    for (std::size_t pos = 0; pos < format.size();) {
        const char ch = format[pos++];
        if (ch != '%') {
            out += ch;
            continue;
        }
        if (pos < format.size() && format[pos] == '%') {
            out += '%';
            ++pos;
            continue;
        }
        const Conversion c = parseConversion(format, pos);
        if (next == values.end())
            throw std::invalid_argument("too few values for format");
        if (c.kind == 'f')
            out += printfFixed(*next++, c.width, c.precision < 0 ? 6 : c.precision);
        else if (c.kind == 'i' || c.kind == 'd')
            out += integerField(*next++, c.width, c.precision);
        else
            throw std::invalid_argument("unsupported conversion in format");
    }
    return out;
}

}  // namespace kalvex
