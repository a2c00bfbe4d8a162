#include "vessel/TraceFit.h"

#include "core/format/Units.h"
#include "vessel/FiringSimulation.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace kalvex::vessel {

namespace {

constexpr double kSimulationStep = 5e-6;  // s; RK4's error there is far below any trace's noise
constexpr int kMaxIterations = 60;

double lawRate(const std::vector<LawSegment>& law, double p)
{
    std::size_t j = 0;
    while (j + 1 < law.size() && law[j + 1].pLow <= p)
        ++j;
    return law[j].beta * std::pow(p, law[j].alpha);
}

// The law's unknowns. Joined: x_i = log r(q_i) at the knots q_0 (lowest pressure compared),
// the inner bounds, q_n (highest). Apart: x_2j = log r at the segment's middle pressure,
// x_2j+1 = alpha_j; a rate at the middle is far less tied to alpha than beta is.
struct LawUnknowns {
    bool joined = true;
    std::vector<double> pLow;   // Pa, the segments' bounds
    std::vector<double> knots;  // Pa: joined, n + 1 knots; apart, n middle pressures

    std::size_t segments() const { return pLow.size(); }
    std::size_t count() const { return joined ? segments() + 1 : 2 * segments(); }

    std::vector<LawSegment> law(const gsl_vector* x) const
    {
        std::vector<LawSegment> out(segments());
        for (std::size_t j = 0; j < segments(); ++j) {
            out[j].pLow = pLow[j];
            double logRate = 0, logP = 0;
            if (joined) {
                logRate = gsl_vector_get(x, j);
                logP = std::log(knots[j]);
                out[j].alpha = (gsl_vector_get(x, j + 1) - logRate) / (std::log(knots[j + 1]) - logP);
            } else {
                logRate = gsl_vector_get(x, 2 * j);
                logP = std::log(knots[j]);
                out[j].alpha = gsl_vector_get(x, 2 * j + 1);
            }
            out[j].beta = std::exp(logRate - out[j].alpha * logP);
        }
        return out;
    }

    void start(const std::vector<LawSegment>& law, gsl_vector* x) const
    {
        for (std::size_t j = 0; j < segments(); ++j) {
            if (joined) {
                gsl_vector_set(x, j, std::log(lawRate(law, knots[j])));
            } else {
                gsl_vector_set(x, 2 * j, std::log(law[j].beta) + law[j].alpha * std::log(knots[j]));
                gsl_vector_set(x, 2 * j + 1, law[j].alpha);
            }
        }
        if (joined)  // the top knot on the last segment's own law
            gsl_vector_set(x, segments(), std::log(law.back().beta) + law.back().alpha * std::log(knots.back()));
    }

    // Standard errors of each segment's beta and alpha from the unknowns' covariance.
    void errors(const gsl_matrix* covariance, std::vector<LawSegment>& law) const
    {
        for (std::size_t j = 0; j < segments(); ++j) {
            // d(log beta, alpha)/dx over the unknowns a = first, b = second of the segment
            std::size_t a = 0, b = 0;
            double gBetaA = 0, gBetaB = 0, gAlphaA = 0, gAlphaB = 0;
            if (joined) {
                a = j, b = j + 1;
                const double lq = std::log(knots[j]), span = std::log(knots[j + 1]) - lq;
                gAlphaA = -1 / span, gAlphaB = 1 / span;
                gBetaA = 1 + lq / span, gBetaB = -lq / span;
            } else {
                a = 2 * j, b = 2 * j + 1;
                gAlphaA = 0, gAlphaB = 1;
                gBetaA = 1, gBetaB = -std::log(knots[j]);
            }
            const double vaa = gsl_matrix_get(covariance, a, a), vbb = gsl_matrix_get(covariance, b, b);
            const double vab = gsl_matrix_get(covariance, a, b);
            const auto spread = [&](double ga, double gb) {
                return std::sqrt(std::max(0.0, ga * ga * vaa + gb * gb * vbb + 2 * ga * gb * vab));
            };
            law[j].alphaError = spread(gAlphaA, gAlphaB);
            law[j].betaError = law[j].beta * spread(gBetaA, gBetaB);
        }
    }
};

// The unknowns: the law's, then log(F/F0) and log(b/b0) when the gas is fitted, then the
// shifts in sampling intervals when they are fitted.
struct FitProblem {
    std::vector<const Firing*> firings;
    std::vector<std::vector<std::size_t>> samples;  // per firing: the samples compared
    BallisticInput propellant;
    LawUnknowns law;
    double clockUnit = 1e-5;  // s: one unit of a shift unknown (the sampling interval)
    bool fitShifts = true;
    bool fitGas = true;
    const std::atomic<bool>* stop = nullptr;
    VesselHeatLoss heatLoss;

