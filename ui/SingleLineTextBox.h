#pragma once
// A one-line text box (see ui/TextBox.h). Enter types nothing here; it goes to
// KeyPress like any other key and never reaches the dialog.

#include "ui/TextBox.h"

#include <QLineEdit>

namespace ui {

class SingleLineTextBox : public QLineEdit, public TextBox {
    Q_OBJECT
public:
    explicit SingleLineTextBox(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    QString Text() const override { return text(); }
    void setText(const QString& text) override { QLineEdit::setText(text); }
    int SelStart() const override;
    void setSelStart(int position) override;
    void Select(int start, int length) override { setSelection(start, length); }
    QString SelText() const override { return selectedText(); }
    void setSelText(const QString& text) override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void typeCodes(const QList<int>& codes);
};

} // namespace ui
