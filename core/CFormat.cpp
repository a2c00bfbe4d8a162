#include "core/CFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>

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

std::string fixedText(double v, int precision)
{
    if (std::isnan(v))
        return std::signbit(v) ? "-nan" : "nan";
    if (std::isinf(v))
        return v < 0 ? "-inf" : "inf";
    char buf[400];  // the largest double has 309 digits before the point
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed,
                                   precision < 0 ? 6 : precision);
    return std::string(buf, res.ptr);
}

std::string integerText(double v, int precision)
{
    if (!std::isfinite(v) || std::fabs(v) >= 9.2e18)
        return fixedText(v, 0);  // no integer can stand for it
    const auto n = static_cast<std::int64_t>(v);
    if (n == 0 && precision == 0)
        return "";  // printf writes no digit for zero at precision 0
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    std::string text(buf, res.ptr);
    const bool negative = text.front() == '-';
    const std::size_t digits = text.size() - (negative ? 1 : 0);
    if (precision > 0 && digits < static_cast<std::size_t>(precision))
        text.insert(negative ? 1 : 0, static_cast<std::size_t>(precision) - digits, '0');
    return text;
}

}  // namespace

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
        std::string field;
        if (c.kind == 'f')
            field = fixedText(*next++, c.precision);
        else if (c.kind == 'i' || c.kind == 'd')
            field = integerText(*next++, c.precision);
        else
            throw std::invalid_argument("unsupported conversion in format");
        if (field.size() < static_cast<std::size_t>(c.width))
            out.append(static_cast<std::size_t>(c.width) - field.size(), ' ');
        out += field;
    }
    return out;
}

}  // namespace kalvex
