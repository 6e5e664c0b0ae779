// Commands to the server against the scripted server: the custom command goes
// exactly as typed, the menu's words and prompts, the permission numbers; and
// the remote rename, move and new folder, which never replace an existing item.
#include "common/QStringPrinter.h"
#include "ftpclient/ScriptedComponentFixture.h"
#include "ftpclient/commands/ChangeMode.h"
#include "ftpclient/commands/FtpCommands.h"
#include "ftpclient/fileops/RemoteOperations.h"
#include "ftpclient/transfers/FakeKarvoWindow.h"
#include "support/ScriptedDialogs.h"

namespace {

class FtpCommandsTest : public ScriptedComponentFixture {
protected:
    void SetUp() override {
        ScriptedComponentFixture::SetUp();
        ScriptedDialogs::current().clear();
        server.addFile(QStringLiteral("a.txt"), "a");
        server.addFile(QStringLiteral("b.txt"), "b");
        server.addFolder(QStringLiteral("dest"));
        server.addFile(QStringLiteral("dest/b.txt"), "other b");
        connectOk();
    }

    // Lines sent after the login.
    QList<QByteArray> commandsAfterLogin() const {
        QList<QByteArray> lines = sent();
        return lines.mid(lines.indexOf("PASS " + QByteArray(kPassword)) + 1);
    }

    static const std::vector<ScriptedDialogs::Call>& calls() { return ScriptedDialogs::current().calls(); }

