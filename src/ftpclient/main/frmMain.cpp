// The main window's frame: start-up, exit, status line, connection log, the
// toolbar's variables and panels, and the table of command strings.
// Connecting is in frmMainConnection.cpp, browsing in frmMainBrowsing.cpp.
#include "ftpclient/main/frmMain.h"

#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "common/SingleInstance.h"
#include "ftpclient/browsing/clsLocalPaths.h"
#include "ftpclient/main/ConnectionLog.h"
#include "ftpclient/main/KarvoSettings.h"
#include "ftpclient/profiles/frmConnectionInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace karvo {

const QString frmMain::kTitle = QStringLiteral("Vornel FTP");
const QString frmMain::kConfirmTitle = QStringLiteral("FTP Client[Confirm]");
const QString frmMain::kQueryTitle = QStringLiteral("FTP Client[Query]");
const QString frmMain::kNoticeTitle = QStringLiteral("FTP Client[Notice]");

namespace {

QString withoutControls(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text)
        if ((c.unicode() >= 0x20 || c == u'\t') && c.unicode() != 0x7f) clean += c;
    return clean;
}

}  // namespace

frmMain::Busy::Busy(frmMain& main) : main_(main) {
    ++main_.busy_;
}

frmMain::Busy::~Busy() {
    if (--main_.busy_ == 0 && main_.exitPending_) {
        // From the event loop, once the handler that held the window is gone.
        QTimer::singleShot(0, &main_, [main = &main_] {
            main->exitPending_ = false;
            main->Exit();
        });
    }
}

frmMain::Hourglass::Hourglass(frmMain& main) : main_(main) {
    if (main_.hourglass_++ == 0) call(main_.hooks.hourglass, true);
}

frmMain::Hourglass::~Hourglass() {
    if (--main_.hourglass_ == 0) call(main_.hooks.hourglass, false);
}

frmMain::frmMain(QObject* parent) : QObject(parent), ProgramFolder(AppPaths::executableFolder()) {
    hooks.isFirstInstance = [this] {
        instance_ = std::make_unique<SingleInstance>(QStringLiteral("karvo"));
        return instance_->isFirst();
    };
    hooks.startProgram = [](const QString& program) {
        return QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
    };
    hooks.quit = [] { QCoreApplication::quit(); };
    tmrRefresh.setSingleShot(true);
    tmrRefresh.setInterval(500);
    connect(&tmrRefresh, &QTimer::timeout, this, &frmMain::tmrRefresh_Timer);
    connect(&lstRemoteFileList, &FileList::selectionChanged, this, &frmMain::UpdateRemoteCommands);
    connect(&lstLocalFileList, &FileList::selectionChanged, this, &frmMain::UpdateLocalCommands);
    connectComponent();
    buildCommands();
}

frmMain::~frmMain() = default;

bool frmMain::Startup() {
    if (hooks.isFirstInstance && !hooks.isFirstInstance()) {
        Dialogs::show(SingleInstance::runningMessage(), Dialogs::Icon::Critical);
        return false;
    }
    Busy busy(*this);
    call(hooks.showSplash);
    localPaths_ = std::make_unique<clsLocalPaths>();
    connect(localPaths_.get(), &clsLocalPaths::UpdateLocalEntry, this, &frmMain::onLocalEntry);
    connect(localPaths_.get(), &clsLocalPaths::AddToLocalPaths, &cboLocalPath,
            &PathBox::AddPathToComboBox);
    connect(localPaths_.get(), &clsLocalPaths::LogicalDriveFound, &cboLocalPath, &PathBox::AddItem);
    QCoreApplication::setApplicationName(kTitle);
    call(hooks.setTitle, kTitle);
    SetVariable(QStringLiteral("_root.Program"), QStringLiteral("FTP"));

    log_ = std::make_unique<ConnectionLog>(AppPaths::programFolder(),
                                           ConnectionLog::Settings::FromHive());
    log_->CleanUpAtStart();
    sLanguage = KarvoSettings::Language();
    AsciiExtensions = KarvoSettings::Read(QStringLiteral("Auto Mode Types"),
                                          QStringLiteral("txt;htm;html;php;cgi;asp;ini;inf;log"))
                          .split(u';', Qt::SkipEmptyParts);

    UpdateLocalCommands();
    UpdateRemoteCommands();
    SetConnectedState(false);
    SetAbortEnabled(false);

    localPaths_->RetrieveLogicalDrives();
    if (ChangeCurrentLocalFolder(StartFolder())) RefreshLocal();
    SetProgress(0);

    // The custom-command panel starts closed, and every panel hidden until the
    // toolbar shows them.
    SetVariable(QStringLiteral("_root.CustomCommand"), QStringLiteral("2"));
    for (Panel panel : {QuickConnectPanel, FileListPanel, LogPanel, CustomCommandPanel})
        ShowPanel(panel, false);

    bAutoMode = true;
    call(hooks.showTray, true);
    call(hooks.closeSplash);
    // What the toolbar does once it is loaded.
    RunCommand(QStringLiteral("IDC_FS_ShowA"));
    RunCommand(QStringLiteral("IDC_FS_ShowB"));
    return true;
}

