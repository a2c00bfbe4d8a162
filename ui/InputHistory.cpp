#include "ui/InputHistory.h"

#include <QUndoCommand>

namespace kalvex::ui {

class SnapshotStep : public QUndoCommand {
public:
    SnapshotStep(InputHistory& history, InputSnapshot before, InputSnapshot after, const QString& what)
        : QUndoCommand(what), history_(history), before_(std::move(before)), after_(std::move(after))
    {
    }
    // The change is already on the screen when the step is recorded: the first redo, which
    // QUndoStack::push calls, shows nothing new.
    void redo() override
    {
        if (pushed_)
            history_.show(after_);
        pushed_ = true;
    }
    void undo() override { history_.show(before_); }

private:
    InputHistory& history_;
    InputSnapshot before_, after_;
    bool pushed_ = false;
};

InputHistory::InputHistory(Take take, Apply apply) : take_(std::move(take)), apply_(std::move(apply))
{
}

void InputHistory::startFrom()
{
    last_ = take_();
    stack_.clear();
}

void InputHistory::record(const QString& what)
{
    InputSnapshot now = take_();
    if (now == last_)
        return;
    InputSnapshot before = std::exchange(last_, now);
    stack_.push(new SnapshotStep(*this, std::move(before), std::move(now), what));
}

void InputHistory::show(const InputSnapshot& snapshot)
{
    apply_(snapshot);
    last_ = snapshot;
}

}  // namespace kalvex::ui
