#include "ui/MultiLineTextBox.h"

#include "ui/EditorAccessible.h"
#include "ui/keyCodes.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace ui {

namespace {
// A block of the document holds at most this many lines, and at most this
// many characters unless it is one piece of a longer line. A block costs the
// document much more than a character does, and a change lays out its whole
// block again: a few hundred characters are cheap either way.
constexpr int kLinesPerBlock = 32;
constexpr int kBlockCharacters = 256;
// A piece of a long line that a change left shorter than this joins the
// piece after it.
constexpr int kShortPiece = kBlockCharacters / 4;
// How far from the cursor Backspace and Delete look for the end of a
// character (letters with accents that combine), and Ctrl+Delete for the
// end of a word.
constexpr int kCharacterReach = 16;
constexpr int kWordReach = 1024;

bool isBreak(QChar c) {
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n' || c == u'\r';
}

// Box text (CR LF, CR, LF or a separator between lines) with "\n" between lines.
QString withNewlines(const QString& boxText) {
    QString out;
    out.reserve(boxText.size());
    for (qsizetype i = 0; i < boxText.size(); ++i) {
        const QChar c = boxText.at(i);
        if (c == u'\r' && i + 1 < boxText.size() && boxText.at(i + 1) == u'\n')
            continue; // the "\n" follows
        out.append(isBreak(c) ? QChar(u'\n') : c);
    }
    return out;
}

QString withCrLf(QStringView text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\n') {
            out.append(text.mid(from, i - from)).append(u"\r\n");
            from = i + 1;
        }
    }
    return out.append(text.mid(from));
}

// Document text from document position start on, without its soft breaks
// (soft lists them, the first at or after start being soft[first]) and with
// "\n" for each line break.
QString withoutSoftBreaks(QStringView raw, int start, const std::vector<int>& soft,
                          std::size_t first) {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (first < soft.size() && soft[first] + int(first) == start + i) {
            ++first;
            continue;
        }
        out.append(isBreak(raw.at(i)) ? QChar(u'\n') : raw.at(i));
    }
    return out;
}

// Text (line breaks as "\n") as the document keeps it from a block's start:
// lines packed into blocks, each line longer than a block cut into pieces of
// about equal length. The positions of the soft breaks between pieces,
// counted from offset at the text's start, go to soft.
QString packed(QStringView text, int offset, std::vector<int>& soft) {
    QString out;
    out.reserve(text.size() + 1);
    int blockCharacters = 0;
    int blockLines = 0;
    for (qsizetype from = 0; from <= text.size();) {
        qsizetype to = text.indexOf(u'\n', from);
        if (to < 0)
            to = text.size();
        const qsizetype n = to - from;
        if (blockLines > 0 && blockLines < kLinesPerBlock &&
            blockCharacters + 1 + n <= kBlockCharacters) {
            out.append(QChar(QChar::LineSeparator)).append(text.mid(from, n));
            blockCharacters += int(1 + n);
            ++blockLines;
        } else {
            if (blockLines > 0)
                out.append(QChar(QChar::ParagraphSeparator));
            const qsizetype pieces = (n + kBlockCharacters - 1) / kBlockCharacters;
            qsizetype at = from;
            for (qsizetype k = 1; k < pieces; ++k) {
                const qsizetype cut = from + n * k / pieces;
                out.append(text.mid(at, cut - at)).append(QChar(QChar::ParagraphSeparator));
                soft.push_back(offset + int(cut));
                at = cut;
            }
            out.append(text.mid(at, to - at));
            blockCharacters = int(to - at);
            blockLines = 1;
        }
        from = to + 1;
    }
    return out;
}
} // namespace

