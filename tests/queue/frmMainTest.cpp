// The main window's logic: start-up and shutdown in their order, and the commands.
#include "QueueFixture.h"
#include "common/AppPaths.h"
#include "common/QStringPrinter.h"
#include "common/SingleInstance.h"
#include "queue/frmMain.h"
#include "support/ConnectionsSoFar.h"
#include "support/HttpFileResponder.h"
#include "support/TestData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>

namespace {

class frmMainTest : public QueueFixture {
protected:
    void SetUp() override {
        QueueFixture::SetUp();
        LangFile.clear();
        QCoreApplication::setApplicationName(QStringLiteral("test"));
    }
    void TearDown() override {
        QCoreApplication::setApplicationName(frmMain::kTitle);
        QueueFixture::TearDown();
    }

    // Every hook records its name (and its argument) into steps.
    void recordHooks(frmMain& main) {
        frmMain::Hooks& h = main.hooks;
        using Plain = std::pair<std::function<void()>*, const char*>;
        for (const auto& [hook, name] : {Plain{&h.showSplash, "showSplash"},
                                         {&h.loadHiddenWindows, "loadHiddenWindows"},
                                         {&h.initScheduler, "initScheduler"},
                                         {&h.closeSplash, "closeSplash"},
                                         {&h.unloadHiddenWindows, "unloadHiddenWindows"},
                                         {&h.quit, "quit"},
                                         {&h.hideToTray, "hideToTray"},
                                         {&h.minimize, "minimize"},
                                         {&h.dragWindow, "dragWindow"},
                                         {&h.showMainWindow, "showMainWindow"},
                                         {&h.addUrl, "addUrl"},
                                         {&h.enterUrl, "enterUrl"},
                                         {&h.schedule, "schedule"},
                                         {&h.settings, "settings"}})
            *hook = [this, name = QLatin1String(name)] { steps << name; };
        using Switch = std::pair<std::function<void(bool)>*, const char*>;
        for (const auto& [hook, name] : {Switch{&h.showTray, "showTray"},
                                         {&h.showDownloadsList, "showDownloadsList"},
                                         {&h.showCompleteList, "showCompleteList"}})
            *hook = [this, name = QLatin1String(name)](bool on) {
                steps << name + (on ? "(1)" : "(0)");
            };
        using Text = std::pair<std::function<void(const QString&)>*, const char*>;
        for (const auto& [hook, name] : {Text{&h.setTitle, "setTitle"},
                                         {&h.dropText, "dropText"},
                                         {&h.openDocument, "openDocument"}})
            *hook = [this, name = QLatin1String(name)](const QString& text) {
                steps << name + "(" + text + ")";
            };
        const auto firstInstance = h.isFirstInstance;
        h.isFirstInstance = [this, firstInstance] {
            steps << "isFirstInstance";
            return firstInstance();
        };
        const auto loadSettings = h.loadSettings;
        h.loadSettings = [this, loadSettings] {
            steps << "loadSettings";
            loadSettings();
        };
        h.startProgram = [this](const QString& program) {
            steps << "startProgram(" + program + ")";
            return true;
        };
    }

    void writeHistory() {
        ASSERT_TRUE(writeWholeFile(AppFilePath(QStringLiteral("History.ini")),
                                   "/d/a\r\n5%\r\n1\r\n2\r\nDownloading...\r\nhttp://h/a\r\nd\r\n"
                                   "Complete List\r\nFinish History\r\n"));
    }

