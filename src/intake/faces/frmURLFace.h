#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class frmURL;

// The add-address dialog: an editable drop-down for the address and OK; Enter
// in the address box is OK as well. The rules are frmURL's.
class frmURLFace : public QDialog {
    Q_OBJECT
public:
    // Loads the dialog: the logic fills the drop-down from the lists and takes
    // an address from the clipboard when "ClipboardMonitoring" is on.
    explicit frmURLFace(frmURL& logic, QWidget* parent = nullptr);

    QComboBox* txtURL;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

private:
    void cmdOK_Click();

    frmURL& logic_;
};