    std::size_t gasIndex() const { return law.count(); }
    std::size_t shiftIndex() const { return law.count() + (fitGas ? 2 : 0); }
    std::size_t count() const { return shiftIndex() + (fitShifts ? firings.size() : 0); }
    double shift(const gsl_vector* x, std::size_t k) const
    {
        return fitShifts ? gsl_vector_get(x, shiftIndex() + k) * clockUnit : 0.0;
    }
    BallisticInput input(const gsl_vector* x) const
    {
        BallisticInput in = propellant;
        setLaw(in, law.law(x));
        if (fitGas) {
            in.F = propellant.F * std::exp(gsl_vector_get(x, gasIndex()));
            in.b = propellant.b * std::exp(gsl_vector_get(x, gasIndex() + 1));
        }
        return in;
    }
};

int residuals(const gsl_vector* x, void* data, gsl_vector* f)
{
    const auto* problem = static_cast<const FitProblem*>(data);
    if (problem->stop != nullptr && problem->stop->load())
        return GSL_EBADFUNC;  // ends the solver; fitLawToTraces throws ReductionStopped
    const BallisticInput propellant = problem->input(x);
    std::size_t row = 0;
    for (std::size_t k = 0; k < problem->firings.size(); ++k) {
        const Firing& firing = *problem->firings[k];
        const double shift = problem->shift(x, k);
        VesselTrace simulation;
        try {
            // Long enough to reach the last sample compared, the plateau after burnout included.
            simulation = simulateFiring(firing, propellant, problem->heatLoss, kSimulationStep, 0,
                                        firing.trace.time[problem->samples[k].back()] - shift);
        } catch (const std::runtime_error&) {
            return GSL_EDOM;  // a law so slow the charge does not burn: a step too far
        }
        for (std::size_t i : problem->samples[k]) {
            const double p = firing.trace.pressure[i];
            const double simulated = interpolateAt(simulation.time, simulation.pressure, firing.trace.time[i] - shift);
            gsl_vector_set(f, row++, (p - simulated) / p);
        }
    }
    return GSL_SUCCESS;
}

// The samples a firing contributes: from the low fraction of pmax on, up to the peak, or to
// the trim end (the plateau) when the gas is fitted.
std::vector<std::size_t> comparedSamples(const Firing& firing, const ReducedTrace& r, const ReductionSettings& settings,
                                         bool plateau)
{
    std::vector<std::size_t> kept;
    for (std::size_t i = r.start; i < (plateau ? r.end + 1 : r.peak); ++i)
        if (r.smoothedPressure[i] > settings.lowFraction * r.maxPressure &&
            firing.trace.pressure[i] > 0)
            kept.push_back(i);
    return kept;
}

}  // namespace

void setLaw(BallisticInput& propellant, const std::vector<LawSegment>& law)
{
    propellant.beta = law.front().beta;
    propellant.alpha = law.front().alpha;
    propellant.upperSegments.clear();
    for (std::size_t j = 1; j < law.size(); ++j)
        propellant.upperSegments.push_back({law[j].pLow / kMegapascalToPascal, law[j].beta, law[j].alpha});
}

