// The main window's connection against the scripted server: the dialog and
// quick connect, the status and log texts, the server's questions,
// disconnecting and aborting, and an exit while a call runs.
#include "KarvoMainFixture.h"
#include "common/SingleInstance.h"
#include "ftpclient/main/KarvoSettings.h"
#include "support/LoopbackDaemon.h"

#include <QDir>
#include <QFile>
#include <QTimer>

namespace {

using karvo::frmMain;

const QString kAddress = QStringLiteral("127.0.0.1");

// A listing that starts and never ends: the call runs until it is aborted,
// and the server answers the abort as servers do.
void stallListing(ScriptedFtpServer& server) {
    server.onCommand("LIST", "150 Here comes the directory listing.\r\n");
    server.onCommand("ABOR", "426 Transfer aborted.\r\n226 ABOR successful.\r\n");
}

TEST_F(KarvoMainFixture, ConnectThroughTheDialogListsTheServerAndLogsWithoutThePassword) {
    startUp();
    server.addFile(QStringLiteral("readme.txt"), "hello");
    server.addFolder(QStringLiteral("docs"));
    fillForServer(QStringLiteral("karvo"), QStringLiteral("Secret-1"));
    main->RunCommand(QStringLiteral("IDC_FS_Connect"));

    EXPECT_EQ(main->lblStatus, QStringLiteral("Connected to 127.0.0.1"));
    EXPECT_TRUE(statuses.contains(QStringLiteral("Connecting to 127.0.0.1")));
    EXPECT_EQ(main->Variables.value(QStringLiteral("_root.status_txt.text")), main->lblStatus);
    EXPECT_EQ(main->Variables.value(QStringLiteral("_root.Connected")), QStringLiteral("1"));
    EXPECT_TRUE(main->Controls.cmdDisconnect && main->Controls.miRemote &&
                !main->Controls.cmdConnect);
    EXPECT_EQ(remoteNames(), (QStringList{QStringLiteral("docs"), QStringLiteral("readme.txt")}));
    EXPECT_EQ(main->lstRemoteFileList.At(0).typeText, QStringLiteral("D"));
    EXPECT_EQ(main->lstRemoteFileList.At(1).sizeText, QStringLiteral("5"));
    EXPECT_EQ(main->cboRemotePath.Text(), QStringLiteral("/"));
    // The quick fields now hold the connection.
    EXPECT_EQ(main->txtQaddress, kAddress);
    EXPECT_EQ(main->txtQport, QString::number(server.port()));
    EXPECT_EQ(main->txtQuser, QStringLiteral("karvo"));
    EXPECT_EQ(main->txtQpassword, QStringLiteral("Secret-1"));
    EXPECT_EQ(count("PASV"), 1);

    // Every command is in the log and its file; the password in neither.
    EXPECT_TRUE(main->lstConnectionInfo.contains(QStringLiteral("USER karvo")));
    EXPECT_TRUE(main->lstConnectionInfo.contains(QStringLiteral("PASS ****")));
    const QByteArray file = readWholeFile(root.file(QStringLiteral("program/log/FTP.log")));
    EXPECT_TRUE(file.contains("#,\"PASS ****\"\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("#,\"LIST\"\n"));
    EXPECT_FALSE(file.contains("Secret-1"));
    for (const QString& line : main->lstConnectionInfo)
        EXPECT_FALSE(line.contains(QLatin1String("Secret-1")));
}

TEST_F(KarvoMainFixture, AnonymousGoesAsAnonymousWithItsPasswordAndActiveModeAsChosen) {
    startUp();
    fillDialog = [this](karvo::frmConnectionInfo& info) {
        info.txtHost = kAddress;
        info.SetPort(QString::number(server.port()));
        info.optAnonymous_Click();
        info.chkPassiveMode = false;
        info.cmdConnect_Click();
    };
    main->RunCommand(QStringLiteral("IDC_FS_Connect"));
    const QList<QByteArray> wire = sent();
    ASSERT_GE(wire.size(), 2);
    EXPECT_EQ(wire[0], QByteArray("USER anonymous"));
    EXPECT_EQ(wire[1], QByteArray("PASS lurno"));
    EXPECT_EQ(count("PORT") + count("EPRT"), 1);
    EXPECT_EQ(count("PASV"), 0);
}

TEST_F(KarvoMainFixture, ACancelledDialogConnectsNothing) {
    startUp();
    fillDialog = [](karvo::frmConnectionInfo& info) { info.cmdCancel_Click(); };
    main->RunCommand(QStringLiteral("IDC_FS_Connect"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Connect operation cancelled."));
    EXPECT_EQ(server.connectionCount(), 0);
    EXPECT_EQ(main->ConnectionInfo(), nullptr);
}

struct FailureRow {
    const char* name;
    std::function<void(ScriptedFtpServer&)> script;
    bool closedPort;
    QString logStart;
    QString status;
    bool connected;
    bool asksPassword = false;
};

void PrintTo(const FailureRow& row, std::ostream* os) {
    *os << row.name;
}

class ConnectFailureTest : public KarvoMainFixture,
                           public ::testing::WithParamInterface<FailureRow> {};

TEST_P(ConnectFailureTest, LogsAndShowsTheTextsOfEachStep) {
    const FailureRow& row = GetParam();
    startUp();
    row.script(server);
    // A refused password is asked for again; no answer gives up.
    if (row.asksPassword) dialogs.answerText(QString());
    fillForServer();
    if (row.closedPort) {
        fillDialog = [this, inner = fillDialog](karvo::frmConnectionInfo& info) {
            inner(info);
            info.txtPort = QString::number(LoopbackDaemon::freePort());
        };
    }
    main->RunCommand(QStringLiteral("IDC_FS_Connect"));
    EXPECT_EQ(main->lblStatus, row.status);
    EXPECT_EQ(main->xFtp.state() == FtpComponent::Idle, row.connected);
    bool logged = false;
    for (const QString& line : main->lstConnectionInfo)
        logged = logged || line.startsWith(row.logStart);
    EXPECT_TRUE(logged) << row.logStart.toStdString() << "\n"
                        << main->lstConnectionInfo.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ConnectFailureTest,
    ::testing::Values(
        FailureRow{"nobody_listening", [](ScriptedFtpServer&) {}, true,
                   QStringLiteral("Error while connecting to '127.0.0.1'. Description: "),
                   QStringLiteral("Could not connect to 127.0.0.1"), false},
        FailureRow{"login_refused",
                   [](ScriptedFtpServer& s) { s.onCommand("PASS", "530 Login incorrect.\r\n"); },
                   false, QStringLiteral("Error while connecting to '127.0.0.1'. Description: "),
                   QStringLiteral("Could not connect to 127.0.0.1"), false, true},
        FailureRow{
            "no_current_folder",
            [](ScriptedFtpServer& s) { s.onCommand("PWD", "550 Not today.\r\n"); }, false,
            QStringLiteral(
                "Error while obtaining current remote folder after connection. Description: 550 "
                "Not today."),
            QStringLiteral("Connected to 127.0.0.1"), true},
        FailureRow{
            "no_listing", [](ScriptedFtpServer& s) { s.onCommand("LIST", "450 Busy.\r\n"); }, false,
            QStringLiteral("Error while listing remote folder's contents. Description: 450 Busy."),
            QStringLiteral("Connected to 127.0.0.1"), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KarvoMainFixture, QuickConnectNeedsAddressUserAndPortButNoPassword) {
    startUp();
    dialogs.allowOkMessages();
    struct Row {
        QString address, port, user;
    };
    const QString port = QString::number(server.port());
    for (const Row& row :
         {Row{QString(), port, QStringLiteral("u")}, Row{kAddress, port, QStringLiteral(" ")},
          Row{kAddress, QString(), QStringLiteral("u")}}) {
        main->txtQaddress = row.address;
        main->txtQport = row.port;
        main->txtQuser = row.user;
        main->cmdQConnect_Click();
    }
    EXPECT_EQ(messageTexts(),
              QStringList(3, QStringLiteral("Please enter conncetion information")));
    EXPECT_EQ(server.connectionCount(), 0);

    // The user and password go as typed (an empty password too); passive
    // mode stays as the last dialog left it.
    main->xFtp.passiveMode = false;
    main->txtQaddress = kAddress;
    main->txtQport = port;
    main->txtQuser = QStringLiteral("anonymous");
    main->txtQpassword.clear();
    main->cmdQConnect_Click();
    EXPECT_EQ(main->lblStatus, QStringLiteral("Connected to 127.0.0.1"));
    EXPECT_EQ(sent().value(0), QByteArray("USER anonymous"));
    EXPECT_NE(sent().value(1), QByteArray("PASS lurno"));
    EXPECT_EQ(count("PASV"), 0);
    EXPECT_EQ(main->sAddress, kAddress);
    EXPECT_EQ(main->sUserName, QStringLiteral("anonymous"));

    // The port field: anything but a port becomes 21.
    main->SetQuickPort(QStringLiteral("abc"));
    EXPECT_EQ(main->txtQport, QStringLiteral("21"));
    main->SetQuickPort(QStringLiteral("70000"));
    EXPECT_EQ(main->txtQport, QStringLiteral("21"));
    main->SetQuickPort(QStringLiteral("2121"));
    EXPECT_EQ(main->txtQport, QStringLiteral("2121"));
}

TEST_F(KarvoMainFixture, ConnectingWhileConnectedAsksAndNoKeepsTheConnection) {
    startUp();
    connectToServer();
    dialogs.answerMessage(Dialogs::Answer::No);
    main->RunCommand(QStringLiteral("IDC_FS_Connect"));
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text,
              QStringLiteral("Cant connect to server, Do you want to Disconnect First?"));
    EXPECT_EQ(dialogs.calls()[0].icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(dialogs.calls()[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(server.connectionCount(), 1);
    EXPECT_EQ(count("QUIT"), 0);
    EXPECT_EQ(main->xFtp.state(), FtpComponent::Idle);

    dialogs.answerMessage(Dialogs::Answer::Yes);
    main->txtQaddress = kAddress;
    main->txtQport = QString::number(server.port());
    main->txtQuser = QStringLiteral("second");
    main->cmdQConnect_Click();
    EXPECT_EQ(count("QUIT", 0), 1);
    EXPECT_EQ(server.connectionCount(), 2);
    EXPECT_EQ(sent(1).value(0), QByteArray("USER second"));
    EXPECT_EQ(main->xFtp.state(), FtpComponent::Idle);
}

TEST_F(KarvoMainFixture, TheServersQuestionsAreAskedAndAnEmptyAnswerEndsTheLogin) {
    startUp();
    server.requireLogin(QStringLiteral("karvo"), QStringLiteral("Right-Pass"));
    fillForServer(QStringLiteral("karvo"), QStringLiteral("wrong"));
    dialogs.answerText(QString());
    main->RunCommand(QStringLiteral("IDC_FS_Connect"));
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::InputBox);
    EXPECT_EQ(dialogs.calls()[0].text, QStringLiteral("Please enter the correct password"));
    EXPECT_EQ(dialogs.calls()[0].title, QStringLiteral("FTP Client[Query]"));
    EXPECT_EQ(count("PASS"), 1);
    EXPECT_EQ(main->lblStatus, QStringLiteral("Could not connect to 127.0.0.1"));

    dialogs.clear();
    dialogs.answerText(QStringLiteral("Right-Pass"));
    main->RunCommand(QStringLiteral("IDC_FS_Connect"));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Connected to 127.0.0.1"));
    EXPECT_EQ(dialogs.calls().size(), 1u);
    EXPECT_FALSE(main->lstConnectionInfo.join('\n').contains(QLatin1String("Right-Pass")));
}

TEST_F(KarvoMainFixture, AnAccountIsAskedForAndNeverLogged) {
    startUp();
    server.onCommand("PASS", "332 Need account for login.\r\n");
    server.onCommand("ACCT", "230 Account accepted.\r\n");
    dialogs.answerText(QStringLiteral("acct-77"));
    connectToServer();
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text, QStringLiteral("An account is required for this server."));
    EXPECT_EQ(dialogs.calls()[0].title, QStringLiteral("FTP Client[Query]"));
    EXPECT_TRUE(sent().contains("ACCT acct-77"));
    EXPECT_FALSE(main->lstConnectionInfo.join('\n').contains(QLatin1String("acct-77")));
}

TEST_F(KarvoMainFixture, DisconnectEmptiesTheRemoteSide) {
    startUp();
    server.addFile(QStringLiteral("a.txt"), "a");
    connectToServer();
    main->RunCommand(QStringLiteral("IDC_FS_Disconnect"));
    EXPECT_TRUE(statuses.contains(QStringLiteral("Disconnecting from 127.0.0.1")));
    EXPECT_EQ(main->lblStatus, QStringLiteral("Disconnected from 127.0.0.1"));
    EXPECT_EQ(count("QUIT"), 1);
    EXPECT_EQ(main->lstRemoteFileList.Count(), 0);
    EXPECT_TRUE(main->cboRemotePath.Entries().isEmpty());
    EXPECT_EQ(main->Variables.value(QStringLiteral("_root.Connected")), QStringLiteral("0"));
    EXPECT_TRUE(main->Controls.cmdConnect && !main->Controls.cmdDisconnect &&
                !main->Controls.miRemote);
    // Disconnected, it does nothing more.
    statuses.clear();
    main->RunCommand(QStringLiteral("IDC_FS_Disconnect"));
    EXPECT_TRUE(statuses.isEmpty());
}

TEST_F(KarvoMainFixture, DisconnectDuringARunningListingAbortsItFirst) {
    startUp();
    connectToServer();
    stallListing(server);
    dialogs.allowOkMessages();
    bool abortEnabled = false;
    QTimer::singleShot(100, main.get(), [&] {
        abortEnabled = main->Controls.cmdAbort;
        main->RunCommand(QStringLiteral("IDC_FS_Disconnect"));
    });
    main->RunCommand(QStringLiteral("IDC_FS_RemoteRefresh"));
    EXPECT_TRUE(abortEnabled);
    EXPECT_FALSE(main->Controls.cmdAbort);
    EXPECT_EQ(main->xFtp.state(), FtpComponent::NotConnected);
    EXPECT_EQ(count("QUIT"), 1) << main->lstConnectionInfo.join('\n').toStdString();
    EXPECT_TRUE(main->lstConnectionInfo.join('\n').contains(
        QLatin1String("Error while listing remote folder's contents. Description: ")));
    // Once the call has returned, the abort is confirmed in a box of its own.
    ASSERT_TRUE(waitFor(
        [&] { return messageTexts().contains(QStringLiteral("Operation Aported Succesfully")); }));
}

TEST_F(KarvoMainFixture, AbortShowsItsTextAndTheListComesBackWhenIdle) {
    startUp();
    connectToServer();
    const int listings = count("LIST");
    main->cmdAbort_Click();
    EXPECT_EQ(main->lblStatus, QStringLiteral("Aborting current operaion."));
    EXPECT_TRUE(main->tmrRefresh.isActive());
    EXPECT_EQ(main->tmrRefresh.interval(), 500);
    main->tmrRefresh_Timer();
    EXPECT_FALSE(main->tmrRefresh.isActive());
    EXPECT_EQ(count("LIST"), listings + 1);
    // Disconnected there is nothing to refresh.
    main->RunCommand(QStringLiteral("IDC_FS_Disconnect"));
    main->cmdAbort_Click();
    main->tmrRefresh_Timer();
    EXPECT_EQ(count("LIST"), listings + 1);
}

TEST_F(KarvoMainFixture, ExitDuringARunningCallHappensAfterIt) {
    startUp();
    connectToServer();
    stallListing(server);
    int quitsDuringCall = -1;
    QTimer::singleShot(100, main.get(), [&] {
        main->RunCommand(QStringLiteral("IDC_FS_close"));
        quitsDuringCall = quits;
        EXPECT_TRUE(main->ExitPending());
    });
    main->RunCommand(QStringLiteral("IDC_FS_RemoteRefresh"));
    EXPECT_EQ(quitsDuringCall, 0);
    EXPECT_FALSE(main->HasExited());  // the refresh's handler was still on the stack
    ASSERT_TRUE(waitFor([&] { return quits == 1; }));
    EXPECT_TRUE(main->HasExited());
    EXPECT_EQ(count("QUIT"), 1);
    EXPECT_FALSE(trayShown);
    EXPECT_EQ(main->LocalPaths(), nullptr);
    // No box about the abort after the window has gone.
    QCoreApplication::processEvents();
    EXPECT_FALSE(messageTexts().contains(QStringLiteral("Operation Aported Succesfully")));
    // Nothing runs any more.
    main->RunCommand(QStringLiteral("IDC_FS_Connect"));
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(KarvoMainFixture, ExitWhileTheConnectionDialogIsOpenClosesItFirst) {
    startUp();
    fillDialog = [this](karvo::frmConnectionInfo&) { main->Exit(); };
    main->RunCommand(QStringLiteral("IDC_FS_Connect"));
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(main->lblStatus, QStringLiteral("Connect operation cancelled."));
    ASSERT_TRUE(waitFor([&] { return quits == 1; }));
    EXPECT_EQ(server.connectionCount(), 0);
}

TEST_F(KarvoMainFixture, LaunchZuDisconnectsAndStartsLumetBesideTheProgram) {
    startUp();
    connectToServer();
    // Without Lumet beside the program nothing happens.
    main->RunCommand(QStringLiteral("IDC_FS_launchZu"));
    EXPECT_FALSE(main->HasExited());
    const QString lumet = programFolder.filePath(QStringLiteral("lumet-desktop"));
    ASSERT_TRUE(writeWholeFile(lumet, "#!/bin/sh\n"));
    ASSERT_TRUE(QFile::setPermissions(lumet, QFile::ReadOwner | QFile::ExeOwner));
    main->RunCommand(QStringLiteral("IDC_FS_launchZu"));
    ASSERT_TRUE(waitFor([&] { return quits == 1; }));
    EXPECT_EQ(started, QStringList{lumet});
    EXPECT_EQ(count("QUIT"), 1);
    EXPECT_FALSE(trayShown);
}

TEST_F(KarvoMainFixture, TheFirewallTakesTheOptionsDialogsDefaultsAndAPortThatFits) {
    startUp();
    // Without a proxy host no connection can be made: the proxy's values are
    // what this is about.
    KarvoSettings::Write(QStringLiteral("Firewall Use"), QStringLiteral("1"));
    connectToServerExpectingFailure();
    EXPECT_EQ(main->xFtp.firewallType, 4);
    EXPECT_EQ(main->xFtp.firewallPort, 1080);

    KarvoSettings::Write(QStringLiteral("Firewall Type"), QStringLiteral("SOCKS 5"));
    KarvoSettings::Write(QStringLiteral("Firewall Proxy Port"), QStringLiteral("70000"));
    connectToServerExpectingFailure();
    EXPECT_EQ(main->xFtp.firewallType, 5);
    EXPECT_EQ(main->xFtp.firewallPort, 1080);
    EXPECT_TRUE(main->lstConnectionInfo.contains(
        QStringLiteral("\"Firewall Proxy Port\" \"70000\" is not a port; using 1080")));

    // Not in use: no proxy at all, and the connection goes straight through.
    KarvoSettings::Write(QStringLiteral("Firewall Use"), QStringLiteral("0"));
    connectToServer();
    EXPECT_EQ(main->xFtp.firewallType, 0);
    EXPECT_EQ(main->xFtp.firewallHost, QString());
    EXPECT_EQ(main->xFtp.firewallPort, 1080);
}

TEST_F(KarvoMainFixture, TrayHidesOnlyWhereThereIsANotificationArea) {
    main->hooks.trayAvailable = [] { return true; };
    main->RunCommand(QStringLiteral("IDC_FS_tray"));
    main->hooks.trayAvailable = [] { return false; };
    main->RunCommand(QStringLiteral("IDC_FS_tray"));
    main->RunCommand(QStringLiteral("IDC_FS_minimize"));
    EXPECT_EQ(windowActions, (QStringList{QStringLiteral("hide"), QStringLiteral("minimize"),
                                          QStringLiteral("minimize")}));
}

TEST_F(KarvoMainFixture, StartUpSetsTheToolbarPanelsAndTheLocalList) {
    QDir().mkpath(root.file(QStringLiteral("program/log")));
    ASSERT_TRUE(writeWholeFile(root.file(QStringLiteral("program/log/FTP.log")), "old session\n"));
    KarvoSettings::Write(QStringLiteral("Language"), QStringLiteral("Deutsch.ini"));
    ASSERT_TRUE(main->Startup());
    EXPECT_EQ(QCoreApplication::applicationName(), frmMain::kTitle);
    EXPECT_TRUE(trayShown);
    // With the default clean-up the old log is gone.
    EXPECT_FALSE(QFile::exists(root.file(QStringLiteral("program/log/FTP.log"))));
    EXPECT_EQ(main->sLanguage, QStringLiteral("Deutsch.ini"));
    EXPECT_TRUE(main->bAutoMode);
    EXPECT_EQ(main->AsciiExtensions.join(u';'),
              QStringLiteral("txt;htm;html;php;cgi;asp;ini;inf;log"));
    EXPECT_EQ(main->Variables.value(QStringLiteral("_root.Program")), QStringLiteral("FTP"));
    EXPECT_EQ(main->Variables.value(QStringLiteral("_root.Progress_mc._xscale")),
              QStringLiteral("0"));
    EXPECT_EQ(main->Variables.value(QStringLiteral("_root.CustomCommand")), QStringLiteral("2"));
    EXPECT_EQ(main->Variables.value(QStringLiteral("_root.Connected")), QStringLiteral("0"));
    EXPECT_FALSE(main->Controls.cmdAbort);
    EXPECT_EQ(main->sCurrentLocalPath, frmMain::StartFolder());
    EXPECT_EQ(main->cboLocalPath.Text(), frmMain::StartFolder());
    EXPECT_EQ(main->cboLocalPath.Entries().value(0), QStringLiteral("/"));

    // The panels: quick connect, lists and log shown; the custom command not.
    EXPECT_TRUE(main->PanelShown(frmMain::QuickConnectPanel));
    EXPECT_TRUE(main->PanelShown(frmMain::FileListPanel));
    EXPECT_TRUE(main->PanelShown(frmMain::LogPanel));
    EXPECT_FALSE(main->PanelShown(frmMain::CustomCommandPanel));
    main->RunCommand(QStringLiteral("IDC_FS_HideC"));
    EXPECT_FALSE(main->PanelShown(frmMain::LogPanel));
    EXPECT_TRUE(main->PanelShown(frmMain::FileListPanel));
    main->RunCommand(QStringLiteral("IDC_FS_ShowC"));
    EXPECT_TRUE(main->PanelShown(frmMain::LogPanel) &&
                main->PanelShown(frmMain::CustomCommandPanel));
    main->RunCommand(QStringLiteral("IDC_FS_HideB"));
    EXPECT_FALSE(main->PanelShown(frmMain::FileListPanel) || main->PanelShown(frmMain::LogPanel));
    main->RunCommand(QStringLiteral("IDC_FS_HideA"));
    EXPECT_FALSE(main->PanelShown(frmMain::QuickConnectPanel));
}

TEST_F(KarvoMainFixture, ASecondCopyEndsWithItsMessage) {
    SingleInstance first(QStringLiteral("karvo"));
    ASSERT_TRUE(first.isFirst());
    dialogs.allowOkMessages();
    EXPECT_FALSE(main->Startup());
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].text, QStringLiteral("There is running instance"));
    EXPECT_EQ(dialogs.calls()[0].icon, Dialogs::Icon::Critical);
}

TEST_F(KarvoMainFixture, TheLogFileNameCannotLeaveTheLogFolder) {
    KarvoSettings::Write(QStringLiteral("LOG FILE NAME"), QStringLiteral("../../escaped.txt"));
    startUp();
    main->DisplayMessage(QStringLiteral("line"));
    EXPECT_TRUE(QFile::exists(root.file(QStringLiteral("program/log/escaped.log"))));
    EXPECT_FALSE(QFile::exists(root.file(QStringLiteral("escaped.log"))));
    EXPECT_FALSE(QFile::exists(root.file(QStringLiteral("escaped.txt"))));
}

TEST_F(KarvoMainFixture, ControlCharactersNeverBreakTheLog) {
    startUp();
    QStringList added;
    QObject::connect(main.get(), &frmMain::logLineAdded,
                     [&](const QString& line) { added << line; });
    main->DisplayMessage(QStringLiteral("250 \"a\"\r\n230 forged\x07\x1b[31m"));
    EXPECT_EQ(added, QStringList{QStringLiteral("250 \"a\"230 forged[31m")});
    const QList<QByteArray> lines =
        readWholeFile(root.file(QStringLiteral("program/log/FTP.log"))).split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("#,\"250 \"\"a\"\"230 forged[31m\""));
    main->RunCommand(QStringLiteral("IDC_FS_ClearLog"));
    EXPECT_TRUE(main->lstConnectionInfo.isEmpty());
    EXPECT_FALSE(readWholeFile(root.file(QStringLiteral("program/log/FTP.log"))).isEmpty());
}

TEST_F(KarvoMainFixture, TheDispatcherKnowsEveryCommandString) {
    QStringList expected = {"IDC_FS_tray",
                            "IDC_FS_minimize",
                            "IDC_FS_close",
                            "IDC_FS_drag",
                            "IDC_FS_launchZu",
                            "IDC_FS_ShowA",
                            "IDC_FS_HideA",
                            "IDC_FS_ShowB",
                            "IDC_FS_HideB",
                            "IDC_FS_ShowC",
                            "IDC_FS_HideC",
                            "IDC_FS_Connect",
                            "IDC_FS_Disconnect",
                            "IDC_FS_LocalUpLevel",
                            "IDC_FS_LocalRefresh",
                            "IDC_FS_RemoteUpLevel",
                            "IDC_FS_RemoteRefresh",
                            "IDC_FS_LocalLargeIcons",
                            "IDC_FS_LocalSmallIcons",
                            "IDC_FS_LocalListIcons",
                            "IDC_FS_LocalDetailsIcons",
                            "IDC_FS_RemoteLargeIcons",
                            "IDC_FS_RemoteSmallIcons",
                            "IDC_FS_RemoteListIcons",
                            "IDC_FS_RemoteDetailsIcons",
                            "IDC_FS_OpenFile",
                            "IDC_FS_FindFile",
                            "IDC_FS_Properties",
                            "IDC_FS_LDirFilters",
                            "IDC_FS_RDirFilters",
                            "IDC_FS_GoToRemoteDir",
                            "IDC_FS_Upload",
                            "IDC_FS_Download",
                            "IDC_FS_LDirSynchronize",
                            "IDC_FS_RDirSynchronize",
                            "IDC_FS_FileReceive",
                            "IDC_FS_ManualSend",
                            "IDC_FS_Erase",
                            "IDC_FS_LDelete",
                            "IDC_FS_LRename",
                            "IDC_FS_LCreateFolder",
                            "IDC_FS_RDelete",
                            "IDC_FS_RRename",
                            "IDC_FS_RCreateFolder",
                            "IDC_FS_MoveFileFolder",
                            "IDC_FS_CustomCommand",
                            "IDC_FS_Recycle",
                            "IDC_FS_ClearLog",
                            "IDC_FS_Options",
                            "IDC_FS_UserGuide",
                            "IDC_FS_Reconnect",
                            "IDC_FS_Chmod",
                            "IDC_FS_FTPCommands"};
    QStringList known = main->Commands();
    expected.sort();
    known.sort();
    EXPECT_EQ(known, expected);
    // An unknown string does nothing.
    main->RunCommand(QStringLiteral("IDC_FS_Bogus"));
    EXPECT_TRUE(commandsRun.isEmpty());
}

TEST_F(KarvoMainFixture, TheUserGuideOpensFromBesideTheProgram) {
    dialogs.allowOkMessages();
    main->RunCommand(QStringLiteral("IDC_FS_UserGuide"));
    EXPECT_TRUE(desktop.isEmpty());
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].icon, Dialogs::Icon::Information);
    const QString guide = programFolder.filePath(QStringLiteral("FTPHelp.html"));
    ASSERT_TRUE(writeWholeFile(guide, "<html></html>"));
    main->RunCommand(QStringLiteral("IDC_FS_UserGuide"));
    EXPECT_EQ(desktop, QStringList{QStringLiteral("open ") + guide});
}

}  // namespace
