// kalvex.InputSet: one attribute per parameter, named as in the study file and valued in
// the unit of the window's field. Immutable; with_changes returns a changed copy.
#include "core/results/Errors.h"
#include "core/input/InputFields.h"
#include "study/Parameters.h"
#include "python/Bindings.h"
#include "python/ScriptInput.h"

#include <pybind11/stl.h>

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
    ScriptInput input{weapon, 0, {}, {}};
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
        .def_property_readonly("weapon", [](const ScriptInput& input) { return input.weaponName; })
        .def("to_dict", &asDict, "The parameters by name")
        .def("__dir__", [](const ScriptInput&) {
            std::vector<std::string> names = parameterNames();
            for (const char* method : {"weapon", "with_changes", "with_propellant", "to_dict", "parameters"})
                names.emplace_back(method);
            return names;
        })
        .def(
            "__eq__",
            [](const ScriptInput& a, const ScriptInput& b) {
                return a.weaponName == b.weaponName && a.grainType == b.grainType && a.shown == b.shown &&
                       a.propellantLine == b.propellantLine;
            },
            py::is_operator())
        .def("__repr__", &describe)
        .def(py::pickle(
            [](const ScriptInput& input) { return py::make_tuple(input.weaponName, asDict(input), input.propellantLine); },
            [](const py::tuple& state) {
                ScriptInput input = fromValues(state[1].cast<py::dict>(), state[0].cast<std::string>());
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
}

}  // namespace kalvex::python
