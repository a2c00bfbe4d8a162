#pragma once
// printf-style formatting of numbers that always writes a point as the decimal separator,
// whatever locale the application has set.
#include <initializer_list>
#include <string>
#include <string_view>

namespace kalvex {

// As "%<width>.<precision>f": fixed notation, right-aligned in at least `width` characters.
std::string printfFixed(double value, int width, int precision);

// As "%<width>.<precision>e": one digit, point, `precision` decimals, exponent e+NN.
std::string printfExp(double value, int width, int precision);

// As "%<width>.<precision>i": at least `precision` digits (none for 0 with precision 0),
// right-aligned in at least `width` characters.
std::string printfInt(long long value, int width, int precision);

// Formats `format` with printf semantics for the conversions %W.Pf (fixed, rounded
// exactly as printf rounds), %W.Pi / %W.Pd (the value truncated to an integer) and %%.
// Each conversion takes the next value; other characters are copied. A width right-aligns.
std::string formatC(std::string_view format, std::initializer_list<double> values);

}  // namespace kalvex
