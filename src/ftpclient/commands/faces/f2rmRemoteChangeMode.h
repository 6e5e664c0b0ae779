#pragma once

#include "ftpclient/commands/ChangeMode.h"

#include <QDialog>
#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The permission dialog "PelmoFTP - File/Folder Permission Change": nine
// boxes and the number they make (txtNumericValue). OK sets chmodResult to 1,
// Cancel (or closing) to 0. It keeps its place in "REMOTE CHANGE MODE TOP",
// "… LEFT", "… HEIGHT" and "… WIDTH".
class f2rmRemoteChangeMode : public QDialog {
    Q_OBJECT
public:
    explicit f2rmRemoteChangeMode(QWidget* parent = nullptr);

    // Shows it modally over `owner`; the number after OK, nothing after Cancel
    // or when the dialog went away with its owner.
    static std::optional<QString> Ask(QWidget* owner);

    int chmodResult = 0;

    QCheckBox* chkOwnerRead;
    QCheckBox* chkOwnerWrite;
    QCheckBox* chkOwnerExecute;
    QCheckBox* chkGroupRead;
    QCheckBox* chkGroupWrite;
    QCheckBox* chkGroupExecute;
    QCheckBox* chkOtherRead;
    QCheckBox* chkOtherWrite;
    QCheckBox* chkOtherExecute;
    QLineEdit* txtNumericValue;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void done(int result) override;

private:
    ChangeMode mode_;
};
