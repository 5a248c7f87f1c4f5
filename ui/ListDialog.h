#pragma once
// A dialog that shows the lists of the index to choose from: an instruction,
// the list box, a button that acts on the rows chosen and one that leaves.
// The rows are the index's names, reloaded at every showing, none chosen.
// Leaving sets the main window's userCanceled; acting clears it.

#include "ui/Dialog.h"

#include <QRect>

namespace ui {

class ListDialog : public Dialog {
    Q_OBJECT
public:
    // Positions and sizes in twips.
    struct Layout {
        QString title;
        int width, height;
        CloseBox closeBox;
        QString instruction;
        QRect label;
        QAbstractItemView::SelectionMode selection;
        QRect list;
        QString ok;
        QRect okButton;
        QString cancel;
        QRect cancelButton;
    };
    explicit ListDialog(const Layout& layout);

    // Reloads the list index and shows its names, none chosen.
    void Form_Activate() override;
    virtual void cmdOK_Click() = 0;
    // Leaves without acting.
    virtual void cmdCancel_Click();

    QLabel* Label1 = nullptr;
    ListBox* List1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    // The rows chosen, in the order of the rows.
    QStringList chosenRows() const;
    // Leaves, userCanceled set as given.
    void leave(bool canceled);
};

} // namespace ui
