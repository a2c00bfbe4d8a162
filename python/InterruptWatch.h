#pragma once
// Ctrl+C during a long call with the GIL released: the calling thread asks the interpreter
// now and then whether a signal came; the work stops starting new runs, and the call raises
// KeyboardInterrupt when it returns.
#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <future>

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

    // Runs `work` on a thread of its own while the calling thread, the GIL released, looks for
    // Ctrl+C every 10 ms; the work reads `cancel` to stop. Its exception reaches the caller,
    // unless the work was interrupted (then raiseIfInterrupted tells).
    template <class Work>
    void runWatched(Work&& work)
    {
        auto done = std::async(std::launch::async, std::forward<Work>(work));
        while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            keepGoing();
        try {
            done.get();
        } catch (...) {
            if (!cancel)
                throw;
        }
    }

    // With the GIL held, after the work returned.
    void raiseIfInterrupted() const
    {
        if (cancel)
            throw pybind11::error_already_set();
    }
};

}  // namespace kalvex::python
