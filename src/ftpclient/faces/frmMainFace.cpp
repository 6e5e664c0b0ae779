#include "ftpclient/faces/frmMainFace.h"

#include "common/Tray.h"
#include "ftpclient/browsing/FileList.h"
#include "ftpclient/faces/FileListView.h"
#include "ftpclient/faces/KarvoIcons.h"
#include "ftpclient/faces/KarvoToolbarFace.h"
#include "ftpclient/faces/LocalProperties.h"
#include "ftpclient/faces/frmConnectionInfoFace.h"
#include "ftpclient/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplashScreen>
#include <QSplitter>
#include <QStyle>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace karvo {

namespace {

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QPushButton* smallButton(const QIcon& icon, const QString& toolTip, QWidget* parent) {
    auto* button = new QPushButton(icon, QString(), parent);
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

frmMainFace::frmMainFace(frmMain& main, QWidget* parent)
    : QMainWindow(parent),
      Toolbar(new KarvoToolbarFace(this)),
      QuickConnectPanel(nullptr),
      FileListPanel(nullptr),
      LogPanel(nullptr),
      CustomCommandPanel(new QWidget(this)),
      txtQaddress(new QLineEdit(this)),
      txtQport(new QLineEdit(this)),
      txtQuser(new QLineEdit(this)),
      txtQpassword(new QLineEdit(this)),
      cmdQConnect(new QPushButton(QStringLiteral("Q Connect"), this)),
      cmdConnect(new QPushButton(QStringLiteral("Connect..."), this)),
      cmdDisconnect(new QPushButton(QStringLiteral("Disconnect"), this)),
      cboLocalPath(new QComboBox(this)),
      cboRemotePath(new QComboBox(this)),
      cmdLoUp(nullptr),
      cmdLocalRefresh(nullptr),
      cmdUpFtp(nullptr),
      cmdRemoteRefresh(nullptr),
      lstLocalFileList(new FileListView(main.lstLocalFileList, this)),
      lstRemoteFileList(new FileListView(main.lstRemoteFileList, this)),
      cmdSend(new QPushButton(QStringLiteral("->"), this)),
      cmdReceive(new QPushButton(QStringLiteral("<-"), this)),
      lstConnectionInfo(new QListWidget(this)),
      lblStatus(new QLabel(this)),
      ProgressBar1(new QProgressBar(this)),
      cmdAbort(new QPushButton(QStringLiteral("Abort"), this)),
      Tray1(new Tray(this)),
      main_(main) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(KarvoIcons::Program());
    setWindowTitle(frmMain::kTitle);
    addToolBar(Qt::TopToolBarArea, Toolbar);

    QuickConnectPanel = buildQuickConnect();
    FileListPanel = buildFileLists();
    LogPanel = buildLog();
    CustomCommandPanel->setObjectName(QStringLiteral("CustomCommandPanel"));
    new QVBoxLayout(CustomCommandPanel);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(FileListPanel);
    splitter->addWidget(LogPanel);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(QuickConnectPanel);
    layout->addWidget(splitter, 1);
    layout->addWidget(CustomCommandPanel);
    setCentralWidget(central);

    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMinimumWidth(200);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setMaximumWidth(180);
    ProgressBar1->setTextVisible(true);
    cmdAbort->setToolTip(QStringLiteral("Abort the running operation"));
    statusBar()->addWidget(lblStatus, 1);
    statusBar()->addPermanentWidget(ProgressBar1);
    statusBar()->addPermanentWidget(cmdAbort);

    buildMenus();

    connect(Toolbar, &KarvoToolbarFace::command, &main_, &frmMain::RunCommand);
    connect(&main_, &frmMain::variableChanged, Toolbar, &KarvoToolbarFace::setVariable);
    connect(&main_, &frmMain::panelsChanged, this, &frmMainFace::showPanels);
    connect(&main_, &frmMain::controlsChanged, this, &frmMainFace::showControls);
    connect(&main_, &frmMain::quickFieldsChanged, this, &frmMainFace::showQuickFields);
    connect(&main_, &frmMain::statusChanged, lblStatus, &QLabel::setText);
    connect(&main_, &frmMain::progressChanged, ProgressBar1, &QProgressBar::setValue);
    connect(&main_, &frmMain::logLineAdded, this, [this](const QString& line) {
        lstConnectionInfo->addItem(line);
        lstConnectionInfo->setCurrentRow(lstConnectionInfo->count() - 1);
    });
    connect(&main_, &frmMain::logCleared, lstConnectionInfo, &QListWidget::clear);
    connect(&main_.cboLocalPath, &PathBox::changed, this, [this] { showPathBox(cboLocalPath, true); });
    connect(&main_.cboRemotePath, &PathBox::changed, this, [this] { showPathBox(cboRemotePath, false); });

    connect(cmdQConnect, &QPushButton::clicked, &main_, &frmMain::cmdQConnect_Click);
    connect(cmdConnect, &QPushButton::clicked, this, [this] { main_.RunCommand(QStringLiteral("IDC_FS_Connect")); });
    connect(cmdDisconnect, &QPushButton::clicked, this,
            [this] { main_.RunCommand(QStringLiteral("IDC_FS_Disconnect")); });
    connect(cmdAbort, &QPushButton::clicked, &main_, &frmMain::cmdAbort_Click);
    connect(cmdSend, &QPushButton::clicked, this, [this] { main_.RunCommand(QStringLiteral("IDC_FS_Upload")); });
    connect(cmdReceive, &QPushButton::clicked, this, [this] { main_.RunCommand(QStringLiteral("IDC_FS_Download")); });
    connect(lstLocalFileList, &FileListView::activated, &main_, &frmMain::lstLocalFileList_DblClick);
    connect(lstRemoteFileList, &FileListView::activated, &main_, &frmMain::lstRemoteFileList_DblClick);
    connect(lstLocalFileList, &FileListView::contextMenu, this, [this](const QPoint& at) { miLocal->popup(at); });
    connect(lstRemoteFileList, &FileListView::contextMenu, this, [this](const QPoint& at) {
        if (main_.Controls.miRemote) miRemote->popup(at);
    });

    mnuPopup = new QMenu(this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPopup->addAction(QStringLiteral("Exit"), this, [this] { main_.RunCommand(QStringLiteral("IDC_FS_close")); });
    Tray1->setTrayImage(KarvoIcons::Program());
    connect(Tray1, &Tray::LeftClick, &main_, &frmMain::Tray_Click);
    connect(Tray1, &Tray::RightClick, this, [this] { mnuPopup->popup(QCursor::pos()); });

    setHooks();
    buildOperations();
    showPanels();
    showControls();
    showQuickFields();
    resize(1000, 680);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(size().boundedTo(area.size()));
        move(area.center() - rect().center());
    }
}

frmMainFace::~frmMainFace() {
    // The logic outlives the face: it must not call into a face that is gone.
    frmMain::Hooks& hooks = main_.hooks;
    hooks.showSplash = hooks.closeSplash = nullptr;
    delete splash_;
    hooks.setTitle = nullptr;
    hooks.showTray = nullptr;
    hooks.trayAvailable = nullptr;
    hooks.unloadDialogs = nullptr;
    hooks.hideToTray = hooks.minimize = hooks.dragWindow = hooks.showMainWindow = nullptr;
    hooks.hourglass = nullptr;
    hooks.showConnectionInfo = nullptr;
    hooks.openDocument = hooks.openFolder = hooks.showProperties = nullptr;
    hooks.askFileExists = nullptr;
    hooks.showOptions = nullptr;
    hooks.askChmod = nullptr;
    hooks.focusCustomCommand = nullptr;
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

QWidget* frmMainFace::buildQuickConnect() {
    auto* panel = new QGroupBox(QStringLiteral("Quick Connect"), this);
    panel->setObjectName(QStringLiteral("QuickConnectPanel"));
    txtQpassword->setEchoMode(QLineEdit::Password);
    txtQport->setMaxLength(5);
    txtQport->setMaximumWidth(txtQport->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    const auto field = [&](const QString& label, QLineEdit* edit, int stretch) {
        row->addWidget(new QLabel(label, panel));
        row->addWidget(edit, stretch);
    };
    field(QStringLiteral("Address :"), txtQaddress, 3);
    field(QStringLiteral("Port :"), txtQport, 0);
    field(QStringLiteral("User :"), txtQuser, 2);
    field(QStringLiteral("Password :"), txtQpassword, 2);
    row->addWidget(cmdQConnect);
    row->addSpacing(12);
    row->addWidget(cmdConnect);
    row->addWidget(cmdDisconnect);

    connect(txtQaddress, &QLineEdit::textEdited, this, [this](const QString& text) { main_.txtQaddress = text; });
    connect(txtQport, &QLineEdit::textEdited, this, [this](const QString& text) { main_.SetQuickPort(text); });
    connect(txtQuser, &QLineEdit::textEdited, this, [this](const QString& text) { main_.txtQuser = text; });
    connect(txtQpassword, &QLineEdit::textEdited, this, [this](const QString& text) { main_.txtQpassword = text; });
    for (QLineEdit* edit : {txtQaddress, txtQport, txtQuser, txtQpassword})
        connect(edit, &QLineEdit::returnPressed, &main_, &frmMain::cmdQConnect_Click);
    return panel;
}

QWidget* frmMainFace::buildFileLists() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("FileListPanel"));
    QStyle* look = style();
    cmdLoUp = smallButton(look->standardIcon(QStyle::SP_FileDialogToParent), QStringLiteral("Go up a Directory Level"),
                          panel);
    cmdLocalRefresh = smallButton(look->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Refresh"), panel);
    cmdUpFtp = smallButton(look->standardIcon(QStyle::SP_FileDialogToParent), QStringLiteral("Go Up a Directory Level"),
                           panel);
    cmdRemoteRefresh = smallButton(look->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Refresh"), panel);

    const auto side = [&](const QString& caption, const QString& pathCaption, QComboBox* box, QPushButton* up,
                          QPushButton* refresh, FileListView* list) {
        auto* widget = new QWidget(panel);
        auto* layout = new QGridLayout(widget);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(boldLabel(caption, widget), 0, 0, 1, 4);
        layout->addWidget(new QLabel(pathCaption, widget), 1, 0);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
        layout->addWidget(box, 1, 1);
        layout->addWidget(up, 1, 2);
        layout->addWidget(refresh, 1, 3);
        layout->addWidget(list, 2, 0, 1, 4);
        layout->setColumnStretch(1, 1);
        layout->setRowStretch(2, 1);
        return widget;
    };
    QWidget* local = side(QStringLiteral("Local System"), QStringLiteral("Local Directory"), cboLocalPath, cmdLoUp,
                          cmdLocalRefresh, lstLocalFileList);
    QWidget* remote = side(QStringLiteral("Remote System"), QStringLiteral("Remote Directory"), cboRemotePath, cmdUpFtp,
                           cmdRemoteRefresh, lstRemoteFileList);

    auto* middle = new QWidget(panel);
    auto* buttons = new QVBoxLayout(middle);
    buttons->setContentsMargins(2, 0, 2, 0);
    cmdSend->setToolTip(QStringLiteral("Upload File(s)"));
    cmdReceive->setToolTip(QStringLiteral("Download File(s)"));
    for (QPushButton* button : {cmdSend, cmdReceive}) {
        button->setAutoDefault(false);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("<-->")) + 16);
    }
    buttons->addStretch();
    buttons->addWidget(cmdSend);
    buttons->addWidget(cmdReceive);
    buttons->addStretch();

    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto* lists = new QSplitter(Qt::Horizontal, panel);
    lists->addWidget(local);
    lists->addWidget(middle);
    lists->addWidget(remote);
    lists->setStretchFactor(0, 1);
    lists->setStretchFactor(2, 1);
    lists->setChildrenCollapsible(false);
    row->addWidget(lists);

    connect(cmdLoUp, &QPushButton::clicked, this, [this] { main_.RunCommand(QStringLiteral("IDC_FS_LocalUpLevel")); });
    connect(cmdLocalRefresh, &QPushButton::clicked, this,
            [this] { main_.RunCommand(QStringLiteral("IDC_FS_LocalRefresh")); });
    connect(cmdUpFtp, &QPushButton::clicked, this, [this] { main_.RunCommand(QStringLiteral("IDC_FS_RemoteUpLevel")); });
    connect(cmdRemoteRefresh, &QPushButton::clicked, this,
            [this] { main_.RunCommand(QStringLiteral("IDC_FS_RemoteRefresh")); });
    connect(cboLocalPath, &QComboBox::activated, this,
            [this](int index) { main_.cboLocalPath_Enter(cboLocalPath->itemText(index)); });
    connect(cboRemotePath, &QComboBox::activated, this,
            [this](int index) { main_.cboRemotePath_Enter(cboRemotePath->itemText(index)); });
    connect(cboLocalPath->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { main_.cboLocalPath_Enter(cboLocalPath->currentText()); });
    connect(cboRemotePath->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { main_.cboRemotePath_Enter(cboRemotePath->currentText()); });
    return panel;
}

QWidget* frmMainFace::buildLog() {
    auto* panel = new QGroupBox(QStringLiteral("Connection Log"), this);
    panel->setObjectName(QStringLiteral("LogPanel"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    lstConnectionInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstConnectionInfo->setUniformItemSizes(true);
    lstConnectionInfo->setMinimumHeight(90);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    lstConnectionInfo->setFont(fixed);
    layout->addWidget(lstConnectionInfo);
    return panel;
}

QAction* frmMainFace::command(QMenu* menu, const QString& text, const QString& name) {
    QAction* action = menu->addAction(text, this, [this, name] { main_.RunCommand(name); });
    action->setData(name);
    return action;
}

void frmMainFace::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFileConnect = command(mnuFile, QStringLiteral("&Connect"), QStringLiteral("IDC_FS_Connect"));
    mnuFileDisconnect = command(mnuFile, QStringLiteral("&Disconnect"), QStringLiteral("IDC_FS_Disconnect"));
    mnuFile->addSeparator();
    command(mnuFile, QStringLiteral("E&xit"), QStringLiteral("IDC_FS_close"));

    miLocal = buildLocalMenu();
    miRemote = buildRemoteMenu();
    menuBar()->addMenu(miLocal);
    menuBar()->addMenu(miRemote);

    mnuTools = menuBar()->addMenu(QStringLiteral("&Tools"));
    command(mnuTools, QStringLiteral("Clear &Log"), QStringLiteral("IDC_FS_ClearLog"));
    command(mnuTools, QStringLiteral("Empty Local &Recycle Bin"), QStringLiteral("IDC_FS_Recycle"));
    command(mnuTools, QStringLiteral("&Options"), QStringLiteral("IDC_FS_Options"));
    mnuTools->addSeparator();
    const auto views = [this](QMenu* menu, const QString& side) {
        command(menu, QStringLiteral("Show &Big Icons"), QStringLiteral("IDC_FS_%1LargeIcons").arg(side));
        command(menu, QStringLiteral("Show &Small Icons"), QStringLiteral("IDC_FS_%1SmallIcons").arg(side));
        command(menu, QStringLiteral("Show &List"), QStringLiteral("IDC_FS_%1ListIcons").arg(side));
        command(menu, QStringLiteral("Show &Report"), QStringLiteral("IDC_FS_%1DetailsIcons").arg(side));
    };
    views(mnuTools->addMenu(QStringLiteral("Lo&cal")), QStringLiteral("Local"));
    views(mnuTools->addMenu(QStringLiteral("Re&mote")), QStringLiteral("Remote"));

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    command(mnuHelp, QStringLiteral("&User's Guide"), QStringLiteral("IDC_FS_UserGuide"));
    command(mnuHelp, QStringLiteral("&Download Manager (Lumet)"), QStringLiteral("IDC_FS_launchZu"));
}

QMenu* frmMainFace::buildLocalMenu() {
    auto* menu = new QMenu(QStringLiteral("&Local"), this);
    menu->setObjectName(QStringLiteral("miLocal"));
    command(menu, QStringLiteral("&Upload File(s)"), QStringLiteral("IDC_FS_Upload"));
    command(menu, QStringLiteral("&Open File"), QStringLiteral("IDC_FS_OpenFile"));
    command(menu, QStringLiteral("&Find File(s)"), QStringLiteral("IDC_FS_FindFile"));
    command(menu, QStringLiteral("&Properties"), QStringLiteral("IDC_FS_Properties"));
    menu->addSeparator();
    miDeleteLocalFile = command(menu, QStringLiteral("&Erase"), QStringLiteral("IDC_FS_Erase"));
    miRecycleLocalFile = command(menu, QStringLiteral("Delete To Recycle &Bin"), QStringLiteral("IDC_FS_LDelete"));
    miRenameLocalFile = command(menu, QStringLiteral("&Rename File"), QStringLiteral("IDC_FS_LRename"));
    command(menu, QStringLiteral("&Create Folder"), QStringLiteral("IDC_FS_LCreateFolder"));
    menu->addSeparator();
    command(menu, QStringLiteral("&Synchronize Directory"), QStringLiteral("IDC_FS_LDirSynchronize"));
    command(menu, QStringLiteral("&Manual File Send"), QStringLiteral("IDC_FS_ManualSend"));
    QMenu* filters = menu->addMenu(QStringLiteral("&Directory Filters"));
    filters->addAction(QStringLiteral("&All Files (*.*)"), &main_, &frmMain::LocalAllFiles);
    command(filters, QStringLiteral("&DefineTypes (*.?)"), QStringLiteral("IDC_FS_LDirFilters"));
    menu->addSeparator();
    command(menu, QStringLiteral("Go &up a Directory Level"), QStringLiteral("IDC_FS_LocalUpLevel"));
    command(menu, QStringLiteral("Re&fresh"), QStringLiteral("IDC_FS_LocalRefresh"));
    return menu;
}

QMenu* frmMainFace::buildRemoteMenu() {
    auto* menu = new QMenu(QStringLiteral("&Remote"), this);
    menu->setObjectName(QStringLiteral("miRemote"));
    command(menu, QStringLiteral("&Download File(s)"), QStringLiteral("IDC_FS_Download"));
    miDeleteRemoteFile = command(menu, QStringLiteral("De&lete"), QStringLiteral("IDC_FS_RDelete"));
    miRenameRemoteFile = command(menu, QStringLiteral("&Rename File"), QStringLiteral("IDC_FS_RRename"));
    command(menu, QStringLiteral("&Create Folder"), QStringLiteral("IDC_FS_RCreateFolder"));
    command(menu, QStringLiteral("&Move File(s) / Folder(s)"), QStringLiteral("IDC_FS_MoveFileFolder"));
    command(menu, QStringLiteral("C&hmod File(s) or Folders(s)"), QStringLiteral("IDC_FS_Chmod"));
    menu->addSeparator();
    command(menu, QStringLiteral("&Synchronize Directory"), QStringLiteral("IDC_FS_RDirSynchronize"));
    command(menu, QStringLiteral("Manual File &Receive"), QStringLiteral("IDC_FS_FileReceive"));
    command(menu, QStringLiteral("Send Cus&tom Command"), QStringLiteral("IDC_FS_CustomCommand"));
    QMenu* filters = menu->addMenu(QStringLiteral("Directory &Filters"));
    filters->addAction(QStringLiteral("&All Files (*.*)"), &main_, &frmMain::RemoteAllFiles);
    command(filters, QStringLiteral("&Define Types (*.?)"), QStringLiteral("IDC_FS_RDirFilters"));
    menu->addSeparator();
    command(menu, QStringLiteral("Go &Up a Directory Level"), QStringLiteral("IDC_FS_RemoteUpLevel"));
    command(menu, QStringLiteral("&Go To Remote Directory"), QStringLiteral("IDC_FS_GoToRemoteDir"));
    command(menu, QStringLiteral("Re&fresh"), QStringLiteral("IDC_FS_RemoteRefresh"));
    return menu;
}

QAction* frmMainFace::menuActionFor(const QString& name) const {
    const QList<QMenu*> menus = findChildren<QMenu*>();
    for (const QMenu* menu : menus)
        for (QAction* action : menu->actions())
            if (action->data().toString() == name) return action;
    return nullptr;
}

void frmMainFace::setHooks() {
    frmMain::Hooks& hooks = main_.hooks;
    hooks.showSplash = [this] {
        splash_ = new QSplashScreen(KarvoIcons::Splash(frmMain::kTitle));
        splash_->show();
    };
    hooks.closeSplash = [this] {
        delete splash_;
        splash_ = nullptr;
    };
    hooks.setTitle = [this](const QString& title) {
        setWindowTitle(title);
        Tray1->TrayToolTip = title;
    };
    hooks.showTray = [this](bool shown) { Tray1->Show(shown); };
    hooks.trayAvailable = [] { return Tray::Available(); };
    hooks.unloadDialogs = [this] { unloadDialogs(); };
    hooks.hideToTray = [this] { hide(); };
    hooks.minimize = [this] { showMinimized(); };
    hooks.dragWindow = [this] {
        if (windowHandle()) windowHandle()->startSystemMove();
    };
    hooks.showMainWindow = [this] {
        showNormal();
        raise();
        activateWindow();
    };
    hooks.hourglass = [](bool on) {
        if (on) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    };
    hooks.showConnectionInfo = [this](frmConnectionInfo& info) { frmConnectionInfoFace::ShowModal(info, this); };
    hooks.openDocument = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    hooks.openFolder = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    hooks.showProperties = [this](const QString& path) { LocalProperties::Show(path, this); };
}

void frmMainFace::unloadDialogs() {
    // Every dialog that is open (the connection dialog, questions, input boxes)
    // ends as cancelled, so that the handlers waiting for them return.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
}

void frmMainFace::showPanels() {
    QuickConnectPanel->setVisible(main_.PanelShown(frmMain::QuickConnectPanel));
    FileListPanel->setVisible(main_.PanelShown(frmMain::FileListPanel));
    LogPanel->setVisible(main_.PanelShown(frmMain::LogPanel));
    CustomCommandPanel->setVisible(main_.PanelShown(frmMain::CustomCommandPanel));
    Toolbar->setPanelsShown(main_.PanelShown(frmMain::QuickConnectPanel), main_.PanelShown(frmMain::FileListPanel),
                            main_.PanelShown(frmMain::CustomCommandPanel));
}

void frmMainFace::showControls() {
    const ControlStates& c = main_.Controls;
    cmdConnect->setEnabled(c.cmdConnect);
    cmdQConnect->setEnabled(c.cmdQConnect);
    mnuFileConnect->setEnabled(c.mnuFileConnect);
    cmdDisconnect->setEnabled(c.cmdDisconnect);
    mnuFileDisconnect->setEnabled(c.mnuFileDisconnect);
    cmdAbort->setEnabled(c.cmdAbort);
    cmdUpFtp->setEnabled(c.cmdUpFtp);
    cboRemotePath->setEnabled(c.cboRemotePath);
    miRemote->setEnabled(c.miRemote);
    cmdSend->setEnabled(c.cmdSend);
    cmdReceive->setEnabled(c.cmdReceive);
    miDeleteRemoteFile->setEnabled(c.miDeleteRemoteFile);
    miRenameRemoteFile->setEnabled(c.miRenameRemoteFile);
    miDeleteLocalFile->setEnabled(c.miDeleteLocalFile);
    miRecycleLocalFile->setEnabled(c.miDeleteLocalFile);
    miRenameLocalFile->setEnabled(c.miRenameLocalFile);
    if (QAction* action = Toolbar->actionFor(QStringLiteral("IDC_FS_Connect"))) action->setEnabled(c.cmdConnect);
    if (QAction* action = Toolbar->actionFor(QStringLiteral("IDC_FS_Disconnect"))) action->setEnabled(c.cmdDisconnect);
}

void frmMainFace::showQuickFields() {
    const auto show = [](QLineEdit* edit, const QString& text) {
        if (edit->text() != text) edit->setText(text);
    };
    show(txtQaddress, main_.txtQaddress);
    show(txtQport, main_.txtQport);
    show(txtQuser, main_.txtQuser);
    show(txtQpassword, main_.txtQpassword);
}

void frmMainFace::showPathBox(QComboBox* box, bool local) {
    const PathBox& paths = local ? main_.cboLocalPath : main_.cboRemotePath;
    const QSignalBlocker blocker(box);
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    if (items != paths.Entries()) {
        box->clear();
        box->addItems(paths.Entries());
    }
    box->setCurrentIndex(paths.Entries().indexOf(paths.Text()));
    box->setEditText(paths.Text());
}

void frmMainFace::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program, as Exit does; the exit may wait for
    // a running operation, so the window stays until it has happened.
    if (!main_.HasExited()) {
        event->ignore();
        main_.RunCommand(QStringLiteral("IDC_FS_close"));
        return;
    }
    event->accept();
}

}  // namespace karvo
