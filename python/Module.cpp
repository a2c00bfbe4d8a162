// kalvex._core: the compiled half of the Python package kalvex. The core does the work;
// this layer only converts records, arrays and exceptions.
#include "python/Bindings.h"

PYBIND11_MODULE(_core, m)
{
    m.doc() = "Kalvex interior ballistics: input sets, runs and studies (compiled part)";
    using namespace kalvex::python;
    bindErrors(m);
    bindInputSet(m);
    bindRun(m, std::make_shared<ResultsPool>());
    bindStudy(m);
    bindPropellants(m);
    bindVessel(m);
}