TraceFitResult fitLawToTraces(const std::vector<const Firing*>& firings, const std::vector<const ReducedTrace*>& reduced,
                              const BallisticInput& propellant,
                              const std::vector<LawSegment>& start, const ReductionSettings& settings,
                              const TraceFitOptions& options)
{
    FitProblem problem;
    problem.firings = firings;
    problem.propellant = propellant;
    problem.fitShifts = options.fitShifts;
    problem.fitGas = options.fitGas;
    problem.stop = options.stop;
    problem.heatLoss = options.heatLoss;
    problem.law.joined = options.joined;
    BallisticInput startLaw = propellant;
    setLaw(startLaw, start);
    std::size_t rows = 0;
    double lowest = INFINITY, highest = 0;
    std::vector<double> shifts;
    for (std::size_t k = 0; k < firings.size(); ++k) {
        const ReducedTrace& r = *reduced[k];
        problem.samples.push_back(comparedSamples(*firings[k], r, settings, options.fitGas));
        if (problem.samples.back().empty())
            throw std::runtime_error(firings[k]->name + ": no sample to compare with a simulation");
        rows += problem.samples.back().size();
        for (std::size_t i : problem.samples.back()) {
            lowest = std::min(lowest, r.smoothedPressure[i]);
            highest = std::max(highest, r.smoothedPressure[i]);
        }
        problem.clockUnit = firings[k]->trace.time[1] - firings[k]->trace.time[0];
        // The clocks start where the trace crosses the middle of its rate window when a first
        // simulation with the starting law does.
        const VesselTrace s = simulateFiring(*firings[k], startLaw, options.heatLoss, kSimulationStep, 0);
        const double level = 0.5 * (settings.lowFraction + settings.highFraction) * r.maxPressure;
        shifts.push_back(crossingTime(firings[k]->trace.time, r.smoothedPressure, level, r.start) -
                         crossingTime(s.time, s.pressure, level, 0));
    }
    const std::size_t n = start.size();
    for (std::size_t j = 0; j < n; ++j) {
        problem.law.pLow.push_back(start[j].pLow);
        const double low = std::max(start[j].pLow, lowest);
        if (options.joined)
            problem.law.knots.push_back(low);
        else
            problem.law.knots.push_back(std::sqrt(low * (j + 1 < n ? std::min(start[j + 1].pLow, highest) : highest)));
    }
    if (options.joined)
        problem.law.knots.push_back(highest);
    const std::size_t p = problem.count();
    if (rows <= p)
        throw std::runtime_error("too few samples to fit the law to the traces");
    std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)> x(gsl_vector_alloc(p), gsl_vector_free);
    gsl_vector_set_zero(x.get());
    problem.law.start(start, x.get());
    for (std::size_t k = 0; options.fitShifts && k < firings.size(); ++k)
        gsl_vector_set(x.get(), problem.shiftIndex() + k, shifts[k] / problem.clockUnit);

    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = residuals;
    fdf.df = nullptr;  // forward differences
    fdf.n = rows;
    fdf.p = p;
    fdf.params = &problem;
    gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
    parameters.h_df = 1e-6;  // the simulated pressures are smooth to about 1e-9 relative, not to 1e-16
    gsl_error_handler_t* previous = gsl_set_error_handler_off();
    std::unique_ptr<gsl_multifit_nlinear_workspace, decltype(&gsl_multifit_nlinear_free)> work(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, rows, p), gsl_multifit_nlinear_free);
    int status = gsl_multifit_nlinear_init(x.get(), &fdf, work.get());
    int info = 0;
    if (status == GSL_SUCCESS)
        status = gsl_multifit_nlinear_driver(kMaxIterations, 1e-9, 1e-9, 1e-12, nullptr, nullptr, &info, work.get());
    gsl_set_error_handler(previous);
    if (options.stop != nullptr && options.stop->load())
        throw ReductionStopped();
    if (status != GSL_SUCCESS && status != GSL_EMAXITER)
        throw std::runtime_error(std::string("the fit of the law to the traces failed: ") + gsl_strerror(status));

    TraceFitResult out;
    const gsl_vector* solution = gsl_multifit_nlinear_position(work.get());
    out.law = problem.law.law(solution);
    out.iterations = static_cast<int>(gsl_multifit_nlinear_niter(work.get()));
    out.converged = status == GSL_SUCCESS;
    double chi2 = 0;
    gsl_blas_ddot(gsl_multifit_nlinear_residual(work.get()), gsl_multifit_nlinear_residual(work.get()), &chi2);
    out.rmsRelativeResidual = std::sqrt(chi2 / static_cast<double>(rows));
    std::unique_ptr<gsl_matrix, decltype(&gsl_matrix_free)> covariance(gsl_matrix_alloc(p, p), gsl_matrix_free);
    gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(work.get()), 0.0, covariance.get());
    gsl_matrix_scale(covariance.get(), chi2 / static_cast<double>(rows - p));
    problem.law.errors(covariance.get(), out.law);
    const BallisticInput fitted = problem.input(solution);
    out.gas = {fitted.F, fitted.b, NAN, NAN};
    if (options.fitGas) {
        out.gas.forceError = fitted.F * std::sqrt(gsl_matrix_get(covariance.get(), problem.gasIndex(), problem.gasIndex()));
        out.gas.covolumeError =
            fitted.b * std::sqrt(gsl_matrix_get(covariance.get(), problem.gasIndex() + 1, problem.gasIndex() + 1));
    }
    for (std::size_t j = 0; j < n; ++j)
        out.law[j].points = start[j].points;
    for (std::size_t k = 0; k < firings.size(); ++k)
        out.shifts.push_back(problem.shift(solution, k));
    return out;
}

}  // namespace kalvex::vessel
