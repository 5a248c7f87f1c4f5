#include "commands/Recovery.h"

#include "commands/frmRecover.h"
#include "core/globals.h"
#include "store/ListStore.h"
#include "store/listFiles.h"
#include "ui/Forms.h"
#include "ui/MainWindow.h"
#include "ui/MultiLineTextBox.h"
#include "ui/look.h"
#include "ui/platform.h"

namespace commands {

namespace {
// Whether text would save as the list's file holds it now: nothing to recover.
bool sameAsFile(const QString& name, const QString& text) {
    QByteArray bytes;
    const bool read = store::ListStore::instance().readList(name, bytes).ok();
    return store::listFileBytes(text) ==
           (read ? store::listFileBytes(store::editorText(bytes)) : QByteArray());
}
} // namespace

Recovery::Recovery(ui::MainWindow& main) : main_(main) {
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMilliseconds);
    QObject::connect(&timer_, &QTimer::timeout, [this] { keepNow(); });
}

void Recovery::update() {
    if (!globals::ListChanged || globals::CurrentCategory.isEmpty()) {
        timer_.stop();
        journal_.discard();
        return;
    }
    if (journal_.listName() != globals::CurrentCategory ||
        journal_.kestrelFolder() != globals::KestrelFolder)
        journal_.open(globals::KestrelFolder, globals::CurrentCategory);
    if (!timer_.isActive())
        timer_.start();
}

void Recovery::keepNow() {
    journal_.keep(main_.txtEditor->Text());
}

bool Recovery::bringUpToDate() {
    if (!journal_.isOpen())
        return true;
    timer_.stop();
    keepNow();
    return journal_.flush();
}

void Recovery::discard() {
    timer_.stop();
    journal_.discard();
}

void Recovery::offer() {
    for (store::LeftJournal& left : store::RecoveryJournal::leftBehind(globals::KestrelFolder)) {
        if (journal_.isOpen())
            return; // words brought back already: the rest wait for another start
        if (sameAsFile(left.listName, left.text)) {
            left.discard();
            continue;
        }
        frmRecover& question = ui::Forms::get<frmRecover>();
        question.setName(left.listName);
        ui::ShowModal(question);
        if (!question.answeredYes()) {
            left.discard();
            continue;
        }
        globals::CurrentCategory = left.listName;
        globals::ListChanged = true;
        const QString text = left.text;
        journal_.adopt(std::move(left));
        ui::setCaption(main_.lblCategoryLabel,
                       QStringLiteral("category: %1").arg(globals::CurrentCategory.toLower()));
        main_.txtEditor->setText(text);
        main_.showEditing();
        main_.txtEditor_ResetUndo();
        main_.txtEditor->SetFocus();
    }
}

} // namespace commands
