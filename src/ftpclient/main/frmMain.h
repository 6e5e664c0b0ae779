#pragma once

#include "ftpclient/browsing/FileList.h"
#include "ftpclient/browsing/PathBox.h"
#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/main/ControlStates.h"
#include "ftpclient/main/frmMainAccess.h"
#include "ftpclient/transfers/ListDrag.h"
#include "ftpclient/transfers/TransferEvents.h"
#include "ftpclient/transfers/TransferMode.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class SingleInstance;

namespace karvo {

class ConnectionLog;
class clsLocalPaths;
class frmConnectionInfo;

// The FTP client's main window, without widgets: the connection (dialog and
// quick connect, disconnect, abort, the server's questions), the enabled state
// of buttons and menus, the status line, the connection log and its file, the
// two file lists with their path boxes and navigation, and the "IDC_FS_…"
// command strings of the toolbar, menus and tray.
//
// What needs widgets or the desktop it asks of hooks, which the face and the
// program set; a hook left unset does nothing.
//
// Calls of the FTP component run the event loop until they end, so handlers
// can be entered while another one waits. Exit and starting Lumet never tear
// the window down under a running handler: they abort the running operation and
// happen once the last handler has returned.
class frmMain : public QObject {
    Q_OBJECT
public:
    static const QString kTitle;  // "Vornel FTP"
    // Titles of the boxes: "FTP Client" directly followed by the kind.
    static const QString kConfirmTitle;  // "FTP Client[Confirm]"
    static const QString kQueryTitle;    // "FTP Client[Query]"
    static const QString kNoticeTitle;   // "FTP Client[Notice]"

    struct Hooks {
        // Start-up and exit.
        std::function<bool()> isFirstInstance;  // default: the program's instance lock
        std::function<void()> showSplash;
        std::function<void()> closeSplash;
        std::function<void(const QString&)> setTitle;
        std::function<void(bool)> showTray;
        // Closes the dialogs that are open (connection, input, messages).
        std::function<void()> unloadDialogs;
        std::function<void()> quit;  // default: ends the event loop
        // The window.
        std::function<bool()> trayAvailable;  // whether the desktop has a notification area
        std::function<void()> hideToTray;
        std::function<void()> minimize;
        std::function<void()> dragWindow;
        std::function<void()> showMainWindow;
        std::function<void(bool)> hourglass;
        // Shows the connection dialog modally over the window.
        std::function<void(frmConnectionInfo&)> showConnectionInfo;
        // The desktop.
        std::function<void(const QString&)> openDocument;
        std::function<void(const QString&)> openFolder;
        std::function<void(const QString&)> showProperties;
        std::function<bool(const QString&)> startProgram;  // default: a detached process
        // Transfers and file operations: Karvo's file-exists dialog, the options
        // dialog, the permission dialog (the number after OK), and the focus
        // into the custom command's field.
        std::function<ExistAnswer(const QString& source, const QString& destination, bool resumeAllowed)>
            askFileExists;
        std::function<void(TransferMode&)> showOptions;
        std::function<std::optional<QString>()> askChmod;
        std::function<void()> focusCustomCommand;
    };

    // The four panels over the toolbar.
    enum Panel { QuickConnectPanel, FileListPanel, LogPanel, CustomCommandPanel };

    // Holds the window while a handler runs; an exit asked for meanwhile waits
    // until the last one is gone. Every command and click handler takes one.
    class Busy {
    public:
        explicit Busy(frmMain& main);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        frmMain& main_;
    };

    // Shows the hourglass pointer for its life.
    class Hourglass {
    public:
        explicit Hourglass(frmMain& main);
        ~Hourglass();
        Hourglass(const Hourglass&) = delete;
        Hourglass& operator=(const Hourglass&) = delete;

    private:
        frmMain& main_;
    };

    explicit frmMain(QObject* parent = nullptr);
    ~frmMain() override;

    Hooks hooks;
    FtpComponent xFtp;
    // Where Lumet ("lumet-desktop"), the user's guide and the standard site
    // profiles are looked for: the folder of this program's executable.
    QString ProgramFolder;

