// Lumet on the desktop: the main window, its queue, the intake of new addresses,
// the scheduler, the settings dialog and the tray icon.
#include "common/QtDialogs.h"
#include "core/Language.h"
#include "intake/faces/AddressIntake.h"
#include "intake/faces/frmExist.h"
#include "intake/frmZuLocater.h"
#include "common/TerminationSignals.h"
#include "queue/faces/frmMainFace.h"
#include "queue/faces/frmScheduleFace.h"
#include "queue/frmMain.h"
#include "settings/faces/frmSettingsFace.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(frmMain::kTitle);
    // Hidden to the tray the program still runs; only its shutdown ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    QtDialogs dialogs;
    Dialogs::setInstance(&dialogs);

    frmMain main;
    frmMainFace face(main);
    AddressIntake intake(main.Queue, &face);
    frmZuLocater locater([&intake](const QString& address) { intake.DownLoadURL(address); });
    main.hooks.addUrl = [&intake] { intake.AddURL(); };
    main.hooks.enterUrl = [&intake] { intake.EnterURL(); };
    main.hooks.dropText = [&intake](const QString& text) { intake.DownLoadURL(text); };
    main.hooks.schedule = [&main, &face] { frmScheduleFace::Show(main.Scheduler, &face); };
    main.hooks.settings = [&main, &face] {
        frmSettingsFace::Show(&face, [&main] { main.FlashCommand("IDC_FS_UserGuide"); });
    };
    main.hooks.loadHiddenWindows = [&main, &locater] {
        main.Scheduler.Form_Load();
        locater.Load();
    };
    main.hooks.unloadHiddenWindows = [&main, &locater] {
        main.Scheduler.Unload();
        locater.Unload();
    };
    main.Queue.AskExistChoice = [&face] { return frmExist::Ask(&face); };

    // A kill, Ctrl+C or the end of the session saves the queue like Exit does.
    TerminationSignals terminations;
    QObject::connect(&terminations, &TerminationSignals::received, &main, &frmMain::Shutdown);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &main,
                     [&main] { main.Queue.SaveHistory(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &main, &frmMain::Shutdown);

    InstallShippedLanguageFiles();
    if (!main.Startup()) return 0;
    face.show();
    return QApplication::exec();
}
