// The remote list against the scripted server: double-click on folders, files
// and links, Up, Go To, the path box, the filter, and the texts of failures.
#include "KarvoMainFixture.h"

namespace {

using karvo::FileRow;

class frmMainRemoteTest : public KarvoMainFixture {
protected:
    void SetUp() override {
        KarvoMainFixture::SetUp();
        server.addFile(QStringLiteral("notes.txt"), "n");
        server.addFile(QStringLiteral("docs/inside.txt"), "inside");
        server.addFile(QStringLiteral("docs/deep/x.bin"), "x");
        startUp();
        connectToServer();
    }

    QString lastLog() const {
        return main->lstConnectionInfo.value(main->lstConnectionInfo.size() - 1);
    }
};

TEST_F(frmMainRemoteTest, DoubleClickEntersFoldersAndDownloadsFiles) {
    selectRemote(QStringLiteral("docs"));
    EXPECT_TRUE(main->Controls.miDeleteRemoteFile && main->Controls.miRenameRemoteFile &&
                main->Controls.cmdReceive);
    main->lstRemoteFileList_DblClick();
    EXPECT_EQ(main->lblStatus, QStringLiteral("Changed current remote folder."));
    EXPECT_EQ(remoteNames(), (QStringList{QStringLiteral("deep"), QStringLiteral("inside.txt")}));
    EXPECT_EQ(main->cboRemotePath.Text(), QStringLiteral("/docs"));
    EXPECT_EQ(main->cboRemotePath.Entries(),
              (QStringList{QStringLiteral("/"), QStringLiteral("/docs")}));
    EXPECT_FALSE(main->Controls.cmdReceive);  // a new listing has no selection

    const int cwds = count("CWD");
    selectRemote(QStringLiteral("inside.txt"));
    main->lstRemoteFileList_DblClick();
    EXPECT_EQ(count("CWD"), cwds);
    EXPECT_EQ(commandsRun.value(commandsRun.size() - 1), QStringLiteral("IDC_FS_Download"));
    EXPECT_EQ(readWholeFile(localFolder.filePath(QStringLiteral("inside.txt"))),
              QByteArray("inside"));
}

TEST_F(frmMainRemoteTest, LinksOpenAsFoldersOrAreFetchedAsFilesWithoutAnErrorInTheLog) {
    server.setListing(QStringLiteral("/"),
                      "lrwxrwxrwx 1 ftp ftp 4 Jan 01 00:00 todocs -> docs\r\n"
                      "lrwxrwxrwx 1 ftp ftp 9 Jan 01 00:00 tonotes -> notes.txt\r\n");
    server.addFile(QStringLiteral("tonotes"), "what the link leads to");
    server.onCommand("CWD", [](const QByteArray& argument) -> ScriptedFtpServer::Reply {
        if (argument == "todocs") return "250 Directory changed.\r\n";
        if (argument == "tonotes") return "550 Not a directory.\r\n";
        return ScriptedFtpServer::Reply::standard();
    });
    main->RunCommand(QStringLiteral("IDC_FS_RemoteRefresh"));
    ASSERT_EQ(remoteNames(), (QStringList{QStringLiteral("todocs"), QStringLiteral("tonotes")}));
    EXPECT_EQ(main->lstRemoteFileList.At(0).icon, FileRow::Link);
    EXPECT_EQ(main->lstRemoteFileList.At(0).typeText, QStringLiteral("E"));
    // A single link is neither deleted nor renamed from the menu.
    selectRemote(QStringLiteral("tonotes"));
    EXPECT_FALSE(main->Controls.miDeleteRemoteFile || main->Controls.miRenameRemoteFile);
    EXPECT_TRUE(main->Controls.cmdReceive);

    const qsizetype logged = main->lstConnectionInfo.size();
    main->lstRemoteFileList_DblClick();
    EXPECT_EQ(commandsRun.value(commandsRun.size() - 1), QStringLiteral("IDC_FS_Download"));
    EXPECT_EQ(readWholeFile(localFolder.filePath(QStringLiteral("tonotes"))),
              QByteArray("what the link leads to"));
    for (qsizetype i = logged; i < main->lstConnectionInfo.size(); ++i)
        EXPECT_FALSE(main->lstConnectionInfo[i].startsWith(QLatin1String("Error")))
            << main->lstConnectionInfo[i].toStdString();

    commandsRun.clear();
    selectRemote(QStringLiteral("todocs"));
    main->lstRemoteFileList_DblClick();
    EXPECT_TRUE(sent().contains("CWD todocs"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Changed current remote folder."));
    EXPECT_TRUE(commandsRun.isEmpty());
}

TEST_F(frmMainRemoteTest, UpGoesToTheParentAndStopsAtTheRoot) {
    main->cboRemotePath_Enter(QStringLiteral("/docs/deep"));
    EXPECT_EQ(remoteNames(), QStringList{QStringLiteral("x.bin")});
    main->RunCommand(QStringLiteral("IDC_FS_RemoteUpLevel"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Remote path now up one folder."));
    EXPECT_EQ(main->cboRemotePath.Text(), QStringLiteral("/docs"));
    EXPECT_EQ(remoteNames(), (QStringList{QStringLiteral("deep"), QStringLiteral("inside.txt")}));
    main->RunCommand(QStringLiteral("IDC_FS_RemoteUpLevel"));
    main->RunCommand(QStringLiteral("IDC_FS_RemoteUpLevel"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Remote path already at a root folder."));
    EXPECT_EQ(main->cboRemotePath.Text(), QStringLiteral("/"));

    server.onCommand("CDUP", "550 Permission denied.\r\n");
    main->RunCommand(QStringLiteral("IDC_FS_RemoteUpLevel"));
    EXPECT_EQ(lastLog(),
              QStringLiteral("Error while attempting to change current remote folder to its parent "
                             "folder. Description: 550 Permission denied."));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Could not change to remote folder's parent."));
}

TEST_F(frmMainRemoteTest, GoToAndThePathBoxChangeTheFolderAndLogFailures) {
    dialogs.answerText(QStringLiteral("docs"));
    main->RunCommand(QStringLiteral("IDC_FS_GoToRemoteDir"));
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].title, QStringLiteral("Remote Server Custom Command"));
    EXPECT_EQ(dialogs.calls()[0].text,
              QStringLiteral(
                  "Type Directory Name To Go TO ( WITHOUT THE WORD CD OR DIR IN THE BEGINNING! )"));
    EXPECT_EQ(main->cboRemotePath.Text(), QStringLiteral("/docs"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Remote folder changed to /docs"));
    EXPECT_TRUE(remoteNames().contains(QStringLiteral("inside.txt")));

    dialogs.answerText(QString());
    dialogs.allowOkMessages();
    main->RunCommand(QStringLiteral("IDC_FS_GoToRemoteDir"));
    EXPECT_EQ(messageTexts().value(2), QStringLiteral("No command entered, quiting"));
    EXPECT_EQ(dialogs.calls()[2].icon, Dialogs::Icon::Information);

    dialogs.answerText(QStringLiteral("missing"));
    main->RunCommand(QStringLiteral("IDC_FS_GoToRemoteDir"));
    EXPECT_TRUE(lastLog().startsWith(QStringLiteral(
        "Error while attempting to change current remote folder to 'missing'. Description: 550")))
        << lastLog().toStdString();

    // The path box: the same folder does nothing, another is entered, a wrong
    // one is logged and the box shows the folder that still is current.
    const int cwds = count("CWD");
    main->cboRemotePath_Enter(QStringLiteral("/docs"));
    EXPECT_EQ(count("CWD"), cwds);
    main->cboRemotePath_Enter(QStringLiteral("/"));
    EXPECT_TRUE(remoteNames().contains(QStringLiteral("notes.txt")));
    main->cboRemotePath_Enter(QStringLiteral("/nothing"));
    EXPECT_EQ(main->cboRemotePath.Text(), QStringLiteral("/"));
}

TEST_F(frmMainRemoteTest, AFolderThatCannotBeReadBackIsLogged) {
    server.queueReplies("PWD", {"550 PWD failed.\r\n"});
    EXPECT_FALSE(main->ChangeCurrentRemoteFolder(QStringLiteral("docs"), true));
    EXPECT_EQ(lastLog(),
              QStringLiteral("Error obtaining new current remote folder while attempting to change "
                             "current remote folder to 'docs'. Description: 550 PWD failed."));
    // Not interactive: a failing change is not logged.
    const qsizetype logged = main->lstConnectionInfo.size();
    EXPECT_FALSE(main->ChangeCurrentRemoteFolder(QStringLiteral("missing"), false));
    EXPECT_FALSE(lastLog().startsWith(QLatin1String("Error")));
    EXPECT_EQ(main->lstConnectionInfo.size(), logged + 2);  // the CWD and its reply
}

TEST_F(frmMainRemoteTest, TheRemoteFilterListsWhatMatches) {
    server.addFile(QStringLiteral("Photo.GIF"), "g");
    dialogs.answerText(QStringLiteral("*.gif"));
    main->RunCommand(QStringLiteral("IDC_FS_RDirFilters"));
    EXPECT_EQ(dialogs.calls()[0].title,
              QStringLiteral("Define Type For Remote Server Directory Listing"));
    EXPECT_TRUE(statuses.contains(QStringLiteral("Obtaining directory listing...")));
    EXPECT_EQ(remoteNames(), QStringList{QStringLiteral("Photo.GIF")});

    dialogs.answerText(QString());
    dialogs.allowOkMessages();
    main->RunCommand(QStringLiteral("IDC_FS_RDirFilters"));
    EXPECT_EQ(messageTexts().value(2), QStringLiteral("No command entered,quiting"));
    EXPECT_EQ(remoteNames(), QStringList{QStringLiteral("Photo.GIF")});
    main->RemoteAllFiles();
    EXPECT_EQ(main->lstRemoteFileList.Count(), 3);

    server.onCommand("LIST", "550 Gone.\r\n");
    dialogs.answerText(QStringLiteral("*"));
    main->RunCommand(QStringLiteral("IDC_FS_RDirFilters"));
    EXPECT_EQ(lastLog(), QStringLiteral("Error 550 Gone."));
}

}  // namespace