    FakeKarvoWindow window{ftp};
    FtpCommands commands{window};
};

TEST_F(FtpCommandsTest, ACustomCommandGoesExactlyAsTyped) {
    server.onCommand("MDTM", "213 20240101000000\r\n");
    commands.SendCustomCommand(QStringLiteral("mdtm  a.txt "));
    commands.SendCustomCommand(QString());
    EXPECT_EQ(sent().last(), "mdtm  a.txt ");
    EXPECT_TRUE(log.contains(QStringLiteral("213 20240101000000")));
    EXPECT_EQ(window.remoteRefreshes, 0);
    commands.SendCustomCommand(QStringLiteral("DELE x\r\nDELE a.txt"));
    EXPECT_TRUE(server.files().contains(QStringLiteral("/a.txt")));
    ASSERT_EQ(window.log.size(), 1);
    EXPECT_TRUE(window.log[0].startsWith(QStringLiteral("Error no ")));
    commands.CloseCustomCommand();
    EXPECT_EQ(window.variables, QStringList{QStringLiteral("_root.CustomCommand=2")});
}

TEST_F(FtpCommandsTest, AChangeOfFolderIsShownAtOnce) {
    commands.SendCustomCommand(QStringLiteral("cwd dest"));
    EXPECT_EQ(window.remoteRefreshes, 1);
    ScriptedDialogs::current().answerText(QStringLiteral("/"));
    commands.MenuCommand(QStringLiteral("CWD"));
    EXPECT_EQ(sent().last(), "CWD /");
    EXPECT_EQ(calls().at(0).text, QStringLiteral("Please enter the remote folder name"));
    EXPECT_EQ(calls().at(0).title, QStringLiteral("Remote Server Custom Command"));
    EXPECT_EQ(window.remoteRefreshes, 2);
}

TEST_F(FtpCommandsTest, TheMenuSendsItsWords) {
    for (const char* word : {"HELP", "PWD", "SYST", "LIST", "NLST"}) commands.MenuCommand(QString::fromLatin1(word));
    ScriptedDialogs::current().answerText(QStringLiteral("NOOP"));
    commands.MenuCommand(QStringLiteral("QUOTE"));
    EXPECT_EQ(commandsAfterLogin().mid(commandsAfterLogin().indexOf("HELP")),
              (QList<QByteArray>{"HELP", "PWD", "SYST", "LIST", "NLST", "QUOTE NOOP"}));
    EXPECT_EQ(calls().at(0).text, QStringLiteral("Please enter command for remote site"));

    ScriptedDialogs::current().answerText(std::nullopt);
    ScriptedDialogs::current().allowOkMessages();
    commands.MenuCommand(QStringLiteral("CWD"));
    EXPECT_EQ(calls().back().text, QStringLiteral("No command entered, quiting"));
    EXPECT_EQ(calls().back().icon, Dialogs::Icon::Information);
    EXPECT_EQ(sent().last(), "QUOTE NOOP");
}

TEST(ChangeModeTest, BoxesMakeTheOctalDigits) {
    ChangeMode mode;
    EXPECT_EQ(mode.txtNumericValue(), QStringLiteral("0"));
    const std::pair<ChangeMode::Box, int> weights[] = {
        {ChangeMode::OwnerRead, 400}, {ChangeMode::OwnerWrite, 200}, {ChangeMode::OwnerExecute, 100},
        {ChangeMode::GroupRead, 40},  {ChangeMode::GroupWrite, 20},  {ChangeMode::GroupExecute, 10},
        {ChangeMode::OtherRead, 4},   {ChangeMode::OtherWrite, 2},   {ChangeMode::OtherExecute, 1}};
    for (const auto& [box, weight] : weights) {
        EXPECT_EQ(ChangeMode::weight(box), weight);
        mode.set(box, true);
        mode.set(box, true);
    }
    EXPECT_EQ(mode.txtNumericValue(), QStringLiteral("777"));
    mode.set(ChangeMode::GroupWrite, false);
    mode.set(ChangeMode::OtherWrite, false);
    mode.set(ChangeMode::GroupWrite, false);
    EXPECT_EQ(mode.txtNumericValue(), QStringLiteral("755"));
}

TEST_F(FtpCommandsTest, RenameNeverReplacesAnExistingItem) {
    window.remoteRows = {FakeKarvoWindow::file(QStringLiteral("a.txt"))};
    auto& dialogs = ScriptedDialogs::current();
    dialogs.allowOkMessages();
    dialogs.answerMessage(Dialogs::Answer::Yes);
    dialogs.answerText(QStringLiteral("b.txt"));
    RemoteOperations(window).Rename();
    EXPECT_EQ(server.files().value(QStringLiteral("/a.txt")), "a");
    EXPECT_EQ(server.files().value(QStringLiteral("/b.txt")), "b");
    EXPECT_FALSE(sent().contains("RNFR a.txt"));
    EXPECT_EQ(calls()[0].text, QStringLiteral("Rename remote file a.txt?"));
    EXPECT_EQ(calls()[1].text, QStringLiteral("Rename remote file to : "));
    EXPECT_EQ(calls()[1].title, QStringLiteral("FTP Client"));
    EXPECT_EQ(calls()[2].text, QStringLiteral("b.txt already exists."));
    EXPECT_EQ(window.log, QStringList{QStringLiteral("b.txt already exists.")});

    dialogs.answerMessage(Dialogs::Answer::Yes);
    dialogs.answerText(QString());
    RemoteOperations(window).Rename();
    EXPECT_EQ(calls().back().text, QStringLiteral("You can not rename the folder/file to empty string"));
    EXPECT_EQ(calls().back().icon, Dialogs::Icon::Critical);

    dialogs.answerMessage(Dialogs::Answer::Yes);
    dialogs.answerText(QStringLiteral("c.txt"));
    RemoteOperations(window).Rename();
    EXPECT_EQ(server.files().value(QStringLiteral("/c.txt")), "a");
    EXPECT_EQ(window.remoteRefreshes, 2);
}

TEST_F(FtpCommandsTest, MoveJoinsWithASlashAndSkipsEmptyAnswersAndTakenNames) {
    server.addFile(QStringLiteral("c.txt"), "c");
    window.remoteRows = {FakeKarvoWindow::file(QStringLiteral("a.txt")), FakeKarvoWindow::file(QStringLiteral("b.txt")),
                         FakeKarvoWindow::file(QStringLiteral("c.txt"))};
    auto& dialogs = ScriptedDialogs::current();
    dialogs.allowOkMessages();
    dialogs.answerMessage(Dialogs::Answer::Yes);
    dialogs.answerText(QStringLiteral("/dest/"));  // a.txt
    dialogs.answerText(QStringLiteral("dest"));    // b.txt: taken there
    dialogs.answerText(QString());                 // c.txt stays
    RemoteOperations(window).Move();
    EXPECT_EQ(calls()[0].text, QStringLiteral("Move remote files / folders a.txt?"));
    EXPECT_EQ(calls()[1].text, QStringLiteral("Move a.txt to : "));
    EXPECT_EQ(calls()[1].title, QStringLiteral("Karvo"));
    EXPECT_TRUE(sent().contains("RNTO /dest/a.txt"));
    EXPECT_EQ(server.files().value(QStringLiteral("/dest/a.txt")), "a");
    EXPECT_EQ(server.files().value(QStringLiteral("/dest/b.txt")), "other b");
    EXPECT_EQ(server.files().value(QStringLiteral("/b.txt")), "b");
    EXPECT_EQ(server.files().value(QStringLiteral("/c.txt")), "c");
    EXPECT_TRUE(window.log.contains(QStringLiteral("dest/b.txt already exists.")));
    // The walk through dest came back.
    QString folder;
    EXPECT_EQ(ftp.currentFolder(folder), std::nullopt);
    EXPECT_EQ(folder, QStringLiteral("/"));
}

TEST_F(FtpCommandsTest, CreateFolderReportsBothWays) {
    auto& dialogs = ScriptedDialogs::current();
    dialogs.answerText(QStringLiteral("fresh"));
    RemoteOperations(window).CreateFolder();
    EXPECT_EQ(window.status.last(), QStringLiteral("Remote folder created."));
    dialogs.answerText(QStringLiteral("fresh"));
    server.onCommand("MKD", "550 Create directory operation failed.\r\n");
    RemoteOperations(window).CreateFolder();
    EXPECT_EQ(window.status.last(), QStringLiteral("Remote folder not created."));
    EXPECT_EQ(window.log.last(), QStringLiteral("Error creating remote folder: 550 Create directory operation failed."));
    EXPECT_EQ(window.remoteRefreshes, 2);
}

}  // namespace
