#include "tools/verification/PublishedCases.h"

#include "study/Outputs.h"
#include "study/Solve.h"
#include "study/StudyError.h"
#include "study/StudyJson.h"
#include "tools/verification/RunFiguresOf.h"

#include <memory>
#include <stdexcept>

namespace kalvex::verification {

namespace {

using study::OutputId;

constexpr double kMetresPerInch = 0.0254;
constexpr double kShortCannonTravel = 1.460;  // m, the AO-18 barrel's rifled length
// Every recorded figure may move by this share before the tests fail; the fitted and solved
// coefficients, which amplify a change of the model, by kCoefficientTolerance.
constexpr double kFigureTolerance = 1e-3;
constexpr double kCoefficientTolerance = 3e-3;

study::Study loadStudy(const std::string& path)
{
    try {
        return study::loadStudyFile(path);
    } catch (const study::StudyError& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

struct Runner {
    std::unique_ptr<RunResults> buffer = std::make_unique_for_overwrite<RunResults>();

    study::RunOutputs outputs(const BallisticInput& input, const std::string& what)
    {
        study::RunOutputs out = study::runForOutputs(input, *buffer);
        if (!out.reachedMuzzle())
            throw std::runtime_error(what + ": " + out.message);
        return out;
    }

    // A series of the run last made over its time, ms.
    std::vector<CurvePoint> overTime(SeriesId series) const
    {
        std::vector<CurvePoint> curve;
        for (int k = 0; k <= buffer->stepCount; ++k)
            curve.push_back({buffer->at(SeriesId::time, k), buffer->at(series, k)});
        return curve;
    }

    // The velocity along the bore of the run last made: what a barrel cut at each travel gives.
    std::vector<CurvePoint> velocityAlongBore(double offset, double scale) const
    {
        std::vector<CurvePoint> curve;
        double last = 0;  // travel of the last point taken: x must rise
        for (int k = 0; k <= buffer->stepCount; ++k) {
            const double x = buffer->at(SeriesId::travel, k);
            if (x <= last)
                continue;
            curve.push_back({(x + offset) * scale, buffer->at(SeriesId::velocity, k)});
            last = x;
        }
        return curve;
    }
};

RunFigures figuresOf(const study::RunOutputs& out)
{
    return {out[OutputId::PmeanMax], out[OutputId::vMuzzle], out[OutputId::ZMuzzle], out[OutputId::tMuzzle]};
}

M829Case m829Case(const std::string& folder, Runner& runner)
{
    const study::Study solve = loadStudy(folder + "/m829-120mm-solve.json");
    M829Case c;
    const study::RunOutputs given = runner.outputs(study::baseInput(solve), "M829 as given");
    c.asGiven = figuresOf(given);
    c.asGivenBreech = given[OutputId::P0Max];
    c.breechAsGiven = runner.overTime(SeriesId::breechPressure);
    const study::SolveResult solved = study::solveStudy(solve);
    c.solvedBeta = solved.value;
    c.solved = figuresOf(solved.outputs);
    c.solvedBreech = solved.outputs[OutputId::P0Max];
    BallisticInput in = study::baseInput(solve);
    in.beta = solved.value;
    runner.outputs(in, "M829 solved");
    c.breechSolved = runner.overTime(SeriesId::breechPressure);
    return c;
}

CannonCase cannonCase(const std::string& folder, Runner& runner)
{
    const study::Study solve = loadStudy(folder + "/cannon-30x165mm-solve.json");
    CannonCase c;
    BallisticInput in = study::baseInput(solve);
    c.asGivenLong = runner.outputs(in, "30 mm, longer barrel")[OutputId::vMuzzle];
    in.xm = kShortCannonTravel;
    c.asGivenShort = runner.outputs(in, "30 mm, shorter barrel")[OutputId::vMuzzle];
    const study::SolveResult solved = study::solveStudy(solve);
    c.solvedBeta = solved.value;
    c.solvedBreech = solved.outputs[OutputId::P0Max];
    in = study::baseInput(solve);
    in.beta = solved.value;
    in.xm = kShortCannonTravel;
    c.predictedShort = runner.outputs(in, "30 mm, shorter barrel, solved")[OutputId::vMuzzle];
    in.xm = study::baseInput(solve).xm;
    runner.outputs(in, "30 mm, longer barrel, solved");
    c.velocityAlongBore = runner.velocityAlongBore(0, 1);
    return c;
}

BarrelLengthFit barrelLengthFit(const std::string& path, Runner& runner)
{
    const study::Study fit = loadStudy(path);
    const study::FitResult result = study::fitStudy(fit);
    BarrelLengthFit f;
    f.parameters = fit.fit.parameters;
    f.values = result.values;
    f.errors = result.standardErrors;
    f.beta = result.values.at(0);
    f.rms = result.rmsVelocity;
    double longest = 0;
    for (std::size_t k = 0; k < fit.fit.firings.size(); ++k) {
        double travel = 0;
        for (const auto& [name, value] : fit.fit.firings[k].inputs)
            if (name == "xm")
                travel = value;
        longest = std::max(longest, travel);
        f.barrelInches.push_back(travel / kMetresPerInch + kRifleSeatInches);
        f.measured.push_back(result.firings[k].measuredVelocity);
        f.model.push_back(result.firings[k].modelVelocity);
    }
    BallisticInput in = study::firingInput(fit, study::Firing{}, f.values);
    in.xm = longest;
    runner.outputs(in, path + ", the longest barrel at the fitted coefficient");
    f.velocityOverBarrel = runner.velocityAlongBore(kRifleSeatInches * kMetresPerInch, 1 / kMetresPerInch);
    return f;
}

// Kalvex's figures as the page records them; see kFigureTolerance.
struct Recorded {
    const char* quantity;
    double value;
    double tolerance;
};

void compare(std::vector<CheckRow>& rows, const Recorded& r, double computed)
{
    rows.push_back({r.quantity, r.value, computed, r.tolerance, false});
}

}  // namespace

PublishedCases runPublishedCases(const std::string& folder)
{
    Runner runner;
    PublishedCases p;
    p.m829 = m829Case(folder, runner);
    p.cannon = cannonCase(folder, runner);
    p.federal55 = barrelLengthFit(folder + "/rifle-223-federal55-fit.json", runner);
    p.federal55Charge = barrelLengthFit(folder + "/rifle-223-federal55-fit-charge.json", runner);
    p.m193 = barrelLengthFit(folder + "/rifle-223-m193-fit.json", runner);
    std::vector<CheckRow>& rows = p.figures;
    compare(rows, {"M829 as given: muzzle velocity [m/s]", 1614.25, kFigureTolerance}, p.m829.asGiven.velocity);
    compare(rows, {"M829 as given: peak breech pressure [MPa]", 495.729, kFigureTolerance}, p.m829.asGivenBreech);
    compare(rows, {"M829 solved: beta [m/s/Pa^alpha]", 2.78924e-09, kCoefficientTolerance}, p.m829.solvedBeta);
    compare(rows, {"M829 solved: peak breech pressure [MPa]", 555.914, kFigureTolerance}, p.m829.solvedBreech);
    compare(rows, {"30 mm as given: longer barrel [m/s]", 917.499, kFigureTolerance}, p.cannon.asGivenLong);
    compare(rows, {"30 mm solved: beta [m/s/Pa]", 8.40479e-10, kCoefficientTolerance}, p.cannon.solvedBeta);
    compare(rows, {"30 mm solved: shorter barrel predicted [m/s]", 905.588, kFigureTolerance}, p.cannon.predictedShort);
    compare(rows, {"30 mm solved: peak breech pressure [MPa]", 407.552, kFigureTolerance}, p.cannon.solvedBreech);
    compare(rows, {".223 Federal 55 gr: fitted beta [m/s/Pa^alpha]", 2.55842e-08, kCoefficientTolerance}, p.federal55.beta);
    compare(rows, {".223 Federal 55 gr: RMS residual [m/s]", 45.8208, kCoefficientTolerance}, p.federal55.rms);
    compare(rows, {".223 Federal 55 gr, beta and charge: RMS residual [m/s]", 44.6204, kCoefficientTolerance},
            p.federal55Charge.rms);
    compare(rows, {"5.56 M193: fitted beta [m/s/Pa^alpha]", 3.30075e-08, kCoefficientTolerance}, p.m193.beta);
    compare(rows, {"5.56 M193: RMS residual [m/s]", 9.0757, kCoefficientTolerance}, p.m193.rms);
    return p;
}

}  // namespace kalvex::verification
