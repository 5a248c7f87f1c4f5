#pragma once
// A multi-line text box with a vertical scroll bar (see ui/TextBox.h).
//
// Its text is kept by the document alone, and every change of it is known as
// it happens, as an Edit: where, what went and what came. A keystroke costs
// the same in a list of any length. The document keeps the lines in blocks of
// a few lines each (a line separator between the lines of a block), so that
// even a list of a million lines opens at once; the box shows each line break
// as CR LF all the same.

#include "ui/FilteredBox.h"

#include <QPlainTextEdit>

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

    // A change of the text in the document's own terms: positions count a
    // line break as one character, and "\n" stands for it.
    struct Edit {
        int position = 0;
        QString removed;
        QString added;
    };
    // The change that Change reports; valid while Change runs. A position of
    // -1: the text changed in a way not known.
    const Edit& lastEdit() const { return lastEdit_; }
    // The cursor, and a replacement, in the same terms.
    int cursorPosition() const { return textCursor().position(); }
    void setCursorPosition(int position);
    void replace(int position, int length, const QString& text);

protected:
    void typeCodes(const QList<int>& codes) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Puts text (line breaks as "\n") in place of what cursor selects, as
    // one change of the text that Change reports.
    void edit(QTextCursor cursor, const QString& text);
    // A box position (CR LF counted as two) as a document position.
    int toDocumentPosition(int position) const;

    Edit lastEdit_;
    bool inOwnEdit_ = false;
};

} // namespace ui
