#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace karvo {

// The connection dialog's logic ("Connection information"): the server to
// connect to, and the saved sites, one ".Profile" file each, in two folders of
// the program folder: "SProfiles" (standard profiles, tab "Standard", only
// read) and "Profiles" (the user's, tab "Private").
//
// The face shows the fields and trees and writes what the user types straight
// into the fields; after every change the logic makes it emits changed().
class frmConnectionInfo : public QObject {
    Q_OBJECT
public:
    static const QString kCaption;  // "Connection information"
    enum Tab { Standard = 1, Private = 2 };
    enum Tree { tvlStandard, tvlPrivate };
    // The key and text of both trees' root node.
    static const QString kRootKey;   // "r"
    static const QString kRootText;  // "Profiles"

    explicit frmConnectionInfo(QObject* parent = nullptr);

    // Shows the dialog modally and returns once it is hidden (cmdConnect,
    // cmdCancel or closing it, which the face reports as cmdCancel_Click).
    std::function<void(frmConnectionInfo&)> showModal;
    // Hides the dialog shown by showModal.
    std::function<void()> hide;
    std::function<void()> focusProfileName;

    // --- Controls
    QString txtProfileName;
    QString txtHost;
    QString txtPort = QStringLiteral("21");
    QString txtUserName;
    QString txtPassword;
    // The login type; both may be clear after a standard profile without a
    // password was chosen.
    bool optNormal = true;
    bool optAnonymous = false;
    bool chkPassiveMode = false;
    // The user name and password fields (greyed when disabled).
    bool UserFieldsEnabled = true;
    bool cmdDeleteSite = false;
    int TabProfiles = Standard;
    // The child nodes of each tree: the profiles' file names, extension included.
    QStringList StandardProfiles;
    QStringList PrivateProfiles;
    // The selected child node of each tree; -1 for the root or none.
    int SelectedStandard = -1;
    int SelectedPrivate = -1;
    bool Cancelled = true;

    static QString StandardFolder();
    static QString PrivateFolder();
    // The standard profiles that come with the program: "SProfiles" beside the
    // executable (installed: under share/vornelkarvo). Each is copied into StandardFolder() when it is not there.
    QString ShippedFolder;

    // Creates the folders when missing, copies the shipped standard profiles
    // and builds both trees.
    void Form_Load();
    // Marks the dialog cancelled, fills it, shows it modally; true when it was
    // left through Connect, with the arguments updated.
    bool ShowForm(QString& sAddress, QString& port, QString& sUserName, QString& sPassword,
                  bool& bIsAnonymous, bool& bPassive);

    void BuildTrees();
    void TabProfiles_Click(int tab);
    // `child` -1 is the root node.
    void NodeClick(Tree tree, int child);
    void optAnonymous_Click();
    void optNormal_Click();
    // Any text that is not a port from 1 to 65535 becomes "21".
    void SetPort(const QString& text);
    void cmdNewSite_Click();
    void cmdSaveSite_Click();
    void cmdDeleteSite_Click();
    void cmdConnect_Click();
    void cmdCancel_Click();

signals:
    void changed();

private:
    void updateDeleteSite();
    void hideDialog();
};

}  // namespace karvo
