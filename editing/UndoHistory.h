#pragma once
// The editor's undo history: step 0 is the text the history was restarted
// from, and every change of the text since is one step, with the cursor
// position after it. Undo and Redo walk the steps.
//
// Each step is kept as the difference from the step before it (the replaced
// span and the text that replaced it), never as a whole copy of the text, so
// 10000 steps on a long list cost little memory. When the history is full the
// oldest step gives way, so recent typing stays undoable.

#include <QString>

#include <cstddef>
#include <deque>

namespace editing {

class UndoHistory {
public:
    static constexpr int kCapacity = 10000; // steps after step 0

    struct Step {
        QString text;
        int selStart = 0;
    };

    // Restarts the history from text: step 0, nothing to undo or redo.
    void reset(const QString& text);
    // Records text as a new step after the current one; whatever could have
    // been redone is dropped.
    void record(const QString& text, int selStart);

    int undoIndex() const { return index_; }           // the step shown now
    int undoTop() const { return int(steps_.size()); } // the newest step
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < undoTop(); }

    // One step back or forward; only when canUndo() / canRedo().
    // replaceStart/replaceLength/replacement describe the edit that turns the
    // previous current text into the returned one.
    struct Move {
        Step step;
        int replaceStart = 0;
        int replaceLength = 0;
        QString replacement;
    };
    Move undo();
    Move redo();

    const QString& currentText() const { return current_; }
    // An estimate of the heap memory held, for the benchmarks.
    std::size_t memoryBytes() const;

private:
    struct Delta {
        int position = 0;
        QString before; // the span as it was in the step before
        QString after;  // the span as it is in this step
        int selStart = 0;
    };

    // Replaces from by to at position in the current text.
    Move apply(int position, const QString& from, const QString& to, int selStart);

    std::deque<Delta> steps_; // steps_[i] leads from step i to step i + 1
    QString current_;         // the text of step index_
    int index_ = 0;
};

} // namespace editing
