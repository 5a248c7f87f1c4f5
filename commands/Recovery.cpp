#include "commands/Recovery.h"

#include "commands/frmRecover.h"
#include "core/globals.h"
#include "core/messages.h"
#include "core/services.h"
#include "store/ListStore.h"
#include "store/listFiles.h"
#include "ui/Forms.h"
#include "ui/MainWindow.h"
#include "ui/MultiLineTextBox.h"
#include "ui/look.h"
#include "ui/platform.h"

#include <QScopedValueRollback>

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
    journal_.onKept([this](bool nowKept) {
        QMetaObject::invokeMethod(
            &context_, [this, nowKept] { kept(nowKept); }, Qt::QueuedConnection);
    });
}

void Recovery::textChanged() {
    if (restoring_)
        return;
    const ui::MultiLineTextBox::Edit& edit = main_.txtEditor->lastEdit();
    if (edit.position < 0) // changed in a way not known: the whole text, seldom
        journal_.setText(main_.txtEditor->Text());
    else
        journal_.edit(edit.position, int(edit.removed.size()), edit.added);
}

void Recovery::update() {
    follow(globals::ListChanged && !globals::CurrentCategory.isEmpty());
}

void Recovery::follow(bool unsaved) {
    const Followed now{globals::KestrelFolder, globals::CurrentCategory, unsaved};
    if (now.unsaved == followed_.unsaved && now.listName == followed_.listName &&
        now.kestrelFolder == followed_.kestrelFolder)
        return;
    followed_ = now;
    journal_.follow(now.kestrelFolder, now.listName, now.unsaved);
}

bool Recovery::bringUpToDate() {
    return journal_.flush(kEndMilliseconds);
}

void Recovery::discard() {
    follow(false);
}

void Recovery::kept(bool kept) {
    if (kept) {
        told_ = false;
    } else if (!told_) {
        told_ = true;
        core::MsgBox(messages::journalNotKept(store::RecoveryJournal::folder()));
    }
}

void Recovery::offer() {
    store::RecoveryJournal::removeLeftovers();
    for (store::LeftJournal& left : store::RecoveryJournal::leftBehind(globals::KestrelFolder)) {
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
        ui::setCaption(main_.lblCategoryLabel,
                       QStringLiteral("category: %1").arg(globals::CurrentCategory.toLower()));
        // The journal already holds these words: it takes them over as they are.
        followed_ = {globals::KestrelFolder, left.listName, true};
        {
            const QScopedValueRollback<bool> restoring(restoring_, true);
            main_.txtEditor->setText(left.text);
        }
        journal_.adopt(std::move(left));
        main_.showEditing();
        main_.txtEditor_ResetUndo();
        main_.txtEditor->SetFocus();
        return; // the others wait for a later start
    }
}

} // namespace commands