    // --- Connection fields
    QString sAddress;
    QString sPort = QStringLiteral("21");
    QString sUserName;
    QString sPassword;
    bool bIsAnonymous = false;
    bool bPassive = true;
    // The quick-connect fields; the face writes what is typed into them.
    QString txtQaddress;
    QString txtQport = QStringLiteral("21");
    QString txtQuser;
    QString txtQpassword;

    // --- Further state
    QString sCurrentLocalPath;
    QString sCurrentRemotePath;
    QString sLanguage;
    // True while the transfer type "Auto" is chosen.
    bool bAutoMode = true;
    // "Auto Mode Types": the extensions that go as ASCII in auto mode.
    QStringList AsciiExtensions;

    // --- Controls
    FileList lstLocalFileList;
    FileList lstRemoteFileList;
    PathBox cboLocalPath;
    PathBox cboRemotePath;
    QStringList lstConnectionInfo;
    QString lblStatus;
    int ProgressBar1 = 0;
    ControlStates Controls;
    QTimer tmrRefresh;
    // The deletion work list and its folder box: copies of the remote list and
    // path box shown in front of them while a walk moves the remote folder.
    FileList lstDel;
    PathBox cmbDel;
    bool DeletionCoverShown = false;
    // The toolbar's variables ("_root.status_txt.text", "_root.Connected",
    // "_root.Progress_mc._xscale", "_root.Program", "_root.CustomCommand").
    QMap<QString, QString> Variables;
    bool PanelShown(Panel panel) const { return panels_.value(panel); }

    // The local-paths object from start-up to exit (else nullptr).
    clsLocalPaths* LocalPaths() const { return localPaths_.get(); }
    // The connection dialog while it is loaded (else nullptr).
    frmConnectionInfo* ConnectionInfo() const { return connectionInfo_.get(); }

    // --- Start and end
    // The start-up in its order; false when another instance runs (the program
    // then ends).
    bool Startup();
    // Exit: dialogs closed, disconnected, tray icon removed, program ended.
    // Runs once; asked for while a handler runs, it happens after it.
    void Exit();
    bool HasExited() const { return exited_; }
    bool ExitPending() const { return exitPending_; }
    // An exit is pending, running or done: new commands are not taken.
    bool Closing() const { return exitPending_ || exiting_ || exited_; }
    // Starts lumet-desktop beside this program and ends this one; nothing
    // happens when it is not there.
    void LaunchLumet();
    QString LumetPath() const;
    void UserGuide();
    QString UserGuidePath() const;
    void Tray_Click();

    // --- Status, log, toolbar variables
    void StatusBarInfo(const QString& sMessage);
    void UpdateAction(const QString& sMessage) { StatusBarInfo(sMessage); }
    void DisplayMessage(const QString& sMessage);
    void ClearLog();
    void SetVariable(const QString& name, const QString& value);
    void ShowPanel(Panel panel, bool shown);
    void SetProgress(int percent);

    // --- Commands: the "IDC_FS_…" strings; unknown ones are ignored.
    void RunCommand(const QString& command);
    QStringList Commands() const { return commands_.keys(); }

    // --- Connection
    void cmdConnect_Click();
    void cmdQConnect_Click();
    void cmdDisconnect_Click();
    void cmdAbort_Click();
    // The quick port field; any text that is not a port becomes "21".
    void SetQuickPort(const QString& text);
    void SetConnectedState(bool connected);
    void UpdateRemoteCommands();
    void UpdateLocalCommands();
    void SetAbortEnabled(bool enabled);
    // tmrRefresh: the list after an abort.
    void tmrRefresh_Timer();

