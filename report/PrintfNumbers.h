#pragma once
// printf-style number conversions that always use a point as the decimal separator.
// The report file must read the same on every machine, so these never consult the C locale
// (std::to_chars is locale-independent and rounds exactly like glibc's printf).

#include <string>

namespace kalvex::report {

// As "%<width>.<precision>f": fixed notation, right-aligned in at least `width` characters.
std::string printfFixed(double value, int width, int precision);

// As "%<width>.<precision>e": one digit, point, `precision` decimals, exponent e+NN.
std::string printfExp(double value, int width, int precision);

// As "%<width>.<precision>i": at least `precision` digits (none for 0 with precision 0),
// right-aligned in at least `width` characters.
std::string printfInt(long long value, int width, int precision);

}  // namespace kalvex::report
