#include "core/model/GrainGeometry.h"
#include "core/model/GrainSurfaces.h"
#include "core/model/GrainTypes.h"

#include "core/model/Pi.h"

#include <cmath>

namespace kalvex {

namespace {

constexpr double kOneThirteenth = 0.07692307692307693;
constexpr double kOneSixth = 0.16666666666666666;

// Slotted stick: the slot cuts the cylinder wall from the perforation to the outside.
// Half-angles of the slot at the outer surface (radius R) and at the perforation (Rp).
struct SlotAngles {
    double outer;  // phi_o
    double inner;  // phi_i
};

SlotAngles slotAngles(double slotWidth, double R, double Rp)
{
    return {kPiOver2 - std::acos(slotWidth / (2 * R)), kPiOver2 - std::acos(slotWidth / (2 * Rp))};
}

void prepareSlottedStick(const GrainShape& in, GrainGeometry& g)
{
    const double R = in.D / 2;
    const double Rp = in.P / 2;
    const SlotAngles phi = slotAngles(in.SW, R, Rp);
    const double crossSection = (kPi - phi.outer) * R * R - (kPi - phi.inner) * Rp * Rp -
                                0.5 * in.SW * (R * std::cos(phi.outer) - Rp * std::cos(phi.inner));
    g.initialGrainVolume = crossSection * in.L;
    g.initialGrainSurface = 2 * in.L * (R * std::cos(phi.outer) + (kPi - phi.inner) * Rp - Rp * std::cos(phi.inner)) +
                            2 * g.initialGrainVolume / in.L + 2 * in.L * (kPi - phi.outer) * R;
}

void prepareSevenPerforated(const GrainShape& in, GrainGeometry& g)
{
    const double sqrt3 = std::sqrt(3.0);
    g.initialGrainVolume = kPiOver4 * in.L * (in.D * in.D - 7 * in.P * in.P);
    g.initialGrainSurface = kPi * in.L * (in.D + 7 * in.P) + 2 * g.initialGrainVolume / in.L;
    g.web = 0.25 * (in.D - 3 * in.P);
    g.pitch = g.web + in.P;
    g.innerSliverLimit = g.pitch / sqrt3 - 0.5 * in.P;
    g.outerSliverLimit = (14 - 3 * sqrt3) * g.pitch * kOneThirteenth - 0.5 * in.P;
}

void prepareNineteenPerforated(const GrainShape& in, GrainGeometry& g)
{
    const double sqrt3 = std::sqrt(3.0);
    g.initialGrainVolume = kPiOver4 * in.L * (in.D * in.D - 19 * in.P * in.P);
    g.initialGrainSurface = kPi * in.L * (in.D + 19 * in.P) + 2 * g.initialGrainVolume / in.L;
    g.web = kOneSixth * (in.D - 5 * in.P);
    g.pitch = g.web + in.P;
    g.sliverLimitC = 0.5 * (in.D - in.P - 2 * sqrt3 * g.pitch);
    g.innerSliverLimit = g.pitch / sqrt3 - 0.5 * in.P;
    g.outerSliverLimit = 0.25 * ((6 - std::sqrt(10.0)) * g.pitch - 2 * in.P);
}

// Slotted stick after a burned thickness e: the grain keeps its shape with every
// outer size shrunk and every opening widened by 2e.
double slottedStickSurface(const GrainShape& in, double e)
{
    const double De = in.D - 2 * e;
    const double Le = in.L - 2 * e;
    const double u = in.P + 2 * e;
    const double R = 0.5 * De;
    const double Rp = 0.5 * u;
    const double W = in.SW + 2 * e;
    const SlotAngles phi = slotAngles(W, R, Rp);
    const double cosO = std::cos(phi.outer);
    const double cosI = std::cos(phi.inner);
    return 2 * ((kPi - phi.outer) * R * R - (kPi - phi.inner) * Rp * Rp - 0.5 * W * (R * cosO - Rp * cosI)) +
           2 * Le * (R * cosO + (kPi - phi.inner) * Rp - Rp * cosI) + 2 * Le * (kPi - phi.outer) * R;
}

// Relative excess that is rounding, not geometry: at the start of the sliver phase the
// perforations have only just met.
constexpr double kRoundingExcess = 1e-12;

// A sliver angle. Each is 0 where its phase or condition begins, so its cosine starts at 1;
// rounding there may put it a few units of the last place beyond 1, which must give the
// angle 0 and not a surface that is not a number (read as a consumed grain).
double sliverAngle(double cosine)
{
    if (std::fabs(cosine) > 1 && std::fabs(cosine) < 1 + kRoundingExcess)
        cosine = std::copysign(1.0, cosine);
    return std::acos(cosine);
}

// Circular-segment term shared by the sliver surfaces of multi-perforated grains; u = a where
// the perforations meet.
double segmentTerm(double a, double u, double theta1)
{
    double chordSquared = u * u - a * a;
    if (chordSquared < 0 && chordSquared > -kRoundingExcess * u * u)
        chordSquared = 0;
    return 0.25 * theta1 * u * u - 0.25 * a * std::sqrt(chordSquared);
}

// A multi-perforated grain after a burned thickness e: outer sizes shrunk, perforations widened.
struct BurningGrain {
    double De;  // outer diameter, m
    double Le;  // length, m
    double u;   // perforation diameter, m
};

BurningGrain burningGrain(const GrainShape& in, double e)
{
    return {in.D - 2 * e, in.L - 2 * e, in.P + 2 * e};
}

// Multi-perforated grains burn first as a whole (up to half the web), then as slivers between
// the perforations (inner ones and outer ones), and are consumed at eB or when the length is
// burned through.
enum class PerforatedPhase { whole, slivers, consumed };

PerforatedPhase perforatedPhase(const GrainShape& in, const GrainGeometry& g, double e)
{
    if (e <= 0.5 * g.web)
        return PerforatedPhase::whole;
    if (e < g.outerSliverLimit && e < 0.5 * in.L)
        return PerforatedPhase::slivers;
    return PerforatedPhase::consumed;
}

// What both sliver formulas share: the pitch a of the perforations, the first sliver angle
// theta1 and the circular-segment term.
struct SliverStart {
    double a;
    double theta1;
    double seg;
};

SliverStart sliverStart(const GrainGeometry& g, double u)
{
    const double theta1 = sliverAngle(g.pitch / u);
    return {g.pitch, theta1, segmentTerm(g.pitch, u, theta1)};
}

double sevenPerforatedSurface(const GrainShape& in, const GrainGeometry& g, double e)
{
    const PerforatedPhase phase = perforatedPhase(in, g, e);
    if (phase == PerforatedPhase::whole)
        return polynomialGrainSurface<double>(GrainType::sevenPerforated, in.D, in.L, in.P, e);
    const auto [De, Le, u] = burningGrain(in, e);
    if (phase == PerforatedPhase::consumed)
        return 0;
    const double sqrt3 = std::sqrt(3.0);
    const auto [a, theta1, seg] = sliverStart(g, u);
    double inner = 0;
    if (e < g.innerSliverLimit)
        inner = 1.5 * (2 * sqrt3 * a * a - kPi * u * u + 24 * seg) + 3 * Le * (kPi - 6 * theta1) * u;
    const double theta2 = sliverAngle((5 * a - 2 * u) / De);
    const double theta3 = sliverAngle((3 * a - 2 * u) / u);
    const double outer = 0.5 * (kPi * De * De - 6 * sqrt3 * a * a - kFourPi * u * u + 24 * seg) +
                         Le * ((kPi - 6 * theta2) * De + 2 * (kTwoPi - 3 * theta3 - 3 * theta1) * u);
    return inner + outer;
}

double nineteenPerforatedSurface(const GrainShape& in, const GrainGeometry& g, double e)
{
    const PerforatedPhase phase = perforatedPhase(in, g, e);
    if (phase == PerforatedPhase::whole)
        return polynomialGrainSurface<double>(GrainType::nineteenPerforated, in.D, in.L, in.P, e);
    const auto [De, Le, u] = burningGrain(in, e);
    if (phase == PerforatedPhase::consumed)
        return 0;
    const double sqrt3 = std::sqrt(3.0);
    const auto [a, theta1, seg] = sliverStart(g, u);
    double inner = 0;
    if (e < g.innerSliverLimit)
        inner = 6 * (2 * sqrt3 * a * a - kPi * u * u + 24 * seg) + 12 * Le * (kPi - 6 * theta1) * u;
    const double theta4 = sliverAngle((5 * in.D - 13 * in.P - 36 * e) / (12 * u));
    const double theta5 = sliverAngle((13 * in.D - 5 * in.P - 36 * e) / (12 * De));
    double theta6 = 0;
    double theta7 = 0;
    if (e > 0.5 * g.sliverLimitC) {
        theta6 = sliverAngle((in.D - 2 * in.P - 6 * e) / (sqrt3 * u));
        theta7 = sliverAngle((2 * in.D - in.P - 6 * e) / (sqrt3 * De));
    }
    const double outer = 0.5 * (kPi * De * De - 24 * sqrt3 * a * a - kSevenPi * u * u + 48 * seg) +
                         Le * ((kPi - 6 * (theta5 + theta7)) * De + (kSevenPi - 6 * (2 * theta1 + theta6 + theta4)) * u);
    return inner + outer;
}

}  // namespace

GrainGeometry prepareGrainGeometry(const GrainShape& in)
{
    GrainGeometry g;
    const double D = in.D;
    const double L = in.L;
    const double P = in.P;
    switch (static_cast<GrainType>(in.grainType)) {
    case GrainType::spherical:
        g.initialGrainVolume = kPiOver6 * D * D * D;
        g.initialGrainSurface = kPi * D * D;
        break;
    case GrainType::slab:
        g.initialGrainVolume = D * L * P;
        g.initialGrainSurface = 2 * (D * L + D * P + L * P);
        break;
    case GrainType::cylinder:
        g.initialGrainVolume = kPiOver4 * L * D * D;
        g.initialGrainSurface = kPi * (D * L + 0.5 * D * D);
        break;
    case GrainType::tube:
        g.initialGrainVolume = kPiOver4 * L * (D * D - P * P);
        g.initialGrainSurface = kPi * (D * L + P * L + 0.5 * D * D - 0.5 * P * P);
        break;
    case GrainType::slottedStick:
        prepareSlottedStick(in, g);
        break;
    case GrainType::sevenPerforated:
        prepareSevenPerforated(in, g);
        break;
    case GrainType::nineteenPerforated:
        prepareNineteenPerforated(in, g);
        break;
    default:
        break;
    }
    return g;
}

double grainSurface(const GrainShape& in, const GrainGeometry& g, double e)
{
    const auto type = static_cast<GrainType>(in.grainType);
    switch (type) {
    case GrainType::spherical:
    case GrainType::slab:
    case GrainType::cylinder:
    case GrainType::tube:
        return polynomialGrainSurface<double>(type, in.D, in.L, in.P, e);
    case GrainType::slottedStick:
        return slottedStickSurface(in, e);
    case GrainType::sevenPerforated:
        return sevenPerforatedSurface(in, g, e);
    case GrainType::nineteenPerforated:
        return nineteenPerforatedSurface(in, g, e);
    }
    return 0;
}

GrainShape grainShapeOf(const BallisticInput& in)
{
    return {in.grainType, in.D, in.L, in.P, in.SW};
}

GrainGeometry prepareGrainGeometry(const BallisticInput& in)
{
    return prepareGrainGeometry(grainShapeOf(in));
}

double grainSurface(const BallisticInput& in, const GrainGeometry& g, double e)
{
    return grainSurface(grainShapeOf(in), g, e);
}

double grainCount(const BallisticInput& in, const GrainGeometry& g)
{
    return in.C / (in.rho * g.initialGrainVolume);
}

}  // namespace kalvex
