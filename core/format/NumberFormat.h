#pragma once
#include <string>
#include <string_view>

namespace kalvex {

// Rounds v to n decimals, halves away from zero; results within 1e-12 of zero become 0.
double RoundDecimals(double v, int n);

// A number as field or label text: at most 15 significant digits, no trailing zeros,
// fixed notation for 0.0001 <= |v| < 1e15 (and 0), otherwise "1.5E-5" / "2E15" style.
std::string formatGeneral(double v, char decimalSeparator = '.');

// Parses a field text with the given decimal separator. Blanks around the number are
// tolerated; an empty text, trailing garbage, "nan" or "inf" throw InputError with
// "'<text>' is not a valid floating point value".
double parseFloatField(std::string_view text, char decimalSeparator = '.');

// Parses a whole number; throws InputError with "'<text>' is not a valid integer value".
long parseIntField(std::string_view text);

// The messages for a text that is not a number, as every reader of numbers gives them:
// "'<text>' is not a valid floating point value" / "... integer value".
std::string notAFloatMessage(std::string_view text);
std::string notAnIntegerMessage(std::string_view text);

}  // namespace kalvex