    // --- Browsing
    static QString StartFolder();
    bool ChangeCurrentLocalFolder(const QString& sNewLocalPath);
    bool ChangeCurrentRemoteFolder(const QString& sNewRemotePath, bool bInteractive);
    QString GetRemoteFolder();
    void ListFilesOnServer();
    void ListDefinedFilesOnServer(const QString& defineString);
    void RefreshLocal();
    void RefreshRemote();
    // A path chosen in a path box or typed there and entered.
    void cboLocalPath_Enter(const QString& path);
    void cboRemotePath_Enter(const QString& path);
    // On the row that is selected (the face selects the double-clicked row).
    void lstLocalFileList_DblClick();
    void lstRemoteFileList_DblClick();
    void LocalUpLevel();
    void RemoteUpLevel();
    void GoToRemoteDir();
    void LocalAllFiles();
    void RemoteAllFiles();
    void LocalDefineTypes();
    void RemoteDefineTypes();
    void OpenFile();
    void FindFile();
    void Properties();

    // --- Transfers, file operations, commands, options: these handlers belong
    // to the transfer and file-operation code (frmMainOperations.cpp).
    void Upload();
    void Download();
    void LDirSynchronize();
    void RDirSynchronize();
    void FileReceive();
    void ManualSend();
    void Erase();
    void LDelete();
    void LRename();
    void LCreateFolder();
    void RDelete();
    void RRename();
    void RCreateFolder();
    void MoveFileFolder();
    void CustomCommand();
    void Recycle();
    void Options();
    void Chmod();
    // The transfer type group (Auto, ASCII, Binary).
    void SetTransferType(TransferMode::Option option);
    TransferMode::Option TransferType() const { return transferMode_.option(); }
    // The custom-command panel: Enter in its field, and its "Close".
    void txtCommand_Enter(const QString& text);
    void cmdCloseCommand_Click();
    // An entry of the "FTP Commands" menu, by its caption.
    void FtpCommandsMenu(const QString& entry);
    // A drop on one of the lists (ListDrag decides what it means); `files`
    // are the paths of files dragged in from another program.
    void ListDropped(ListDrag::Action action, const QStringList& files);
    // Lays the deletion work list over the remote list, or takes it away.
    void CoverRemoteList(bool cover);
    // The hourglass, counted: shown from the first true to the last false.
    void SetHourglass(bool on);

signals:
    void statusChanged(const QString& text);
    void logLineAdded(const QString& line);
    void logCleared();
    void controlsChanged();
    void variableChanged(const QString& name, const QString& value);
    void panelsChanged();
    void quickFieldsChanged();
    void progressChanged(int percent);
    // Every command string that was run, after it ran.
    void commandRun(const QString& command);
    void deletionCoverChanged();

private:
    void buildCommands();
    void connectComponent();
    // Asks whether to disconnect first when connected; false on No.
    bool disconnectFirst();
    // Connects with the connection fields.
    void connectWithFields(bool anonymousSubstitution, bool setPassive);
    bool LogIn();
    void onDisconnected();
    void onOperationCompleted(qint32 result);
    void onListingItem(const QString& name, const QDateTime& dateTime, qint64 size, int type);
    void onLocalEntry(const QString& name, const QDateTime& date, qint64 size, int attributes);
    void listLocal(const QString& mask);
    void relistRemote();
    QString addressText() const { return xFtp.serverAddress; }
    void finishExit();
    // The ASCII list and Auto mode of the window, handed to the component
    // before a transfer.
    void prepareTransfers();
    template <typename F, typename... Args>
    static void call(const F& hook, Args&&... args) {
        if (hook) hook(std::forward<Args>(args)...);
    }

    QHash<QString, std::function<void()>> commands_;
    QHash<int, bool> panels_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<ConnectionLog> log_;
    std::unique_ptr<clsLocalPaths> localPaths_;
    std::unique_ptr<frmConnectionInfo> connectionInfo_;
    int busy_ = 0;
    int hourglass_ = 0;
    bool exitPending_ = false;
    bool launchLumet_ = false;
    bool exiting_ = false;
    bool exited_ = false;
    // Transfers and file operations (frmMainOperations.cpp).
    frmMainAccess access_{*this};
    TransferMode transferMode_{xFtp};
    TransferEvents transferEvents_{xFtp, access_};
};

}  // namespace karvo