MultiLineTextBox::MultiLineTextBox(QWidget* parent) : FilteredBox<QPlainTextEdit>(parent) {
    static const bool accessible = (QAccessible::installFactory(&EditorAccessible::create), true);
    Q_UNUSED(accessible);
    setUndoRedoEnabled(false);
    viewport()->setAcceptDrops(false);
    setTabChangesFocus(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    silenceToolkitTextEvents();
    // Every change of the text goes through change(); what else the document
    // reports is layout (text being composed in an input method). A change
    // from elsewhere is reported as one whose content is not known; the soft
    // breaks whose paragraph breaks it took away become nothing (a change of
    // format takes none away), the others move with the text.
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                if (inOwnEdit_ || composing_ || (removed == 0 && added == 0))
                    return;
                const auto first = softBreaks_.begin() + (position - textPosition(position));
                const int end = position + removed;
                const auto last = softBreaks_.begin() + (end - textPosition(end));
                auto kept = first;
                int gone = 0;
                for (auto it = first; it != last; ++it) {
                    const int at = *it + int(it - softBreaks_.begin());
                    if (removed == added &&
                        document()->characterAt(at) == QChar::ParagraphSeparator)
                        *kept++ = *it + gone;
                    else
                        ++gone;
                }
                for (auto it = last; it != softBreaks_.end(); ++it)
                    *it += added - removed + gone;
                softBreaks_.erase(kept, last);
                lastEdit_ = Edit{-1, QString(), QString()};
                notifyChange();
            });
}

void MultiLineTextBox::silenceToolkitTextEvents() {
    for (QObject* child : children())
        if (child->inherits("QWidgetTextControl"))
            disconnect(document(), &QTextDocument::contentsChange, child, nullptr);
}

int MultiLineTextBox::length() const {
    return document()->characterCount() - 1 - int(softBreaks_.size());
}

int MultiLineTextBox::documentPosition(int position) const {
    return position + int(std::lower_bound(softBreaks_.begin(), softBreaks_.end(), position) -
                          softBreaks_.begin());
}

int MultiLineTextBox::textPosition(int documentPosition) const {
    // The soft breaks before it: their paragraph breaks' positions grow with
    // their index.
    std::size_t low = 0, high = softBreaks_.size();
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (softBreaks_[middle] + int(middle) < documentPosition)
            low = middle + 1;
        else
            high = middle;
    }
    return documentPosition - int(low);
}

bool MultiLineTextBox::isSoftBreak(int documentPosition) const {
    const std::size_t index = std::size_t(documentPosition - textPosition(documentPosition));
    return index < softBreaks_.size() && softBreaks_[index] + int(index) == documentPosition;
}

bool MultiLineTextBox::endsSoft(const QTextBlock& block) const {
    return block.next().isValid() && isSoftBreak(block.position() + block.length() - 1);
}

QString MultiLineTextBox::documentText(int start, int end) const {
    // From the blocks' texts: a cursor placed in the document would lay out
    // its block.
    QString out;
    out.reserve(end - start);
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        const QString text = block.text();
        const int from = qMax(0, start - block.position()), to = end - block.position();
        out.append(QStringView(text).mid(from, qMin(to, int(text.size())) - from));
        if (to > text.size())
            out.append(QChar(QChar::ParagraphSeparator));
    }
    return out;
}

QString MultiLineTextBox::textBetween(int from, int to) const {
    if (from >= to)
        return QString();
    const int start = documentPosition(from);
    return withoutSoftBreaks(documentText(start, documentPosition(to)), start, softBreaks_,
                             std::size_t(start - from));
}

QString MultiLineTextBox::Text() const {
    return withCrLf(withoutSoftBreaks(document()->toRawText(), 0, softBreaks_, 0));
}

void MultiLineTextBox::setText(const QString& text) {
    const QString added = withNewlines(text);
    if (added == textBetween(0, length()))
        return;
    const QScopedValueRollback<bool> setting(settingText_, true);
    change(0, length(), added, 0);
}

void MultiLineTextBox::rebuild(const QString& text) {
    std::vector<int> soft;
    const QString blocks = packed(text, 0, soft);
    {
        const QScopedValueRollback<bool> own(inOwnEdit_, true);
        setPlainText(blocks);
    }
    softBreaks_ = std::move(soft);
    silenceToolkitTextEvents(); // setPlainText wired the control up again
    // Until it is laid out a block counts as one line: tell the scroll bar
    // how many lines each holds.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        block.setLineCount(int(block.text().count(QChar::LineSeparator)) + 1);
}

