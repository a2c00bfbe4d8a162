#include "core/format/NumberFormat.h"

#include "core/results/Errors.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kalvex {

double RoundDecimals(double v, int n)
{
    double sign = 1;
    if (v < 0) {
        v = -v;
        sign = -1;
    }
    const double m = std::pow(10.0, n);
    const double half = 0.5 / m;
    if (v + half >= std::ceil(v * m) / m)
        v = std::ceil(v * m) / m;
    if (v + half < std::ceil(v * m) / m)
        v = std::ceil(v * m) / m - 2 * half;
    if (-1e-12 < v && v < 1e-12)
        v = 0;
    return sign * v;
}

namespace {

constexpr int kSignificantDigits = 15;

struct Decimal {
    bool negative;
    std::string digits;  // significant digits without trailing zeros, first one non-zero
    int exponent;        // value = 0.d1d2d3... * 10^(exponent + 1)
};

Decimal toDecimal(double v)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific,
                             kSignificantDigits - 1);
    std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
    Decimal d{false, {}, 0};
    size_t pos = 0;
    if (text[pos] == '-') {
        d.negative = true;
        ++pos;
    }
    const size_t ePos = text.find('e');
    for (size_t i = pos; i < ePos; ++i)
        if (text[i] != '.')
            d.digits.push_back(text[i]);
    d.exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

}  // namespace

std::string formatGeneral(double v, char decimalSeparator)
{
    if (v == 0 || !std::isfinite(v))
        return v == 0 ? "0" : (std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF"));

    const Decimal d = toDecimal(v);
    const int len = static_cast<int>(d.digits.size());
    std::string out = d.negative ? "-" : "";

    if (d.exponent >= -4 && d.exponent < 15) {
        if (d.exponent >= 0) {
            const int intDigits = d.exponent + 1;
            if (len <= intDigits) {
                out += d.digits + std::string(static_cast<size_t>(intDigits - len), '0');
            } else {
                out += d.digits.substr(0, static_cast<size_t>(intDigits));
                out += decimalSeparator;
                out += d.digits.substr(static_cast<size_t>(intDigits));
            }
        } else {
            out += '0';
            out += decimalSeparator;
            out += std::string(static_cast<size_t>(-d.exponent - 1), '0') + d.digits;
        }
        return out;
    }

    out += d.digits[0];
    if (len > 1) {
        out += decimalSeparator;
        out += d.digits.substr(1);
    }
    out += 'E';
    if (d.exponent < 0)
        out += '-';
    out += std::to_string(std::abs(d.exponent));
    return out;
}

namespace {

std::string_view trimBlanks(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string quoted(std::string_view text, const char* what)
{
    std::string message;
    message.append(1, '\'').append(text).append("' is not a valid ").append(what);
    return message;
}

}  // namespace

double parseFloatField(std::string_view text, char decimalSeparator)
{
    const auto fail = [&] { return InputError(notAFloatMessage(text)); };
    std::string s(trimBlanks(text));
    if (!s.empty() && s.front() == '+') {
        s.erase(0, 1);  // from_chars takes no plus sign; a typed one still makes a number
        if (!s.empty() && (s.front() == '+' || s.front() == '-'))
            throw fail();
    }
    if (s.empty())
        throw fail();
    for (char& c : s) {
        if (c == decimalSeparator)
            c = '.';
        else if (c == '.' && decimalSeparator != '.')
            throw fail();  // a point is not a separator where the user's separator is another
    }
    double value = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), value,
                                     std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(value))
        throw fail();
    return value;
}

long parseIntField(std::string_view text)
{
    std::string s(trimBlanks(text));
    if (!s.empty() && s.front() == '+')
        s.erase(0, 1);
    long value = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || res.ec != std::errc() || res.ptr != s.data() + s.size())
        throw InputError(notAnIntegerMessage(text));
    return value;
}

std::string notAFloatMessage(std::string_view text)
{
    return quoted(text, "floating point value");
}

std::string notAnIntegerMessage(std::string_view text)
{
    return quoted(text, "integer value");
}

}  // namespace kalvex
