#include "vessel/VesselSetup.h"

#include <numbers>

namespace kalvex::vessel {

namespace {
constexpr double kUnreachable = 1e12;  // Pa or N: a resistance no gas pressure reaches
constexpr double kSlowTwist = 1e6;     // calibres per turn: no rotation energy
}  // namespace

BallisticInput vesselInput(const VesselSetup& setup)
{
    BallisticInput in = setup.charge;
    in.V0 = setup.volume;
    in.Vp = 0;
    in.C = setup.chargeMass;
    in.A = std::numbers::pi * setup.innerDiameter * setup.innerDiameter / 4;
    in.dt = setup.dt;
    in.heatTransfer = setup.heatLoss;
    // The gun's parts exist in the model but must not move.
    if (in.mp <= 0)
        in.mp = 1;
    if (in.xm <= 0)
        in.xm = 1;
    if (in.mrp <= 0)
        in.mrp = 1000;
    in.Tw = kSlowTwist;
    in.RR = kUnreachable;
    in.fr = 1;
    in.px0 = in.pxe0 = in.pxe = in.pxm = kUnreachable;
    if (in.xe0 <= 0 || in.xe <= in.xe0) {
        in.xe0 = 0.02;
        in.xe = 0.1;
    }
    return in;
}

}  // namespace kalvex::vessel
