#pragma once
// A multi-line text box with a vertical scroll bar (see ui/TextBox.h).

#include "ui/FilteredBox.h"

#include <QPlainTextEdit>

namespace ui {

class MultiLineTextBox : public FilteredBox<QPlainTextEdit> {
    Q_OBJECT
public:
    explicit MultiLineTextBox(QWidget* parent = nullptr);

    QString Text() const override;
    void setText(const QString& text) override;
    int SelStart() const override;
    void setSelStart(int position) override;
    void select(int start, int length) override;
    QString SelText() const override;
    void setSelText(const QString& text) override;
    void Refresh() override;

protected:
    void typeCodes(const QList<int>& codes) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Runs an edit of the program's own; Change runs once afterwards if the
    // text changed.
    template <class Edit> void ownEdit(Edit edit);
    int toDocumentPosition(int position) const;

    QString text_; // the text in CR LF form, kept up to date with the document
    bool inOwnEdit_ = false;
    bool changedInOwnEdit_ = false;
};

} // namespace ui
