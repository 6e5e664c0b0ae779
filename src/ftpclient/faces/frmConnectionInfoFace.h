#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QTreeWidget;

namespace karvo {

class frmConnectionInfo;

// The connection dialog's face: the two trees of saved sites under their tabs,
// the site's fields and the buttons. It holds no rule: every edit goes to the
// logic, and the fields show what the logic holds.
class frmConnectionInfoFace : public QDialog {
    Q_OBJECT
public:
    explicit frmConnectionInfoFace(frmConnectionInfo& info, QWidget* parent = nullptr);

    QTabBar* TabProfiles;
    QStackedWidget* Trees;
    QTreeWidget* tvlStandard;
    QTreeWidget* tvlPrivate;
    QLineEdit* txtProfileName;
    QLineEdit* txtHost;
    QLineEdit* txtPort;
    QLineEdit* txtUserName;
    QLineEdit* txtPassword;
    QRadioButton* optNormal;
    QRadioButton* optAnonymous;
    QCheckBox* chkPassiveMode;
    QPushButton* cmdSaveSite;
    QPushButton* cmdDeleteSite;
    QPushButton* cmdNewSite;
    QPushButton* cmdConnect;
    QPushButton* cmdCancel;

    // Shows the dialog over `parent` until the logic hides it.
    static void ShowModal(frmConnectionInfo& info, QWidget* parent);

protected:
    void reject() override;

private:
    void refresh();
    void fillTree(QTreeWidget* tree, const QStringList& files, int selected);
    void nodeClicked(QTreeWidget* tree);

    frmConnectionInfo& info_;
    QButtonGroup* loginType_;
    bool refreshing_ = false;
};

}  // namespace karvo
