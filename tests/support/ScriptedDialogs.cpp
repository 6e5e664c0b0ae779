#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

const char* buttonsName(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::OK:
            return "OK";
        case Dialogs::Buttons::YesNo:
            return "Yes/No";
        case Dialogs::Buttons::OKCancel:
            return "OK/Cancel";
    }
    return "?";
}

bool fits(Dialogs::Answer answer, Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::OK:
            return answer == Dialogs::Answer::OK;
        case Dialogs::Buttons::YesNo:
            return answer == Dialogs::Answer::Yes || answer == Dialogs::Answer::No;
        case Dialogs::Buttons::OKCancel:
            return answer == Dialogs::Answer::OK || answer == Dialogs::Answer::Cancel;
    }
    return false;
}

const char* answerName(Dialogs::Answer answer) {
    switch (answer) {
        case Dialogs::Answer::OK:
            return "OK";
        case Dialogs::Answer::Cancel:
            return "Cancel";
        case Dialogs::Answer::Yes:
            return "Yes";
        case Dialogs::Answer::No:
            return "No";
    }
    return "?";
}

// The refusing answer of a button set.
Dialogs::Answer refusal(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::YesNo:
            return Dialogs::Answer::No;
        case Dialogs::Buttons::OKCancel:
            return Dialogs::Answer::Cancel;
        case Dialogs::Buttons::OK:
            break;
    }
    return Dialogs::Answer::OK;
}

const char* kindName(ScriptedDialogs::Kind kind) {
    switch (kind) {
        case ScriptedDialogs::Kind::Message:
            return "message";
        case ScriptedDialogs::Kind::InputBox:
            return "input box";
        case ScriptedDialogs::Kind::SaveAs:
            return "save-as dialog";
        case ScriptedDialogs::Kind::PickFolder:
            return "folder picker";
    }
    return "dialog";
}

// Answers a test queued but did not use fail it and do not leak into the next test.
class ResetBetweenTests : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { ScriptedDialogs::current().clear(); }
    // Runs before the result is printed, so a failure added here counts.
    void OnTestEnd(const ::testing::TestInfo& test) override {
        if (!test.result()->Failed()) ScriptedDialogs::current().expectEveryAnswerUsed();
    }
};

}  // namespace

ScriptedDialogs& ScriptedDialogs::current() {
    static ScriptedDialogs instance;
    // The test framework owns its listeners.
    static const bool resetting = [] {
        ::testing::UnitTest::GetInstance()->listeners().Append(new ResetBetweenTests);
        return true;
    }();
    (void)resetting;
    return instance;
}

void ScriptedDialogs::clear() {
    calls_.clear();
    messageAnswers_.clear();
    textAnswers_.clear();
    allowOk_ = false;
    whileShown_ = nullptr;
}

void ScriptedDialogs::expectEveryAnswerUsed() {
    for (const Answer answer : messageAnswers_)
        ADD_FAILURE() << "Unused message answer: " << answerName(answer);
    for (const std::optional<QString>& text : textAnswers_)
        ADD_FAILURE() << "Unused text answer: " << (text ? text->toStdString() : "(cancel)");
    messageAnswers_.clear();
    textAnswers_.clear();
}

Dialogs::Answer ScriptedDialogs::message(const QString& text, Buttons buttons, Icon icon,
                                         const QString& title) {
    const Call call{Kind::Message, text, title, buttons, icon};
    calls_.push_back(call);
    if (whileShown_) {
        const auto hook = whileShown_;
        hook(call);
    }
    if (messageAnswers_.empty()) {
        if (buttons != Buttons::OK || !allowOk_) {
            ADD_FAILURE() << "Unexpected message (" << buttonsName(buttons)
                          << "): " << text.toStdString();
        }
        return refusal(buttons);
    }
    const Answer answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    if (!fits(answer, buttons)) {
        ADD_FAILURE() << "Queued answer does not fit the " << buttonsName(buttons)
                      << " buttons of message: " << text.toStdString();
        return refusal(buttons);
    }
    return answer;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                                 const QString&) {
    return nextText(Kind::InputBox, prompt, title);
}

std::optional<QString> ScriptedDialogs::saveAs(const QString& title, const QString& initialPath,
                                               const QString&) {
    return nextText(Kind::SaveAs, initialPath, title);
}

std::optional<QString> ScriptedDialogs::pickFolder(const QString& title,
                                                   const QString& initialFolder) {
    return nextText(Kind::PickFolder, initialFolder, title);
}

std::optional<QString> ScriptedDialogs::nextText(Kind kind, const QString& text,
                                                 const QString& title) {
    calls_.push_back(Call{kind, text, title});
    if (textAnswers_.empty()) {
        ADD_FAILURE() << "Unexpected " << kindName(kind) << ": " << text.toStdString();
        return std::nullopt;
    }
    std::optional<QString> answer = textAnswers_.front();
    textAnswers_.pop_front();
    return answer;
}
