#include "queue/frmMain.h"

#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "common/SingleInstance.h"
#include "core/modGlobalVariables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

const QString frmMain::kTitle = QStringLiteral("Vornel Download Manager");

frmMain::frmMain(QObject* parent)
    : QObject(parent), ProgramFolder(AppPaths::executableFolder()), Scheduler(ExtraTimer1) {
    connect(&ExtraTimer1, &ExtraTimer::Timer, this, &frmMain::ExtraTimer1_Timer);
    hooks.initScheduler = [this] { Scheduler.InitTimer(true); };
    hooks.isFirstInstance = [this] {
        instance_ = std::make_unique<SingleInstance>(QStringLiteral("lumet"));
        return instance_->isFirst();
    };
    hooks.loadSettings = [] { LoadSettings(); };
    hooks.startProgram = [this](const QString& program) {
        return QProcess::startDetached(program, {}, ProgramFolder);
    };
    hooks.quit = [] { QCoreApplication::quit(); };

    commands_ = {
        {QStringLiteral("IDC_FS_tray"), [this] { call(hooks.hideToTray); }},
        {QStringLiteral("IDC_FS_minimize"), [this] { call(hooks.minimize); }},
        {QStringLiteral("IDC_FS_close"), [this] { Shutdown(); }},
        {QStringLiteral("IDC_FS_drag"), [this] { call(hooks.dragWindow); }},
        {QStringLiteral("IDC_FS_launchFTP"), [this] { LaunchFtp(); }},
        {QStringLiteral("IDC_FS_ShowB"), [this] { call(hooks.showDownloadsList, true); }},
        {QStringLiteral("IDC_FS_HideB"), [this] { call(hooks.showDownloadsList, false); }},
        {QStringLiteral("IDC_FS_ShowC"), [this] { call(hooks.showCompleteList, true); }},
        {QStringLiteral("IDC_FS_HideC"), [this] { call(hooks.showCompleteList, false); }},
        {QStringLiteral("IDC_FS_AddURL"), [this] { call(hooks.addUrl); }},
        {QStringLiteral("IDC_FS_ReDownload"), [this] { Queue.ReDownload(); }},
        {QStringLiteral("IDC_FS_PauseAll"), [this] { Queue.PauseAll(); }},
        {QStringLiteral("IDC_FS_ResumeAll"), [this] { Queue.ResumeAll(); }},
        {QStringLiteral("IDC_FS_StopAll"), [this] { Queue.StopAll(); }},
        {QStringLiteral("IDC_FS_Schedule"), [this] { call(hooks.schedule); }},
        {QStringLiteral("IDC_FS_Settings"), [this] { call(hooks.settings); }},
        {QStringLiteral("IDC_FS_UserGuide"), [this] { call(hooks.openDocument, UserGuidePath()); }},
    };
}

frmMain::~frmMain() = default;

bool frmMain::Startup() {
    // Before anything is touched: a second copy leaves the queue to the first.
    if (hooks.isFirstInstance && !hooks.isFirstInstance()) {
        Dialogs::show(SingleInstance::runningMessage(), Dialogs::Icon::Critical);
        return false;
    }
    startingUp_ = true;
    call(hooks.showSplash);
    QCoreApplication::setApplicationName(kTitle);
    call(hooks.setTitle, kTitle);
    call(hooks.loadSettings);
    call(hooks.loadHiddenWindows);
    Queue.LoadHistory();
    if (LangFile.isEmpty()) LangFile = QStringLiteral("English.ini");
    call(hooks.initScheduler);
    call(hooks.showDownloadsList, false);
    call(hooks.showCompleteList, false);
    call(hooks.showTray, true);
    call(hooks.closeSplash);
    Queue.tmrGraph.start();
    startingUp_ = false;
    // A shutdown asked for while the steps ran (a signal handled by the splash's
    // event loop) comes once the program is up, from the event loop.
    if (shutdownAsked_) QTimer::singleShot(0, this, &frmMain::Shutdown);
    return true;
}

void frmMain::Shutdown() {
    if (startingUp_) {
        shutdownAsked_ = true;
        return;
    }
    if (shutDown_) return;
    shutDown_ = true;
    Queue.BeginShutdown();
    Queue.tmrGraph.stop();
    ExtraTimer1.setEnabled(false);
    Queue.SaveHistory();
    call(hooks.unloadHiddenWindows);
    call(hooks.showTray, false);
    Queue.UnloadAllDownloads();
    call(hooks.quit);
}

void frmMain::FlashCommand(const QString& command) {
    const auto action = commands_.constFind(command);
    if (action != commands_.constEnd()) (*action)();
}

void frmMain::DropText(const QString& text) {
    // The application the text came from waits until the drop event returns; the
    // add-address flow and its dialogs run after that.
    QTimer::singleShot(0, this, [this, text] {
        if (!shutDown_) call(hooks.dropText, text);
    });
}

void frmMain::PasteText(const QString& text) {
    const QString address = text.trimmed();
    if (!address.isEmpty() && !shutDown_) call(hooks.dropText, address);
}

void frmMain::LaunchFtp() {
    const QString karvo = QDir(ProgramFolder).filePath(QStringLiteral("karvo"));
    if (!QFileInfo(karvo).isExecutable() || !hooks.startProgram || !hooks.startProgram(karvo))
        return;
    Shutdown();
}

QString frmMain::UserGuidePath() const {
    const QString name = QStringLiteral("ZuHelp.chm");
    const QString inProgramFolder = AppFilePath(name);
    if (QFileInfo::exists(inProgramFolder)) return inProgramFolder;
    return QDir(AppPaths::executableFolder()).filePath(name);
}
