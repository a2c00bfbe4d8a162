#pragma once
// Factors between the SI units the model computes in and the units the fields, series and
// reports show. Multiplying by these is the one conversion everywhere, so every place that
// converts gives the same bits.

namespace kalvex {

inline constexpr double kMillimetreToMetre = 0.001;
inline constexpr double kMetreToMillimetre = 1000;
inline constexpr double kMillisecondToSecond = 0.001;
inline constexpr double kSecondToMillisecond = 1000;
inline constexpr double kMegapascalToPascal = 1000000;
inline constexpr double kPascalToMegapascal = 0.000001;
inline constexpr double kMicrosecondToSecond = 0.000001;
inline constexpr double kCubicCentimetreToCubicMetre = 0.000001;
inline constexpr double kGramToKilogram = 0.001;
inline constexpr double kPerStandardGravity = 0.10197162129779283;  // 1 / 9.80665 m/s^2

}  // namespace kalvex
