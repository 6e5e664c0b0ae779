#include "queue/faces/frmMainFace.h"

#include "common/QtSplash.h"
#include "common/Tray.h"
#include "queue/faces/AppIcons.h"
#include "queue/faces/PlaceInsideScreen.h"
#include "queue/faces/ReportView.h"
#include "queue/faces/ToolbarFace.h"
#include "queue/faces/TrayMenu.h"
#include "queue/faces/frmDownloadFace.h"
#include "queue/frmMain.h"
#include "transfer/frmDownload.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplashScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

const QStringList frmMainFace::kDownloadsCaptions = {QString(),
                                                     QStringLiteral("Filename"),
                                                     QStringLiteral("%"),
                                                     QStringLiteral("Size"),
                                                     QStringLiteral("Recieved"),
                                                     QStringLiteral("Status"),
                                                     QStringLiteral("URL"),
                                                     QStringLiteral("Date")};
// The Complete list differs only in the caption of its file column.
const QStringList frmMainFace::kCompleteCaptions = [] {
    QStringList captions = kDownloadsCaptions;
    captions[1] = QStringLiteral("Complete");
    return captions;
}();

namespace {

// Column widths in twips; the date column is hidden.
const QList<int> kColumnTwips = {529, 3705, 1059, 1764, 1763, 2823, 5998, 0};

// The animation of the activity indicator while data flows.
const QString kActivityFrames[] = {QStringLiteral("◐"), QStringLiteral("◓"), QStringLiteral("◑"),
                                   QStringLiteral("◒")};

QWidget* panel(const QString& caption, ReportView* view, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* label = new QLabel(caption, box);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    layout->addWidget(label);
    layout->addWidget(view);
    return box;
}

// Delete in a list removes its selected rows, as the menu entry does.
void bindDelete(QAction* remove, QWidget* list) {
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    list->addAction(remove);
}

}  // namespace