    QStringList steps;
};

TEST_F(frmMainTest, ASecondInstanceSaysSoAndTouchesNothing) {
    ScriptedDialogs::current().allowOkMessages();
    writeHistory();
    SingleInstance first(QStringLiteral("lumet"));
    ASSERT_TRUE(first.isFirst());
    frmMain main;
    recordHooks(main);
    EXPECT_FALSE(main.Startup());
    EXPECT_EQ(steps, QStringList{"isFirstInstance"});
    ASSERT_EQ(dialogCalls().size(), 1u);
    EXPECT_EQ(dialogCalls()[0].text, QStringLiteral("There is running instance"));
    EXPECT_EQ(dialogCalls()[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(main.Queue.lstMain.Count(), 0);
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("test"));
    EXPECT_FALSE(main.Queue.tmrGraph.isActive());
}

TEST_F(frmMainTest, StartUpRunsItsStepsInOrder) {
    writeHistory();
    frmMain main;
    recordHooks(main);
    // What each step finds tells the order of the steps without hooks.
    main.hooks.loadHiddenWindows = [&] {
        steps << "loadHiddenWindows";
        EXPECT_EQ(QCoreApplication::applicationName(), frmMain::kTitle);
        EXPECT_EQ(main.Queue.lstMain.Count(), 0) << "history loaded too early";
        EXPECT_EQ(ExistChoice, -2) << "settings not loaded";
    };
    main.hooks.initScheduler = [&] {
        steps << "initScheduler";
        EXPECT_EQ(main.Queue.lstMain.Count(), 1) << "history not loaded";
        EXPECT_EQ(LangFile, QStringLiteral("English.ini"));
    };
    ASSERT_TRUE(main.Startup());
    EXPECT_EQ(steps, (QStringList{"isFirstInstance", "showSplash",
                                  "setTitle(Vornel Download Manager)", "loadSettings",
                                  "loadHiddenWindows", "initScheduler", "showDownloadsList(0)",
                                  "showCompleteList(0)", "showTray(1)", "closeSplash"}));
    EXPECT_EQ(main.Queue.lstMain.At(0)->SubItem(5), QStringLiteral("Paused/Stoped"));
    EXPECT_TRUE(main.Queue.tmrGraph.isActive());
}

TEST_F(frmMainTest, ShutdownSavesFirstAndRunsOnce) {
    frmMain main;
    recordHooks(main);
    ASSERT_TRUE(main.Startup());
    main.Queue.AddDownload(silentUrl(QStringLiteral("a.bin")), target(QStringLiteral("a.bin")), -1);
    QPointer<frmDownload> window = main.Queue.DownloadSlots[0];
    steps.clear();
    const QString history = AppFilePath(QStringLiteral("History.ini"));
    main.hooks.unloadHiddenWindows = [&] {
        steps << "unloadHiddenWindows";
        EXPECT_TRUE(QFile::exists(history)) << "history not saved first";
        EXPECT_TRUE(main.Queue.DownloadSlots[0]) << "windows unloaded too early";
    };
    main.hooks.quit = [&] {
        steps << "quit";
        EXPECT_FALSE(main.Queue.DownloadSlots[0]) << "windows not unloaded";
    };
    main.Shutdown();
    EXPECT_EQ(steps, (QStringList{"unloadHiddenWindows", "showTray(0)", "quit"}));
    EXPECT_TRUE(main.IsShutDown());
    EXPECT_FALSE(main.Queue.tmrGraph.isActive());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->outcome(), frmDownload::Outcome::Unloaded);
    // The row was saved as it stood; rows are not deleted.
    QFile saved(history);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith(QFile::encodeName(target(QStringLiteral("a.bin"))) +
                                           "\r\n0%\r\n"));
    EXPECT_EQ(main.Queue.lstMain.Count(), 1);

    steps.clear();
    main.Shutdown();
    main.FlashCommand(QStringLiteral("IDC_FS_close"));
    EXPECT_TRUE(steps.isEmpty());
}

