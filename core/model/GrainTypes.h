#pragma once
// The grain shapes of the model: their numbers (as the report file and the window's radio
// group count them), names, the sizes each shape uses and the picture that shows it.
#include <array>
#include <optional>

namespace kalvex {

enum class GrainType : int {
    spherical = 1,
    slab = 2,
    cylinder = 3,
    tube = 4,
    slottedStick = 5,
    sevenPerforated = 6,
    nineteenPerforated = 7,
};

inline constexpr int kFirstGrainType = 1;
inline constexpr int kLastGrainType = 7;
inline constexpr int kGrainTypeCount = 7;

// The sizes of a grain besides its diameter D, which every shape has.
enum class GrainSize { D, L, P, SW };

struct GrainTypeInfo {
    GrainType type;
    const char* name;     // as the window and the study outputs name it
    const char* picture;  // embedded sketch
    bool usesL;           // length, or the second slab edge
    bool usesP;           // perforation diameter, or the third slab edge
    bool usesSW;          // slot width
};

inline constexpr std::array<GrainTypeInfo, kGrainTypeCount> kGrainTypes{{
    {GrainType::spherical, "Spherical", "grain1.jpg", false, false, false},
    {GrainType::slab, "Slab", "grain2.jpg", true, true, false},
    {GrainType::cylinder, "Cylinder", "grain3.jpg", true, false, false},
    {GrainType::tube, "Tube", "grain4.jpg", true, true, false},
    {GrainType::slottedStick, "Slotted Stick", "grain5.jpg", true, true, true},
    {GrainType::sevenPerforated, "7-perforated", "grain6.jpg", true, true, false},
    {GrainType::nineteenPerforated, "19-perforated", "grain7.jpg", true, true, false},
}};

constexpr bool isGrainType(long number)
{
    return number >= kFirstGrainType && number <= kLastGrainType;
}

// The table row of a grain type number; nullopt outside 1..7.
constexpr std::optional<GrainTypeInfo> grainTypeInfo(long number)
{
    if (!isGrainType(number))
        return std::nullopt;
    return kGrainTypes[static_cast<std::size_t>(number - kFirstGrainType)];
}

constexpr bool grainTypeUses(int number, GrainSize size)
{
    const auto info = grainTypeInfo(number);
    if (!info)
        return false;
    switch (size) {
    case GrainSize::D: return true;
    case GrainSize::L: return info->usesL;
    case GrainSize::P: return info->usesP;
    case GrainSize::SW: return info->usesSW;
    }
    return false;
}

}  // namespace kalvex
