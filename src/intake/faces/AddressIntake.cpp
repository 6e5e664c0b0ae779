#include "intake/faces/AddressIntake.h"

#include "intake/faces/frmFileFace.h"
#include "intake/faces/frmURLFace.h"
#include "intake/frmURL.h"

#include <memory>

AddressIntake::AddressIntake(QueueOperations& queue, QWidget* mainWindow)
    : QObject(mainWindow), queue_(queue), mainWindow_(mainWindow) {}

frmURLFace* AddressIntake::loadDialog() {
    auto* logic = new frmURL(queue_);
    connect(logic, &frmURL::savePromptRequested, this, &AddressIntake::ShowSavePrompt);
    auto* face = new frmURLFace(*logic, mainWindow_);
    logic->setParent(face);
    return face;
}

void AddressIntake::AddURL() {
    const std::unique_ptr<frmURLFace> face(loadDialog());
    face->exec();
}

void AddressIntake::EnterURL() {
    frmURLFace* face = loadDialog();
    face->setAttribute(Qt::WA_DeleteOnClose);
    face->show();
}

void AddressIntake::DownLoadURL(const QString& address) {
    // A dialog of its own, so that an address arriving while the user types
    // into the visible one neither replaces the text nor closes that dialog.
    frmURL logic(queue_);
    connect(&logic, &frmURL::savePromptRequested, this, &AddressIntake::ShowSavePrompt);
    logic.DownLoadURL(address);
}

void AddressIntake::ShowSavePrompt(const QString& address) {
    frmFileFace::Open(queue_, address, mainWindow_);
}
