#include "editing/rejection.h"

#include "core/services.h"
#include "ui/TextBox.h"

namespace globals {

namespace {
void swapColours(ui::TextBox& box) {
    const QColor back = box.BackColor();
    const QColor fore = box.ForeColor();
    box.setBackColor(fore);
    box.setForeColor(back);
    box.Refresh();
}
} // namespace

void SignalRejection(ui::TextBox& box) {
    swapColours(box);
    for (int i = 1; i <= editing::kRejectionBeeps; ++i)
        core::Beep();
    core::services().hold(editing::kRejectionFlashMilliseconds);
    swapColours(box);
}

} // namespace globals
