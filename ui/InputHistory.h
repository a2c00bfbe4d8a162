#pragma once
// Undo and redo over changes of the input set: a step is recorded at the end of each change a
// user makes as one (a Load, the propellant fill, "Use This Value", an edited field, a grain type).
#include "ui/WorkingState.h"

#include <QString>
#include <QUndoStack>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kalvex::ui {

// The inputs as the window shows them: every field's text, the grain type, the heat transfer,
// and the parts of the input set no field shows.
struct InputSnapshot {
    std::vector<std::pair<std::string, QString>> texts;  // control name, text
    int grainType = 0;
    bool heatTransfer = true;
    ExtendedInputs extended;  // what no field shows
    bool operator==(const InputSnapshot&) const = default;
};

class InputHistory {
public:
    using Take = std::function<InputSnapshot()>;
    using Apply = std::function<void(const InputSnapshot&)>;
    InputHistory(Take take, Apply apply);

    // The inputs now shown are the start: nothing to undo before them.
    void startFrom();
    // Records the change since the last step as one step named `what`; nothing when the
    // inputs are as they were.
    void record(const QString& what);
    QUndoStack& stack() { return stack_; }

private:
    friend class SnapshotStep;
    void show(const InputSnapshot& snapshot);

    Take take_;
    Apply apply_;
    InputSnapshot last_;  // the inputs after the last recorded, undone or redone step
    QUndoStack stack_;
};

}  // namespace kalvex::ui
