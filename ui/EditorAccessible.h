#pragma once
// What assistive technology reads of the editor box (ui/MultiLineTextBox.h):
// the text the user sees, each line break a "\n" that counts as one
// character, and nothing of the blocks the box keeps it in. Its lines are the
// box's lines. It reads and moves the cursor and the selection; it has no
// road to change the text, as no road bypasses KeyPress.

#include <QAccessibleWidget>

#include <utility>

namespace ui {

class MultiLineTextBox;

class EditorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit EditorAccessible(MultiLineTextBox* box);
    // For QAccessible::installFactory: this interface for each editor box.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    MultiLineTextBox& box() const;
    // The character, word, sentence or line at offset: [first, second).
    std::pair<int, int> unitAt(int offset, QAccessible::TextBoundaryType type) const;
    QString unitText(std::pair<int, int> unit, int* startOffset, int* endOffset) const;
};

} // namespace ui
