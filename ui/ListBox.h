#pragma once
// A list box whose rows are marked only when the user chooses them: getting
// the focus does not mark a first row as current, so what looks chosen is
// what OK acts on.

#include <QListWidget>

namespace ui {

class ListBox : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

    // Replaces the rows, with none chosen.
    void fill(const QStringList& rows);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace ui