void frmMain::Exit() {
    if (exiting_ || exited_) return;
    if (busy_ > 0) {
        // A handler is still on the stack: its call ends first, then the exit
        // comes from the event loop (Busy).
        exitPending_ = true;
        xFtp.setAbort(true);
        call(hooks.unloadDialogs);
        return;
    }
    finishExit();
}

void frmMain::finishExit() {
    exiting_ = true;
    tmrRefresh.stop();
    call(hooks.unloadDialogs);
    connectionInfo_.reset();
    if (xFtp.state() != FtpComponent::NotConnected) {
        StatusBarInfo(QStringLiteral("Disconnecting from ") + addressText());
        xFtp.disconnectFromServer();
    }
    localPaths_.reset();
    call(hooks.showTray, false);
    if (launchLumet_ && hooks.startProgram) hooks.startProgram(LumetPath());
    exited_ = true;
    call(hooks.quit);
}

void frmMain::LaunchLumet() {
    if (!QFileInfo(LumetPath()).isExecutable()) return;
    launchLumet_ = true;
    Exit();
}

QString frmMain::LumetPath() const {
    return QDir(ProgramFolder).filePath(QStringLiteral("lumet-desktop"));
}

QString frmMain::UserGuidePath() const {
    const QString name = QStringLiteral("FTPHelp.html");
    const QString inProgramFolder = AppFilePath(name);
    if (QFileInfo::exists(inProgramFolder)) return inProgramFolder;
    return AppPaths::shippedPath(ProgramFolder, name);
}

void frmMain::UserGuide() {
    const QString path = UserGuidePath();
    if (!QFileInfo::exists(path)) {
        Dialogs::show(QStringLiteral("The user's guide ") + path + QStringLiteral(" is missing."),
                      Dialogs::Icon::Information);
        return;
    }
    call(hooks.openDocument, path);
}

void frmMain::Tray_Click() {
    call(hooks.showMainWindow);
}

void frmMain::StatusBarInfo(const QString& sMessage) {
    lblStatus = sMessage;
    emit statusChanged(lblStatus);
    SetVariable(QStringLiteral("_root.status_txt.text"), lblStatus);
}

void frmMain::DisplayMessage(const QString& sMessage) {
    // Whatever a server sends, a log line stays one line, in the list and in
    // the file.
    const QString line = withoutControls(sMessage);
    lstConnectionInfo.append(line);
    emit logLineAdded(line);
    if (log_) log_->Write(line);
}

void frmMain::ClearLog() {
    lstConnectionInfo.clear();
    emit logCleared();
}

void frmMain::SetVariable(const QString& name, const QString& value) {
    Variables.insert(name, value);
    emit variableChanged(name, value);
}

void frmMain::ShowPanel(Panel panel, bool shown) {
    panels_.insert(panel, shown);
    emit panelsChanged();
}

void frmMain::SetProgress(int percent) {
    ProgressBar1 = qBound(0, percent, 100);
    emit progressChanged(ProgressBar1);
    SetVariable(QStringLiteral("_root.Progress_mc._xscale"), QString::number(ProgressBar1));
}

void frmMain::RunCommand(const QString& command) {
    if (Closing()) return;
    const auto action = commands_.constFind(command);
    if (action == commands_.constEnd()) return;
    Busy busy(*this);
    (*action)();
    emit commandRun(command);
}