void MultiLineTextBox::change(int from, int to, const QString& text, int cursor) {
    const int size = length();
    from = qBound(0, from, size);
    to = qBound(from, to, size);
    Edit edit{from, textBetween(from, to), text};
    if (edit.removed.isEmpty() && edit.added.isEmpty())
        return;
    if (from == 0 && to == size) {
        rebuild(text);
    } else {
        // The blocks the change touches, and the piece after them where a
        // soft break would follow a short piece or a line break. (A position at
        // a soft break is at the end of the piece before it: no change begins
        // a piece.)
        QTextDocument* doc = document();
        const QTextBlock first = doc->findBlock(documentPosition(from));
        QTextBlock last = doc->findBlock(documentPosition(to));
        const int start = textPosition(first.position());
        int end = textPosition(last.position() + last.length() - 1);
        QString region = textBetween(start, from) + text + textBetween(to, end);
        while (endsSoft(last) && (region.size() < kShortPiece || region.endsWith(u'\n'))) {
            last = last.next();
            const int after = textPosition(last.position() + last.length() - 1);
            region.append(textBetween(end, after));
            end = after;
        }
        keepShaped(first);
        const int documentStart = first.position();
        const int documentEnd = last.position() + last.length() - 1;
        std::vector<int> soft;
        const QString blocks = packed(region, start, soft);

        // The document changes only where its text differs, so that a
        // keystroke is one character there and the layout redoes one block.
        const QString old = documentText(documentStart, documentEnd);
        qsizetype same = 0;
        while (same < old.size() && same < blocks.size() && old.at(same) == blocks.at(same))
            ++same;
        qsizetype sameEnd = 0;
        while (sameEnd < old.size() - same && sameEnd < blocks.size() - same &&
               old.at(old.size() - 1 - sameEnd) == blocks.at(blocks.size() - 1 - sameEnd))
            ++sameEnd;
        if (same + sameEnd < qMax(old.size(), blocks.size())) {
            const QScopedValueRollback<bool> own(inOwnEdit_, true);
            QTextCursor span(doc);
            span.beginEditBlock(); // first: a cursor placed outside one lays out its block
            span.setPosition(documentStart + int(same));
            span.setPosition(documentEnd - int(sameEnd), QTextCursor::KeepAnchor);
            span.insertText(blocks.mid(same, blocks.size() - same - sameEnd));
            span.endEditBlock();
        }

        const auto inside = softBreaks_.begin() + (documentStart - start);
        const auto after = softBreaks_.erase(inside, softBreaks_.begin() + (documentEnd - end));
        const int shift = int(text.size()) - (to - from);
        std::for_each(after, softBreaks_.end(), [shift](int& p) { p += shift; });
        softBreaks_.insert(softBreaks_.begin() + (documentStart - start), soft.begin(), soft.end());

        // As in rebuild(), for the blocks not laid out yet.
        for (QTextBlock block = doc->findBlock(documentStart);
             block.isValid() && block.position() <= documentStart + blocks.size();
             block = block.next())
            if (block.layout()->lineCount() == 0)
                block.setLineCount(int(block.text().count(QChar::LineSeparator)) + 1);
    }

    QTextCursor moved = textCursor();
    moved.setPosition(documentPosition(cursor < 0 ? from + int(text.size()) : cursor));
    setTextCursor(moved);
    ensureCursorVisible();
    ++changes_;
    lastEdit_ = std::move(edit);
    if (QAccessible::isActive()) {
        if (lastEdit_.removed.isEmpty()) {
            QAccessibleTextInsertEvent event(this, from, lastEdit_.added);
            QAccessible::updateAccessibility(&event);
        } else if (lastEdit_.added.isEmpty()) {
            QAccessibleTextRemoveEvent event(this, from, lastEdit_.removed);
            QAccessible::updateAccessibility(&event);
        } else {
            QAccessibleTextUpdateEvent event(this, from, lastEdit_.removed, lastEdit_.added);
            QAccessible::updateAccessibility(&event);
        }
    }
    notifyChange();
}

void MultiLineTextBox::keepShaped(const QTextBlock& block) {
    if (!shaped_.isNull() && shaped_.block() != block)
        shaped_.block().layout()->setCacheEnabled(false);
    block.layout()->setCacheEnabled(true);
    shaped_ = QTextCursor(block);
}