// A kill handled by an event loop that runs inside the start-up (the splash's)
// must not shut down a half-started program.
TEST_F(frmMainTest, AShutdownAskedForDuringStartUpComesAfterIt) {
    writeHistory();
    frmMain main;
    recordHooks(main);
    main.hooks.loadHiddenWindows = [&] {
        steps << "loadHiddenWindows";
        main.Shutdown();
    };
    ASSERT_TRUE(main.Startup());
    EXPECT_FALSE(steps.contains("quit"));
    EXPECT_FALSE(main.IsShutDown());
    EXPECT_EQ(main.Queue.lstMain.Count(), 1);
    ASSERT_TRUE(waitFor([&] { return main.IsShutDown(); }));
    EXPECT_EQ(steps.count("quit"), 1);
    QFile saved(AppFilePath(QStringLiteral("History.ini")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("Paused/Stoped"));
}

// A kill or the tray's Close while the existing-file dialog of a re-download walk
// is open: the dialogs of a program that is ending return at once, and nothing
// more is started, so no file is overwritten.
TEST_F(frmMainTest, AShutdownDuringARestartWalkStartsNothingMore) {
    frmMain main;
    recordHooks(main);
    ASSERT_TRUE(main.Startup());
    DownloadQueue& queue = main.Queue;
    const QStringList names = {"a.bin", "b.bin", "c.bin"};
    for (const QString& name : names) {
        ASSERT_TRUE(writeWholeFile(target(name), "old"));
        queue.AddLaterDownload(silentUrl(name), target(name));
    }
    int asked = 0;
    queue.AskExistChoice = [&] {
        if (++asked == 1) main.Shutdown();
        return 0;  // what a dialog that never got an answer used to leave
    };
    queue.SelectAll();
    queue.ReDownload();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(main.IsShutDown());
    for (const QString& name : names) EXPECT_EQ(readWholeFile(target(name)), "old") << name.toStdString();

    // Later starts are refused quietly.
    queue.AddDownload(silentUrl(QStringLiteral("d.bin")), target(QStringLiteral("d.bin")), -1);
    queue.ResumeAll();
    EXPECT_EQ(queue.lstMain.Count(), 3);
    for (const auto& window : queue.DownloadSlots) EXPECT_FALSE(window);
    EXPECT_EQ(connectionsSoFar(silent_), 0);
}

// The application the text came from waits for the drop event; the add-address
// flow runs after it. Ctrl+V hands the clipboard's text over the same way.
TEST_F(frmMainTest, DroppedTextReachesTheIntakeAfterTheDropReturns) {
    frmMain main;
    recordHooks(main);
    main.DropText(QStringLiteral("http://h/x.zip"));
    EXPECT_TRUE(steps.isEmpty());
    ASSERT_TRUE(waitFor([&] { return !steps.isEmpty(); }));
    EXPECT_EQ(steps, QStringList{"dropText(http://h/x.zip)"});

    steps.clear();
    main.PasteText(QStringLiteral("  http://h/p.zip\n"));
    main.PasteText(QStringLiteral(" "));
    EXPECT_EQ(steps, QStringList{"dropText(http://h/p.zip)"});

    // Dropped just before the program ends: not taken any more.
    steps.clear();
    main.DropText(QStringLiteral("http://h/y.zip"));
    main.Shutdown();
    QCoreApplication::processEvents();
    EXPECT_FALSE(steps.contains("dropText(http://h/y.zip)"));
}

TEST_F(frmMainTest, EveryCommandStringReachesItsAction) {
    frmMain main;
    recordHooks(main);
    const std::pair<const char*, const char*> commands[] = {
        {"IDC_FS_tray", "hideToTray"},
        {"IDC_FS_minimize", "minimize"},
        {"IDC_FS_drag", "dragWindow"},
        {"IDC_FS_ShowB", "showDownloadsList(1)"},
        {"IDC_FS_HideB", "showDownloadsList(0)"},
        {"IDC_FS_ShowC", "showCompleteList(1)"},
        {"IDC_FS_HideC", "showCompleteList(0)"},
        {"IDC_FS_AddURL", "addUrl"},
        {"IDC_FS_Schedule", "schedule"},
        {"IDC_FS_Settings", "settings"},
        {"IDC_FS_idc_fs_tray", nullptr},
        {"idc_fs_tray", nullptr},
        {"", nullptr},
        {"IDC_FS_Unknown", nullptr},
    };
    for (const auto& [command, step] : commands) {
        steps.clear();
        main.FlashCommand(QLatin1String(command));
        EXPECT_EQ(steps, step ? QStringList{QLatin1String(step)} : QStringList()) << command;
    }
    steps.clear();
    main.FlashCommand(QStringLiteral("IDC_FS_UserGuide"));
    ASSERT_EQ(steps.size(), 1);
    EXPECT_TRUE(steps[0].startsWith("openDocument(") && steps[0].endsWith("/share/vornelkarvo/guide/index.html)"))
        << steps[0].toStdString();

    // The tray menu's entries and the other public methods.
    steps.clear();
    main.ShowStatus();
    main.EnterURL();
    main.Settings();
    main.Tray1_LeftClick();
    EXPECT_EQ(steps, (QStringList{"showMainWindow", "enterUrl", "settings", "showMainWindow"}));

    // The re-download and the walks reach the queue and its running window.
    ScriptedHttpServer files;
    files.setHandler(HttpFileResponder(patternBytes(2'000'000, 7), {.bytesPerTick = 1000}));
    main.Queue.AddLaterDownload(files.url(QStringLiteral("a.bin")),
                                target(QStringLiteral("a.bin")));
    main.Queue.SelectAll();
    main.FlashCommand(QStringLiteral("IDC_FS_ReDownload"));
    const QPointer<frmDownload> window = main.Queue.DownloadSlots[0];
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitFor([&] { return window->tmrUpdate.isActive(); }));
    main.FlashCommand(QStringLiteral("IDC_FS_PauseAll"));
    EXPECT_EQ(window->cmdPause.Caption, QStringLiteral("&Resume"));
    main.FlashCommand(QStringLiteral("IDC_FS_ResumeAll"));
    EXPECT_EQ(window->cmdPause.Caption, QStringLiteral("&Pause"));
    main.FlashCommand(QStringLiteral("IDC_FS_StopAll"));
    EXPECT_EQ(window->lblStatus, QStringLiteral("Paused/Stopped"));
    EXPECT_EQ(main.Commands().size(), 17);
}

