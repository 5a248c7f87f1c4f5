#include "ui/CommonDialog.h"

#include "ui/platform.h"

namespace ui {

void CommonDialog::ShowOpen() {
    FileName = platform().getOpenFileName(DialogTitle, Filter);
}

void CommonDialog::ShowSave() {
    FileName = platform().getSaveFileName(DialogTitle, Filter);
}

} // namespace ui
