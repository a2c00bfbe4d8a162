#pragma once
// Runs that cannot reach the muzzle, one for each way a run ends early: a reference case
// with a change, the end it must meet and that end's message.
#include "core/input/BallisticInput.h"
#include "core/stepping/Solver.h"

#include <functional>
#include <vector>

namespace kalvex::test {

struct EarlyEndCase {
    const char* what;
    const char* caseName;
    std::function<void(BallisticInput&)> change;
    RunEnd end;
    const char* message;
};

inline std::vector<EarlyEndCase> earlyEndCases()
{
    return {
        {"closed chamber bursts", "rifle_tube",
         [](BallisticInput& in) { in.px0 = in.pxe0 = in.pxe = in.pxm = 3000e6; }, RunEnd::PressureLimit,
         "Mean Pressure over 2000 MPa."},
        {"light projectile on a strong charge", "gun155_7perf",
         [](BallisticInput& in) {
             in.mp = 1;
             in.F = 3e7;
             in.heatTransfer = false;
             in.beta /= 5;
             in.xm = 20;
         },
         RunEnd::VelocityLimit, "Velocity of Projectile over 5000 m/s."},
        {"charge larger than the chamber", "rifle_tube", [](BallisticInput& in) { in.C = 0.006; },
         RunEnd::FreeVolumeExhausted, "Free Volume of Chamber less than or equal to 0 m^3."},
        {"step far too large", "rifle_tube",
         [](BallisticInput& in) {
             in.fr = 0;
             in.dt = 1;
         },
         RunEnd::TemperatureExhausted, "Mean Temperature less than or equal to 0 K."},
        {"burning rate overflows", "rifle_tube", [](BallisticInput& in) { in.beta = 1e300; },
         RunEnd::NotFinite, "Computation diverged: a result is not a finite number."},
        {"resistance above the charge's reach", "rifle_tube",
         [](BallisticInput& in) {
             in.px0 = in.pxe0 = in.pxe = in.pxm = 1000e6;
             in.C = 0.0005;
         },
         RunEnd::ProjectileStopped, "Projectile stopped in the barrel."},
        {"stopped by a wall of resistance midway", "rifle_tube",
         [](BallisticInput& in) {
             in.pxe = in.pxm = 400e6;
             in.C = 0.0015;
         },
         RunEnd::ProjectileStopped, "Projectile stopped in the barrel."},
        {"a wall of resistance taking more work than the gas holds, midway", "rifle_tube",
         [](BallisticInput& in) { in.pxe = in.pxm = 1e17; },
         RunEnd::TemperatureExhausted, "Mean Temperature less than or equal to 0 K."},
        {"barrel recoiling faster than the projectile", "gun155_7perf", [](BallisticInput& in) { in.mrp = 3; },
         RunEnd::WallTemperatureExhausted, "Wall Temperature less than or equal to 0 K."},
        {"heavy charge against a wall of resistance at the muzzle", "rifle_tube",
         [](BallisticInput& in) {
             in.mp = in.C;
             in.px0 = in.pxe0 = in.pxe = 0;
             in.pxm = 500e6;
             in.xe0 = 0;
             in.xe = 0.8 * in.xm;
         },
         RunEnd::BreechPressureNegative, "Breech Pressure less than 0 MPa."},
    };
}

}  // namespace kalvex::test
