#pragma once
#include "core/input/BallisticInput.h"
#include "core/input/FieldSource.h"
#include "core/results/RunResults.h"
#include "core/results/RunSummary.h"
#include "core/stepping/Integrator.h"

#include <memory>
#include <string>

namespace kalvex {

// What the Start command needs from the window (or from the batch runner).
class StartHost : public FieldSource {
public:
    virtual void setFieldText(std::string_view parameter, const std::string& text) = 0;  // as fieldText
    virtual int grainType() const = 0;       // 1 to 7
    virtual bool heatTransfer() const = 0;   // "Including Heat Transfer"
    virtual SummaryOptions summaryOptions() const = 0;
    virtual char decimalSeparator() const = 0;
    virtual void appendLine(const std::string& line) = 0;  // to Memo1
    // A run reached the muzzle and its results are now the stored ones: redraw the plot.
    // Called before the summary is written.
    virtual void runCompleted(const RunResults& results) = 0;
};

// The results of the last completed run and a buffer for the next one, so that a run
// that stops early never replaces a complete run.
struct RunStore {
    std::unique_ptr<RunResults> completed;  // null until the first run reaches the muzzle
    std::unique_ptr<RunResults> scratch;
};

// The Start command without a window: read, validate, reset, run; at the step limit append
// the two note lines, double the step, write it into the step field and run the whole sequence again;
// at the muzzle store the run, let the host redraw, and write the summary.
// Throws InputError with the message to show when a field, a rule or the run fails; then the
// stored results, the plot and Memo1 (except restart notes already written) stay as they were.
// The adaptive integrator runs once, ignores the step and leaves its field as it is.
void runStartCommand(StartHost& host, BallisticInput& stored, RunStore& runs,
                     const IntegratorChoice& integrator = {});

}  // namespace kalvex
