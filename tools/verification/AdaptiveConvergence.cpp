#include "tools/verification/AdaptiveConvergence.h"

#include "core/input/StartSequence.h"
#include "core/stepping/AdaptiveRun.h"
#include "core/stepping/Solver.h"
#include "report/ReportFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace kalvex::verification {

namespace {

constexpr int kRk4EvaluationsPerStep = 4;
constexpr double kReferenceTolerance = 1e-13;

struct Point {
    double evaluations;
    double error;  // relative, of the muzzle velocity
};

double muzzleVelocity(const RunResults& r)
{
    return r.at(SeriesId::velocity, r.stepCount);
}

// The fixed step at the example's own step and at three halvings of it.
std::vector<Point> fixedSteps(BallisticInput in, double reference, RunResults& r)
{
    std::vector<Point> points;
    for (int halving = 0; halving < 4; ++halving, in.dt *= 0.5) {
        resetRunResults(r);
        if (runSolver(in, r) != RunEnd::MuzzleReached)
            break;
        points.push_back({static_cast<double>(r.stepCount) * kRk4EvaluationsPerStep,
                          std::fabs(muzzleVelocity(r) / reference - 1)});
    }
    return points;
}

std::vector<Point> tolerances(const BallisticInput& in, double reference, RunResults& r)
{
    std::vector<Point> points;
    for (double tolerance : {1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9, 1e-10}) {
        resetRunResults(r);
        const AdaptiveOutcome o = runAdaptive(in, AdaptiveSettings{tolerance}, r);
        if (o.end == RunEnd::MuzzleReached)
            points.push_back({static_cast<double>(o.evaluations), std::fabs(muzzleVelocity(r) / reference - 1)});
    }
    return points;
}

void addCurve(std::vector<CurvePoint>& curve, const std::vector<Point>& points)
{
    for (const Point& q : points)
        if (q.error > 0)
            curve.push_back({std::log10(q.evaluations), std::log10(q.error)});
    std::sort(curve.begin(), curve.end(), [](const CurvePoint& a, const CurvePoint& b) { return a.x < b.x; });
}

}  // namespace

void writeAdaptiveConvergence(ReportPage& p, const std::string& examples)
{
    p.md << "## The adaptive integrator\n\n"
            "`kalvex-batch --integrator adaptive` and a study's `\"integrator\"` integrate with an embedded "
            "Runge–Kutta pair (Dormand–Prince 5(4), Boost.Odeint) under error control and end each step "
            "exactly where the model changes form: shot start, the end of whole-grain burning and the sliver "
            "corners, all burnt, the corners of the resistance profile and the muzzle. Inside a step the "
            "model is continuous: the bore resistance is taken within the derivatives and the friction work is "
            "integrated. The fixed step keeps its after-step updates and takes its muzzle values at the first "
            "step past the muzzle, so it converges at first order. The table gives the relative error of the "
            "muzzle velocity against an adaptive run at a relative tolerance of 1e-13, and the evaluations of "
            "the model each run took.\n\n"
            "| example | fixed step: evaluations | its error | adaptive at 1e-8: evaluations | its error |\n"
            "| --- | ---: | ---: | ---: | ---: |\n";
    auto r = std::make_unique_for_overwrite<RunResults>();
    Figure f;
    f.title = "Cannon 30 mm: error of the muzzle velocity against the work spent";
    f.xCaption = "log10 of model evaluations";
    f.yCaption = "log10 of relative error";
    f.legend = {"fixed step, h to h/8", "adaptive, tolerance 1e-4 to 1e-10", ""};
    for (const char* name : {"rifle-7.62mm.txt", "cannon-30mm.txt", "howitzer-155mm.txt", "agard-132mm.txt"}) {
        const auto loaded = report::loadReportForRun(examples + "/" + name);
        if (!loaded)
            continue;
        const BallisticInput& in = loaded->input;
        resetRunResults(*r);
        runAdaptive(in, AdaptiveSettings{kReferenceTolerance}, *r);
        const double reference = muzzleVelocity(*r);
        const std::vector<Point> fixed = fixedSteps(in, reference, *r);
        const std::vector<Point> adaptive = tolerances(in, reference, *r);
        const Point& atStep = fixed.front();
        const Point& atTolerance = adaptive.at(4);  // 1e-8
        p.md << "| " << name << " | " << num(atStep.evaluations, 6) << " | " << num(atStep.error, 3) << " | "
             << num(atTolerance.evaluations, 6) << " | " << num(atTolerance.error, 3) << " |\n";
        p.record(std::string("adaptive run of ") + name + " at 1e-8 within 1e-6 of the reference",
                 atTolerance.error < 1e-6);
        if (std::string(name) == "cannon-30mm.txt") {
            addCurve(f.curves[0], fixed);
            addCurve(f.curves[1], adaptive);
        }
    }
    p.md << "\n";
    roundTicksAround(f);  // the plot's own range would follow one curve and cut the other
    p.figure("adaptive-convergence", f);
}

}  // namespace kalvex::verification
