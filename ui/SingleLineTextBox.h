#pragma once
// A one-line text box (see ui/TextBox.h). Enter types nothing here; it goes to
// KeyPress like any other key and never reaches the dialog.

#include "ui/FilteredBox.h"

#include <QLineEdit>

namespace ui {

class SingleLineTextBox : public FilteredBox<QLineEdit> {
    Q_OBJECT
public:
    explicit SingleLineTextBox(QWidget* parent = nullptr);

    QString Text() const override { return text(); }
    void setText(const QString& text) override;
    int SelStart() const override;
    void setSelStart(int position) override;
    void select(int start, int length) override { setSelection(start, length); }
    QString SelText() const override { return selectedText(); }
    void setSelText(const QString& text) override;

protected:
    void typeCodes(const QList<int>& codes) override;
};

} // namespace ui