frmMainFace::frmMainFace(frmMain& main, QWidget* parent)
    : QMainWindow(parent),
      Toolbar(new ToolbarFace(this)),
      lstMain(new ReportView(main.Queue.lstMain, kDownloadsCaptions, kColumnTwips, this)),
      lstComplete(new ReportView(main.Queue.lstComplete, kCompleteCaptions, kColumnTwips, this)),
      mnuQueue(nullptr),
      mnuComplete(nullptr),
      TRAYMNU(new TrayMenu(main, this)),
      Tray1(new Tray(this)),
      lblRate(new QLabel(this)),
      lblActivity(new QLabel(this)),
      main_(main),
      downloadsPanel_(panel(tr("Downloads"), lstMain, this)),
      completePanel_(panel(tr("Complete"), lstComplete, this)),
      hint_(new QLabel(this)) {
    setWindowIcon(AppIcons::Program());
    addToolBar(Qt::TopToolBarArea, Toolbar);

    hint_->setText(
        tr("The Downloads and Complete lists are hidden.\n"
           "Use the Downloads and Complete buttons of the toolbar to show them."));
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setStyleSheet(QStringLiteral("color: palette(mid);"));
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(downloadsPanel_);
    splitter->addWidget(completePanel_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(splitter);
    layout->addWidget(hint_);
    setCentralWidget(central);

    lblActivity->setMinimumWidth(lblActivity->fontMetrics().horizontalAdvance(kActivityFrames[0]) +
                                 4);
    statusBar()->addPermanentWidget(lblActivity);
    statusBar()->addPermanentWidget(lblRate);

    mnuQueue = buildQueueMenu();
    mnuComplete = buildCompleteMenu();
    buildMenus();

    DownloadQueue& queue = main_.Queue;
    connect(Toolbar, &ToolbarFace::command, &main_, &frmMain::FlashCommand);
    connect(Toolbar, &ToolbarFace::textDropped, &main_, &frmMain::DropText);
    connect(lstMain, &ReportView::textDropped, &main_, &frmMain::DropText);
    connect(lstComplete, &ReportView::textDropped, &main_, &frmMain::DropText);
    connect(lstMain, &ReportView::rightButtonReleased, this,
            [this](const QPoint& at) { mnuQueue->popup(at); });
    connect(lstComplete, &ReportView::rightButtonReleased, this,
            [this](const QPoint& at) { mnuComplete->popup(at); });
    lstMain->header()->setSectionsClickable(true);
    connect(lstMain->header(), &QHeaderView::sectionClicked, &queue,
            &DownloadQueue::lstMain_ColumnClick);
    connect(&queue, &DownloadQueue::sortChanged, this, [this](int column, bool ascending) {
        lstMain->header()->setSortIndicatorShown(true);
        lstMain->header()->setSortIndicator(column,
                                            ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
    connect(&queue, &DownloadQueue::totalRateChanged, this, [this, &queue](const QString& text) {
        lblRate->setText(text);
        lblActivity->setText(queue.TotalRate > 0 ? kActivityFrames[queue.GraphFrame % 4]
                                                 : QString());
    });
    connect(&queue, &DownloadQueue::slotStatus, this, [this](int slot, const QString& text) {
        statusBar()->showMessage(tr("Download window %1: %2").arg(slot + 1).arg(text), 10000);
    });
    connect(&queue, &DownloadQueue::windowShown, this, &frmMainFace::showWindow);

    Tray1->setTrayImage(AppIcons::Program());
    connect(Tray1, &Tray::LeftClick, &main_, &frmMain::Tray1_LeftClick);
    connect(Tray1, &Tray::RightClick, this, [this] { TRAYMNU->popup(QCursor::pos()); });

    setHooks();
    updateHint();
    resize(980, 560);
    PlaceInsideScreen(this);
}

frmMainFace::~frmMainFace() {
    // The logic outlives the face: it must not call into a face that is gone.
    frmMain::Hooks& hooks = main_.hooks;
    hooks.showSplash = hooks.closeSplash = nullptr;
    hooks.setTitle = nullptr;
    hooks.showTray = hooks.showDownloadsList = hooks.showCompleteList = nullptr;
    hooks.hideToTray = hooks.minimize = hooks.dragWindow = hooks.showMainWindow = nullptr;
    hooks.openDocument = nullptr;
}

void frmMainFace::setHooks() {
    frmMain::Hooks& hooks = main_.hooks;
    hooks.showSplash = [this] { showSplash(); };
    hooks.closeSplash = [this] { closeSplash(); };
    hooks.setTitle = [this](const QString& title) {
        setWindowTitle(title);
        Tray1->TrayToolTip = title;
    };
    hooks.showTray = [this](bool shown) { Tray1->Show(shown); };
    hooks.showDownloadsList = [this](bool shown) { showDownloadsList(shown); };
    hooks.showCompleteList = [this](bool shown) { showCompleteList(shown); };
    hooks.hideToTray = [this] { hideToTray(); };
    hooks.minimize = [this] { showMinimized(); };
    hooks.dragWindow = [this] {
        if (windowHandle()) windowHandle()->startSystemMove();
    };
    hooks.showMainWindow = [this] {
        showNormal();
        raise();
        activateWindow();
    };
    hooks.openDocument = [](const QString& path) {
        if (QFileInfo::exists(path)) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
}

void frmMainFace::buildMenus() {
    const auto command = [this](QMenu* menu, const QString& text, const QString& name) {
        return menu->addAction(text, &main_, [this, name] { main_.FlashCommand(name); });
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    command(file, tr("&Add URL"), QStringLiteral("IDC_FS_AddURL"));
    command(file, tr("E&xit"), QStringLiteral("IDC_FS_close"));
    QMenu* downloads = menuBar()->addMenu(tr("&Downloads"));
    command(downloads, tr("&Re-Download"), QStringLiteral("IDC_FS_ReDownload"));
    command(downloads, tr("&Pause All"), QStringLiteral("IDC_FS_PauseAll"));
    command(downloads, tr("Res&ume All"), QStringLiteral("IDC_FS_ResumeAll"));
    command(downloads, tr("S&top All"), QStringLiteral("IDC_FS_StopAll"));
    QMenu* options = menuBar()->addMenu(tr("&Options"));
    command(options, tr("&Schedule"), QStringLiteral("IDC_FS_Schedule"));
    command(options, tr("S&ettings"), QStringLiteral("IDC_FS_Settings"));
    options->addAction(tr("Show &Windows"), this, [this] { showAllWindows(true); })
        ->setVisible(false);
    options->addAction(tr("&Hide Windows"), this, [this] { showAllWindows(false); })
        ->setVisible(false);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About"), this, &frmMainFace::about);
    command(help, tr("&User's Guide"), QStringLiteral("IDC_FS_UserGuide"));

    // Ctrl+V anywhere in the window: the clipboard's address, as if it was dropped.
    auto* paste = new QAction(tr("Paste Address"), this);
    paste->setShortcut(QKeySequence::Paste);
    connect(paste, &QAction::triggered, this,
            [this] { main_.PasteText(QGuiApplication::clipboard()->text()); });
    addAction(paste);
}

QMenu* frmMainFace::buildQueueMenu() {
    DownloadQueue& queue = main_.Queue;
    auto* menu = new QMenu(tr("Queue Menu"), this);
    menu->addAction(tr("&Refresh"), &queue, &DownloadQueue::RefreshQueue);
    menu->addAction(tr("&Clear Queue"), &queue, &DownloadQueue::ClearQueue);
    menu->addAction(tr("&Select All"), &queue, &DownloadQueue::SelectAll);
    menu->addAction(tr("&De-Select All"), &queue, &DownloadQueue::DeselectAll);
    menu->addAction(tr("Re-Download &URL..."), &queue, &DownloadQueue::ReDownload);
    bindDelete(menu->addAction(tr("Re&move Selection"), &queue, &DownloadQueue::RemoveSelection),
               lstMain);
    // Hidden entries that the menu keeps without an action.
    for (const QString& text : {tr("&Pause"), tr("R&esume"), tr("S&top")})
        menu->addAction(text)->setVisible(false);
    menu->addAction(tr("Pause &All"), &queue, &DownloadQueue::PauseAll)->setVisible(false);
    menu->addAction(tr("Resume A&ll"), &queue, &DownloadQueue::ResumeAll)->setVisible(false);
    menu->addAction(tr("Stop All"), &queue, &DownloadQueue::StopAll)->setVisible(false);
    return menu;
}

QMenu* frmMainFace::buildCompleteMenu() {
    DownloadQueue& queue = main_.Queue;
    auto* menu = new QMenu(this);
    bindDelete(menu->addAction(tr("Re&move selection"), &queue,
                               &DownloadQueue::RemoveCompleteSelection),
               lstComplete);
    menu->addAction(tr("Remove &All"), &queue, &DownloadQueue::RemoveAllComplete);
    menu->addAction(tr("Re-Download &URL..."), &queue, &DownloadQueue::ReDownloadComplete);
    return menu;
}

void frmMainFace::showDownloadsList(bool shown) {
    downloadsPanel_->setVisible(shown);
    Toolbar->setDownloadsShown(shown);
    updateHint();
}

void frmMainFace::showCompleteList(bool shown) {
    completePanel_->setVisible(shown);
    Toolbar->setCompleteShown(shown);
    updateHint();
}

void frmMainFace::updateHint() {
    hint_->setVisible(downloadsPanel_->isHidden() && completePanel_->isHidden());
}

// Without a notification area the window would be unreachable once hidden: it is
// minimised instead.
void frmMainFace::hideToTray() {
    if (Tray::Available() && Tray1->IsVisible())
        hide();
    else
        showMinimized();
}

void frmMainFace::showSplash() {
    splash_ = new QSplashScreen(SplashPicture(AppIcons::Program().pixmap(64, 64), frmMain::kTitle,
                                              QStringLiteral("Lumet download manager")));
    splash_->show();
}

void frmMainFace::closeSplash() {
    delete splash_;
    splash_ = nullptr;
}

// Over the main window, each slot a step further down and right, so that windows
// shown one after another do not hide each other wholly.
void frmMainFace::showWindow(frmDownload* window) {
    auto* face = new frmDownloadFace(*window);
    faces_.removeAll(nullptr);
    faces_.append(face);
    constexpr int kStep = 24;
    const int step = window->Index % 8 - 4;
    PlaceInsideScreen(face, this, QPoint(step * kStep, step * kStep));
    face->show();
}

QList<frmDownloadFace*> frmMainFace::DownloadFaces() const {
    QList<frmDownloadFace*> faces;
    for (const QPointer<frmDownloadFace>& face : faces_)
        if (face) faces << face;
    return faces;
}

void frmMainFace::showAllWindows(bool shown) {
    for (frmDownloadFace* face : DownloadFaces()) face->setVisible(shown);
}

void frmMainFace::about() {
    QMessageBox::about(this, windowTitle(),
                       tr("<b>Lumet</b> – the download manager of the VornelKarvo suite.<br>"
                          "HTTP and FTP downloads in up to six segments, with pause, resume, "
                          "a queue that survives restarts and a tray icon."));
}

// The window's unload is the program's shutdown.
void frmMainFace::closeEvent(QCloseEvent* event) {
    event->accept();
    main_.Shutdown();
}
