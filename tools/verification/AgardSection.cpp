#include "tools/verification/AgardSection.h"

#include "plot/PlotState.h"
#include "plot/SeriesSelection.h"
#include "tools/verification/AgardComparison.h"

#include <cmath>
#include <memory>

namespace kalvex::verification {

namespace {

std::string figureCells(const RunFigures& f)
{
    return num(f.pmax, 5) + " | " + num(f.velocity, 5) + " | " + num(f.burned, 4) + " | " + num(f.time, 4);
}

// The peer's figures, recorded: its code is not built or run here.
void writePeerRows(ReportPage& p)
{
    p.md << "| pyballistics 1.2.1, `ozvb_termo(get_options_agard())`, its heat loss on, RK4 at 5e-6, 1e-6 "
            "and 2.5e-7 s (the same to these digits) | 226.26 | 640.18 | | |\n"
            "| the same with its default RK2 at 5e-6 s | 226.25 | 640.18 | | |\n"
            "| a transcription of its published equations (below), its heat loss on, RK4 at 1e-6 s | 226.26 | "
            "640.18 | 0.9872 | 20.83 |\n"
            "| the transcription, its heat loss off | 231.50 | 647.76 | 0.9892 | 20.70 |\n"
            "| the transcription, heat loss off, with Kalvex's burnt fraction of the slivers and 101325 Pa "
            "ahead | 231.51 | 650.22 | 0.9913 | 20.69 |\n";
}

}  // namespace

void writeAgardSection(ReportPage& p, const std::string& examples)
{
    const AgardComparison c = compareAgard(examples);
    p.md << "## Another code: the 132 mm gun of the AGARD interior-ballistics code comparison\n\n"
            "`examples/agard-132mm.txt` (made from `examples/inputs/agard-132mm-input.txt`) holds the "
            "public inputs of the case: shot 45.359 kg, charge 9.5255 kg, chamber 16.537 dm^3, travel "
            "4.318 m, shot-start pressure 13.79 MPa, force 1.009 MJ/kg, covolume 1.0838 dm^3/kg, gamma "
            "1.27, density 1575 kg/m^3, flame temperature 2585 K, burning-rate exponent 0.9, 7-perforated "
            "grains, a bore of 132 mm (A = pi/4 * 0.132^2 m^2). How the rest maps onto this model:\n\n"
            "* **Shot start.** The bore resistance is 13.79 MPa at x = 0 and falls to 0 at x = 0.1 mm "
            "(xe0 = xe = 0.0001 m, pxe0 = pxe = pxm = 0). At rest the model's acceleration is "
            "(Pm - pr - Pg) A / (mp (1 + C/(3 mp))), so the projectile starts when the mean pressure "
            "exceeds 13.79 MPa plus the air ahead (0.1 MPa). Over the 0.1 mm the resistance still "
            "acts, and the projectile creeps: 5 ms after ignition it has moved 0.05 mm, where the peer's "
            "projectile, on which the whole pressure acts once it moves, has moved 0.43 mm (both "
            "without heat loss). This costs little work (9 J) but delays the motion while the charge "
            "burns, which raises the peak (sized below). With xe0 = xe = 0 the resistance is px0 at rest and 0 at any travel, "
            "which is a shot-start pressure.\n"
            "* **Burning-rate coefficient and grain sizes.** They are not among the inputs above. They are "
            "taken from the `pyballistics` library, which publishes this case (`get_options_agard()`, "
            "documented on PyPI) with a burn-out impulse I_e = 250495 Pa^0.9 s, dz/dt = Pm^0.9 / I_e, "
            "and a form function psi = 0.7185 z (1 + 0.2049 z - 0.0217 z^2) for the grains. The three "
            "form-function coefficients fix the shape of a 7-perforated grain: solved for it, D/L = "
            "0.4506, P/L = 0.0450 and web/L = 0.0789, and D = 3 P + 4 web holds to 4e-5 L, so the shape "
            "is that of an equal-web 7-perforated grain. The size is free: with the burning rate "
            "beta = (web/2) / I_e the burnt fraction over time does not depend on it. L = 25.4 mm gives "
            "D = 11.44 mm, P = 1.143 mm, web = 2.003 mm and beta = 3.998e-9 m/s/Pa^0.9. Kalvex's own "
            "7-perforated geometry then gives the same burnt fraction as the form function to 1e-4 up "
            "to web burnout; the slivers differ (the comparison's second form-function branch ends at "
            "z = 1.56, the grain geometry here at z = 1.53).\n"
            "* **Igniter.** 1 MPa in the free chamber volume, from an igniter of force 0.26 MJ/kg, "
            "flame temperature 1706 K, covolume 0.6 dm^3/kg and gamma 1.25 (the same source): "
            "CI = p (V0 - C/rho) / (FI + p bI) = 0.04025 kg.\n"
            "* **Not in the comparison's model:** recoil (RR = 1e8 N, never reached), rotation (Tw = 1000 "
            "calibres per turn, 48 J, 1e-6 of the energy), bore friction after shot start (0). Heat "
            "loss: the wall data are those of the 155 mm example; Kalvex's heat-transfer law is not the "
            "one of the other codes, so runs with and without it are shown.\n\n"
            "The results that the codes of the AGARD comparison itself reported could not be found in "
            "a public source that this report could consult, so none are shown. The one public code "
            "result for these inputs is that of `pyballistics`, a later code outside the comparison. It "
            "is not a firing. Its README prints 319.1 MPa, 671.16 m/s and a burnt fraction of 0.932 for "
            "this case, but that is not what its code computes: run side by side, version 1.2.1 gives "
            "the figures below. (Its options still accept the coefficients of an older heat-transfer "
            "law, which its own comment calls wrong; the README's figures may come from that law, which "
            "is not established.) Kalvex's figures are those of its study outputs: the largest mean "
            "pressure from a parabola through the three recorded steps around it, the muzzle values "
            "interpolated to x = xm, as the peer interpolates its last step. The inputs were not "
            "adjusted to meet any figure.\n\n";
    p.md << "| run | max. mean pressure [MPa] | muzzle velocity [m/s] | burnt at the muzzle | muzzle time [ms] |\n"
            "| --- | ---: | ---: | ---: | ---: |\n";
    for (const AgardRun& run : c.runs)
        p.md << "| Kalvex, " << run.label << " | " << figureCells(run.figures) << " |\n";
    writePeerRows(p);
    const RunFigures& example = c.runs[0].figures;
    const RunFigures& adiabatic = c.runs[1].figures;
    const RunFigures& started = c.runs[2].figures;
    const RunFigures& both = c.runs[3].figures;
    const auto percent = [](double a, double b) {
        return num(std::fabs(100 * (a / b - 1)), 2) + (a < b ? " % below" : " % above");
    };
    p.md << "\nKalvex integrates with RK4 at the example's step of 2e-6 s. With its own heat loss each, "
            "Kalvex's example is "
         << percent(example.pmax, 226.26) << " the peer's peak pressure and " << percent(example.velocity, 640.18)
         << " its muzzle velocity. Term by term, each physical assumption in which the two models "
            "differ, read from the peer's published equations (`src/pyballistics/termo.pyx` and "
            "`options.py` of its public repository), with Kalvex's result switched the peer's way "
            "where Kalvex has the switch:\n\n"
            "| term | pyballistics | Kalvex | size here |\n| --- | --- | --- | --- |\n";
    p.md << "| shot start | held until pm - pa > p_0, then the whole pm - pa acts | the bore resistance "
            "of the input; the example's falls to 0 over 0.1 mm | switched (xe0 = xe = 0): "
         << num(both.pmax - adiabatic.pmax, 3) << " MPa, " << num(both.velocity - adiabatic.velocity, 3)
         << " m/s without heat loss |\n";
    p.md << "| heat loss | Nusselt number 0.023 Re^0.8 Pr^0.4 from the gas velocity, Sutherland's viscosity, "
            "a wall heated by conduction; 0.92 MJ lost by the muzzle (transcription) | lambda cp rho vg + h0 on the chamber "
            "and bore wall (the 155 mm example's wall data); 3.4 MJ lost by the muzzle (the example's energy balance) | the peer's loss is "
         << num(226.26 - 231.50, 3) << " MPa, " << num(640.18 - 647.76, 3) << " m/s; Kalvex's "
         << num(started.pmax - both.pmax, 3) << " MPa, " << num(started.velocity - both.velocity, 3)
         << " m/s: the largest term, no switch to the peer's law |\n";
    p.md << "| slivers | second form-function branch to z = 1.56 | the 7-perforated geometry's slivers, "
            "gone at z = 1.53, burning faster at first (burnt fraction 0.915 at z = 1.1, the peer's 0.899) | "
            "none on the peak (it comes at a burnt fraction of 0.58, before web burnout); +2.46 m/s at the "
            "muzzle, sized with the transcription; no switch |\n";
    p.md << "| air ahead | shock-driven column, p_0a = 100 kPa, gamma 1.4, 340 m/s | the same formula from "
            "101.325 kPa | 0.005 MPa, 0.01 m/s (transcription); no switch |\n"
            "| Lagrange gradient, fictitious mass | (pm - pa) S / (q phi), phi = phi_1 + omega/(3 q), "
            "phi_1 = 1; kinetic energy q phi v^2 / 2 | (Pm - Pg) A / (mp + Ctot/3); kinetic energy "
            "mp v^2/2 + Ctot v^2/6 | none: the same expressions |\n"
            "| igniter | burnt from the start, mass from 1 MPa in the free volume | the same, with the "
            "mass computed the same way (0.04025 kg) | none |\n"
            "| rotation | none | Tw = 1000 calibres per turn | 48 J of 36 MJ |\n";
    p.md << "\nWith the shot start switched and without heat loss, Kalvex gives " << num(both.pmax, 5) << " MPa and "
         << num(both.velocity, 5) << " m/s; the transcription, given Kalvex's slivers and air pressure, "
            "231.51 MPa and 650.22 m/s. What is left, " << num(100 * (both.pmax / 231.51 - 1), 2) << " % and "
         << num(100 * (both.velocity / 650.22 - 1), 2)
         << " %, comes from the burning-rate coefficient rounded to four digits (3.998e-9 for "
            "3.99759e-9), the grain geometry's burnt fraction lying up to 1e-4 above the form function "
            "before web burnout, and the bore resistance the solver keeps until the end of the first "
            "step of motion.\n\n"
            "*The transcription* is the peer's lumped model written out from its published source "
            "(commit f888afd1 of TovarnovM/pyballistics) for this comparison only; it is not part of "
            "Kalvex and nothing here builds or runs it. It reproduces the figures of pyballistics 1.2.1 "
            "itself (226.26 MPa, 640.18 m/s) to the digits shown, which is why its runs with a term "
            "changed are used to size the terms Kalvex has no switch for.\n\n";
    p.md << "Kalvex's figures above are recorded in `tools/verification/AgardComparison.cpp`; the test "
            "`tools_tests` and `make verify` fail when one moves by more than 0.1 % of its recorded value.\n\n";
    p.recordedFigures("132 mm AGARD gun: Kalvex's figures as recorded", c.figures);
    const auto heated = runExample(examples + "/agard-132mm.txt", true);
    auto state = std::make_unique<plot::PlotState>();
    plot::InitPlot(*state, 640, 400);
    plot::plotPressuresOverTime(*state, *heated->runs.completed);
    Figure f;
    f.title = "132 mm gun, heat transfer on: pressures";
    f.xCaption = "time [ms]";
    f.yCaption = "pressure [MPa]";
    f.legend = {"mean", "breech", "base"};
    p.image("agard-132mm-pressures", frameFigure(state->surface, f), f.title.toStdString());
}

}  // namespace kalvex::verification