void frmMain::buildCommands() {
    const auto panels = [this](std::initializer_list<Panel> list, bool shown) {
        return [this, list = std::vector<Panel>(list), shown] {
            for (Panel panel : list) ShowPanel(panel, shown);
        };
    };
    const auto view = [](FileList& list, int mode) {
        return [&list, mode] { list.SetView(mode); };
    };
    const auto nothing = [] {};
    commands_ = {
        // The window.
        {QStringLiteral("IDC_FS_tray"),
         [this] {
             // Without a notification area a hidden window could not come back.
             if (hooks.trayAvailable && hooks.trayAvailable()) {
                 call(hooks.hideToTray);
             } else {
                 call(hooks.minimize);
             }
         }},
        {QStringLiteral("IDC_FS_minimize"), [this] { call(hooks.minimize); }},
        {QStringLiteral("IDC_FS_close"), [this] { Exit(); }},
        {QStringLiteral("IDC_FS_drag"), [this] { call(hooks.dragWindow); }},
        {QStringLiteral("IDC_FS_launchZu"), [this] { LaunchLumet(); }},
        {QStringLiteral("IDC_FS_ShowA"), panels({QuickConnectPanel}, true)},
        {QStringLiteral("IDC_FS_HideA"), panels({QuickConnectPanel}, false)},
        {QStringLiteral("IDC_FS_ShowB"), panels({FileListPanel, LogPanel}, true)},
        {QStringLiteral("IDC_FS_HideB"), panels({FileListPanel, LogPanel}, false)},
        {QStringLiteral("IDC_FS_ShowC"), panels({LogPanel, CustomCommandPanel}, true)},
        {QStringLiteral("IDC_FS_HideC"), panels({LogPanel, CustomCommandPanel}, false)},
        // The connection.
        {QStringLiteral("IDC_FS_Connect"), [this] { cmdConnect_Click(); }},
        {QStringLiteral("IDC_FS_Disconnect"), [this] { cmdDisconnect_Click(); }},
        // Browsing.
        {QStringLiteral("IDC_FS_LocalUpLevel"), [this] { LocalUpLevel(); }},
        {QStringLiteral("IDC_FS_LocalRefresh"), [this] { RefreshLocal(); }},
        {QStringLiteral("IDC_FS_RemoteUpLevel"), [this] { RemoteUpLevel(); }},
        {QStringLiteral("IDC_FS_RemoteRefresh"), [this] { RefreshRemote(); }},
        {QStringLiteral("IDC_FS_LocalLargeIcons"), view(lstLocalFileList, FileList::LargeIcons)},
        {QStringLiteral("IDC_FS_LocalSmallIcons"), view(lstLocalFileList, FileList::SmallIcons)},
        {QStringLiteral("IDC_FS_LocalListIcons"), view(lstLocalFileList, FileList::List)},
        {QStringLiteral("IDC_FS_LocalDetailsIcons"), view(lstLocalFileList, FileList::Report)},
        {QStringLiteral("IDC_FS_RemoteLargeIcons"), view(lstRemoteFileList, FileList::LargeIcons)},
        {QStringLiteral("IDC_FS_RemoteSmallIcons"), view(lstRemoteFileList, FileList::SmallIcons)},
        {QStringLiteral("IDC_FS_RemoteListIcons"), view(lstRemoteFileList, FileList::List)},
        {QStringLiteral("IDC_FS_RemoteDetailsIcons"), view(lstRemoteFileList, FileList::Report)},
        {QStringLiteral("IDC_FS_OpenFile"), [this] { OpenFile(); }},
        {QStringLiteral("IDC_FS_FindFile"), [this] { FindFile(); }},
        {QStringLiteral("IDC_FS_Properties"), [this] { Properties(); }},
        {QStringLiteral("IDC_FS_LDirFilters"), [this] { LocalDefineTypes(); }},
        {QStringLiteral("IDC_FS_RDirFilters"), [this] { RemoteDefineTypes(); }},
        {QStringLiteral("IDC_FS_GoToRemoteDir"), [this] { GoToRemoteDir(); }},
        // Transfers.
        {QStringLiteral("IDC_FS_Upload"), [this] { Upload(); }},
        {QStringLiteral("IDC_FS_Download"), [this] { Download(); }},
        {QStringLiteral("IDC_FS_LDirSynchronize"), [this] { LDirSynchronize(); }},
        {QStringLiteral("IDC_FS_RDirSynchronize"), [this] { RDirSynchronize(); }},
        {QStringLiteral("IDC_FS_FileReceive"), [this] { FileReceive(); }},
        {QStringLiteral("IDC_FS_ManualSend"), [this] { ManualSend(); }},
        // File operations and commands.
        {QStringLiteral("IDC_FS_Erase"), [this] { Erase(); }},
        {QStringLiteral("IDC_FS_LDelete"), [this] { LDelete(); }},
        {QStringLiteral("IDC_FS_LRename"), [this] { LRename(); }},
        {QStringLiteral("IDC_FS_LCreateFolder"), [this] { LCreateFolder(); }},
        {QStringLiteral("IDC_FS_RDelete"), [this] { RDelete(); }},
        {QStringLiteral("IDC_FS_RRename"), [this] { RRename(); }},
        {QStringLiteral("IDC_FS_RCreateFolder"), [this] { RCreateFolder(); }},
        {QStringLiteral("IDC_FS_MoveFileFolder"), [this] { MoveFileFolder(); }},
        {QStringLiteral("IDC_FS_CustomCommand"), [this] { CustomCommand(); }},
        {QStringLiteral("IDC_FS_Recycle"), [this] { Recycle(); }},
        {QStringLiteral("IDC_FS_Chmod"), [this] { Chmod(); }},
        // The rest.
        {QStringLiteral("IDC_FS_ClearLog"), [this] { ClearLog(); }},
        {QStringLiteral("IDC_FS_Options"), [this] { Options(); }},
        {QStringLiteral("IDC_FS_UserGuide"), [this] { UserGuide(); }},
        {QStringLiteral("IDC_FS_Reconnect"), nothing},
        {QStringLiteral("IDC_FS_FTPCommands"), nothing},
    };
}

}  // namespace karvo