std::pair<int, int> MultiLineTextBox::lineAround(int position) const {
    const int at = documentPosition(position);
    const QTextBlock block = document()->findBlock(at);
    int first = 0;
    QTextBlock b = block;
    for (int offset = at - b.position();;) {
        const qsizetype k =
            offset > 0 ? b.text().lastIndexOf(QChar::LineSeparator, offset - 1) : -1;
        if (k >= 0 || !b.previous().isValid() || !endsSoft(b.previous())) {
            first = textPosition(b.position() + int(k + 1));
            break;
        }
        b = b.previous();
        offset = b.length() - 1;
    }
    int second = 0;
    b = block;
    for (int offset = at - b.position();;) {
        const qsizetype k = b.text().indexOf(QChar::LineSeparator, offset);
        if (k >= 0 || !endsSoft(b)) {
            second = textPosition(b.position() + int(k >= 0 ? k : b.length() - 1));
            break;
        }
        b = b.next();
        offset = 0;
    }
    return {first, second};
}

std::pair<int, int> MultiLineTextBox::wordAround(int position) const {
    const auto [lineStart, lineEnd] = lineAround(position);
    const QString line = textBetween(lineStart, lineEnd);
    const auto isWord = [&line](qsizetype i) { return line.at(i).isLetterOrNumber(); };
    qsizetype from = position - lineStart, to = from;
    while (from > 0 && isWord(from - 1))
        --from;
    while (to < line.size() && isWord(to))
        ++to;
    return {lineStart + int(from), lineStart + int(to)};
}

int MultiLineTextBox::fromBoxPosition(int position) const {
    // Each line break is one character in the text and two in the box.
    const QString raw = document()->toRawText();
    std::size_t soft = 0;
    int box = 0, text = 0;
    for (qsizetype i = 0; i < raw.size() && box < position; ++i) {
        if (soft < softBreaks_.size() && softBreaks_[soft] + int(soft) == i) {
            ++soft;
            continue;
        }
        box += isBreak(raw.at(i)) ? 2 : 1;
        ++text;
    }
    return text;
}

int MultiLineTextBox::cursorPosition() const {
    return textPosition(textCursor().position());
}

void MultiLineTextBox::setCursorPosition(int position) {
    selectText(position, position);
}

