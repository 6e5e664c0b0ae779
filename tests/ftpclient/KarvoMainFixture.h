#pragma once

#include "common/EnvironmentGuard.h"
#include "common/QStringPrinter.h"
#include "ftpclient/main/frmMain.h"
#include "ftpclient/profiles/frmConnectionInfo.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedFtpServer.h"
#include "support/TempRoot.h"
#include "support/TestData.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// Karvo's main window logic in a fresh installation, with the scripted FTP
// server in this process. The home folder, where the local list starts and
// downloads land, is a temporary one. The connection dialog is filled by `fillDialog`;
// the program is not ended at exit, the desktop's actions are recorded.
class KarvoMainFixture : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(home.isValid());
        environment.set("HOME", home.path().toLocal8Bit());
        dialogs.clear();
        ASSERT_TRUE(server.start());
        create();
    }

    void create() {
        main = std::make_unique<karvo::frmMain>();
        main->xFtp.timeLimitMs = 10000;
        main->ProgramFolder = programFolder.path();
        karvo::frmMain::Hooks& hooks = main->hooks;
        hooks.quit = [this] { ++quits; };
        hooks.startProgram = [this](const QString& program) {
            started << program;
            return true;
        };
        hooks.showConnectionInfo = [this](karvo::frmConnectionInfo& info) {
            shownDialog = &info;
            if (fillDialog) fillDialog(info);
            shownDialog = nullptr;
        };
        hooks.unloadDialogs = [this] {
            ++unloads;
            if (shownDialog) shownDialog->cmdCancel_Click();
        };
        hooks.showTray = [this](bool shown) { trayShown = shown; };
        hooks.hideToTray = [this] { windowActions << QStringLiteral("hide"); };
        hooks.minimize = [this] { windowActions << QStringLiteral("minimize"); };
        hooks.openDocument = [this](const QString& path) {
            desktop << QStringLiteral("open ") + path;
        };
        hooks.openFolder = [this](const QString& path) {
            desktop << QStringLiteral("folder ") + path;
        };
        hooks.showProperties = [this](const QString& path) {
            desktop << QStringLiteral("properties ") + path;
        };
        QObject::connect(main.get(), &karvo::frmMain::commandRun,
                         [this](const QString& name) { commandsRun << name; });
        QObject::connect(main.get(), &karvo::frmMain::statusChanged,
                         [this](const QString& text) { statuses << text; });
    }

    // Started up, with the local list in a folder of the test's own: what is
    // downloaded lands there, never in the home folder.
    void startUp() {
        ASSERT_TRUE(main->Startup());
        ASSERT_TRUE(main->ChangeCurrentLocalFolder(localFolder.path()));
        main->RefreshLocal();
    }

    // The dialog filled for the scripted server, left through Connect.
    void fillForServer(const QString& user = QStringLiteral("karvo"),
                       const QString& password = QStringLiteral("Secret-1"), bool passive = true) {
        fillDialog = [this, user, password, passive](karvo::frmConnectionInfo& info) {
            info.txtHost = QStringLiteral("127.0.0.1");
            info.SetPort(QString::number(server.port()));
            info.optNormal_Click();
            info.txtUserName = user;
            info.txtPassword = password;
            info.chkPassiveMode = passive;
            info.cmdConnect_Click();
        };
    }

    void connectToServer() {
        fillForServer();
        main->RunCommand(QStringLiteral("IDC_FS_Connect"));
        ASSERT_EQ(main->xFtp.state(), FtpComponent::Idle) << main->lblStatus.toStdString();
    }

    void connectToServerExpectingFailure() {
        fillForServer();
        main->RunCommand(QStringLiteral("IDC_FS_Connect"));
        EXPECT_EQ(main->lblStatus, QStringLiteral("Could not connect to 127.0.0.1"));
    }

    QStringList remoteNames() const {
        QStringList names;
        for (const karvo::FileRow& row : main->lstRemoteFileList.Rows()) names << row.name;
        return names;
    }
    QStringList localNames() const {
        QStringList names;
        for (const karvo::FileRow& row : main->lstLocalFileList.Rows()) names << row.name;
        return names;
    }
    void selectRemote(const QString& name) {
        main->lstRemoteFileList.SetSelection({main->lstRemoteFileList.IndexOf(name)});
    }
    void selectLocal(const QString& name) {
        main->lstLocalFileList.SetSelection({main->lstLocalFileList.IndexOf(name)});
    }

    // The command lines of one control connection, CR LF removed.
    QList<QByteArray> sent(int connection = 0) const {
        QList<QByteArray> lines;
        for (const QByteArray& line : server.commands(connection))
            lines << line.chopped(line.endsWith("\r\n") ? 2 : 0);
        return lines;
    }
    int count(const QByteArray& verb, int connection = 0) const {
        int n = 0;
        for (const QByteArray& line : sent(connection))
            if (line == verb || line.startsWith(verb + ' ')) ++n;
        return n;
    }
    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& call : dialogs.calls()) texts << call.text;
        return texts;
    }

    TempRoot root;
    QTemporaryDir home;
    EnvironmentGuard environment;
    QTemporaryDir programFolder;
    QTemporaryDir localFolder;
    ScriptedDialogs& dialogs = ScriptedDialogs::current();
    ScriptedFtpServer server;
    std::unique_ptr<karvo::frmMain> main;
    std::function<void(karvo::frmConnectionInfo&)> fillDialog;
    karvo::frmConnectionInfo* shownDialog = nullptr;
    int quits = 0;
    int unloads = 0;
    bool trayShown = false;
    QStringList started;
    QStringList windowActions;
    QStringList desktop;
    QStringList commandsRun;
    QStringList statuses;
};
