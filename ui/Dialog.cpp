#include "ui/Dialog.h"

#include "ui/ListBox.h"
#include "ui/look.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace ui {

namespace {
// A command button as on Windows: Enter or Space presses it while it has the
// focus, and it never becomes the button that Enter presses from elsewhere
// in the dialog unless it is made the default on purpose.
class CommandButton : public QPushButton {
public:
    CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
        setAutoDefault(false);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
            e->modifiers() == Qt::NoModifier) {
            click();
            return;
        }
        QPushButton::keyPressEvent(e);
    }
};
} // namespace

Dialog::Dialog(const QString& title, int widthTwips, int heightTwips, CloseBox closeBox)
    : closeBox_(closeBox) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeBox == CloseBox::Present)
        flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setWindowTitle(title);
    setFixedSize(twips(widthTwips), twips(heightTwips));
    applyLook(this);
}

void Dialog::loadOnce() {
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

QLabel* Dialog::addLabel(const QString& caption, int left, int top, int width, int height) {
    auto* label = new QLabel(this);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCaption(label, caption);
    placeTwips(label, left, top, width, height);
    return label;
}

QPushButton* Dialog::addButton(const QString& caption, int left, int top, int width, int height) {
    auto* button = new CommandButton(caption, this);
    placeTwips(button, left, top, width, height);
    return button;
}

ListBox* Dialog::addListBox(QAbstractItemView::SelectionMode mode, int left, int top, int width,
                            int height) {
    auto* list = new ListBox(this);
    list->setSelectionMode(mode);
    placeTwips(list, left, top, width, height);
    return list;
}

void Dialog::closeEvent(QCloseEvent* event) {
    // The window system may close a window whose close box is hidden
    // (Alt+F4): a dialog without a close box ignores that.
    event->ignore();
    if (hasCloseBox() && isVisible())
        closeBoxClicked();
}

} // namespace ui
