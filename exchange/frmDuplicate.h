#pragma once
// An imported list whose name the index already holds: replace the old list,
// import it under a new name, or skip it. No close box. The check box makes
// the answer stand for every other clash of the same import.

#include "ui/Dialog.h"

class QCheckBox;

class frmDuplicate : public ui::Dialog {
    Q_OBJECT
public:
    frmDuplicate();

    void Form_Activate() override;
    void cmdReplace_Click();
    void cmdRename_Click();
    void cmdSkip_Click();

    enum class Answer { None, Replace, Rename, Skip };
    // The button that closed the dialog at its last showing.
    Answer answer() const { return answer_; }
    // Whether that answer stands for the rest of the import.
    bool forTheRest() const;
    // Unchecks the box, as at the start of an import.
    void startImport();
    // Asks for a new name for the imported list (frmRename): true when one
    // was given that can be taken, which importCategory then holds.
    static bool askNewName();

    QLabel* lblDir1 = nullptr;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdRename = nullptr;
    QPushButton* cmdSkip = nullptr;
    QCheckBox* chkForTheRest = nullptr;

private:
    Answer answer_ = Answer::None;
};
