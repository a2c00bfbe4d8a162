// Exceptions of the core as Python sees them: a rule, an unreadable value or a study that
// cannot run is a ValueError with the core's exact message, a run that stops is kalvex.RunStopped, and an
// unknown parameter an AttributeError that lists the known ones.
#include "core/results/Errors.h"
#include "python/Bindings.h"
#include "python/ScriptInput.h"
#include "python/ScriptRun.h"
#include "study/StudyError.h"

namespace py = pybind11;

namespace kalvex::python {

void bindErrors(py::module_& m)
{
    static py::exception<RunStoppedError> runStopped(m, "RunStopped", PyExc_RuntimeError);
    runStopped.doc() = "A run that ended before the muzzle; .message is the message the window shows.";
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown)
                std::rethrow_exception(thrown);
        } catch (const RunStoppedError& e) {
            py::object error = py::reinterpret_borrow<py::object>(runStopped.ptr())(e.what());
            error.attr("message") = e.what();
            PyErr_SetObject(runStopped.ptr(), error.ptr());
        } catch (const InputError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        } catch (const UnknownParameter& e) {
            PyErr_SetString(PyExc_AttributeError, e.what());
        } catch (const study::StudyError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        }
    });
}

}  // namespace kalvex::python
