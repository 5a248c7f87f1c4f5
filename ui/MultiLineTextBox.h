#pragma once
// A multi-line text box with a vertical scroll bar (see ui/TextBox.h).

#include "ui/TextBox.h"

#include <QPlainTextEdit>

namespace ui {

class MultiLineTextBox : public QPlainTextEdit, public TextBox {
    Q_OBJECT
public:
    explicit MultiLineTextBox(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    QString Text() const override;
    void setText(const QString& text) override;
    int SelStart() const override;
    void setSelStart(int position) override;
    void Select(int start, int length) override;
    QString SelText() const override;
    void setSelText(const QString& text) override;
    void Refresh() override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Runs an edit of the program's own; Change runs once afterwards if the
    // text changed.
    template <class Edit> void ownEdit(Edit edit);
    void typeCodes(const QList<int>& codes);
    int toDocumentPosition(int position) const;

    QString text_; // the text in CR LF form, kept up to date with the document
    bool inOwnEdit_ = false;
    bool changedInOwnEdit_ = false;
};

} // namespace ui
