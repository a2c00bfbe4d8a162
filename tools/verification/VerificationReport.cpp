#include "tools/verification/AdaptiveConvergence.h"
#include "tools/verification/VerificationReport.h"

#include "core/stepping/StepErrorEstimate.h"
#include "core/format/Units.h"
#include "report/SafeSave.h"
#include "tools/verification/ClosedFormChecks.h"
#include "tools/verification/Figure.h"
#include "tools/verification/ReportPage.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

namespace kalvex::verification {

namespace {

const char* const kFigureFolder = "verification";

void writeReferenceGun(ReportPage& p)
{
    const BallisticInput in = referenceGun();
    p.md << "## The gun the checks start from\n\n"
            "Every check starts from the 155 mm howitzer of `examples/howitzer-155mm.txt` and changes "
            "only what its section names.\n\n"
            "| input | value | input | value |\n| --- | ---: | --- | ---: |\n";
    p.md << "| A [m^2] | " << num(in.A) << " | C [kg] | " << num(in.C) << " |\n";
    p.md << "| mp [kg] | " << num(in.mp) << " | F [J/kg] | " << num(in.F) << " |\n";
    p.md << "| xm [m] | " << num(in.xm) << " | T0 [K] | " << num(in.T0) << " |\n";
    p.md << "| V0 [m^3] | " << num(in.V0) << " | b [m^3/kg] | " << num(in.b) << " |\n";
    p.md << "| Tw [cal/turn] | " << num(in.Tw) << " | gamma | " << num(in.gamma) << " |\n";
    p.md << "| mrp [kg] | " << num(in.mrp) << " | rho [kg/m^3] | " << num(in.rho) << " |\n";
    p.md << "| RR [N] | " << num(in.RR) << " | beta [m/s/Pa^alpha] | " << num(in.beta) << " |\n";
    p.md << "| dt [s] | " << num(in.dt) << " | alpha | " << num(in.alpha) << " |\n";
    p.md << "| grains | 7-perforated | CI [kg] | " << num(in.CI) << " |\n";
    p.md << "| D, L, P [m] | " << num(in.D) << ", " << num(in.L) << ", " << num(in.P) << " | FI [J/kg] | "
         << num(in.FI) << " |\n";
    p.md << "| px0, pxe0, pxe, pxm [MPa] | " << num(in.px0 * kPascalToMegapascal) << ", "
         << num(in.pxe0 * kPascalToMegapascal) << ", " << num(in.pxe * kPascalToMegapascal) << ", "
         << num(in.pxm * kPascalToMegapascal) << " | T0I [K], bI [m^3/kg], gammaI | " << num(in.T0I) << ", "
         << num(in.bI) << ", " << num(in.gammaI) << " |\n";
    p.md << "| xe0, xe [m] | " << num(in.xe0) << ", " << num(in.xe) << " | heat transfer | on |\n\n";
    p.md << "The *loss-free gun* is this gun with heat transfer off, fr = 0, RR = 1e12 N (the barrel "
            "cannot recoil), Tw = 1e6 calibres per turn, gammaI = gamma and a barrel of 10 m, so that the "
            "charge burns out inside it.\n\n";
}

void writeClosedForms(ReportPage& p)
{
    p.md << "## Closed-form checks\n\n";
    const ClosedChamber chamber = closedChamberCheck();
    p.check(chamber.check);
    Figure f;
    f.title = "Closed chamber: mean pressure while the charge burns";
    f.xCaption = "time [ms]";
    f.yCaption = "mean pressure [MPa]";
    f.curves[0] = chamber.pressure;
    f.curves[2] = {{0, chamber.nobleAbelPressure}, {chamber.pressure.back().x, chamber.nobleAbelPressure}};
    f.legend = {"Kalvex, stepped directly", "", "Noble-Abel value after burnout"};
    p.figure("closed-chamber", f);

    p.check(workCheck());
    p.check(adiabaticCheck());
    p.check(pressureGradientCheck());

    const LimitingVelocity limit = limitingVelocityCheck();
    p.check(limit.check);
    p.md << "The limit is " << num(limit.limit, 6) << " m/s. The velocity over the limit:\n\n"
         << "| at | v / limit |\n| --- | ---: |\n";
    for (const CheckRow& r : limit.check.rows)
        p.md << "| " << r.quantity << " | " << num(r.computed / limit.limit, 5) << " |\n";
    p.md << "\n";
    Figure v;
    v.title = "Limiting velocity: the projectile velocity over the limit";
    v.xCaption = "log10 of the travel [m]";
    v.yCaption = "velocity / limiting velocity";
    v.curves[0] = limit.closedForm;  // drawn first: Kalvex's curve lies on top of it
    v.curves[1] = limit.computed;
    v.curves[2] = {{limit.closedForm.front().x, 1}, {limit.closedForm.back().x, 1}};
    v.legend = {"adiabatic closed form", "Kalvex, stepped directly", "limit"};
    v.fixedRange = true;
    v.xMin = 0;
    v.xMax = 5.5;
    v.yMin = 0.5;
    v.yMax = 1.05;
    p.figure("limiting-velocity", v);
}

void writeConvergence(ReportPage& p, const Convergence& c, const std::string& name, const std::string& value,
                      int slope)
{
    p.check(c.check);
    p.md << "| h [ms] | " << value << " | abs(f(h) - f(h/2)) | ratio to the next |\n| ---: | ---: | ---: | ---: |\n";
    for (std::size_t k = 0; k < c.steps.size(); ++k) {
        p.md << "| " << num(c.steps[k] * kSecondToMillisecond) << " | " << num(c.values[k], 15) << " | ";
        if (k < c.differences.size())
            p.md << num(c.differences[k], 4);
        p.md << " | ";
        if (k + 1 < c.differences.size())
            p.md << num(c.differences[k] / c.differences[k + 1], 4);
        p.md << " |\n";
    }
    p.md << "\nFitted order: " << num(c.order, 4) << ".\n\n";
    Figure f;
    f.title = QString::fromStdString(c.check.name);
    f.xCaption = "log10 of 1 / h [1/s]";
    f.yCaption = "log10 of abs(f(h) - f(h/2))";
    for (std::size_t k = 0; k < c.differences.size(); ++k)
        f.curves[0].push_back({std::log10(1 / c.steps[k]), std::log10(c.differences[k])});
    // A line of the expected slope half a decade above the first point, so both stay visible.
    constexpr double kGuideOffset = 0.5;
    const CurvePoint first = f.curves[0].front();
    const double lastX = f.curves[0].back().x;
    f.curves[2] = {{first.x, first.y + kGuideOffset}, {lastX, first.y + kGuideOffset - slope * (lastX - first.x)}};
    f.legend = {"Kalvex", "", "slope " + QString::number(slope) + ", for comparison"};
    f.fixedRange = true;
    f.xMin = std::floor(first.x * 4) / 4;
    f.xMax = std::ceil(lastX * 4) / 4;
    double low = first.y, high = first.y;
    for (const CurvePoint& q : f.curves[0]) {
        low = std::min(low, q.y);
        high = std::max(high, q.y);
    }
    low = std::min(low, f.curves[2][1].y);
    high = std::max(high, f.curves[2][0].y);
    f.yMin = std::floor(low) - 0.5;
    f.yMax = std::ceil(high) + 0.5;
    p.figure(name, f);
}

void writeErrorEstimates(ReportPage& p, const std::string& examples)
{
    p.md << "## Step-size error estimate of the examples\n\n"
            "`kalvex-batch REPORT --error-estimate` (and the check box \"Estimate Step-Size Error\" on the "
            "window's Extras page) runs the input again at half the step and prints, after the summary, "
            "what follows. The muzzle values converge to first order (see above), so abs(f(h) - f(h/2)) "
            "is about the error of the run at h itself; the end of combustion is a recorded row, so its "
            "time is only known to one step.\n\n";
    for (const char* name : {"rifle-7.62mm", "cannon-30mm", "howitzer-155mm", "agard-132mm"}) {
        auto run = runExample(examples + "/" + name + ".txt", true);
        std::ostringstream lines;
        writeStepErrorEstimate(estimateStepError(run->input, run->input.dt, *run->runs.completed),
                               [&lines](const std::string& line) { lines << line << '\n'; });
        p.md << "`examples/" << name << ".txt`:\n\n```" << lines.str() << "```\n\n";
    }
}

}  // namespace

bool writeVerificationReport(const std::string& folder, const std::string& examples, std::ostream& log)
{
    std::filesystem::create_directories(std::filesystem::path(folder) / kFigureFolder);
    ReportPage p(folder, kFigureFolder, log);
    writeReferenceGun(p);
    writeClosedForms(p);
    p.md << "## Convergence\n\n";
    writeConvergence(p, smoothConvergenceCheck(), "convergence-smooth", "v at 4 ms [m/s]", 4);
    writeConvergence(p, muzzleConvergenceCheck(), "convergence-muzzle", "muzzle velocity [m/s]", 1);
    writeErrorEstimates(p, examples);
    writeAdaptiveConvergence(p, examples);
    p.md << "## Validation\n\n"
            "How Kalvex compares with another code on the 132 mm gun of the AGARD comparison, and with "
            "guns that were fired, is on its own page, `docs/validation.md`, which `make verify` writes "
            "too.\n\n";
    const std::string page = (std::filesystem::path(folder) / "verification.md").string();
    report::saveFileSafely(page, [&p](std::ostream& out) {
        out << "# Verification of Kalvex\n\n"
               "This page is written by `kalvex-verify` (`make verify`); the test `tools_tests` runs the same "
               "checks and fails when one of them fails. Each check sets the inputs so that the model reduces "
               "to a case with a known answer and compares. A wrong covolume term, a wrong Lagrange factor or "
               "a sign error in the energy balance makes at least one of them fail (each was tried).\n\n"
               "| check | result |\n| --- | --- |\n";
        for (const auto& [name, ok] : p.outcomes)
            out << "| " << name << " | " << (ok ? "passed" : "**FAILED**") << " |\n";
        out << "\n" << p.md.str();
    });
    return p.passed;
}

}  // namespace kalvex::verification
