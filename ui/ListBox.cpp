#include "ui/ListBox.h"

#include <QItemSelectionModel>

namespace ui {

void ListBox::fill(const QStringList& rows) {
    clear();
    addItems(rows);
    selectionModel()->clearCurrentIndex();
}

void ListBox::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    if (selectedItems().isEmpty())
        selectionModel()->clearCurrentIndex(); // the view made the first row current
}

} // namespace ui
