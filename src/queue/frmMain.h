#pragma once

#include "queue/DownloadQueue.h"
#include "queue/ExtraTimer.h"
#include "queue/frmSchedule.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class SingleInstance;

// The main window's logic: start-up and shutdown in their order, the toolbar's
// command strings, the menus' and the tray menu's actions. What it cannot do
// without widgets or without windows of other parts it asks of hooks, which the
// face and the program set; a hook left unset does nothing.
class frmMain : public QObject {
    Q_OBJECT
public:
    static const QString kTitle;  // "Vornel Download Manager"

    struct Hooks {
        // Start-up and shutdown.
        std::function<bool()> isFirstInstance;  // default: the program's instance lock
        std::function<void()> showSplash;
        std::function<void(const QString&)> setTitle;
        std::function<void()> loadSettings;       // default: LoadSettings
        std::function<void()> loadHiddenWindows;  // scheduler, settings and hand-over windows
        std::function<void()> initScheduler;      // arms the scheduler at start-up
        std::function<void(bool)> showTray;       // the tray icon in or out
        std::function<void()> closeSplash;
        std::function<void()> unloadHiddenWindows;
        std::function<void()> quit;  // ends the program
        // The main window.
        std::function<void(bool)> showDownloadsList;
        std::function<void(bool)> showCompleteList;
        std::function<void()> hideToTray;
        std::function<void()> minimize;
        std::function<void()> dragWindow;
        std::function<void()> showMainWindow;
        // Windows of other parts.
        std::function<void()> addUrl;    // the add-URL dialog, modal
        std::function<void()> enterUrl;  // the add-URL dialog, not modal
        std::function<void()> schedule;
        std::function<void()> settings;
        std::function<void(const QString&)> dropText;  // text dropped or pasted on the window
        // The desktop: open a document, start a program (true when it started).
        std::function<void(const QString&)> openDocument;
        std::function<bool(const QString&)> startProgram;
    };

    explicit frmMain(QObject* parent = nullptr);
    ~frmMain() override;

    Hooks hooks;
    DownloadQueue Queue;
    // Where the FTP client is looked for: the folder of this program's executable.
    QString ProgramFolder;
    // The scheduler: its timer, which starts disabled, and its dialog's logic.
    ExtraTimer ExtraTimer1;
    frmSchedule Scheduler;

    // Runs the start-up; false when another instance runs (the program then ends).
    bool Startup();
    // The main window's unload: history saved, windows unloaded, tray icon removed,
    // program ended. Runs once; later calls do nothing. Asked for during the
    // start-up, it runs from the event loop once the start-up is done.
    void Shutdown();
    bool IsShutDown() const { return shutDown_; }

    // A command string of the toolbar; unknown strings are ignored.
    void FlashCommand(const QString& command);
    // The commands the dispatcher knows.
    QStringList Commands() const { return commands_.keys(); }

    // The tray menu's items, also called from outside.
    void ShowStatus() { call(hooks.showMainWindow); }
    void EnterURL() { call(hooks.enterUrl); }
    void Settings() { call(hooks.settings); }
    void PauseAll() { Queue.PauseAll(); }
    void ResumeAll() { Queue.ResumeAll(); }
    void CloseOstel() { Shutdown(); }

    // The scheduler's timer expired: runs what is due (frmMainSchedule.cpp).
    void ExtraTimer1_Timer();
    // Restarts the left-over rows of the Downloads list; paused ones are resumed.
    void RunSchedule();

    void Tray1_LeftClick() { call(hooks.showMainWindow); }
    // Text dropped on the window: handed to the intake from the event loop, once
    // the drop itself is over.
    void DropText(const QString& text);
    // Text pasted into the window (Ctrl+V): trimmed, handed to the intake as a
    // drop is; an empty clipboard does nothing.
    void PasteText(const QString& text);

    // Starts the FTP client from ProgramFolder and ends this program; does
    // nothing when the client is not there or does not start.
    void LaunchFtp();
    // The user's guide: "ZuHelp.chm" in the program folder, else beside the executable.
    QString UserGuidePath() const;

private:
    template <typename F, typename... Args>
    static void call(const F& hook, Args&&... args) {
        if (hook) hook(std::forward<Args>(args)...);
    }

    QHash<QString, std::function<void()>> commands_;
    std::unique_ptr<SingleInstance> instance_;
    bool startingUp_ = false;
    bool shutdownAsked_ = false;
    bool shutDown_ = false;
};
