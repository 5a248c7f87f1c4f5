#pragma once
// What the program's text boxes add to a toolkit text widget: every key that
// types a character goes through KeyPress first, and no other road puts text
// in (see ui/TextBox.h). Widget is QPlainTextEdit or QLineEdit.

#include "ui/TextBox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace ui {

template <class Widget> class FilteredBox : public Widget, public TextBox {
public:
    explicit FilteredBox(QWidget* parent = nullptr) : Widget(parent) {
        this->setContextMenuPolicy(Qt::NoContextMenu);
        this->setAcceptDrops(false);
    }

    QWidget* widget() override { return this; }

protected:
    // Types the codes that KeyPress let through, as one change of the text.
    virtual void typeCodes(const QList<int>& codes) = 0;

    static bool isAltKey(const QKeyEvent& e) {
        return e.modifiers().testFlag(Qt::AltModifier) &&
               !e.modifiers().testFlag(Qt::ControlModifier);
    }

    bool event(QEvent* e) override {
        if (leaveShortcutToMenus(e))
            return true;
        return Widget::event(e);
    }

    void keyPressEvent(QKeyEvent* e) override {
        bool handled = false;
        const QList<int> codes = filterKey(*e, handled);
        if (handled) {
            typeCodes(codes);
            e->accept();
        } else if (isToolkitEditKey(*e) || isAltKey(*e)) {
            // Shift+Insert, Ctrl+Insert, Shift+Delete, ...; Alt with a key that
            // no menu took types nothing, as in a Windows text box.
            e->accept();
        } else {
            Widget::keyPressEvent(e); // navigation, Delete
        }
    }

    void inputMethodEvent(QInputMethodEvent* e) override {
        const QString commit = e->commitString();
        const QScopedValueRollback<bool> composing(composing_, true);
        if (commit.isEmpty() && e->replacementLength() == 0) {
            Widget::inputMethodEvent(e); // composing: shown, not yet typed
            return;
        }
        QInputMethodEvent composingOnly(e->preeditString(), e->attributes());
        Widget::inputMethodEvent(&composingOnly);
        composing_ = false;
        // One character at a time, so that each is judged against the text
        // as the ones before it left it (a name box's length).
        for (QChar c : commit)
            typeCodes(filterText(QString(c)));
        e->accept();
    }

    // The middle button pastes the X11 selection: not here.
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::MiddleButton)
            e->accept();
        else
            Widget::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::MiddleButton)
            e->accept();
        else
            Widget::mouseReleaseEvent(e);
    }
};

} // namespace ui
