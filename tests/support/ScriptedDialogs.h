#pragma once

#include "common/Dialogs.h"

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Dialogs for tests: records every call and answers from queues that the test
// fills beforehand. A dialog with no answer queued fails the running test
// (and answers No / Cancel / nothing); so does an answer still queued when the
// test ends, since the question it was meant for was never asked.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, InputBox, SaveAs, PickFolder };
    struct Call {
        Kind kind;
        QString text;   // message text, prompt, or initial path
        QString title;
        Buttons buttons = Buttons::OK;
        Icon icon = Icon::None;
    };

    // The instance the test main installs for every test.
    static ScriptedDialogs& current();

    void answerMessage(Answer answer) { messageAnswers_.push_back(answer); }
    void answerText(std::optional<QString> text) { textAnswers_.push_back(std::move(text)); }
    // Messages with only an OK button are answered OK without queueing when
    // allowed; the call is still recorded.
    void allowOkMessages(bool allow = true) { allowOk_ = allow; }
    // Runs while each message is open, before it is answered: where a real message
    // box lets the event loop run and the program do other things.
    void whileMessageShown(std::function<void(const Call&)> hook) { whileShown_ = std::move(hook); }

    const std::vector<Call>& calls() const { return calls_; }
    void clear();
    // Fails the running test for every queued answer left unused, and drops them.
    void expectEveryAnswerUsed();

    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> saveAs(const QString& title, const QString& initialPath,
                                  const QString& filter) override;
    std::optional<QString> pickFolder(const QString& title, const QString& initialFolder) override;

private:
    std::optional<QString> nextText(Kind kind, const QString& text, const QString& title);

    std::vector<Call> calls_;
    std::deque<Answer> messageAnswers_;
    std::deque<std::optional<QString>> textAnswers_;
    bool allowOk_ = false;
    std::function<void(const Call&)> whileShown_;
};
