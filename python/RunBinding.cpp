// kalvex._core.run: one run, its series as numpy arrays that share the run's buffer, and the
// text the window would show.
#include "core/results/SeriesVocabulary.h"
#include "python/Bindings.h"
#include "python/InterruptWatch.h"
#include "python/ScriptInput.h"
#include "python/ScriptRun.h"

#include <pybind11/numpy.h>

#include <optional>

namespace py = pybind11;

namespace kalvex::python {

namespace {

// The recorded entries of every series, from ignition to the muzzle exit, without copying:
// each array holds the run's buffer until it is gone.
py::dict seriesArrays(const ScriptRun& run)
{
    const py::ssize_t entries = run.results->stepCount + 1;
    const py::capsule owner(new std::shared_ptr<RunResults>(run.results),
                            [](void* held) { delete static_cast<std::shared_ptr<RunResults>*>(held); });
    py::dict series;
    for (const SeriesInfo& info : kSeriesInfo) {
        py::array_t<double> values(entries, (*run.results)[info.id].data(), owner);
        values.attr("setflags")(py::arg("write") = false);  // a record of the run, not a workspace
        series[py::str(info.name.data(), info.name.size())] = values;
    }
    return series;
}

py::dict seriesUnits()
{
    py::dict units;
    for (const SeriesInfo& info : kSeriesInfo)
        units[py::str(info.name.data(), info.name.size())] = py::str(info.unit.data(), info.unit.size());
    return units;
}

// The study's outputs of the run by name, and their units.
py::tuple summary(const ScriptRun& run)
{
    py::dict values, units;
    for (const study::OutputInfo& info : study::kOutputInfo) {
        const py::str name(info.name.data(), info.name.size());
        values[name] = run.outputs[info.id];
        units[name] = py::str(info.unit.data(), info.unit.size());
    }
    return py::make_tuple(values, units);
}

}  // namespace

void bindRun(py::module_& m, const std::shared_ptr<ResultsPool>& pool)
{
    m.def(
        "run",
        [pool](const ScriptInput& inputs, bool heatTransfer, const std::string& integrator, double rtol, double atol) {
            const BallisticInput input = toBallisticInput(inputs, heatTransfer);
            const IntegratorChoice choice = integratorChoice(integrator, rtol, atol);
            // A run alone takes up to seconds (thirty doublings of a step that never gets
            // anywhere): it looks at Ctrl+C every thousand steps.
            InterruptWatch watch;
            std::optional<ScriptRun> run;
            {
                const py::gil_scoped_release unlocked;
                watch.runWatched([&] { run = runScript(input, *pool, inputs.propellantLine, choice, &watch.cancel); });
            }
            watch.raiseIfInterrupted();
            return py::make_tuple(seriesArrays(*run), run->memo, summary(*run));
        },
        py::arg("inputs"), py::arg("heat_transfer") = true, py::arg("integrator") = "fixed", py::arg("rtol") = 1e-8,
        py::arg("atol") = 0.0,
        "Runs one input set: (series, memo, (summary, units)). ValueError for a rule, RunStopped for a run "
        "that ends before the muzzle.");
    m.attr("SERIES_UNITS") = seriesUnits();
}

}  // namespace kalvex::python
