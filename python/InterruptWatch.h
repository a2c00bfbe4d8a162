#pragma once
// Ctrl+C during a long call with the GIL released: the calling thread asks the interpreter
// now and then whether a signal came; the work stops starting new runs, and the call raises
// KeyboardInterrupt when it returns.
#include <pybind11/pybind11.h>

#include <atomic>

namespace kalvex::python {

struct InterruptWatch {
    std::atomic<bool> cancel{false};

    // From the calling thread only, with the GIL released: false once Ctrl+C was pressed.
    bool keepGoing()
    {
        const pybind11::gil_scoped_acquire locked;
        if (PyErr_CheckSignals() != 0)
            cancel = true;
        return !cancel;
    }

    // With the GIL held, after the work returned.
    void raiseIfInterrupted() const
    {
        if (cancel)
            throw pybind11::error_already_set();
    }
};

}  // namespace kalvex::python
