#pragma once
// The platform as tests drive it: message boxes are recorded (and answered
// with their only button), beeps and holds are counted, every modal dialog is
// handed to the next player that the test queued, file dialogs return queued
// answers, and the end of the program is thrown as core::ProgramEnded.

#include "ui/Dialog.h"
#include "ui/platform.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <stdexcept>

struct Message {
    QString text;
    int style = 0;
    QString title; // as passed: empty means the program's title
    // "text", with "[title] " before it when it has one of its own and "X "
    // when it has the critical icon.
    QString shown() const;
};

// A dialog was shown that the test did not expect, or a player left it open.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ScriptedPlatform : public ui::Platform {
public:
    ScriptedPlatform();
    ~ScriptedPlatform() override;

    void msgBox(const QString& text, int style, const QString& title) override;
    void beep() override { ++beeps; }
    void hold(int) override {
        if (onHold)
            onHold();
    }
    [[noreturn]] void endProgram(int exitCode) override;
    void showModal(ui::Dialog& dlg) override;
    QString getOpenFileName(const QString& title, const QString& filter) override;
    QString getSaveFileName(const QString& title, const QString& filter) override;

    // Queues a player for the next dialog shown.
    void play(std::function<void(ui::Dialog&)> player) { players_.push_back(std::move(player)); }
    // ... which must be a T.
    template <class T> void play(std::function<void(T&)> player) {
        play([player](ui::Dialog& dlg) {
            auto* typed = dynamic_cast<T*>(&dlg);
            if (!typed)
                throw ScriptError("expected another dialog than " +
                                  std::string(dlg.metaObject()->className()));
            player(*typed);
        });
    }
    int pendingPlayers() const { return int(players_.size()); }
    // The answer of the next file dialog ("" is Cancel).
    void answerFile(const QString& path) { fileAnswers_.push_back(path); }

    QList<Message> messages;
    QStringList shownMessages() const;
    // Each dialog shown: its class and the caption of its first label
    // ("frmAreYouSure: 'cats' has been changed ..."), or for a file dialog
    // "file: <title>|<filter>".
    QStringList dialogs;
    int beeps = 0;
    std::function<void()> onHold; // runs while the flash is on the screen
    // Instead of throwing, the end of the program prints "END <code>" and
    // ends the process at once, and each message is printed as "MESSAGE <shown>".
    bool endsProcess = false;

private:
    std::deque<std::function<void(ui::Dialog&)>> players_;
    std::deque<QString> fileAnswers_;
};
