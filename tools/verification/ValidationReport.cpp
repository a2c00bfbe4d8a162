#include "tools/verification/ValidationReport.h"

#include "report/SafeSave.h"
#include "tools/verification/AgardSection.h"
#include "tools/verification/PublishedCases.h"
#include "tools/verification/ReportPage.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace kalvex::verification {

namespace {

const char* const kFigureFolder = "validation";
constexpr double kMetresPerSecondPerFootPerSecond = 0.3048;

// The published values, as the sources give them.
constexpr double kM829Velocity = 1650;   // m/s
constexpr double kM829Breech = 505;      // MPa, peak breech pressure
constexpr double kCannonLong = 960;      // m/s, +- kCannonLongSpread
constexpr double kCannonLongSpread = 15;
constexpr double kCannonShortLow = 880;  // m/s, the range given for the shorter barrel
constexpr double kCannonShortHigh = 900;

std::string percentOff(double kalvex, double published)
{
    const double d = 100 * (kalvex / published - 1);
    std::string text = num(d, 2);
    if (d >= 0)
        text.insert(text.begin(), '+');
    return text + " %";
}

std::string feetPerSecond(double metresPerSecond)
{
    return num(metresPerSecond / kMetresPerSecondPerFootPerSecond, 4) + " ft/s";
}

// "beta = 2.56e-08 m/s/Pa^alpha" and, for a second parameter, "and C = 1.44 g".
std::string fittedValues(const BarrelLengthFit& f)
{
    std::string text = "beta = " + num(f.values.at(0), 4) + " m/s/Pa^0.8053";
    if (f.values.size() > 1)
        text += " and C = " + num(f.values[1] * 1000, 4) + " g";
    return text;
}

void writeSummaryTable(ReportPage& p, const PublishedCases& c)
{
    const M829Case& m = c.m829;
    const CannonCase& k = c.cannon;
    const double shortMiddle = 0.5 * (kCannonShortLow + kCannonShortHigh);
    p.md << "## Published guns\n\n"
            "Each row is one comparison. *As given*: every input from the source or chosen before any "
            "result was seen, nothing adjusted. *Solved* and *fitted*: one input calibrated by the study "
            "engine (`kalvex-study`, the study files beside the inputs) to some of the published "
            "values, and the others then compared; what the calibration was aimed at is not a "
            "comparison and is marked so.\n\n"
            "| case | source | what the source gives | inputs chosen or calibrated | Kalvex | difference |\n"
            "| --- | --- | --- | --- | --- | --- |\n";
    p.md << "| 120 mm M829, as given | DTIC report ADA 18175 (1987), via the example file of the open solver PIBS "
            "| 1650 m/s at 505 MPa peak breech pressure | the grain web of the PIBS example (1.8261 mm, its own "
            "choice for this round), heat loss, igniter | "
         << num(m.asGiven.velocity, 5) << " m/s, " << num(m.asGivenBreech, 4) << " MPa | "
         << percentOff(m.asGiven.velocity, kM829Velocity) << ", " << percentOff(m.asGivenBreech, kM829Breech)
         << " |\n";
    p.md << "| 120 mm M829, solved | the same | the same | beta solved for 1650 m/s (the grain size, at its "
            "shape): " << num(m.solvedBeta, 4) << " m/s/Pa^0.95 for 2.667e-9 | 1650 m/s (aimed at), "
         << num(m.solvedBreech, 4) << " MPa | pressure " << percentOff(m.solvedBreech, kM829Breech) << " |\n";
    p.md << "| 30 x 165 mm, 2A42 barrel, as given | PIBS example file (ammunition 3UOF8 and others) | 389 g shell, "
            "118 g P-5BPfl, 960 +- 15 m/s | the PIBS example's web (0.67332 mm), flame temperature, twist, heat "
            "loss, igniter | "
         << num(k.asGivenLong, 4) << " m/s | " << percentOff(k.asGivenLong, kCannonLong) << " |\n";
    p.md << "| 30 x 165 mm, AO-18 barrel, predicted | PIBS example file (AO-18, rifled length 1460 mm) | the same "
            "shell and charge, 880 to 900 m/s | beta solved for 960 m/s in the 2A42 barrel: "
         << num(k.solvedBeta, 4) << " m/s/Pa for 7.9e-10 | " << num(k.predictedShort, 4) << " m/s (as given: "
         << num(k.asGivenShort, 4) << ") | " << percentOff(k.predictedShort, shortMiddle)
         << " of the middle of the range |\n";
    const auto fitRow = [&p](const char* name, const char* source, const BarrelLengthFit& f) {
        p.md << "| " << name << " | " << source << " | ";
        for (std::size_t i = 0; i < f.measured.size(); ++i)
            p.md << (i ? ", " : "") << feetPerSecond(f.measured[i]) << " at " << num(f.barrelInches[i], 3) << " in";
        p.md << " | " << fittedValues(f) << ", fitted to the " << f.measured.size() << " velocities | ";
        for (std::size_t i = 0; i < f.model.size(); ++i)
            p.md << (i ? ", " : "") << num(f.model[i], 4);
        p.md << " m/s | ";
        for (std::size_t i = 0; i < f.model.size(); ++i)
            p.md << (i ? ", " : "") << percentOff(f.model[i], f.measured[i]);
        p.md << " (RMS " << num(f.rms, 3) << " m/s) |\n";
    };
    fitRow(".223 Rem., Federal 55 gr FMJ, three barrels", "precisionrifleblog.com, 30 April 2013, Oehler 35P", c.federal55);
    fitRow(".223 Rem., Federal 55 gr FMJ, two free parameters", "the same", c.federal55Charge);
    fitRow("5.56 mm M193 (Federal XM193), one barrel cut down",
           "rifleshooter.com, April 2014, Magnetospeed (end values as the AccurateShooter bulletin quotes them)",
           c.m193);
    p.md << "\n";
}

void writeM829(ReportPage& p, const M829Case& m)
{
    p.md << "### 120 mm M829 APFSDS\n\n"
            "`examples/validation/m829-120mm.txt`, `m829-120mm-solve.json`. **Source.** The example file "
            "`examples/FRG_120x570_Rh-120(L44)_M829.json` of the public repository "
            "Prethea-Phoenixia/Phoenix-s-Interior-Ballistic-Solver-PIBS (commit 000c7ce9) describes the "
            "round \"per ADA 18175 'A Propulsion System Comparison Study for the 120-mm Anti-Armor Cannon' "
            "(1987)\", with \"canonical performance 1650 m/s at 505 MPa (peak breech)\", and gives: calibre "
            "120 mm, chamber 9.75 L, charge 7.761 kg of JA2, shot 7.1 kg, travel 4750 mm, start pressure "
            "30 MPa, 7-perforated grains of web 1.8261 mm, perforation 0.305 webs and length 1.765 "
            "diameters (\"grain geometry from Fikus et al. (2020)\"; the combustible case is \"accounted "
            "for via equivalent force in JA-2\"). The report itself was not reached by the tools used "
            "here; the numbers are the example file's. JA2 is the propellant library's row (force 1.14 "
            "MJ/kg, 3410 K, covolume 0.996 dm^3/kg, gamma 1.225, 1578 kg/m^3, beta 2.667e-9 m/s/Pa^0.95), "
            "read from the same repository's table, which names the same report.\n\n"
            "**Chosen here.** D = 8.975 mm, P = 0.557 mm, L = 15.84 mm from the web and the two ratios; "
            "bore area pi/4 (0.12 m)^2 (smooth bore, no rotation: 1e5 calibres per turn); the start "
            "pressure as a bore resistance of 30 MPa gone as soon as the shot moves (xe0 = xe = 0, as in "
            "the AGARD section below), no bore resistance after it (the PIBS example adds a 3 % "
            "resistance factor, which is not taken over); an igniter giving 1 MPa in the free chamber "
            "volume (18.5 g, the AGARD case's igniter gas); heat loss with the wall data of the 155 mm "
            "example; recoil left out (RR = 1e8 N). The PIBS example's gas gradient has a chambrage "
            "correction (chamber 1.51 times the bore area), Kalvex's Lagrange gradient none; at a "
            "charge-to-shot mass ratio of 1.09 the breech pressure is 1 + C/(2 mp) = 1.55 times the base "
            "pressure in Kalvex's gradient, so this term weighs on the peak breech pressure.\n\n"
            "**Result.** As given, Kalvex is " << percentOff(m.asGiven.velocity, kM829Velocity)
         << " on the velocity and " << percentOff(m.asGivenBreech, kM829Breech)
         << " on the peak breech pressure. With the burning-rate coefficient solved for 1650 m/s ("
         << num(m.solvedBeta / 2.667e-9, 4) << " times the table's value, the same as a web "
         << num(1.8261 * 2.667e-9 / m.solvedBeta, 4) << " mm at the same shape), the peak breech pressure is "
         << num(m.solvedBreech, 4) << " MPa, " << percentOff(m.solvedBreech, kM829Breech)
         << " off the published one: the velocity is met by burning faster, which Kalvex pays for in "
            "pressure. A miss of this size on a pressure is what the gradient term above and the "
            "equivalent force of the combustible case leave open; which of the two it is cannot be told "
            "from two published numbers.\n\n";
    Figure f;
    f.title = "120 mm M829: breech pressure";
    f.xCaption = "time [ms]";
    f.yCaption = "breech pressure [MPa]";
    f.curves[0] = m.breechAsGiven;
    f.curves[1] = m.breechSolved;
    const double end = std::max(m.breechAsGiven.back().x, m.breechSolved.back().x);
    f.curves[2] = {{0, kM829Breech}, {end, kM829Breech}};
    f.legend = {"Kalvex, as given", "Kalvex, beta solved for 1650 m/s", "published peak"};
    f.fixedRange = true;  // ticks on 0.8 ms and 50 MPa (see the cannon's figure)
    f.xMin = 0;
    f.xMax = 9.04;
    f.yMin = 0;
    f.yMax = 610;
    p.figure("m829-120mm-breech", f);
}

void writeCannon(ReportPage& p, const CannonCase& k)
{
    p.md << "### 30 x 165 mm cannon, two barrels\n\n"
            "`examples/validation/cannon-30x165mm.txt`, `cannon-30x165mm-solve.json`. **Source.** The example "
            "files `examples/USSR/USSR_30x165_2A42_etc.json` (commit 000c7ce9) and "
            "`examples/USSR/USSR_30x165_AO18.json` (commit 910b85a1) of the same PIBS repository: "
            "\"389(+-1) gram projectile loaded with 118(+-1) gram of P-5BPfl propellant in 6/7 grains (web "
            "~0.66 mm), developing 960(+-15) m/s\" from the 2A42 and 2A72 (barrel 2416 to 2418 mm; travel "
            "2248 mm in the file), and 880 to 900 m/s from the AO-18 (\"1629 mm barrel, rifled length 1460 "
            "mm\"); chamber 0.125 L, start pressure 30 MPa, 7-perforated grains of web 0.67332 mm, "
            "perforation 0.33 webs, length 2 diameters; P-5 BPfl from the repository's table (force 0.99 "
            "MJ/kg, covolume 1 dm^3/kg, gamma 1.23, 1575 kg/m^3, beta 7.9e-10 m/s/Pa, exponent 1). The "
            "files add that the cartridge's exact dimensions are not available. The original documents "
            "were not reached.\n\n"
            "**Chosen here.** The flame temperature, which the table leaves empty: 2850 K, between M6 "
            "(0.9475 MJ/kg, 2570 K) and M10 (1.013 MJ/kg, 3000 K) of the library in proportion to the "
            "force (it acts through the heat loss and the igniter's share of the gas); twist 28 calibres "
            "per turn (that of the 30 mm example); bore area pi/4 (0.03 m)^2; heat loss with the wall "
            "data of the 30 mm example; the start pressure, igniter and recoil as for the M829; the same charge in both barrels (the AO-18 "
            "file uses another perforation, 0.5 webs, for the same 6/7 grains).\n\n"
            "**Result.** As given, Kalvex gives " << num(k.asGivenLong, 4) << " m/s in the 2A42 barrel, "
         << percentOff(k.asGivenLong, kCannonLong) << ", outside the published +-15 m/s. Solved for 960 m/s "
            "there, the burning-rate coefficient is " << num(k.solvedBeta / 7.9e-10, 4)
         << " times the table's, and the AO-18 barrel then gives " << num(k.predictedShort, 4)
         << " m/s against the published 880 to 900 m/s: the loss of velocity over the 0.788 m the "
            "shorter barrel lacks is "
         << num(kCannonLong - k.predictedShort, 3) << " m/s in Kalvex and 60 to 80 m/s as published. "
            "The peak breech pressure at the solution is "
         << num(k.solvedBreech, 4) << " MPa (the PIBS example aims its design at 360 MPa).\n\n";
    Figure f;
    f.title = "30 x 165 mm: velocity along the bore, beta solved for 960 m/s at 2.248 m";
    f.xCaption = "travel [m]";
    f.yCaption = "projectile velocity [m/s]";
    f.curves[0] = k.velocityAlongBore;
    f.legend = {"Kalvex (a barrel cut at each travel)", "", "published, AO-18 and 2A42"};
    f.markers = {{2.248, kCannonLong, kCannonLong - kCannonLongSpread, kCannonLong + kCannonLongSpread, 2},
                 {1.460, 0.5 * (kCannonShortLow + kCannonShortHigh), kCannonShortLow, kCannonShortHigh, 2}};
    // The plot puts a tick every 50 px across 565 px and every 25 px up 305 px: these ranges
    // make the ticks fall on 0.2 m and 100 m/s.
    f.fixedRange = true;
    f.xMin = 0;
    f.xMax = 2.26;
    f.yMin = 0;
    f.yMax = 1220;
    p.figure("cannon-30x165mm-velocity", f);
}

void writeResiduals(ReportPage& p, const BarrelLengthFit& f)
{
    p.md << "| barrel [in] | measured [m/s] | Kalvex, fitted [m/s] | residual [m/s] |\n| ---: | ---: | ---: | ---: |\n";
    for (std::size_t i = 0; i < f.measured.size(); ++i)
        p.md << "| " << num(f.barrelInches[i], 3) << " | " << num(f.measured[i], 5) << " | " << num(f.model[i], 5)
             << " | " << num(f.model[i] - f.measured[i], 3) << " |\n";
    p.md << "\nFitted " << fittedValues(f) << " (standard error of beta " << num(f.errors.at(0), 2)
         << "), RMS residual " << num(f.rms, 3) << " m/s.\n\n";
}

void writeRifles(ReportPage& p, const PublishedCases& c)
{
    p.md << "### .223 Remington and 5.56 mm: velocity over barrel length\n\n"
            "`examples/validation/rifle-223-federal55.txt`, `rifle-223-federal55-fit.json`, "
            "`rifle-223-m193-fit.json`. **Sources.** precisionrifleblog.com, \"Barrel Length and Muzzle "
            "Velocity\" (30 April 2013): Federal 55 gr FMJ in .223 Remington, \"all of it out of the same "
            "box\", fired from three barrels over an Oehler 35P: 3019 ft/s at 20 in, 2837 ft/s at 16 in, "
            "2135 ft/s at 7.5 in (three different guns). rifleshooter.com, \"223 Remington/5.56 NATO, "
            "velocity versus barrel length\" (April 2014): one Remington 700 barrel in .223 Remington cut "
            "from 26 in to 16.5 in an inch at a time, five rounds per length over a Magnetospeed; for "
            "Federal XM193 (55 gr ball) 3431 ft/s at 26 in and 3187 ft/s at 16.5 in, as the AccurateShooter "
            "bulletin quotes them (March 2015, May 2016); the lengths between are in the source's own "
            "table, which the tools used here did not reach.\n\n"
            "**Chosen here**, since neither source gives the load: a charge of 1.65 g (25.5 gr) of ball "
            "powder with the values of WC 846 (DTIC ADA 086093, via the PIBS table: force 1.0111 MJ/kg, "
            "2855 K, covolume 1.048 dm^3/kg, gamma 1.2461, 1513 kg/m^3, exponent 0.8053) as spheres of "
            "0.5 mm; a chamber of 1.75 cm^3 under the bullet (a case of about 28.5 gr of water less the "
            "seated bullet); the bullet's base 1.5 in ahead of the breech face, so that the travel is the "
            "barrel length less 1.5 in; bore area 24.9 mm^2 (5.63 mm, between land and groove); twist 40 "
            "calibres (1 in 9 in); a primer of 0.03 g; a start pressure of 30 MPa and no bore friction "
            "after it; heat loss with the wall data of the 7.62 mm example. The same inputs serve M193, "
            "whose own charge is not published either.\n\n"
            "**Fit.** The burning-rate coefficient alone (one free parameter) is fitted by the study "
            "engine's least squares to all the velocities of a source; the other inputs stay as chosen. "
            "The curve is the velocity along the bore of one run in the longest barrel, which is what a "
            "barrel cut at each length gives in this model.\n\n"
            "Federal 55 gr FMJ:\n\n";
    writeResiduals(p, c.federal55);
    p.md << "Federal 55 gr FMJ, with the charge as a second free parameter:\n\n";
    writeResiduals(p, c.federal55Charge);
    p.md << "5.56 mm M193:\n\n";
    writeResiduals(p, c.m193);
    const BarrelLengthFit& two = c.federal55Charge;
    p.md << "The model does not follow the three Federal barrels: the fit leaves the 20 in barrel slow "
            "and the 7.5 in barrel fast, and the charge as a second free parameter changes little (RMS "
         << num(c.federal55.rms, 3) << " and " << num(two.rms, 3)
         << " m/s; the two parameters are then nearly interchangeable, as the standard error of beta "
            "shows). In the model the velocity at 7.5 in is " << num(two.model.back() / two.model.front(), 2)
         << " of that at 20 in, about what the adiabatic expansion of the burnt charge between the two "
            "volumes allows (for gamma 1.25, sqrt((1 - (V0/V1)^0.25) / (1 - (V0/V2)^0.25)) = 0.79, with V0 "
            "the chamber and V1, V2 the volumes behind the bullet at the two muzzles); the measured ratio is "
         << num(c.federal55.measured.back() / c.federal55.measured.front(), 2) << ". The three barrels were three "
            "different guns, with their own chambers, bores and gas ports, which a cut-down barrel like "
            "rifleshooter.com's avoids; for that barrel the two end velocities are met to "
         << num(c.m193.rms, 2) << " m/s, but two points with one parameter test the shape only weakly.\n\n";
    Figure f;
    f.title = "Velocity over barrel length, beta fitted";
    f.xCaption = "barrel length [in]";
    f.yCaption = "muzzle velocity [m/s]";
    f.curves[0] = c.federal55.velocityOverBarrel;
    f.curves[1] = c.m193.velocityOverBarrel;
    f.legend = {"Federal 55 gr: Kalvex, measured", "M193: Kalvex, measured", ""};
    for (std::size_t i = 0; i < c.federal55.measured.size(); ++i)
        f.markers.push_back({c.federal55.barrelInches[i], c.federal55.measured[i], 0, 0, 0});
    for (std::size_t i = 0; i < c.m193.measured.size(); ++i)
        f.markers.push_back({c.m193.barrelInches[i], c.m193.measured[i], 0, 0, 1});
    f.fixedRange = true;  // ticks on 3 in and 100 m/s, as for the cannon
    f.xMin = 0;
    f.xMax = 33.9;
    f.yMin = 0;
    f.yMax = 1220;
    p.figure("rifle-223-barrel-length", f);
}

}  // namespace

