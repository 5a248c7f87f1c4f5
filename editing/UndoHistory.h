#pragma once
// The editor's undo history: step 0 is the text as the history was restarted,
// and every change of the text since is one step, with the cursor position
// after it. Undo and Redo walk the steps.
//
// A step is the change itself, as the editor reports it (where, what went,
// what came), never a copy of the text: recording a step costs the same in a
// list of any length, and 10000 steps cost little memory. When the history is
// full the oldest step gives way, so recent typing stays undoable.

#include <QString>

#include <deque>

namespace editing {

class UndoHistory {
public:
    static constexpr int kCapacity = 10000; // steps after step 0

    // Restarts the history: step 0, nothing to undo or redo.
    void reset();
    // Records a new step after the current one: at position, removed gave way
    // to added, leaving the cursor at cursor. Whatever could have been redone
    // is dropped.
    void record(int position, const QString& removed, const QString& added, int cursor);

    int undoIndex() const { return index_; }           // the step shown now
    int undoTop() const { return int(steps_.size()); } // the newest step
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < undoTop(); }

    // One step back or forward; only when canUndo() / canRedo(). The edit
    // that turns the text of the step shown into the other's: replaceLength
    // characters at replaceStart give way to replacement; then the cursor.
    struct Move {
        int replaceStart = 0;
        int replaceLength = 0;
        QString replacement;
        int cursor = 0;
    };
    Move undo();
    Move redo();

private:
    struct Step {
        int position = 0;
        QString removed;
        QString added;
        int cursor = 0;
    };
    std::deque<Step> steps_; // steps_[i] leads from step i to step i + 1
    int index_ = 0;
};

} // namespace editing
