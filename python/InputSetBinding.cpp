// kalvex.InputSet: one attribute per parameter, named as in the study file and valued in
// the unit of the window's field. Immutable; with_changes returns a changed copy.
#include "core/results/Errors.h"
#include "core/input/ChargeList.h"
#include "core/input/InputFields.h"
#include "core/propellant/PropellantValues.h"
#include "study/InputFile.h"
#include "study/Parameters.h"
#include "study/StudyError.h"
#include "study/StudyJson.h"
#include "python/Bindings.h"
#include "python/ScriptInput.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include <optional>
#include <tuple>

namespace py = pybind11;

namespace kalvex::python {

namespace {

// The value of a parameter, the grain type as an int; UnknownParameter for a name that is none.
py::object value(const ScriptInput& input, std::string_view name)
{
    const double number = parameter(input, name);
    return name == study::kGrainTypeParameter ? py::object(py::int_(input.grainType)) : py::object(py::float_(number));
}

double numberFor(std::string_view name, const py::handle& value)
{
    // Any number, numpy's included; bool is an int to Python, but no parameter is a yes or no.
    if (py::isinstance<py::bool_>(value) || !PyNumber_Check(value.ptr()))
        throw py::type_error("parameter " + std::string(name) + " takes a number, not " +
                             std::string(py::str(value.get_type().attr("__name__"))));
    const double number = PyFloat_AsDouble(value.ptr());
    if (number == -1 && PyErr_Occurred())
        throw py::error_already_set();
    return number;
}

// The coefficients at_temperature was given: those of the input set, each replaced by an
// argument given; none when the set has none and not both coefficients are given.
std::optional<TemperatureCoefficients> givenCoefficients(const ScriptInput& input, const py::object& force,
                                                         const py::object& burningRate, const py::object& reference)
{
    if (!input.temperatureCoefficients && (force.is_none() || burningRate.is_none()))
        return std::nullopt;
    TemperatureCoefficients c = input.temperatureCoefficients.value_or(TemperatureCoefficients{});
    if (!force.is_none())
        c.force = numberFor("force", force);
    if (!burningRate.is_none())
        c.burningRate = numberFor("burning_rate", burningRate);
    if (!reference.is_none())
        c.reference = numberFor("reference", reference);
    return c;
}

py::object coefficientsState(const ScriptInput& input)
{
    if (!input.temperatureCoefficients)
        return py::none();
    const TemperatureCoefficients& c = *input.temperatureCoefficients;
    return py::make_tuple(c.force, c.burningRate, c.reference, c.lowest, c.highest);
}

void restoreTemperature(ScriptInput& input, const py::tuple& state)
{
    if (state.size() < 5)
        return;  // pickled before input sets had a charge temperature
    if (!state[4].is_none()) {
        const auto t = state[4].cast<std::tuple<double, double, double, double, double>>();
        input.temperatureCoefficients =
            TemperatureCoefficients{std::get<0>(t), std::get<1>(t), std::get<2>(t), std::get<3>(t), std::get<4>(t)};
    }
    if (!state[3].is_none())
        input.chargeTemperature = state[3].cast<double>();
}

ScriptInput fromInputFile(const study::InputFile& file) { return fromBallisticInput(file.input, file.weaponName); }

// The charge as a list of records, the first component included: dicts with the keys and
// units of the input file's "charge" list (docs/input-file.md).
py::list chargeOf(const ScriptInput& input)
{
    const py::object loads = py::module_::import("json").attr("loads");
    py::list records;
    for (const ChargeComponent& c : chargeList(toBallisticInput(input, true)))
        records.append(loads(study::componentToJson(c).dump()));
    return records;
}

// A copy whose charge is these records; the first replaces the set's own propellant and grain.
ScriptInput withCharge(const ScriptInput& input, const py::list& records)
{
    if (records.empty() || records.size() > kMaxChargeComponents)
        throw py::value_error("a charge has 1 to " + std::to_string(kMaxChargeComponents) + " components");
    const py::object dumps = py::module_::import("json").attr("dumps");
    std::vector<ChargeComponent> charge;
    try {
        for (std::size_t k = 0; k < records.size(); ++k)
            charge.push_back(study::componentFromJson(nlohmann::json::parse(dumps(records[k]).cast<std::string>()), k + 1));
    } catch (const nlohmann::json::exception& e) {
        throw study::StudyError(std::string("charge: ") + e.what());
    }
    BallisticInput whole = toBallisticInput(input, true);
    const BallisticInput before = whole;
    setChargeList(whole, charge);
    ScriptInput changed = fromBallisticInput(whole, input.weaponName);
    changed.propellantLine = input.propellantLine;
    for (const PropellantValue& v : kPropellantValues)
        if (whole.*v.quantity != before.*v.quantity)
            changed.propellantLine.clear();  // the set no longer holds that propellant's values
    if (changed.chargeTemperature)  // the factors follow the coefficients the records hold
        setChargeTemperature(changed, *changed.chargeTemperature);
    return changed;
}

// The components after the first, as the input file's records, for a pickle.
std::string extraComponentsState(const ScriptInput& input)
{
    nlohmann::json list = nlohmann::json::array();
    for (const ChargeComponent& c : input.extraComponents)
        list.push_back(study::componentToJson(c));
    return list.dump();
}

// The law as (pLow in MPa, beta, alpha) per segment, the first from 0 MPa.
std::vector<std::tuple<double, double, double>> segmentsOf(const ScriptInput& input)
{
    std::vector<std::tuple<double, double, double>> law{{0.0, parameter(input, "beta"), parameter(input, "alpha")}};
    for (const BurningSegment& s : input.upperSegments)
        law.emplace_back(s.pLow, s.beta, s.alpha);
    return law;
}

ScriptInput withSegments(const ScriptInput& input, const std::vector<std::tuple<double, double, double>>& law)
{
    if (law.empty() || std::get<0>(law[0]) != 0)
        throw py::value_error("the first segment of a burning law starts at 0 MPa: (0, beta, alpha)");
    ScriptInput changed = input;
    // Only a changed value is set: the set keeps naming its library propellant otherwise.
    if (std::get<1>(law[0]) != parameter(input, "beta"))
        setParameter(changed, "beta", std::get<1>(law[0]), std::string(py::repr(py::float_(std::get<1>(law[0])))));
    if (std::get<2>(law[0]) != parameter(input, "alpha"))
        setParameter(changed, "alpha", std::get<2>(law[0]), std::string(py::repr(py::float_(std::get<2>(law[0])))));
    changed.upperSegments.clear();
    for (std::size_t j = 1; j < law.size(); ++j)
        changed.upperSegments.push_back({std::get<0>(law[j]), std::get<1>(law[j]), std::get<2>(law[j])});
    return changed;
}

void applyChanges(ScriptInput& input, const py::kwargs& values)
{
    for (const auto& [key, value] : values) {
        const std::string name = key.cast<std::string>();
        setParameter(input, name, numberFor(name, value), std::string(py::repr(value)));
    }
}

py::dict asDict(const ScriptInput& input)
{
    py::dict values;
    for (const std::string& name : parameterNames())
        values[py::str(name)] = value(input, name);
    return values;
}

// Every parameter must be given; the weapon name may be.
ScriptInput fromValues(const py::dict& values, const std::string& weapon)
{
    std::vector<std::string> missing;
    for (const std::string& name : parameterNames())
        if (!values.contains(name))
            missing.push_back(name);
    if (!missing.empty()) {
        std::string list;
        for (const std::string& name : missing)
            list += (list.empty() ? "" : ", ") + name;
        throw py::type_error("InputSet needs every parameter; missing: " + list);
    }
    ScriptInput input{weapon, 0, {}, {}, {}, {}, {}, {}};
    applyChanges(input, py::kwargs(values));
    return input;
}

std::string describe(const ScriptInput& input)
{
    std::string text = "InputSet(";
    for (std::size_t i = 0; i < kInputFields.size(); ++i)
        text += std::string(kInputFields[i].name) + "=" + std::string(py::repr(py::float_(input.shown[i]))) + ", ";
    return text + "grainType=" + std::to_string(input.grainType) + ")";
}

}  // namespace

void bindInputSet(py::module_& m)
{
    py::class_<ScriptInput>(m, "InputSet",
                            "The input values of one run, each in the unit of its window field.")
        .def(py::init([](const py::kwargs& values) {
                 py::dict parameters(values);  // a copy, so that the weapon name can leave it
                 const auto weapon = parameters.attr("pop")("weapon", "").cast<std::string>();
                 return fromValues(parameters, weapon);
             }),
             "InputSet(weapon='', **values): every parameter given by name")
        .def("__getattr__", [](const ScriptInput& input, const std::string& name) { return value(input, name); })
        .def("with_changes",
             [](const ScriptInput& input, const py::kwargs& values) {
                 ScriptInput changed = input;
                 applyChanges(changed, values);
                 return changed;
             },
             "A copy with the named parameters changed, e.g. with_changes(C=0.0031, D=0.85)")
        .def(
            "at_temperature",
            [](const ScriptInput& input, double celsius, const py::object& force, const py::object& burningRate,
               const py::object& reference) {
                ScriptInput changed = input;
                setChargeTemperature(changed, celsius, givenCoefficients(input, force, burningRate, reference));
                return changed;
            },
            py::arg("temperature"), py::arg("force") = py::none(), py::arg("burning_rate") = py::none(),
            py::arg("reference") = py::none(),
            "A copy with the charge at `temperature` (°C): fFT and fbetaT from the temperature coefficients "
            "(force and burning_rate in 1/K about `reference` °C, default 21), given here or held by the set "
            "(from with_propellant or an earlier at_temperature)")
        .def_property_readonly("charge_temperature",
                               [](const ScriptInput& input) -> py::object {
                                   return input.chargeTemperature ? py::object(py::float_(*input.chargeTemperature))
                                                                  : py::none();
                               })
        .def_property_readonly("charge", &chargeOf,
                               "The charge's components, the first included: dicts with the keys of the input "
                               "file's charge list (D, L, P, SW in mm)")
        .def("with_charge", &withCharge, py::arg("charge"),
             "A copy with this charge: a list of component records as `charge` gives them, the first "
             "replacing the set's own propellant and grain")
        .def_property_readonly("segments", &segmentsOf,
                               "The burning law: (pLow in MPa, beta, alpha) per segment, the first from 0 MPa")
        .def("with_segments", &withSegments, py::arg("segments"),
             "A copy with the burning law of these segments, (pLow in MPa, beta, alpha) each, the first "
             "(0, beta, alpha); the run's input rules check them")
        .def(
            "save",
            [](const ScriptInput& input, const std::filesystem::path& path) {
                study::saveInputFile(path, study::InputFile{input.weaponName, toBallisticInput(input, true)});
            },
            py::arg("path"), "Writes the whole input set as a JSON input file (docs/input-file.md)")
        .def_property_readonly("weapon", [](const ScriptInput& input) { return input.weaponName; })
        .def("to_dict", &asDict, "The parameters by name")
        .def("__dir__", [](const ScriptInput&) {
            std::vector<std::string> names = parameterNames();
            for (const char* method : {"weapon", "with_changes", "with_propellant", "at_temperature", "charge_temperature", "to_dict",
                                       "parameters", "segments", "with_segments", "save", "charge", "with_charge"})
                names.emplace_back(method);
            return names;
        })
        .def(
            "__eq__",
            [](const ScriptInput& a, const ScriptInput& b) {
                const auto coefficients = [](const ScriptInput& s) {
                    return s.temperatureCoefficients ? std::optional(std::make_tuple(
                                                           s.temperatureCoefficients->force, s.temperatureCoefficients->burningRate,
                                                           s.temperatureCoefficients->reference, s.temperatureCoefficients->lowest,
                                                           s.temperatureCoefficients->highest))
                                                     : std::nullopt;
                };
                return a.weaponName == b.weaponName && a.grainType == b.grainType && a.shown == b.shown &&
                       a.propellantLine == b.propellantLine && a.chargeTemperature == b.chargeTemperature &&
                       coefficients(a) == coefficients(b) && segmentsOf(a) == segmentsOf(b) &&
                       extraComponentsState(a) == extraComponentsState(b);
            },
            py::is_operator())
        .def("__repr__", &describe)
        .def(py::pickle(
            [](const ScriptInput& input) {
                const py::object temperature =
                    input.chargeTemperature ? py::object(py::float_(*input.chargeTemperature)) : py::none();
                return py::make_tuple(input.weaponName, asDict(input), input.propellantLine, temperature,
                                      coefficientsState(input), segmentsOf(input), extraComponentsState(input));
            },
            [](const py::tuple& state) {
                ScriptInput input = fromValues(state[1].cast<py::dict>(), state[0].cast<std::string>());
                input.propellantLine = state[2].cast<std::string>();
                restoreTemperature(input, state);
                if (state.size() > 5)
                    input = withSegments(input, state[5].cast<std::vector<std::tuple<double, double, double>>>());
                if (state.size() > 6) {
                    const nlohmann::json list = nlohmann::json::parse(state[6].cast<std::string>());
                    for (std::size_t k = 0; k < list.size(); ++k)
                        input.extraComponents.push_back(study::componentFromJson(list[k], k + 2));
                }
                input.propellantLine = state[2].cast<std::string>();
                return input;
            }))
        .def_static(
            "parameters",
            [] {
                std::vector<py::tuple> rows;
                for (const study::Parameter& p : study::allParameters())
                    rows.push_back(py::make_tuple(std::string(p.name), std::string(p.caption), std::string(p.unit)));
                return rows;
            },
            "(name, caption, unit) of every parameter");

    m.def("load_report", &loadScriptInput, py::arg("path"),
          "The input set of a report file, read as kalvex-batch reads it");
    m.def(
        "load_inputs", [](const std::string& path) { return fromInputFile(study::loadInputFile(path)); },
        py::arg("path"), "The whole input set of a JSON input file (docs/input-file.md), every bit as written");
}

}  // namespace kalvex::python
