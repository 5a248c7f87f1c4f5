#include "ScriptedPlatform.h"

ScriptedPlatform::ScriptedPlatform() {
    ui::installPlatform(this);
}

ScriptedPlatform::~ScriptedPlatform() {
    ui::installPlatform(nullptr);
}

void ScriptedPlatform::msgBox(const QString& text, int style, const QString& title) {
    messages.append({text, style, title});
    if (onMessage)
        onMessage(messages.constLast());
}

void ScriptedPlatform::endProgram(int exitCode) {
    throw core::ProgramEnded{exitCode};
}

void ScriptedPlatform::showModal(ui::Dialog& dlg) {
    shownDialogs.append(QString::fromLatin1(dlg.metaObject()->className()));
    if (players_.empty())
        throw ScriptError("no player for dialog " + std::string(dlg.metaObject()->className()));
    auto player = std::move(players_.front());
    players_.pop_front();
    dlg.show();
    player(dlg);
    if (dlg.isVisible()) {
        dlg.hide();
        throw ScriptError("the player left " + std::string(dlg.metaObject()->className()) +
                          " open");
    }
}

QString ScriptedPlatform::getOpenFileName(const QString& title, const QString& filter) {
    fileRequests.append({false, title, filter});
    if (fileAnswers_.empty())
        throw ScriptError("no answer for the open-file dialog");
    QString answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

QString ScriptedPlatform::getSaveFileName(const QString& title, const QString& filter) {
    fileRequests.append({true, title, filter});
    if (fileAnswers_.empty())
        throw ScriptError("no answer for the save-file dialog");
    QString answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}
