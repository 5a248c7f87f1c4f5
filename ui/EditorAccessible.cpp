#include "ui/EditorAccessible.h"

#include "ui/MultiLineTextBox.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>

namespace ui {

namespace {
// How far around an offset a character, word or sentence is looked for.
constexpr int kNearby = 1024;
} // namespace

EditorAccessible::EditorAccessible(MultiLineTextBox* box)
    : QAccessibleWidget(box, QAccessible::EditableText) {}

QAccessibleInterface* EditorAccessible::create(const QString& className, QObject* object) {
    if (className == QLatin1String(MultiLineTextBox::staticMetaObject.className()))
        return new EditorAccessible(static_cast<MultiLineTextBox*>(object));
    return nullptr;
}

MultiLineTextBox& EditorAccessible::box() const {
    return *static_cast<MultiLineTextBox*>(widget());
}

QAccessible::State EditorAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.selectableText = true;
    state.editable = !box().isReadOnly();
    state.readOnly = box().isReadOnly();
    return state;
}

QString EditorAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Value ? text(0, characterCount()) : QAccessibleWidget::text(t);
}

void* EditorAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void EditorAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = box().textCursor();
    if (selectionIndex != 0 || !cursor.hasSelection())
        return;
    *startOffset = box().textPosition(cursor.selectionStart());
    *endOffset = box().textPosition(cursor.selectionEnd());
}

int EditorAccessible::selectionCount() const {
    return box().textCursor().hasSelection() ? 1 : 0;
}

void EditorAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void EditorAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        setCursorPosition(cursorPosition());
}

void EditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0)
        box().selectText(startOffset, endOffset);
}

int EditorAccessible::cursorPosition() const {
    return box().cursorPosition();
}

void EditorAccessible::setCursorPosition(int position) {
    box().setCursorPosition(position);
}

QString EditorAccessible::text(int startOffset, int endOffset) const {
    const int count = characterCount();
    return box().textBetween(qBound(0, startOffset, count), qBound(0, endOffset, count));
}

int EditorAccessible::characterCount() const {
    return box().length();
}

std::pair<int, int> EditorAccessible::unitAt(int offset, QAccessible::TextBoundaryType type) const {
    const int count = characterCount();
    offset = qBound(0, offset, count);
    if (type == QAccessible::NoBoundary)
        return {0, count};
    if (type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary)
        return box().lineAround(offset);
    if (offset == count)
        return {count, count};
    // A character, word or sentence ends at its line's end: look in the line
    // around offset, as far as it is near.
    const int start = qMax(0, offset - kNearby);
    const QString nearby = box().textBetween(start, qMin(count, offset + kNearby));
    const qsizetype at = offset - start;
    if (nearby.at(at) == u'\n')
        return {offset, offset + 1};
    const qsizetype lineStart = nearby.lastIndexOf(u'\n', at) + 1;
    qsizetype lineEnd = nearby.indexOf(u'\n', at);
    if (lineEnd < 0)
        lineEnd = nearby.size();
    QTextBoundaryFinder finder(type == QAccessible::CharBoundary   ? QTextBoundaryFinder::Grapheme
                               : type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                                   : QTextBoundaryFinder::Sentence,
                               QStringView(nearby).mid(lineStart, lineEnd - lineStart));
    finder.setPosition(at - lineStart);
    const qsizetype from = finder.isAtBoundary() ? at - lineStart : finder.toPreviousBoundary();
    finder.setPosition(at - lineStart);
    const qsizetype to = finder.toNextBoundary();
    return {start + int(lineStart + from), start + int(lineStart + to)};
}

QString EditorAccessible::unitText(std::pair<int, int> unit, int* startOffset,
                                   int* endOffset) const {
    *startOffset = unit.first;
    *endOffset = unit.second;
    return text(unit.first, unit.second);
}

QString EditorAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                       int* startOffset, int* endOffset) const {
    return unitText(unitAt(offset, boundaryType), startOffset, endOffset);
}

QString EditorAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const {
    const int first = unitAt(offset, boundaryType).first;
    if (first == 0 || boundaryType == QAccessible::NoBoundary)
        return unitText({0, 0}, startOffset, endOffset);
    // One before a line's start is the line break that ends the line before.
    return unitText(unitAt(first - 1, boundaryType), startOffset, endOffset);
}

QString EditorAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int* startOffset, int* endOffset) const {
    const int count = characterCount();
    int next = unitAt(offset, boundaryType).second;
    if (boundaryType == QAccessible::LineBoundary || boundaryType == QAccessible::ParagraphBoundary)
        ++next; // over the line break
    if (next >= count || boundaryType == QAccessible::NoBoundary)
        return unitText({count, count}, startOffset, endOffset);
    return unitText(unitAt(next, boundaryType), startOffset, endOffset);
}

QRect EditorAccessible::characterRect(int offset) const {
    const QString character = text(offset, offset + 1);
    if (character.isEmpty())
        return QRect();
    QTextCursor cursor(box().document());
    cursor.setPosition(box().documentPosition(offset));
    QRect rect = box().cursorRect(cursor);
    rect.setWidth(character == u'\n' ? 0 : box().fontMetrics().horizontalAdvance(character));
    return rect.translated(box().viewport()->mapToGlobal(QPoint(0, 0)));
}

int EditorAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint at = box().viewport()->mapFromGlobal(point);
    if (!box().viewport()->rect().contains(at))
        return -1;
    const QTextCursor cursor = box().cursorForPosition(at);
    const QTextBlock block = cursor.block();
    const QTextLine line = block.layout()->lineForTextPosition(cursor.positionInBlock());
    if (!line.isValid())
        return -1;
    const QPointF origin =
        box().blockBoundingGeometry(block).translated(box().contentOffset()).topLeft();
    const int inBlock = line.xToCursor(at.x() - origin.x(), QTextLine::CursorOnCharacter);
    return box().textPosition(block.position() + inBlock);
}

void EditorAccessible::scrollToSubstring(int startIndex, int endIndex) {
    // The first line of the text in view, unless all of it is in view
    // already; the cursor stays where it is.
    QTextCursor start(box().document()), end(box().document());
    start.setPosition(box().documentPosition(qBound(0, startIndex, characterCount())));
    end.setPosition(box().documentPosition(qBound(0, endIndex, characterCount())));
    const QRect view = box().viewport()->rect();
    if (view.contains(box().cursorRect(start)) && view.contains(box().cursorRect(end)))
        return;
    const QTextLine line = start.block().layout()->lineForTextPosition(start.positionInBlock());
    box().verticalScrollBar()->setValue(start.block().firstLineNumber() +
                                        (line.isValid() ? line.lineNumber() : 0));
}

QString EditorAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // One run of one font and colour; -1 stands for the end, -2 for the cursor.
    const int count = characterCount();
    if (offset < -2 || offset > count) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    *startOffset = 0;
    *endOffset = count;
    const QFont font = box().font();
    const auto rgb = [](const QColor& c) {
        return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
    };
    QString family = font.families().value(0);
    for (const QChar c : {u'\\', u':', u',', u'=', u';', u'"'})
        family.replace(c, QString(u'\\') + c);
    return QStringLiteral("font-family:\"%1\";font-size:%2pt;font-weight:%3;font-style:%4;"
                          "color:%5;background-color:%6;")
        .arg(family)
        .arg(font.pointSize())
        .arg(font.bold() ? QLatin1String("bold") : QLatin1String("normal"))
        .arg(font.italic() ? QLatin1String("italic") : QLatin1String("normal"))
        .arg(rgb(box().ForeColor()), rgb(box().BackColor()));
}

} // namespace ui
