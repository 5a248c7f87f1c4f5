#include "editing/UndoHistory.h"

namespace editing {

void UndoHistory::reset(const QString& text) {
    steps_.clear();
    current_ = text;
    index_ = 0;
}

void UndoHistory::record(const QString& text, int selStart) {
    // The changed span: what lies between the common start and the common end.
    const qsizetype oldSize = current_.size();
    const qsizetype newSize = text.size();
    const qsizetype shorter = qMin(oldSize, newSize);
    qsizetype prefix = 0;
    const QChar* a = current_.constData();
    const QChar* b = text.constData();
    while (prefix < shorter && a[prefix] == b[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && a[oldSize - 1 - suffix] == b[newSize - 1 - suffix])
        ++suffix;

    steps_.resize(index_); // nothing left to redo
    steps_.push_back(Delta{int(prefix), current_.mid(prefix, oldSize - prefix - suffix),
                           text.mid(prefix, newSize - prefix - suffix), selStart});
    if (int(steps_.size()) > kCapacity)
        steps_.pop_front(); // the oldest step gives way
    else
        ++index_;
    current_ = text;
}

UndoHistory::Move UndoHistory::apply(int position, const QString& from, const QString& to,
                                     int selStart) {
    current_.replace(position, from.size(), to);
    Move move;
    move.replaceStart = position;
    move.replaceLength = int(from.size());
    move.replacement = to;
    move.step.text = current_;
    move.step.selStart = selStart;
    return move;
}

UndoHistory::Move UndoHistory::undo() {
    const Delta& d = steps_[std::size_t(--index_)];
    const int selStart = index_ > 0 ? steps_[std::size_t(index_ - 1)].selStart : 0;
    return apply(d.position, d.after, d.before, selStart);
}

UndoHistory::Move UndoHistory::redo() {
    const Delta& d = steps_[std::size_t(index_++)];
    return apply(d.position, d.before, d.after, d.selStart);
}

std::size_t UndoHistory::memoryBytes() const {
    // A QString's heap block: a header of about 16 bytes and its characters.
    auto stringBytes = [](const QString& s) {
        return s.isEmpty() ? std::size_t(0) : std::size_t(16 + 2 * (s.capacity() + 1));
    };
    std::size_t bytes = stringBytes(current_);
    for (const Delta& d : steps_)
        bytes += sizeof(Delta) + stringBytes(d.before) + stringBytes(d.after);
    return bytes;
}

} // namespace editing
