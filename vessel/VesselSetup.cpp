#include "vessel/VesselSetup.h"

#include <limits>
#include <stdexcept>
#include <string>
#include <numbers>

namespace kalvex::vessel {

namespace {
constexpr double kUnreachable = 1e12;  // Pa or N: a resistance no gas pressure reaches
constexpr double kSlowTwist = 1e6;     // calibres per turn: no rotation energy
constexpr double kAbsoluteZero = -273.15;  // °C
// The wall's heated layer taken as unbounded, so the model's wall temperature stays at its
// start whatever heat it takes; any positive heat capacity then gives the same.
constexpr double kHeldWallThickness = std::numeric_limits<double>::infinity();  // m
constexpr double kSteelHeatCapacity = 460;  // J/kg/K
constexpr double kSteelDensity = 7850;      // kg/m^3
}  // namespace

double VesselHeatLoss::wallArea(double volume) const
{
    return 4 * volume / innerDiameter + std::numbers::pi * innerDiameter * innerDiameter / 2;
}

std::string VesselHeatLoss::problem() const
{
    if (coefficient >= 0 && innerDiameter > 0 && wallTemperature > kAbsoluteZero)
        return {};
    return "the vessel's heat loss needs a coefficient of 0 or more, a positive inner diameter and a wall above "
           "absolute zero";
}

BallisticInput vesselInput(const VesselSetup& setup)
{
    // A vessel characterises one propellant: the model held here fires the first component
    // alone, so a mixed charge would give the trace of a charge that was not described.
    if (!setup.charge.extraComponents.empty())
        throw std::runtime_error("The closed vessel fires one propellant; this charge has " +
                                 std::to_string(setup.charge.extraComponents.size() + 1) +
                                 " components: fire each on its own.");
    BallisticInput in = setup.charge;
    in.V0 = setup.volume;
    in.Vp = 0;
    in.C = setup.chargeMass;
    // The bore of the vessel's cylinder: with the volume, the chamber wall the model heats.
    in.A = std::numbers::pi * setup.heatLoss.innerDiameter * setup.heatLoss.innerDiameter / 4;
    in.dt = setup.dt;
    in.heatTransfer = setup.heatLoss.loses();
    if (in.heatTransfer) {
        // With nothing moving the gas has no velocity, so the model's wall coefficient is its
        // free coefficient alone: h (T - T_w) over the chamber wall.
        in.h0 = setup.heatLoss.coefficient;
        in.T0w = setup.heatLoss.wallTemperature;
        in.Dw = kHeldWallThickness;
        in.Cpw = kSteelHeatCapacity;
        in.rhow = kSteelDensity;
    }
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
