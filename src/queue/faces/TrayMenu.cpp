#include "queue/faces/TrayMenu.h"

#include "queue/frmMain.h"

TrayMenu::TrayMenu(frmMain& main, QWidget* parent) : QMenu(parent) {
    setObjectName(QStringLiteral("TRAYMNU"));
    addAction(tr("&Show Download Status"), &main, &frmMain::ShowStatus);
    addSeparator();
    QMenu* windows = addMenu(tr("Download &Windows"));
    windows->menuAction()->setVisible(false);
    windows->addAction(QString())->setVisible(false);
    QMenu* tools = addMenu(tr("&Tools"));
    tools->addAction(tr("&Enter URL"), &main, &frmMain::EnterURL);
    tools->addAction(tr("&Settings..."), &main, &frmMain::Settings);
    tools->addSeparator();
    tools->addAction(tr("&Pause All"), &main, &frmMain::PauseAll);
    tools->addAction(tr("&Resume All"), &main, &frmMain::ResumeAll);
    tools->addAction(tr("&Drop Target"))->setVisible(false);
    addSeparator();
    addAction(tr("&Close"), &main, &frmMain::CloseOstel);
}