void MultiLineTextBox::selectText(int from, int to) {
    const int size = length();
    QTextCursor cursor = textCursor();
    cursor.setPosition(documentPosition(qBound(0, from, size)));
    cursor.setPosition(documentPosition(qBound(0, to, size)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

int MultiLineTextBox::SelStart() const {
    const int start = textCursor().selectionStart();
    const QString raw = document()->toRawText();
    int breaks = 0;
    for (int i = 0; i < start; ++i)
        breaks += isBreak(raw.at(i));
    // Soft breaks count in neither.
    const int position = textPosition(start);
    return position + breaks - (start - position);
}

void MultiLineTextBox::setSelStart(int position) {
    setCursorPosition(fromBoxPosition(position));
}

void MultiLineTextBox::select(int start, int length) {
    selectText(fromBoxPosition(start), fromBoxPosition(start + length));
}

QString MultiLineTextBox::SelText() const {
    const QTextCursor cursor = textCursor();
    return withCrLf(
        textBetween(textPosition(cursor.selectionStart()), textPosition(cursor.selectionEnd())));
}

void MultiLineTextBox::setSelText(const QString& text) {
    const QTextCursor cursor = textCursor();
    change(textPosition(cursor.selectionStart()), textPosition(cursor.selectionEnd()),
           withNewlines(text));
}

void MultiLineTextBox::replace(int position, int length, const QString& text) {
    change(position, position + length, text);
}

void MultiLineTextBox::Refresh() {
    repaint();
    viewport()->repaint();
}

std::pair<int, int> MultiLineTextBox::erased(int key, bool word) const {
    const QTextCursor cursor = textCursor();
    const int from = textPosition(cursor.selectionStart()),
              to = textPosition(cursor.selectionEnd());
    if (from < to)
        return {from, to};
    if (key == Qt::Key_Backspace) {
        // The character before, or the line break.
        const int start = qMax(0, from - kCharacterReach);
        QString before = textBetween(start, from);
        if (before.endsWith(u'\n') || before.isEmpty())
            return {from - int(before.size() > 0), from};
        before.remove(0, before.lastIndexOf(u'\n') + 1);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, before);
        finder.toEnd();
        return {from - int(before.size() - finder.toPreviousBoundary()), from};
    }
    // Delete: the character after, or the line break; Ctrl+Delete: the word
    // after and the spaces that follow it, or the line break.
    QString after = textBetween(from, qMin(length(), from + (word ? kWordReach : kCharacterReach)));
    if (after.startsWith(u'\n') || after.isEmpty())
        return {from, from + int(after.size() > 0)};
    if (const qsizetype lineEnd = after.indexOf(u'\n'); lineEnd >= 0)
        after.truncate(lineEnd);
    QTextBoundaryFinder finder(word ? QTextBoundaryFinder::Word : QTextBoundaryFinder::Grapheme,
                               after);
    qsizetype end = finder.toNextBoundary();
    while (word && end < after.size() && after.at(end).isSpace())
        ++end;
    return {from, from + int(end)};
}

void MultiLineTextBox::typeCodes(const QList<int>& codes) {
    for (int code : codes) {
        const QTextCursor cursor = textCursor();
        const int from = textPosition(cursor.selectionStart()),
                  to = textPosition(cursor.selectionEnd());
        if (code == kKeyBackspace) {
            const auto [start, end] = erased(Qt::Key_Backspace, false);
            change(start, end, QString());
        } else if (code == kKeyEnter || code == kKeyLineFeed) {
            change(from, to, QStringLiteral("\n"));
        } else if (code >= kKeySpace && code != kKeyCtrlBackspace && code <= kLastCode) {
            change(from, to, QString(charOfCode(code)));
        }
        // Other control codes type nothing.
    }
}

void MultiLineTextBox::keyPressEvent(QKeyEvent* e) {
    // Delete and Ctrl+Delete delete as the toolkit would, but through change().
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() == Qt::Key_Delete && (mods == Qt::NoModifier || mods == Qt::ControlModifier)) {
        const auto [from, to] = erased(Qt::Key_Delete, mods == Qt::ControlModifier);
        change(from, to, QString());
        e->accept();
        return;
    }
    const int before = textCursor().position(), changes = changes_;
    FilteredBox<QPlainTextEdit>::keyPressEvent(e);
    // A key that only took the cursor over a soft break takes it on: the
    // user sees no stop there.
    const int after = textCursor().position();
    if (changes_ == changes && after != before && textPosition(after) == textPosition(before))
        FilteredBox<QPlainTextEdit>::keyPressEvent(e);
}

void MultiLineTextBox::mouseDoubleClickEvent(QMouseEvent* e) {
    // The toolkit would select the word within a block, and go on to select
    // the block on a third click: the box selects the word and the line.
    if (e->button() != Qt::LeftButton) {
        FilteredBox<QPlainTextEdit>::mouseDoubleClickEvent(e);
        return;
    }
    const auto [from, to] =
        wordAround(textPosition(cursorForPosition(e->position().toPoint()).position()));
    selectText(from, to);
    doubleClick_.start();
    doubleClickAt_ = e->position().toPoint();
    e->accept();
}

void MultiLineTextBox::mousePressEvent(QMouseEvent* e) {
    // Only the press that follows the double click is its third click: any
    // other press ends the sequence.
    const bool third = e->button() == Qt::LeftButton && doubleClick_.isValid() &&
                       doubleClick_.elapsed() < QApplication::doubleClickInterval() &&
                       (e->position().toPoint() - doubleClickAt_).manhattanLength() <
                           QApplication::startDragDistance();
    doubleClick_.invalidate();
    if (third) {
        const auto [from, to] =
            lineAround(textPosition(cursorForPosition(e->position().toPoint()).position()));
        selectText(from, to);
        e->accept();
        return;
    }
    FilteredBox<QPlainTextEdit>::mousePressEvent(e);
}

bool MultiLineTextBox::canInsertFromMimeData(const QMimeData*) const {
    return false;
}

void MultiLineTextBox::insertFromMimeData(const QMimeData*) {}

} // namespace ui
