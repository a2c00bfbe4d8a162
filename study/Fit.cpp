#include "study/Solve.h"

#include "study/Parameters.h"
#include "study/StudyError.h"

#include <cmath>
#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>
#include <limits>
#include <memory>

namespace kalvex::study {

BallisticInput firingInput(const Study& study, const Firing& firing, const std::vector<double>& values)
{
    BallisticInput input = baseInput(study);
    for (const auto& [name, value] : firing.inputs)
        setParameterValue(input, findParameter(name), value);
    for (std::size_t k = 0; k < values.size(); ++k)
        setParameterValue(input, findParameter(study.fit.parameters[k]), values[k]);
    return input;
}

namespace {

// What the residual function needs. The solver works on the parameters relative to their
// starting values, so beta (1e-8) and F (1e6) get steps of the same size.
struct FitProblem {
    const Study& study;
    std::vector<double> scale;
    OutputId pressure;
    const std::atomic<bool>* cancel;
    std::unique_ptr<RunResults> buffer = std::make_unique_for_overwrite<RunResults>();
    std::string failure;  // why the last evaluation gave up; GSL itself only sees a status
    int runs = 0;

    std::vector<double> values(const gsl_vector* u) const
    {
        std::vector<double> v(scale.size());
        for (std::size_t k = 0; k < v.size(); ++k)
            v[k] = gsl_vector_get(u, k) * scale[k];
        return v;
    }
};

int residuals(const gsl_vector* u, void* data, gsl_vector* r)
{
    auto& problem = *static_cast<FitProblem*>(data);
    const std::vector<double> values = problem.values(u);
    std::size_t i = 0;
    for (const Firing& firing : problem.study.fit.firings) {
        if (problem.cancel && problem.cancel->load()) {
            problem.failure = "cancelled";
            return GSL_EDOM;
        }
        ++problem.runs;
        const RunOutputs out =
            runForOutputs(firingInput(problem.study, firing, values), *problem.buffer, problem.study.integrator);
        if (!out.reachedMuzzle()) {
            problem.failure = "a firing's run failed: " + out.message;
            return GSL_EDOM;
        }
        gsl_vector_set(r, i++, out[OutputId::vMuzzle] - firing.velocity);
        if (firing.pressure)
            gsl_vector_set(r, i++, problem.study.fit.pressureWeight * (out[problem.pressure] - *firing.pressure));
    }
    return GSL_SUCCESS;
}

}  // namespace

FitResult fitStudy(const Study& study, const std::atomic<bool>* cancel)
{
    validateStudy(study);
    const FitSpec& spec = study.fit;
    const std::size_t p = spec.parameters.size(), n = residualCount(spec);
    FitProblem problem{study, {}, findOutput(spec.pressureOutput), cancel, std::make_unique_for_overwrite<RunResults>(), {}, 0};
    const BallisticInput base = baseInput(study);
    for (std::size_t k = 0; k < p; ++k) {
        const double start = spec.start.empty() ? parameterValue(base, findParameter(spec.parameters[k])) : spec.start[k];
        if (start == 0)
            throw StudyError("fit.start: the starting value of " + spec.parameters[k] + " must not be 0");
        problem.scale.push_back(start);
    }

    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = residuals;
    fdf.df = nullptr;  // forward differences
    fdf.n = n;
    fdf.p = p;
    fdf.params = &problem;
    gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
    // The model's outputs are smooth down to about 1e-9 relative, not to the double's 1e-16:
    // a larger difference step keeps the Jacobian clear of that roughness.
    parameters.h_df = 1e-6;

    gsl_error_handler_t* previous = gsl_set_error_handler_off();  // statuses, not abort()
    std::unique_ptr<gsl_multifit_nlinear_workspace, decltype(&gsl_multifit_nlinear_free)> work(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, n, p), gsl_multifit_nlinear_free);
    std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)> u(gsl_vector_alloc(p), gsl_vector_free);
    gsl_vector_set_all(u.get(), 1.0);
    int status = gsl_multifit_nlinear_init(u.get(), &fdf, work.get());
    int info = 0;
    if (status == GSL_SUCCESS)
        status = gsl_multifit_nlinear_driver(100, 1e-10, 1e-10, 1e-12, nullptr, nullptr, &info, work.get());
    gsl_set_error_handler(previous);
    if (!problem.failure.empty())
        throw StudyError("fit: " + problem.failure);
    if (status != GSL_SUCCESS && status != GSL_EMAXITER)
        throw StudyError(std::string("fit: the least-squares solver gave up: ") + gsl_strerror(status));

    FitResult result;
    const gsl_vector* x = gsl_multifit_nlinear_position(work.get());
    result.values = problem.values(x);
    result.iterations = static_cast<int>(gsl_multifit_nlinear_niter(work.get()));
    result.status = status == GSL_EMAXITER ? "stopped after 100 iterations without converging"
                    : info == 1            ? "converged (small step)"
                    : info == 2            ? "converged (small gradient)"
                                           : "converged";

    // Standard errors from the Jacobian, scaled by the residual variance when there are more
    // measurements than parameters.
    std::unique_ptr<gsl_matrix, decltype(&gsl_matrix_free)> covariance(gsl_matrix_alloc(p, p), gsl_matrix_free);
    gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(work.get()), 0.0, covariance.get());
    double chi2 = 0;
    gsl_blas_ddot(gsl_multifit_nlinear_residual(work.get()), gsl_multifit_nlinear_residual(work.get()), &chi2);
    for (std::size_t k = 0; k < p; ++k) {
        const double variance = n > p ? chi2 / static_cast<double>(n - p) : std::numeric_limits<double>::quiet_NaN();
        result.standardErrors.push_back(std::sqrt(gsl_matrix_get(covariance.get(), k, k) * variance) * std::fabs(problem.scale[k]));
    }

    double velocitySquares = 0, pressureSquares = 0;
    std::size_t velocities = 0, pressures = 0;
    for (const Firing& firing : spec.firings) {
        const RunOutputs out = runForOutputs(firingInput(study, firing, result.values), *problem.buffer, study.integrator);
        FiringResidual row{firing.velocity, out[OutputId::vMuzzle], firing.pressure, out[problem.pressure], out.message};
        if (out.reachedMuzzle()) {
            velocitySquares += std::pow(row.modelVelocity - row.measuredVelocity, 2);
            ++velocities;
            if (firing.pressure) {
                pressureSquares += std::pow(row.modelPressure - *firing.pressure, 2);
                ++pressures;
            }
        }
        result.firings.push_back(row);
    }
    result.rmsVelocity = velocities ? std::sqrt(velocitySquares / static_cast<double>(velocities)) : 0.0;
    if (pressures > 0)
        result.rmsPressure = std::sqrt(pressureSquares / static_cast<double>(pressures));
    return result;
}

}  // namespace kalvex::study
