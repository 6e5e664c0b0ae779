#pragma once

#include <QDialog>

class frmOptions;
class TransferMode;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

// The face of the options dialog: two pages under TabOptions, "&Save" and
// "&Cancel". Every edit goes to the logic; closing asks the logic first.
class frmOptionsFace : public QDialog {
    Q_OBJECT
public:
    explicit frmOptionsFace(frmOptions& options, QWidget* parent = nullptr);

    // Opens the dialog modally over `owner`: the values are read, the user
    // edits, saves or closes. `mode` gets the saved extension list at once.
    static void Show(QWidget* owner, TransferMode* mode);

    QTabWidget* TabOptions;
    QComboBox* cmboLanguage;
    QCheckBox* chkAddToStartup;
    QLineEdit* txtLogFilename;
    QRadioButton* optDeleteLogOnStartup;
    QRadioButton* optDeleteLogIfSizeExceeds;
    QLineEdit* txtLogFileSize;
    QListWidget* lstExtFiles;
    QPushButton* cmdAdd;
    QPushButton* cmdRemove;
    QCheckBox* chkFirewall;
    QComboBox* comboFirewallType;
    QLineEdit* txtFirewallHostName;
    QLineEdit* txtFirewallPort;
    QLineEdit* txtFirewallUserName;
    QLineEdit* txtFirewallPassword;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;

    // Cancel, Esc and the window's close button: asks first when there are
    // unsaved changes.
    void reject() override;

private:
    QWidget* generalPage();
    QWidget* firewallPage();
    // Puts the logic's values into the controls (without feeding them back).
    void fill();
    void showState();

    frmOptions& options_;
    bool filling_ = false;
};
