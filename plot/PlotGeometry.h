#pragma once

namespace kalvex::plot {

// The frame stands at fixed margins inside the surface; grid lines and ticks stand at fixed
// pixel distances from its lower left corner, so the labels, not the lines, follow the data.
inline constexpr int kLeftBottomMargin = 35;  // px, left edge to frame and frame to bottom edge
inline constexpr int kTopRightMargin = 20;    // px, top edge to frame and frame to right edge
inline constexpr int kGridSpacingX = 50;      // px between vertical grid lines and x ticks
inline constexpr int kGridSpacingY = 25;      // px between horizontal grid lines and y ticks
inline constexpr int kTickHalfLength = 5;     // px on each side of the frame line
// The plot's size in the main window's design: its labels' decimals follow the data's span
// there; a larger plot's follow the grid's spacing too.
inline constexpr int kDesignWidth = 247;   // px
inline constexpr int kDesignHeight = 226;  // px
// Smallest side that still leaves room for the frame: 1.5 times the two margins.
inline constexpr double kMinimumSide = 1.5 * (kLeftBottomMargin + kTopRightMargin);

}  // namespace kalvex::plot
