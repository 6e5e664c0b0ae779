// The main window's connection: connect through the connection dialog or the
// quick-connect fields, log in, disconnect, abort, the server's questions, and
// the enabled state of the commands.
#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "ftpclient/main/KarvoFirewall.h"
#include "ftpclient/main/PortText.h"
#include "ftpclient/main/frmMain.h"
#include "ftpclient/profiles/frmConnectionInfo.h"

#include <QDir>

namespace karvo {

namespace {

// An input box titled "FTP Client[Query]"; an empty answer or Cancel gives
// "", which ends the login.
void askServerQuestion(const QString& prompt, QString& answer) {
    answer =
        Dialogs::instance().inputBox(prompt, frmMain::kQueryTitle, QString()).value_or(QString());
}

}  // namespace

void frmMain::connectComponent() {
    connect(&xFtp, &FtpComponent::logLine, this, &frmMain::DisplayMessage);
    connect(&xFtp, &FtpComponent::disconnected, this, &frmMain::onDisconnected);
    connect(&xFtp, &FtpComponent::listingItem, this, &frmMain::onListingItem);
    connect(&xFtp, &FtpComponent::operationCompleted, this, &frmMain::onOperationCompleted);
    connect(
        &xFtp, &FtpComponent::accountRequired, this,
        [](QString& answer) {
            askServerQuestion(QStringLiteral("An account is required for this server."), answer);
        },
        Qt::DirectConnection);
    connect(
        &xFtp, &FtpComponent::wrongPassword, this,
        [](QString& answer) {
            askServerQuestion(QStringLiteral("Please enter the correct password"), answer);
        },
        Qt::DirectConnection);
}

void frmMain::cmdConnect_Click() {
    if (Closing()) return;
    Busy busy(*this);
    Hourglass hourglass(*this);
    connectionInfo_ = std::make_unique<frmConnectionInfo>();
    connectionInfo_->showModal = hooks.showConnectionInfo;
    connectionInfo_->ShippedFolder = AppPaths::shippedPath(ProgramFolder, QStringLiteral("SProfiles"));
    connectionInfo_->Form_Load();
    const bool chosen =
        connectionInfo_->ShowForm(sAddress, sPort, sUserName, sPassword, bIsAnonymous, bPassive);
    connectionInfo_.reset();
    if (!chosen) {
        StatusBarInfo(QStringLiteral("Connect operation cancelled."));
        return;
    }
    if (!disconnectFirst()) return;
    txtQaddress = sAddress;
    txtQport = PortText::Checked(sPort);
    txtQuser = sUserName;
    txtQpassword = sPassword;
    emit quickFieldsChanged();
    connectWithFields(true, true);
}

void frmMain::cmdQConnect_Click() {
    if (Closing()) return;
    Busy busy(*this);
    if (txtQaddress.trimmed().isEmpty() || txtQuser.trimmed().isEmpty() ||
        txtQport.trimmed().isEmpty()) {
        Dialogs::instance().message(QStringLiteral("Please enter conncetion information"),
                                    Dialogs::Buttons::OK, Dialogs::Icon::None, QString());
        return;
    }
    Hourglass hourglass(*this);
    if (!disconnectFirst()) return;
    sAddress = txtQaddress;
    sPort = txtQport;
    sUserName = txtQuser;
    sPassword = txtQpassword;
    connectWithFields(false, false);
}

bool frmMain::disconnectFirst() {
    if (xFtp.state() == FtpComponent::NotConnected) return true;
    // No leaves the connection as it is.
    if (!Dialogs::ask(QStringLiteral("Cant connect to server, Do you want to Disconnect First?"),
                      Dialogs::Icon::Exclamation))
        return false;
    cmdDisconnect_Click();
    return true;
}

void frmMain::connectWithFields(bool anonymousSubstitution, bool setPassive) {
    xFtp.serverAddress = sAddress.trimmed();
    xFtp.serverPort = PortText::Number(sPort);
    if (anonymousSubstitution && bIsAnonymous) {
        xFtp.userName = QStringLiteral("anonymous");
        xFtp.password = QStringLiteral("lurno");
    } else {
        xFtp.userName = sUserName;
        xFtp.password = sPassword;
    }
    if (setPassive) xFtp.passiveMode = bPassive;
    QString note;
    const FtpProxy proxy = KarvoFirewall::fromHive(note);
    if (!note.isEmpty()) DisplayMessage(note);
    xFtp.firewallType = proxy.type;
    xFtp.firewallHost = proxy.host;
    xFtp.firewallPort = proxy.port;
    xFtp.firewallUserName = proxy.userName;
    xFtp.firewallPassword = proxy.password;

    StatusBarInfo(QStringLiteral("Connecting to ") + addressText());
    LogIn();
    if (xFtp.state() == FtpComponent::Idle) {
        lstRemoteFileList.Clear();
        ListFilesOnServer();
        SetConnectedState(true);
        StatusBarInfo(QStringLiteral("Connected to ") + addressText());
    } else {
        StatusBarInfo(QStringLiteral("Could not connect to ") + addressText());
    }
}

bool frmMain::LogIn() {
    if (xFtp.state() != FtpComponent::NotConnected) {
        StatusBarInfo(QStringLiteral("Already connected to ") + addressText() +
                      QStringLiteral("!"));
        return false;
    }
    if (const FtpResult error = xFtp.connectToServer()) {
        DisplayMessage(QStringLiteral("Error while connecting to '") + addressText() +
                       QStringLiteral("'. Description: ") + error->description);
        StatusBarInfo(QStringLiteral("Error connecting to ") + addressText());
        return false;
    }
    QString folder;
    if (const FtpResult error = xFtp.currentFolder(folder)) {
        DisplayMessage(
            QStringLiteral(
                "Error while obtaining current remote folder after connection. Description: ") +
            error->description);
        StatusBarInfo(QStringLiteral("Error obtaining current remote folder."));
        return true;
    }
    sCurrentRemotePath = folder;
    cboRemotePath.AddPathToComboBox(folder);
    return true;
}

void frmMain::cmdDisconnect_Click() {
    if (exited_) return;
    Busy busy(*this);
    if (xFtp.state() == FtpComponent::NotConnected) return;
    // A running operation is aborted first: the component sets the abort flag
    // and waits for the operation's end (a bounded wait) before it says goodbye.
    StatusBarInfo(QStringLiteral("Disconnecting from ") + addressText());
    xFtp.disconnectFromServer();
}

void frmMain::onDisconnected() {
    cboRemotePath.Clear();
    sCurrentRemotePath.clear();
    StatusBarInfo(QStringLiteral("Disconnected from ") + addressText());
    lstRemoteFileList.Clear();
    SetConnectedState(false);
    UpdateRemoteCommands();
}

void frmMain::cmdAbort_Click() {
    if (exited_) return;
    // The component's abort flag cannot fail; it only acts while an operation runs.
    xFtp.setAbort(true);
    StatusBarInfo(QStringLiteral("Aborting current operaion."));
    tmrRefresh.start();
}

void frmMain::tmrRefresh_Timer() {
    tmrRefresh.stop();
    if (Closing()) return;
    Busy busy(*this);
    switch (xFtp.state()) {
        case FtpComponent::NotConnected:
            return;
        case FtpComponent::Idle:
            RefreshRemote();
            return;
        default:
            // The aborted operation has not ended yet: the list comes after it.
            tmrRefresh.start();
    }
}

void frmMain::onOperationCompleted(qint32 result) {
    if (result != FtpErrors::kAborted) return;
    // Shown once the aborted call has returned, not inside the component.
    QTimer::singleShot(0, this, [this] {
        if (Closing()) return;
        Busy busy(*this);
        Dialogs::instance().message(QStringLiteral("Operation Aported Succesfully"),
                                    Dialogs::Buttons::OK, Dialogs::Icon::None, QString());
    });
}

void frmMain::SetQuickPort(const QString& text) {
    txtQport = PortText::Checked(text);
    if (txtQport != text) emit quickFieldsChanged();
}

void frmMain::SetConnectedState(bool connected) {
    Controls.SetConnectedState(connected);
    SetVariable(QStringLiteral("_root.Connected"),
                connected ? QStringLiteral("1") : QStringLiteral("0"));
    UpdateLocalCommands();
    UpdateRemoteCommands();
}

void frmMain::UpdateRemoteCommands() {
    Controls.UpdateRemoteCommands(lstRemoteFileList.SelectionKinds());
    emit controlsChanged();
}

void frmMain::UpdateLocalCommands() {
    Controls.UpdateLocalCommands(lstLocalFileList.SelectionKinds(), xFtp.state());
    emit controlsChanged();
}

void frmMain::SetAbortEnabled(bool enabled) {
    Controls.cmdAbort = enabled;
    emit controlsChanged();
}

}  // namespace karvo
