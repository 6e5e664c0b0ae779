// The Dialogs service: which implementation answers, what the console prints and
// answers, and how the scripted one holds tests to the dialogs they expect.
#include "common/ConsoleDialogs.h"
#include "common/Dialogs.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QTemporaryFile>
#include "QStringPrinter.h"

#include <unistd.h>
#include <cstdio>
#include <functional>

namespace {

using Answer = Dialogs::Answer;
using Buttons = Dialogs::Buttons;
using Icon = Dialogs::Icon;

// What `action` printed to stderr.
QByteArray stderrOf(const std::function<void()>& action) {
    QTemporaryFile capture;
    EXPECT_TRUE(capture.open());
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    action();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}

TEST(ConsoleDialogsTest, PrintsTitleAndTextAndTakesTheDefaultAnswer) {
    ConsoleDialogs console;
    struct Case {
        Buttons buttons;
        QString title;
        Answer answer;
        QByteArray printed;
    };
    const Case cases[] = {
        {Buttons::YesNo, "Lumet", Answer::Yes, "Lumet: Delete?\n"},
        {Buttons::OK, "", Answer::OK, "Vornel Download Manager: Delete?\n"},
        {Buttons::OKCancel, "Karvo", Answer::OK, "Karvo: Delete?\n"},
    };
    for (const Case& c : cases) {
        Answer answer = Answer::Cancel;
        const QByteArray printed = stderrOf(
            [&] { answer = console.message("Delete?", c.buttons, Icon::Question, c.title); });
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(printed, c.printed);
    }
}

TEST(ConsoleDialogsTest, TextDialogsReturnTheirInitialValue) {
    ConsoleDialogs console;
    std::optional<QString> input, file, folder;
    const QByteArray printed = stderrOf([&] {
        input = console.inputBox("Name:", "Rename", "old.txt");
        file = console.saveAs("Save as", "/tmp/file.zip", "*.zip");
        folder = console.pickFolder("", "/tmp");
    });
    EXPECT_EQ(input, QString("old.txt"));
    EXPECT_EQ(file, QString("/tmp/file.zip"));
    EXPECT_EQ(folder, QString("/tmp"));
    EXPECT_EQ(printed, "Rename: Name:\nSave as: /tmp/file.zip\nVornel Download Manager: /tmp\n");
}

TEST(DialogsTest, WithNothingInstalledTheConsoleAnswers) {
    Dialogs::setInstance(nullptr);
    Dialogs& fallback = Dialogs::instance();
    bool asked = false;
    stderrOf([&] { asked = Dialogs::ask("Continue?", Icon::Question); });
    Dialogs::setInstance(&ScriptedDialogs::current());

    EXPECT_NE(dynamic_cast<ConsoleDialogs*>(&fallback), nullptr);
    EXPECT_TRUE(asked);
    EXPECT_EQ(&Dialogs::instance(), &ScriptedDialogs::current());
}

TEST(DialogsTest, ShowAndAskGoToTheInstalledDialogs) {
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    dialogs.answerMessage(Answer::OK);
    dialogs.answerMessage(Answer::No);
    Dialogs::show("Done", Icon::Information, "Title");
    EXPECT_FALSE(Dialogs::ask("Again?", Icon::Question));

    ASSERT_EQ(dialogs.calls().size(), 2u);
    EXPECT_EQ(dialogs.calls()[0].text, "Done");
    EXPECT_EQ(dialogs.calls()[0].title, "Title");
    EXPECT_EQ(dialogs.calls()[0].buttons, Buttons::OK);
    EXPECT_EQ(dialogs.calls()[0].icon, Icon::Information);
    EXPECT_EQ(dialogs.calls()[1].buttons, Buttons::YesNo);
    EXPECT_EQ(dialogs.calls()[1].icon, Icon::Question);
}

TEST(ScriptedDialogsTest, AnswersFromTheQueuesInOrderAndRecordsEveryCall) {
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    dialogs.answerMessage(Answer::Yes);
    dialogs.answerMessage(Answer::Cancel);
    dialogs.answerText(QString("typed"));
    dialogs.answerText(std::nullopt);
    dialogs.answerText(QString("/srv/folder"));

    EXPECT_EQ(dialogs.message("Q1", Buttons::YesNo, Icon::Question, ""), Answer::Yes);
    EXPECT_EQ(dialogs.message("Q2", Buttons::OKCancel, Icon::Exclamation, "T"), Answer::Cancel);
    EXPECT_EQ(dialogs.inputBox("Prompt", "In", "def"), QString("typed"));
    EXPECT_EQ(dialogs.saveAs("Save", "/tmp/a.zip", ""), std::nullopt);
    EXPECT_EQ(dialogs.pickFolder("Pick", "/srv"), QString("/srv/folder"));

    using Kind = ScriptedDialogs::Kind;
    const std::pair<Kind, QString> expected[] = {{Kind::Message, "Q1"},
                                                 {Kind::Message, "Q2"},
                                                 {Kind::InputBox, "Prompt"},
                                                 {Kind::SaveAs, "/tmp/a.zip"},
                                                 {Kind::PickFolder, "/srv"}};
    ASSERT_EQ(dialogs.calls().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(dialogs.calls()[i].kind, expected[i].first) << i;
        EXPECT_EQ(dialogs.calls()[i].text, expected[i].second) << i;
    }
}

TEST(ScriptedDialogsTest, AnUnexpectedDialogFailsTheTestAndIsRefused) {
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    Answer answer = Answer::Yes;
    EXPECT_NONFATAL_FAILURE(
        answer = dialogs.message("Overwrite it?", Buttons::YesNo, Icon::Question, ""),
        "Overwrite it?");
    EXPECT_EQ(answer, Answer::No);
    EXPECT_NONFATAL_FAILURE(
        answer = dialogs.message("Proceed?", Buttons::OKCancel, Icon::Question, ""), "Proceed?");
    EXPECT_EQ(answer, Answer::Cancel);
    EXPECT_NONFATAL_FAILURE(dialogs.message("Note", Buttons::OK, Icon::Information, ""), "Note");

    std::optional<QString> text = QString("x");
    EXPECT_NONFATAL_FAILURE(text = dialogs.inputBox("Your name?", "", ""), "Your name?");
    EXPECT_EQ(text, std::nullopt);
    EXPECT_NONFATAL_FAILURE(text = dialogs.saveAs("", "/tmp/b.bin", ""), "/tmp/b.bin");
    EXPECT_NONFATAL_FAILURE(text = dialogs.pickFolder("", "/var"), "/var");
    EXPECT_EQ(dialogs.calls().size(), 6u);
}

TEST(ScriptedDialogsTest, AnAnswerThatFitsNoButtonFailsTheTest) {
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    dialogs.answerMessage(Answer::Yes);
    Answer answer = Answer::OK;
    EXPECT_NONFATAL_FAILURE(
        answer = dialogs.message("Save?", Buttons::OKCancel, Icon::Question, ""), "Save?");
    EXPECT_EQ(answer, Answer::Cancel);
}

TEST(ScriptedDialogsTest, OkMessagesCanBeAllowedWithoutQueueing) {
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    dialogs.allowOkMessages();
    EXPECT_EQ(dialogs.message("Download complete", Buttons::OK, Icon::Information, ""), Answer::OK);
    EXPECT_EQ(dialogs.calls().size(), 1u);
    // Questions still need an answer.
    EXPECT_NONFATAL_FAILURE(dialogs.message("Retry?", Buttons::YesNo, Icon::Question, ""),
                            "Retry?");
}

TEST(ScriptedDialogsTest, AnAnswerLeftUnusedFailsTheTest) {
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    dialogs.answerMessage(Answer::Yes);
    dialogs.answerText(QString("used"));
    EXPECT_EQ(dialogs.inputBox("Name?", "", ""), QString("used"));
    EXPECT_NONFATAL_FAILURE(dialogs.expectEveryAnswerUsed(), "Unused message answer: Yes");
    dialogs.answerText(QString("left over"));
    EXPECT_NONFATAL_FAILURE(dialogs.expectEveryAnswerUsed(), "Unused text answer: left over");
    // Reported once: nothing is left for the end of the test.
    dialogs.expectEveryAnswerUsed();
}

// What every test starts from.
TEST(ScriptedDialogsTest, ClearLeavesNoQueuedAnswersAndNoCalls) {
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    dialogs.answerMessage(Answer::OK);
    dialogs.answerText(QString("queued"));
    dialogs.allowOkMessages();
    dialogs.message("Done", Buttons::OK, Icon::None, "");
    dialogs.clear();
    EXPECT_TRUE(dialogs.calls().empty());
    EXPECT_NONFATAL_FAILURE(dialogs.inputBox("Unqueued text", "", ""), "Unexpected input box");
    EXPECT_NONFATAL_FAILURE(dialogs.message("Unqueued question", Buttons::YesNo, Icon::None, ""),
                            "Unexpected message");
    EXPECT_NONFATAL_FAILURE(dialogs.message("Unqueued note", Buttons::OK, Icon::None, ""),
                            "Unexpected message");
}

}  // namespace
