#pragma once
// The parts of the extension module kalvex._core, each adding its names to the module.
#include "core/propellant/PropellantLibrary.h"
#include "python/ResultsPool.h"

#include <memory>
#include <pybind11/pybind11.h>

namespace kalvex::python {

void bindErrors(pybind11::module_& m);
void bindInputSet(pybind11::module_& m);
void bindRun(pybind11::module_& m, const std::shared_ptr<ResultsPool>& pool);
void bindStudy(pybind11::module_& m);
void bindPropellants(pybind11::module_& m);
void bindVessel(pybind11::module_& m);

// The propellant library of a (rows, problems) pair as kalvex._core.propellant_library gives it.
PropellantLibrary libraryFrom(const pybind11::tuple& library);

}  // namespace kalvex::python
