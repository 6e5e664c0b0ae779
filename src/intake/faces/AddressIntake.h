#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;
class QueueOperations;
class frmURLFace;

// Where the main window hands new addresses to the intake: the add-address
// dialog (menu "Add URL" and "IDC_FS_AddURL" modal, tray "Enter URL" not
// modal), dropped text and the hand-over receiver. Save prompts open owned by
// the main window.
class AddressIntake : public QObject {
    Q_OBJECT
public:
    AddressIntake(QueueOperations& queue, QWidget* mainWindow);

    // Shows the add-address dialog modally.
    void AddURL();
    // Shows the add-address dialog without waiting for it.
    void EnterURL();
    // Runs the OK step on the text as if it had been typed, without showing the
    // dialog (drops and the hand-over).
    void DownLoadURL(const QString& address);
    // Opens a save prompt of its own for the address.
    void ShowSavePrompt(const QString& address);

private:
    frmURLFace* loadDialog();

    QueueOperations& queue_;
    QPointer<QWidget> mainWindow_;
};
