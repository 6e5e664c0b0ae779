#pragma once

#include <QMainWindow>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QSplashScreen;
class QStackedWidget;
class Tray;
class CustomCommandFields;
class fraTransfer;
class mnuFtpCommands;

namespace karvo {

class FileListView;
class KarvoToolbarFace;
class frmMain;

// The FTP client's main window: toolbar, quick-connect fields, the local and
// remote lists with their path boxes, the connection log, the menus, the
// status line with progress and Abort, and the tray icon. It sets the hooks of
// frmMain that need widgets; everything it does goes through frmMain.
class frmMainFace : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMainFace(frmMain& main, QWidget* parent = nullptr);
    ~frmMainFace() override;

    KarvoToolbarFace* Toolbar;
    // The panels.
    QWidget* QuickConnectPanel;
    QWidget* FileListPanel;
    QWidget* LogPanel;
    QWidget* CustomCommandPanel;
    // Quick connect.
    QLineEdit* txtQaddress;
    QLineEdit* txtQport;
    QLineEdit* txtQuser;
    QLineEdit* txtQpassword;
    QPushButton* cmdQConnect;
    QPushButton* cmdConnect;
    QPushButton* cmdDisconnect;
    // The lists.
    QComboBox* cboLocalPath;
    QComboBox* cboRemotePath;
    QPushButton* cmdLoUp;
    QPushButton* cmdLocalRefresh;
    QPushButton* cmdUpFtp;
    QPushButton* cmdRemoteRefresh;
    FileListView* lstLocalFileList;
    FileListView* lstRemoteFileList;
    QPushButton* cmdSend;
    QPushButton* cmdReceive;
    QListWidget* lstConnectionInfo;
    // Status line.
    QLabel* lblStatus;
    QProgressBar* ProgressBar1;
    QPushButton* cmdAbort;
    // Menus.
    QMenu* mnuFile;
    QMenu* miLocal;
    QMenu* miRemote;
    QMenu* mnuTools;
    QMenu* mnuHelp;
    QMenu* mnuPopup;
    ::mnuFtpCommands* mnuFtpCommands;
    // Transfers and file operations: the transfer type group, the custom
    // command's field, and the deletion work list with its folder box, shown in
    // front of the remote list and path box while a walk runs.
    ::fraTransfer* TransferFrame;
    CustomCommandFields* CommandFields;
    FileListView* lstDel;
    QComboBox* cmbDel;
    QAction* mnuFileConnect;
    QAction* mnuFileDisconnect;
    QAction* miDeleteLocalFile;
    QAction* miRecycleLocalFile;
    QAction* miRenameLocalFile;
    QAction* miDeleteRemoteFile;
    QAction* miRenameRemoteFile;
    Tray* Tray1;

    // The menu action that sends `command`, in any menu of the window.
    QAction* menuActionFor(const QString& command) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildQuickConnect();
    QWidget* buildFileLists();
    QWidget* buildLog();
    void buildMenus();
    QMenu* buildLocalMenu();
    QMenu* buildRemoteMenu();
    QAction* command(QMenu* menu, const QString& text, const QString& name);
    void setHooks();
    // The controls, hooks and drag and drop of transfers and file operations
    // (frmMainFaceOperations.cpp).
    void buildOperations();
    void showDeletionCover();
    void showPanels();
    void showControls();
    void showQuickFields();
    void showPathBox(QComboBox* box, bool local);
    void unloadDialogs();
    void showProperties(const QString& path);

    frmMain& main_;
    QSplashScreen* splash_ = nullptr;
};

}  // namespace karvo
