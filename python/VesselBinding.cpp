// kalvex._core.vessel_simulate and vessel_reduce: closed-vessel firings simulated by the model
// and measured traces reduced, as kalvex-vessel does; the work runs with the GIL released.
#include "python/Bindings.h"
#include "core/format/Units.h"
#include "python/InterruptWatch.h"
#include "python/ScriptInput.h"
#include "vessel/Reduction.h"
#include "vessel/ReductionJson.h"
#include "vessel/Resimulation.h"
#include "vessel/TraceCsv.h"
#include "vessel/TypedOptions.h"
#include "vessel/VesselSimulation.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace py = pybind11;

namespace kalvex::python {

namespace {

py::array_t<double> scaledArray(const std::vector<double>& values, double factor)
{
    py::array_t<double> array(static_cast<py::ssize_t>(values.size()));
    double* out = array.mutable_data();
    for (double v : values)
        *out++ = v * factor;
    return array;
}

std::vector<double> scaledVector(const py::handle& values, double factor)
{
    const auto array = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(values);
    if (!array || array.ndim() != 1)
        throw py::value_error("a trace's t and p are sequences of numbers");
    std::vector<double> out(array.data(), array.data() + array.size());
    for (double& v : out)
        v *= factor;
    return out;
}

std::optional<double> optionalNumber(const py::dict& record, const char* key)
{
    if (!record.contains(key) || record[key].is_none())
        return std::nullopt;
    return record[key].cast<double>();
}

// A firing as the Python side passes it: "file" (a CSV trace, units from its header or the
// given ones) or "t" [ms] and "p" [MPa]; "volume" [cm^3], "charge" [g], optional
// "temperature" [°C], "start" and "end" [ms], "name".
vessel::Firing firingOf(const py::dict& record, const vessel::TraceUnits& units)
{
    std::string name;
    vessel::PressureTrace trace;
    if (record.contains("file")) {
        name = record["file"].cast<std::string>();
        std::ifstream file(name);
        if (!file)
            throw py::value_error("cannot read " + name);
        try {
            trace = vessel::readTraceCsv(file, units);
        } catch (const std::runtime_error& e) {
            throw py::value_error(name + ": " + e.what());
        }
    } else {
        trace.time = scaledVector(record["t"], kMillisecondToSecond);
        trace.pressure = scaledVector(record["p"], kMegapascalToPascal);
        if (trace.time.size() != trace.pressure.size())
            throw py::value_error("a trace's t and p differ in length");
    }
    if (record.contains("name"))
        name = record["name"].cast<std::string>();
    const vessel::TypedFiring typed{record["volume"].cast<double>(), record["charge"].cast<double>(),
                                    optionalNumber(record, "temperature"), optionalNumber(record, "start"),
                                    optionalNumber(record, "end")};
    vessel::Firing f = typed.firing(name);
    if (!(f.volume > 0) || !(f.chargeMass > 0))
        throw py::value_error("a firing needs a positive volume and charge: " + f.name);
    f.trace = std::move(trace);
    return f;
}

// The vessel's propellant: the input set's, with the vessel's igniter when given.
BallisticInput vesselPropellant(const ScriptInput& inputs, std::optional<double> igniter)
{
    BallisticInput propellant = toBallisticInput(inputs, false);
    if (igniter)
        propellant.CI = *igniter * kGramToKilogram;  // a gun's igniter would fill the vessel on its own
    return propellant;
}

// The heat loss as typed: W/m^2/K, mm, °C.
vessel::TypedHeatLoss heatLossOf(const py::tuple& typed)
{
    return {typed[0].cast<double>(), typed[1].cast<double>(), typed[2].cast<double>()};
}

py::dict simulate(const ScriptInput& inputs, double volume, double charge, std::optional<double> igniter, double step,
                  double sample, double afterBurnout, const py::tuple& heatLoss)
{
    vessel::VesselSetup setup;
    setup.heatLoss = heatLossOf(heatLoss).heatLoss();
    setup.charge = vesselPropellant(inputs, igniter);
    setup.volume = volume * kCubicCentimetreToCubicMetre;
    setup.chargeMass = charge * kGramToKilogram;
    setup.dt = step * kMicrosecondToSecond;
    setup.sampleInterval = sample * kMicrosecondToSecond;
    vessel::VesselTrace trace;
    {
        const py::gil_scoped_release unlocked;
        try {
            trace = vessel::simulateVessel(setup, afterBurnout * kMillisecondToSecond);
        } catch (const std::runtime_error& e) {
            throw std::invalid_argument(e.what());  // a setup the vessel cannot fire: ValueError
        }
    }
    py::dict columns;
    columns["t"] = scaledArray(trace.time, 1 / kMillisecondToSecond);
    columns["p"] = scaledArray(trace.pressure, 1 / kMegapascalToPascal);
    columns["dpdt"] = scaledArray(trace.pressureRate, kMillisecondToSecond / kMegapascalToPascal);
    columns["Z"] = scaledArray(trace.burnedFraction, 1);
    return columns;
}

// The reduction's record as kalvex-vessel --export-json writes it, as JSON text.
std::string reduce(const py::list& records, const ScriptInput& inputs, std::optional<double> igniter,
                   const vessel::TypedReduction& typed, const vessel::TraceUnits& units)
{
    std::vector<vessel::Firing> firings;
    for (const py::handle& record : records)
        firings.push_back(firingOf(record.cast<py::dict>(), units));
    const BallisticInput propellant = vesselPropellant(inputs, igniter);
    vessel::ReductionOptions options = typed.options();
    // A reduction refines its law on many simulated firings, seconds or minutes: Ctrl+C stops
    // it at its next simulation.
    InterruptWatch watch;
    options.stop = &watch.cancel;
    std::string json;
    {
        const py::gil_scoped_release unlocked;
        watch.runWatched([&] {
            try {
                const vessel::VesselReduction reduction = vessel::reduceFirings(firings, propellant, options);
                std::vector<vessel::ResimulatedTrace> again;
                for (std::size_t i = 0; i < firings.size(); ++i)
                    again.push_back(vessel::resimulateFiring(firings, i, reduction, propellant));
                json = vessel::reductionJson(firings, options, reduction, again).dump();
            } catch (const vessel::ReductionStopped&) {
                throw;
            } catch (const std::runtime_error& e) {
                throw std::invalid_argument(e.what());  // a trace or a fit that cannot be reduced: ValueError
            }
        });
    }
    watch.raiseIfInterrupted();
    return json;
}

}  // namespace

void bindVessel(py::module_& m)
{
    m.def("vessel_simulate", &simulate, py::arg("inputs"), py::arg("volume"), py::arg("charge"), py::arg("igniter"),
          py::arg("step"), py::arg("sample"), py::arg("after_burnout"), py::arg("heat_loss"),
          "One closed-vessel firing: {t [ms], p [MPa], dpdt [MPa/ms], Z}");
    m.def(
        "vessel_reduce",
        [](const py::list& firings, const ScriptInput& inputs, std::optional<double> igniter, std::vector<double> pLow,
           int segments, std::optional<double> referenceTemperature, bool ignitionAtZero, bool ratesOnly, bool keepGas,
           const py::dict& rules, const py::tuple& heatLoss, const std::string& timeUnit,
           const std::string& pressureUnit) {
            vessel::TypedReduction a{std::move(pLow), segments, referenceTemperature, ignitionAtZero, ratesOnly,
                                     keepGas, {}, heatLossOf(heatLoss)};
            for (const auto& [key, value] : rules) {
                const std::string name = key.cast<std::string>();
                if (name == "smoothing")
                    a.settings.smoothingHalfWidth = value.cast<int>();
                else if (name == "smoothing_alpha")
                    a.settings.smoothingAlpha = value.cast<double>();
                else if (name == "difference_span")
                    a.settings.differenceSpan = value.cast<int>();
                else if (name == "ignition_fraction")
                    a.settings.ignitionFraction = value.cast<double>();
                else if (name == "low_fraction")
                    a.settings.lowFraction = value.cast<double>();
                else if (name == "high_fraction")
                    a.settings.highFraction = value.cast<double>();
                else
                    throw py::value_error("no trimming or smoothing rule " + name);
            }
            return reduce(firings, inputs, igniter, a, {timeUnit, pressureUnit});
        },
        py::arg("firings"), py::arg("inputs"), py::arg("igniter"), py::arg("p_low"), py::arg("segments"),
        py::arg("reference_temperature"), py::arg("ignition_at_zero"), py::arg("rates_only"), py::arg("keep_gas"),
        py::arg("rules"), py::arg("heat_loss"), py::arg("time_unit"), py::arg("pressure_unit"),
        "Measured firings reduced: the record of kalvex-vessel --export-json as JSON text");
}

}  // namespace kalvex::python