bool writeValidationReport(const std::string& folder, const std::string& examples, std::ostream& log)
{
    std::filesystem::create_directories(std::filesystem::path(folder) / kFigureFolder);
    ReportPage p(folder, kFigureFolder, log);
    const PublishedCases cases = runPublishedCases(examples + "/validation");
    writeSummaryTable(p, cases);
    writeM829(p, cases.m829);
    writeCannon(p, cases.cannon);
    writeRifles(p, cases);
    p.md << "Kalvex's figures in this section are recorded in `tools/verification/PublishedCases.cpp`; "
            "`tools_tests` and `make verify` fail when one moves by more than 0.1 % (a solved or fitted "
            "coefficient and an RMS residual, which amplify a change of the model, by more than 0.3 %).\n\n";
    p.recordedFigures("Published guns: Kalvex's figures as recorded", cases.figures);
    writeAgardSection(p, examples);
    const std::string page = (std::filesystem::path(folder) / "validation.md").string();
    report::saveFileSafely(page, [&p](std::ostream& out) {
        out << "# Validation of Kalvex\n\n"
               "This page is written by `kalvex-verify` (`make verify`) from the inputs in `examples/` and "
               "`examples/validation/`. `docs/verification.md` shows that Kalvex solves its equations; this "
               "page asks how well the equations describe guns that were fired, and how Kalvex stands beside "
               "another code given the same inputs. Every published number is quoted with its source; "
               "every input a source does not give is named with the value chosen for it. The figures of "
               "other codes are recorded here, not computed: nothing outside Debian's packages is needed to "
               "build Kalvex or to run its tests.\n\n"
               "| check | result |\n| --- | --- |\n";
        for (const auto& [name, ok] : p.outcomes)
            out << "| " << name << " | " << (ok ? "as recorded" : "**MOVED**") << " |\n";
        out << "\n" << p.md.str();
    });
    return p.passed;
}

}  // namespace kalvex::verification
