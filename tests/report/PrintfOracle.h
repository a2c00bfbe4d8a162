#pragma once
// The report as the C library's printf writes it from the literal format strings of each
// line: an independent route to the bytes the writer must produce. Valid only while the
// global C locale is "C" (the test programs never change it outside a scoped guard).

#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace kalvex::testing {

inline std::string cformat(const char* format, ...)
{
    char buf[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

class OracleReport {
public:
    void line(const std::string& s) { text_ += s + "\r\n"; }
    std::string text() const { return text_; }

private:
    std::string text_;
};

inline std::string oracleRow(const char* format, const RunResults& r, int k, double x)
{
    const auto v = [&](SeriesId id) { return r[id][static_cast<std::size_t>(k)]; };
    return cformat(format, v(SeriesId::time), v(SeriesId::burnedFraction), x, v(SeriesId::velocity),
                   v(SeriesId::meanPressure), v(SeriesId::meanTemperature), v(SeriesId::wallTemperature),
                   v(SeriesId::breechPressure), v(SeriesId::basePressure), v(SeriesId::gasPressureAhead),
                   v(SeriesId::recoilVelocity));
}

// nameBytes: the weapon name as it stands in the file (Windows-1250).
inline std::string oracleReport(const std::string& nameBytes, const BallisticInput& in,
                                const RunResults& r, int every)
{
    OracleReport o;
    const std::string h79(79, '-');
    o.line("");
    o.line("                                *** Kalvex *** ");
    o.line(h79);
    o.line("                *** Interior Ballistics - Stanag 4367 Model *** ");
    o.line("                                  Quarvenbel ");
    o.line(h79);
    o.line("");
    o.line(" Weapon: " + nameBytes);
    o.line("");
    const bool sph = in.grainType == 1, cyl = in.grainType == 3, slot = in.grainType == 5;
    o.line(" * Parameters of Weapon * ");
    o.line(cformat(" Area of Base of Projectile A [m^2]:                  %6.6e ", in.A));
    o.line(cformat(" Mass of Projectile mp [kg]:                          %6.6e ", in.mp));
    o.line(cformat(" Travel of Projectile at Muzzle xm [m]:               %6.4f ", in.xm));
    o.line(cformat(" Volume of Empty Chamber V0 [m^3]:                    %6.6e ", in.V0));
    o.line(cformat(" Twist of Rifling Tw [cal/turn]:                     %6.2f ", in.Tw));
    o.line(cformat(" Parasitic Volume Vp [m^3]:                           %6.6e ", in.Vp));
    o.line(cformat(" Initial Temperature of Chamber Wall T0w [\xB0" "C]:       %6.2f ", in.T0w));
    o.line(cformat(" Free Heat Transfer Coefficient for Air h0 [W/m^2/K]:%6.2f ", in.h0));
    o.line(cformat(" Chamber Wall Thickness heated Dw [m]:                %6.6e ", in.Dw));
    o.line(cformat(" Density of Chamber Wall Steel rhow [kg/m^3]:         %6.2f ", in.rhow));
    o.line(cformat(" Heat Capacity of Steel of Chamber Cpw [J/kg/K]:      %6.2f ", in.Cpw));
    o.line(cformat(" Fraction of Work done against Bore Friction f:      %6.3f ", in.f));
    o.line(cformat(" Mass of Recoiling Parts mrp [kg]:                    %6.6e ", in.mrp));
    o.line(cformat(" Recoil Resistance Force RR [N]:                      %6.6e ", in.RR));
    o.line("");
    o.line(" * Parameters of Powder and Igniter * ");
    o.line(cformat(" Mass of Propellant C [kg]:                           %6.6e ", in.C));
    o.line(cformat(" Force per Unit Mass of Propellant F [J/kg]:          %6.6e ", in.F));
    o.line(cformat(" Adiabatic Flame Temperature of Propellant T0 [K]:    %6.2f ", in.T0));
    o.line(cformat(" Covolume of Propellant b [m^3/kg]:                   %6.6e ", in.b));
    o.line(cformat(" Ratio of specific Heats for Propellant gamma:        %6.4f ", in.gamma));
    o.line(cformat(" Density of Propellant rho [kg/m^3]:                  %6.2f ", in.rho));
    o.line(cformat(" Burning Rate Coeff. for Prop. beta [m/s/Pa]:         %6.6e ", in.beta));
    o.line(cformat(" Burning Rate Exponent for Propellant alpha:          %6.4f ", in.alpha));
    o.line(cformat(" Mass of Igniter CI [kg]:                             %6.6e ", in.CI));
    o.line(cformat(" Force per Unit Mass of Igniter FI [J/kg]:            %6.6e ", in.FI));
    o.line(cformat(" Adiabatic Flame Temperature of Igniter T0I [K]:      %6.2f ", in.T0I));
    o.line(cformat(" Covolume of Igniter bI [m^3/kg]:                     %6.6e ", in.bI));
    o.line(cformat(" Ratio of specific Heats for Igniter gammaI:          %6.4f ", in.gammaI));
    o.line(cformat(" Force Temperature Factor fFT:                        %6.4f ", in.fFT));
    o.line(cformat(" Burning Rate Factor fbeta:                           %6.4f ", in.fbeta));
    o.line(cformat(" Burning Rate Temperature Factor fbetaT:              %6.4f ", in.fbetaT));
    o.line("");
    o.line(" * Sizes of Grains * ");
    o.line(cformat(" Type of Grains:                                 %6.0i ", in.grainType));
    o.line(cformat(" Diameter of Grain or Slab Size D [m]:                %6.6e ", in.D));
    o.line(cformat(" Length of Grain or Slab Size L [m]:                  %6.6e ", sph ? 0.0 : in.L));
    o.line(cformat(" Diameter of Perforation or Slab Size P [m]:          %6.6e ", sph || cyl ? 0.0 : in.P));
    o.line(cformat(" Slot Width SW [m]:                                   %6.6e ", slot ? in.SW : 0.0));
    o.line("");
    o.line(" * Friction * ");
    o.line(cformat(" Down-Tube Resistance Factor fr:                      %6.4f ", in.fr));
    o.line(cformat(" Travel of Projectile at xe0 [m]:                     %6.4f ", in.xe0));
    o.line(cformat(" Travel of Projectile at xe [m]:                      %6.4f ", in.xe));
    o.line(cformat(" Resistive Pressure at x0 [Pa]:                       %6.3e ", in.px0));
    o.line(cformat(" Resistive Pressure at xe0 [Pa]:                      %6.3e ", in.pxe0));
    o.line(cformat(" Resistive Pressure at xe [Pa]:                       %6.3e ", in.pxe));
    o.line(cformat(" Resistive Pressure at xm [Pa]:                       %6.3e ", in.pxm));
    o.line("");
    o.line(cformat(" Computation Step [s]:                                %6.4e ", in.dt));

    const int n = r.stepCount;
    const auto at = [&](SeriesId id, int k) { return r[id][static_cast<std::size_t>(k)]; };
    const double zN = at(SeriesId::burnedFraction, n);
    if (zN < 1) {
        o.line("");
        o.line(" !End of Combustion After the Projectile Exits Muzzle! ");
    }
    o.line("");
    o.line("           Time [ms]    Z [-]     x [m]     vp [m/s]    Pmean [MPa]  Tmean [K]    Tc [K]    P0 [MPa]   Pb [MPa]   Pg [MPa]   vrp [m/s]");
    o.line(std::string(134, '-'));
    o.line(oracleRow(" Pmax:   %9.3f  %9.3f  %9.4f  %9.2f    %9.1f    %9.1f  %9.1f  %9.1f  %9.1f  %9.2f  %9.2f ",
                     r, r.pmaxRow, at(SeriesId::travel, r.pmaxRow)));
    if (r.burnoutRow <= n)
        o.line(oracleRow(" Z = 1:  %9.3f  %9.3f  %9.4f  %9.2f    %9.1f    %9.1f  %9.1f  %9.1f  %9.1f  %9.2f  %9.2f ",
                         r, r.burnoutRow, at(SeriesId::travel, r.burnoutRow)));
    o.line(oracleRow(" Muzzle: %9.3f  %9.3f  %9.4f  %9.2f    %9.1f    %9.1f  %9.1f  %9.1f  %9.1f  %9.2f  %9.2f  ",
                     r, n, in.xm));
    o.line("");
    o.line(cformat(" Number of Steps:                                     %9.0i ", n));
    o.line(cformat(" Number of Powder Grains:                               %9.1f ",
                   in.C / (r.grain.initialGrainVolume * in.rho)));
    o.line("");
    const double t = r.Etot;
    const auto energy = [&](const char* format, double e) { o.line(cformat(format, e, e / t * 100)); };
    energy(" Energy Loss due to Projectile Translation [J]:       %9.0f  %9.1f%% ", at(SeriesId::energyTranslation, n));
    energy(" Energy Loss due to Heat Transfer [J]:                %9.0f  %9.1f%% ", at(SeriesId::energyHeatLoss, n));
    energy(" Energy Loss due to Propellant+Igniter Motion [J]:    %9.0f  %9.1f%% ", at(SeriesId::energyChargeMotion, n));
    energy(" Energy Loss due to Friction [J]:                     %9.0f  %9.1f%% ", at(SeriesId::energyFriction, n));
    energy(" Energy Loss due to Recoil [J]:                       %9.0f  %9.1f%% ", at(SeriesId::energyRecoil, n));
    energy(" Energy Loss due to Projectile Rotation [J]:          %9.0f  %9.1f%% ", at(SeriesId::energyRotation, n));
    energy(" Energy Loss due to Air Resistance [J]:               %9.0f  %9.1f%% ", at(SeriesId::energyAirResistance, n));
    energy(" Remaining Energy of Propellant+Igniter Gas [J]:      %9.0f  %9.1f%% ", r.Egas);
    if (zN < 1)
        energy(" Remaining Energy of unburned Propellant [J]:         %9.0f  %9.1f%% ", r.Eunburned);
    o.line(std::string(76, '-'));
    energy(" Total energy of Propellant+Igniter [J]:              %9.0f  %9.1f%% ", t);

    o.line("");
    o.line("");
    o.line(" * Time Progress *");
    o.line("  ");
    o.line("  Time [ms]   Z [-]      x [m]     vp [m/s]    Pmean [MPa]  Tmean [K]    Tc [K]    P0 [MPa]   Pb [MPa]   Pg [MPa]   vrp [m/s]");
    o.line(std::string(125, '-'));
    const char* row = "  %6.3f  %9.3f  %9.4f  %9.2f    %9.1f    %9.1f  %9.1f  %9.1f  %9.1f  %9.2f  %9.2f ";
    int k = 0;
    for (; k <= n; k += every)
        o.line(oracleRow(row, r, k, at(SeriesId::travel, k)));
    if (k - every != n)
        o.line(oracleRow(row, r, n, in.xm));
    return o.text();
}

}  // namespace kalvex::testing
