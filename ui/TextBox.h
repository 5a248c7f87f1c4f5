#pragma once
// The text box the program's forms are written against. Text has CR LF line
// breaks, and SelStart and SelText count in that form. KeyPress sees every key
// that types a character, as its Windows-1252 code (Ctrl+C is 3, Ctrl+V 22,
// Ctrl+X 24, Backspace 8, Enter 13, Ctrl+Enter 10, Tab 9) before the box acts
// on it; it may change the code (the box then types the new character) or set
// it to 0 (the key is dropped). Keys that type nothing (arrows, Delete, Home,
// End) do not reach it. Change runs after every change of the text, whoever
// made it.
//
// A filtered box gets text from no other road: the toolkit's own undo and
// clipboard keys, its context menu, drag and drop, middle-click paste and
// input-method commits are closed or sent through KeyPress. A menu command's
// shortcut is left to the menu, so an enabled command runs once per keystroke;
// when no enabled command takes it, the key comes to KeyPress.

#include <QColor>
#include <QList>
#include <QPalette>
#include <QString>
#include <QWidget>

#include <functional>

class QEvent;
class QKeyEvent;

namespace ui {

class TextBox {
public:
    virtual ~TextBox() = default;
    virtual QWidget* widget() = 0;
    const QWidget* widget() const { return const_cast<TextBox*>(this)->widget(); }

    virtual QString Text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual int SelStart() const = 0;
    // Puts the cursor at position, with nothing selected.
    virtual void setSelStart(int position) = 0;
    // Selects length characters from start.
    virtual void select(int start, int length) = 0;
    virtual QString SelText() const = 0;
    // Replaces the selection (or inserts at the cursor).
    virtual void setSelText(const QString& text) = 0;

    QColor ForeColor() const { return widget()->palette().color(QPalette::Text); }
    void setForeColor(const QColor& color) { setColor(QPalette::Text, color); }
    QColor BackColor() const { return widget()->palette().color(QPalette::Base); }
    void setBackColor(const QColor& color) { setColor(QPalette::Base, color); }
    // Repaints at once.
    virtual void Refresh() { widget()->repaint(); }
    void SetFocus() { widget()->setFocus(Qt::OtherFocusReason); }

    std::function<void(int& keyCode)> KeyPress;
    std::function<void()> Change;
    // True while setText replaces the whole text (the program's own change,
    // not the user's), Change included.
    bool settingText() const { return settingText_; }

protected:
    bool settingText_ = false;
    bool composing_ = false; // an input method shows what is being composed
    void setColor(QPalette::ColorRole role, const QColor& color) {
        QPalette p = widget()->palette();
        p.setColor(role, color);
        widget()->setPalette(p);
    }
    // Runs KeyPress over each code the key event types and returns the codes
    // that survive, in order. An empty result with handled == true means the
    // event is used up; handled == false leaves it to the toolkit (navigation).
    QList<int> filterKey(const QKeyEvent& event, bool& handled);
    QList<int> filterText(const QString& text);
    void notifyChange() {
        if (Change)
            Change();
    }
};

// The codes a key event types in a Windows text box; empty for keys that type
// nothing.
QList<int> windowsKeyCodes(const QKeyEvent& event);
// The toolkit's own undo, redo and clipboard keys (Ctrl+Z, Shift+Insert,
// Shift+Delete, ...), which a text box here never acts on.
bool isToolkitEditKey(const QKeyEvent& event);
// For a text box's ShortcutOverride: leaves Ctrl and Alt combinations to the
// menus, so an enabled command takes its shortcut and a key that no command
// takes comes back as a key press (where an Alt combination types nothing).
// True when the event was answered.
bool leaveShortcutToMenus(QEvent* event);
// The character of a Windows-1252 code, and the code of a character (63, '?',
// for characters outside the code page).
QChar charOfCode(int code);
int codeOfChar(QChar c);

} // namespace ui