TEST_F(frmMainTest, TheFtpClientIsStartedFromBesideTheProgramAndThisOneEnds) {
    frmMain main;
    recordHooks(main);
    QTemporaryDir folder;
    main.ProgramFolder = folder.path();
    // Not there: nothing happens.
    main.FlashCommand(QStringLiteral("IDC_FS_launchFTP"));
    EXPECT_TRUE(steps.isEmpty());
    EXPECT_FALSE(main.IsShutDown());

    const QString karvo = folder.filePath(QStringLiteral("karvo"));
    ASSERT_TRUE(writeWholeFile(karvo, "#!/bin/sh\n"));
    ASSERT_TRUE(QFile::setPermissions(karvo, QFile::ReadOwner | QFile::ExeOwner));
    main.FlashCommand(QStringLiteral("IDC_FS_launchFTP"));
    EXPECT_EQ(steps, (QStringList{"startProgram(" + karvo + ")", "unloadHiddenWindows",
                                  "showTray(0)", "quit"}));
    EXPECT_TRUE(main.IsShutDown());
}

TEST_F(frmMainTest, TheFtpClientReallyStarts) {
    frmMain main;
    main.hooks.quit = [] {};
    QTemporaryDir folder;
    main.ProgramFolder = folder.path();
    const QString marker = folder.filePath(QStringLiteral("started"));
    const QString karvo = folder.filePath(QStringLiteral("karvo"));
    ASSERT_TRUE(writeWholeFile(karvo, "#!/bin/sh\necho \"$#\" > started\n"));
    ASSERT_TRUE(QFile::setPermissions(karvo, QFile::ReadOwner | QFile::ExeOwner));
    main.LaunchFtp();
    EXPECT_TRUE(main.IsShutDown());
    ASSERT_TRUE(waitFor([&] { return QFile(marker).size() > 0; }));
    QFile file(marker);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("0\n"));
}

}  // namespace
