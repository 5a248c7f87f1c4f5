#pragma once
// A multi-line text box with a vertical scroll bar (see ui/TextBox.h).
//
// Its text is kept by the document alone, and every change of it is known as
// it happens, as an Edit: where, what went and what came. A keystroke costs
// the same in a list of any length and on a line of any length.
//
// Outside this class the text is only ever the user's text: lines and line
// breaks, a line break as CR LF in Text, SelStart and SelText, and as one
// character ("\n") in Edit, cursorPosition and replace. Inside, the document
// keeps it in small blocks, so that a list of a million lines opens at once
// and a keystroke lays out a few hundred characters at most:
// - a block holds up to 32 short lines and 256 characters, a line
//   separator (U+2028) between the lines and a paragraph break after the
//   last;
// - a line longer than a block holds is cut into pieces of about equal
//   length, at most 256 characters, one a block. The paragraph break between
//   two pieces is soft: it is no line break, and the box leaves it out of
//   everything it reports.
// What the user may notice of a soft break: a long line's wrapped row ends
// early at every piece's end (256 characters apart or less); Home and End
// stop there as at any row's end, and Ctrl+Left and Ctrl+Right as at a word's
// end. The arrow keys pass it as any other place in a line.
//
// Every change goes through change(), which works in the text's own
// positions and lays out again only the blocks it touched; the list of soft
// breaks (their positions in the text) is kept in step with it. The accessible
// interface (ui/EditorAccessible.h) reads the text the same way.

#include "ui/FilteredBox.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <utility>
#include <vector>

class QTextBlock;

namespace ui {

class MultiLineTextBox : public FilteredBox<QPlainTextEdit> {
    Q_OBJECT
public:
    explicit MultiLineTextBox(QWidget* parent = nullptr);

    // In CR LF form (each costs a pass over the text).
    QString Text() const override;
    void setText(const QString& text) override;
    int SelStart() const override;
    void setSelStart(int position) override;
    void select(int start, int length) override;
    QString SelText() const override;
    void setSelText(const QString& text) override;
    void Refresh() override;

    // A change of the text in the text's own terms: positions count a line
    // break as one character, and "\n" stands for it.
    struct Edit {
        int position = 0;
        QString removed;
        QString added;
    };
    // The change that Change reports; valid while Change runs. A position of
    // -1: the text changed in a way not known.
    const Edit& lastEdit() const { return lastEdit_; }
    // The cursor, and a replacement, in the same terms.
    int cursorPosition() const;
    void setCursorPosition(int position);
    void replace(int position, int length, const QString& text);

protected:
    void typeCodes(const QList<int>& codes) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    friend class EditorAccessible;

    // The one road by which the text changes: text (line breaks as "\n") in
    // place of the characters from..to, reported to Change with the cursor at
    // cursor (after the new text when -1).
    void change(int from, int to, const QString& text, int cursor = -1);
    // Replaces the whole document with text, cut into blocks.
    void rebuild(const QString& text);

    // Positions in the text (line breaks counted once, soft breaks not at
    // all) and in the document. A position at a soft break is at the end of
    // the piece before it.
    int length() const;
    int documentPosition(int position) const;
    int textPosition(int documentPosition) const;
    // The soft break whose paragraph break is at that document position.
    bool isSoftBreak(int documentPosition) const;
    bool endsSoft(const QTextBlock& block) const;
    // The text from..to, line breaks as "\n"; the document's own from
    // start..end.
    QString textBetween(int from, int to) const;
    QString documentText(int start, int end) const;
    // The line around position, without its line breaks: [first, second).
    std::pair<int, int> lineAround(int position) const;
    // The run of letters and digits at position; empty when there is none.
    std::pair<int, int> wordAround(int position) const;
    // A box position (CR LF counted as two) as a position in the text.
    int fromBoxPosition(int position) const;
    // What Backspace, or Delete (Ctrl+Delete: word), takes away.
    std::pair<int, int> erased(int key, bool word) const;
    void selectText(int from, int to);
    // The toolkit shapes a block's text again for its layout, for the
    // cursor's place and for each paint. The block typed in last keeps its
    // shapes (the others let them go).
    void keepShaped(const QTextBlock& block);
    // The toolkit's control reports changes to assistive technology in the
    // document's positions; the box reports them in its own (see change()).
    void silenceToolkitTextEvents();

    Edit lastEdit_;
    bool inOwnEdit_ = false;
    int changes_ = 0; // counts change()'s changes
    // The text positions of the soft breaks, in order: a soft break at p sits
    // between the characters p - 1 and p of one line, and its paragraph break
    // is the document's character p + (its index in the list).
    std::vector<int> softBreaks_;
    QTextCursor shaped_; // at the start of the block that keeps its shapes
    // A third press of the left button soon after a double click, near it,
    // selects the line.
    QElapsedTimer doubleClick_;
    QPoint doubleClickAt_;
};

} // namespace ui
