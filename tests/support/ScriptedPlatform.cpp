#include "ScriptedPlatform.h"

#include "core/services.h"
#include "ui/look.h"

#include <QLabel>

#include <cstdio>
#include <unistd.h>

QString Message::shown() const {
    QString out = text;
    if (!title.isEmpty())
        out.prepend(QStringLiteral("[%1] ").arg(title));
    if (style == core::vbCritical)
        out.prepend(QStringLiteral("X "));
    return out;
}

ScriptedPlatform::ScriptedPlatform() {
    ui::installPlatform(this);
}

ScriptedPlatform::~ScriptedPlatform() {
    ui::installPlatform(nullptr);
}

void ScriptedPlatform::msgBox(const QString& text, int style, const QString& title) {
    messages.append({text, style, title});
    if (endsProcess)
        std::printf("MESSAGE %s\n", qPrintable(messages.constLast().shown()));
}

QStringList ScriptedPlatform::shownMessages() const {
    QStringList out;
    for (const Message& m : messages)
        out << m.shown();
    return out;
}

void ScriptedPlatform::endProgram(int exitCode) {
    if (endsProcess) {
        std::printf("END %d\n", exitCode);
        std::fflush(nullptr);
        _exit(exitCode);
    }
    throw core::ProgramEnded{exitCode};
}

void ScriptedPlatform::showModal(ui::Dialog& dlg) {
    const QString name = QString::fromLatin1(dlg.metaObject()->className());
    const QList<QLabel*> labels = dlg.findChildren<QLabel*>();
    dialogs << (labels.isEmpty() ? name : name + QStringLiteral(": ") + ui::caption(labels[0]));
    if (players_.empty())
        throw ScriptError("no player for dialog " + name.toStdString());
    auto player = std::move(players_.front());
    players_.pop_front();
    dlg.show();
    player(dlg);
    if (dlg.isVisible()) {
        dlg.hide();
        throw ScriptError("the player left " + name.toStdString() + " open");
    }
}

QString ScriptedPlatform::getOpenFileName(const QString& title, const QString& filter) {
    return getSaveFileName(title, filter);
}

QString ScriptedPlatform::getSaveFileName(const QString& title, const QString& filter) {
    dialogs << QStringLiteral("file: %1|%2").arg(title, filter);
    if (fileAnswers_.empty())
        throw ScriptError("no answer for the file dialog");
    QString answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}
