#pragma once
// pi and the constants derived from it, as the model has always used them: the ten-digit
// value of pi and its multiples written out, so that results repeat to the last digit.

namespace kalvex {

inline constexpr double kPi = 3.141592654;
inline constexpr double kPiOver6 = 0.5235987756666667;
inline constexpr double kPiOver4 = 0.7853981635;
inline constexpr double kPiOver2 = 1.570796327;
inline constexpr double kTwoPi = 6.283185308;
inline constexpr double kFourPi = 12.566370616;
inline constexpr double kSevenPi = 21.991148578;
inline constexpr double kPiSquared = 9.869604403666765;
inline constexpr double kOneOverPi = 0.31830988614222805;

}  // namespace kalvex
