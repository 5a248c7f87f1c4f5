#pragma once
// Base of the program's dialogs. A dialog exists once for the run (see
// ui/Forms.h), is hidden rather than destroyed, and keeps its controls between
// showings. Form_Load runs at its first showing, Form_Activate at every one.
// Enter presses the focused button only, and Esc does nothing: a dialog
// without a close box can be left only through its buttons.

#include <QDialog>

#include <QAbstractItemView>

class QLabel;
class QPushButton;

namespace ui {

class ListBox;

class Dialog : public QDialog {
    Q_OBJECT
public:
    enum class CloseBox { None, Present };

    Dialog(const QString& title, int widthTwips, int heightTwips, CloseBox closeBox);

    virtual void Form_Load() {}
    virtual void Form_Activate() {}

    // Runs Form_Load the first time only.
    void loadOnce();
    bool hasCloseBox() const { return closeBox_ == CloseBox::Present; }
    // What the title-bar close box does; the default hides the dialog.
    virtual void closeBoxClicked() { hide(); }

protected:
    QLabel* addLabel(const QString& caption, int left, int top, int width, int height);
    QPushButton* addButton(const QString& caption, int left, int top, int width, int height);
    ListBox* addListBox(QAbstractItemView::SelectionMode mode, int left, int top, int width,
                        int height);
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}

private:
    CloseBox closeBox_;
    bool loaded_ = false;
};

} // namespace ui
