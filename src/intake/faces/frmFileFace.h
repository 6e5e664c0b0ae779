#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QueueOperations;
class frmFile;

// The save prompt: the address, the target file, and the buttons to start the
// download now, queue it, choose another target or drop it. The rules are frmFile's.
class frmFileFace : public QDialog {
    Q_OBJECT
public:
    explicit frmFileFace(frmFile& logic, QWidget* parent = nullptr);

    // Loads a prompt of its own for the address (the save-as dialog runs first)
    // and shows it, not modal, owned by owner; it deletes itself when closed.
    // Null when the user cancelled the save-as dialog.
    static frmFileFace* Open(QueueOperations& queue, const QString& address, QWidget* owner);

    QLineEdit* txtURL;
    QLineEdit* txtSaveTo;
    QPushButton* cmdBeginDown;
    QPushButton* cmdDownLater;
    QPushButton* cmdChange;
    QPushButton* cmdCancel;

private:
    void showLogic();

    frmFile& logic_;
};
