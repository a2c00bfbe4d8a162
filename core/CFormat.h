#pragma once
// printf-style formatting of numbers that always writes a point as the decimal separator,
// whatever locale the application has set.
#include <initializer_list>
#include <string>
#include <string_view>

namespace kalvex {

// Formats `format` with printf semantics for the conversions %W.Pf (fixed, rounded
// exactly as printf rounds), %W.Pi / %W.Pd (the value truncated to an integer) and %%.
// Each conversion takes the next value; other characters are copied. A width right-aligns.
std::string formatC(std::string_view format, std::initializer_list<double> values);

}  // namespace kalvex
