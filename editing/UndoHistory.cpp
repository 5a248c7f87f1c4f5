#include "editing/UndoHistory.h"

namespace editing {

void UndoHistory::reset() {
    steps_.clear();
    index_ = 0;
}

void UndoHistory::record(int position, const QString& removed, const QString& added, int cursor) {
    steps_.resize(std::size_t(index_)); // nothing left to redo
    steps_.push_back(Step{position, removed, added, cursor});
    if (int(steps_.size()) > kCapacity)
        steps_.pop_front(); // the oldest step gives way
    else
        ++index_;
}

UndoHistory::Move UndoHistory::undo() {
    const Step& step = steps_[std::size_t(--index_)];
    const int cursor = index_ > 0 ? steps_[std::size_t(index_ - 1)].cursor : 0;
    return Move{step.position, int(step.added.size()), step.removed, cursor};
}

UndoHistory::Move UndoHistory::redo() {
    const Step& step = steps_[std::size_t(index_++)];
    return Move{step.position, int(step.removed.size()), step.added, step.cursor};
}

} // namespace editing
