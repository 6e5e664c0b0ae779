// karvo: the FTP client. With arguments it runs one headless command; without
// any it is the desktop program.
#include "apps/karvo/KarvoCommandLine.h"
#include "common/QtDialogs.h"
#include "ftpclient/faces/frmMainFace.h"
#include "ftpclient/main/frmMain.h"

#include <QApplication>
#include <QCoreApplication>

namespace {

int desktop(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(karvo::frmMain::kTitle);
    // Hidden to the tray the program still runs; only Exit ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    QtDialogs dialogs;
    Dialogs::setInstance(&dialogs);

    karvo::frmMain main;
    karvo::frmMainFace face(main);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &main, &karvo::frmMain::Exit);
    if (!main.Startup()) return 0;
    face.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc <= 1) return desktop(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vornel FTP"));
    return KarvoCommandLine(QCoreApplication::arguments().mid(1)).run();
}
