// The propellant library from Python: its rows as dicts, and the library a study looks its
// propellant names up in, rebuilt from such rows so that a worker of a cluster uses the
// library of the machine that sent the study.
#include "core/propellant/PropellantLibrary.h"
#include "core/propellant/PropellantValues.h"
#include "python/Bindings.h"
#include "python/ScriptInput.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace kalvex::python {

namespace {

// A library row: its name and source, then the seven values named as the parameters.
py::dict asDict(const Propellant& p)
{
    py::dict row;
    row["name"] = p.name;
    row["family"] = p.family;
    row["composition"] = p.composition;
    row["source"] = p.source;
    row["transcription"] = p.transcription;
    BallisticInput values;
    applyPropellant(p, values);
    for (const PropellantValue& v : kPropellantValues)
        row[v.name] = values.*v.quantity;
    row["from_user"] = p.fromUser;
    return row;
}

// The row back from its dict; the seven values pass through the input record, whose
// table (core/PropellantValues.h) names them.
Propellant fromDict(const py::dict& row)
{
    BallisticInput values;
    for (const PropellantValue& v : kPropellantValues)
        values.*v.quantity = row[v.name].cast<double>();
    Propellant p = propellantFromInput(values, row["name"].cast<std::string>());
    p.family = row["family"].cast<std::string>();
    p.composition = row["composition"].cast<std::string>();
    p.source = row["source"].cast<std::string>();
    p.transcription = row["transcription"].cast<std::string>();
    p.fromUser = row["from_user"].cast<bool>();
    return p;
}

}  // namespace

PropellantLibrary libraryFrom(const py::tuple& library)
{
    PropellantLibrary rebuilt;
    for (const py::handle row : library[0].cast<py::list>())
        rebuilt.rows.push_back(fromDict(row.cast<py::dict>()));
    rebuilt.problems = library[1].cast<std::vector<std::string>>();
    return rebuilt;
}

void bindPropellants(py::module_& m)
{
    m.def(
        "propellant_library",
        [](const std::string& shippedPath) {
            const PropellantLibrary library = loadPropellantLibrary({shippedPath, userPropellantPath()});
            py::list rows;
            for (const Propellant& p : library.rows)
                rows.append(asDict(p));
            return py::make_tuple(rows, library.problems);
        },
        py::arg("shipped_path"),
        "(rows, problems) of the shipped library at shipped_path and the user's library");
    m.def(
        "with_propellant",
        [](const ScriptInput& input, const py::dict& row) {
            ScriptInput changed = input;
            applyPropellant(changed, fromDict(row));
            return changed;
        },
        py::arg("inputs"), py::arg("row"));
}

}  // namespace kalvex::python
