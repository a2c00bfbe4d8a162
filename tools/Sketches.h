#pragma once
#include <QImage>

// The pictures shown on the windows, drawn as plain line drawings.
namespace kalvex::tools {

// Every grain sketch has this size, so the grain page can show any of them in one place.
inline constexpr int kGrainSketchWidth = 200;
inline constexpr int kGrainSketchHeight = 160;
// The friction sketch beside the bore-resistance fields.
inline constexpr int kFrictionSketchWidth = 240;
inline constexpr int kFrictionSketchHeight = 170;
// The picture of the start and About windows.
inline constexpr int kTitleWidth = 265;
inline constexpr int kTitleHeight = 105;

// The program's icon for the desktop menu, square, with a transparent background.
inline constexpr int kIconSize = 256;

// Grain type 1..7: sphere, slab, cylinder, tube, slotted tube, 7- and 19-perforated cylinder.
QImage drawGrainSketch(int grainType);
// Bore resistance br against travel x, from x0 over the peak at xe0 and xe to xm.
QImage drawBoreResistanceSketch();
// A barrel section with a pressure curve and the program's name.
QImage drawTitlePicture();
// A pressure curve over a barrel with the projectile leaving it, on a rounded tile.
QImage drawIcon();

}  // namespace kalvex::tools
