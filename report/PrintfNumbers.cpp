#include "report/PrintfNumbers.h"

#include <charconv>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace kalvex::report {

namespace {

// Wide enough for any double in fixed notation with the few decimals the report uses
// (the largest finite double has 309 integer digits).
constexpr int kBufferSize = 400;

std::string padLeft(std::string_view text, int width)
{
    std::string out;
    if (static_cast<int>(text.size()) < width)
        out.assign(static_cast<std::size_t>(width) - text.size(), ' ');
    out.append(text);
    return out;
}

std::string convert(double value, int width, int precision, std::chars_format format)
{
    char buf[kBufferSize];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, format, precision);
    if (res.ec != std::errc())
        return padLeft("?", width);  // cannot happen for the precisions used here
    return padLeft(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)), width);
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

}  // namespace kalvex::report
