#include "ftpclient/profiles/frmConnectionInfo.h"

#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "ftpclient/main/PortText.h"
#include "ftpclient/profiles/FtpProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace karvo {

const QString frmConnectionInfo::kCaption = QStringLiteral("Connection information");
const QString frmConnectionInfo::kRootKey = QStringLiteral("r");
const QString frmConnectionInfo::kRootText = QStringLiteral("Profiles");

namespace {

QStringList profileFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*") + FtpProfile::Extension()}, QDir::Files,
                                  QDir::Name);
}

// The folder holds passwords, scrambled only: user-only when we make it.
void makeFolder(const QString& folder) {
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
}

}  // namespace

frmConnectionInfo::frmConnectionInfo(QObject* parent)
    : QObject(parent),
      ShippedFolder(AppPaths::shippedPath(AppPaths::executableFolder(), QStringLiteral("SProfiles"))) {}

QString frmConnectionInfo::StandardFolder() {
    return AppFilePath(QStringLiteral("SProfiles"));
}

QString frmConnectionInfo::PrivateFolder() {
    return AppFilePath(QStringLiteral("Profiles"));
}

void frmConnectionInfo::Form_Load() {
    makeFolder(StandardFolder());
    makeFolder(PrivateFolder());
    for (const QString& file : profileFiles(ShippedFolder)) {
        const QString target = StandardFolder() + QLatin1Char('/') + file;
        if (!QFileInfo::exists(target))
            QFile::copy(ShippedFolder + QLatin1Char('/') + file, target);
    }
    BuildTrees();
}

bool frmConnectionInfo::ShowForm(QString& sAddress, QString& port, QString& sUserName,
                                 QString& sPassword, bool& bIsAnonymous, bool& bPassive) {
    Cancelled = true;
    txtHost = sAddress;
    txtPort = port.isEmpty() ? QStringLiteral("21") : port;
    txtUserName = sUserName;
    txtPassword = sPassword;
    if (bIsAnonymous) {
        optAnonymous_Click();
    } else {
        optNormal_Click();
    }
    chkPassiveMode = bPassive;
    emit changed();
    if (showModal) showModal(*this);
    if (Cancelled) return false;
    sAddress = txtHost;
    port = txtPort;
    sUserName = txtUserName;
    sPassword = txtPassword;
    bIsAnonymous = optAnonymous;
    bPassive = chkPassiveMode;
    return true;
}

void frmConnectionInfo::BuildTrees() {
    PrivateProfiles = profileFiles(PrivateFolder());
    StandardProfiles = profileFiles(StandardFolder());
    SelectedPrivate = -1;
    SelectedStandard = -1;
    updateDeleteSite();
    emit changed();
}

void frmConnectionInfo::TabProfiles_Click(int tab) {
    TabProfiles = tab == Standard ? Standard : Private;
    updateDeleteSite();
    emit changed();
}

void frmConnectionInfo::NodeClick(Tree tree, int child) {
    const QStringList& files = tree == tvlPrivate ? PrivateProfiles : StandardProfiles;
    int& selected = tree == tvlPrivate ? SelectedPrivate : SelectedStandard;
    selected = child >= 0 && child < files.size() ? child : -1;
    if (selected >= 0) {
        const QString folder = tree == tvlPrivate ? PrivateFolder() : StandardFolder();
        const FtpProfile profile = FtpProfile::Read(folder + QLatin1Char('/') + files[selected]);
        txtProfileName = profile.sname;
        txtHost = profile.adresa;
        // Setting the field runs its rule, as typing does.
        txtPort = PortText::Checked(profile.port);
        txtUserName = profile.id;
        txtPassword = profile.pass;
        chkPassiveMode = profile.Passive;
        const bool anonymous = txtUserName == QLatin1String("anonymous");
        if (tree == tvlPrivate) {
            optNormal_Click();
            if (anonymous) optAnonymous_Click();
        } else {
            if (anonymous) {
                optAnonymous_Click();
            } else {
                optAnonymous = false;
            }
            if (!txtPassword.isEmpty()) optNormal_Click();
        }
    }
    updateDeleteSite();
    emit changed();
}

void frmConnectionInfo::optAnonymous_Click() {
    optAnonymous = true;
    optNormal = false;
    UserFieldsEnabled = false;
    txtUserName = QStringLiteral("anonymous");
    txtPassword.clear();
    emit changed();
}

void frmConnectionInfo::optNormal_Click() {
    optNormal = true;
    optAnonymous = false;
    UserFieldsEnabled = true;
    emit changed();
}

void frmConnectionInfo::SetPort(const QString& text) {
    txtPort = PortText::Checked(text);
    if (txtPort != text) emit changed();
}

void frmConnectionInfo::cmdNewSite_Click() {
    TabProfiles = Private;
    txtProfileName.clear();
    txtHost.clear();
    txtPassword.clear();
    txtUserName.clear();
    txtPort = QStringLiteral("21");
    optNormal_Click();
    chkPassiveMode = false;
    SelectedPrivate = -1;
    updateDeleteSite();
    emit changed();
    if (focusProfileName) focusProfileName();
}

void frmConnectionInfo::cmdSaveSite_Click() {
    TabProfiles = Private;
    updateDeleteSite();
    emit changed();
    FtpProfile profile;
    profile.sname = txtProfileName.trimmed();
    profile.adresa = txtHost.trimmed();
    profile.id = txtUserName;
    profile.Passive = chkPassiveMode;
    profile.pass = optNormal ? txtPassword : QString();
    profile.port = txtPort.trimmed();
    if (profile.sname.isEmpty() || profile.adresa.isEmpty()) {
        Dialogs::show(QStringLiteral("Please check Site name and Server Address!"),
                      Dialogs::Icon::Exclamation);
        return;
    }
    // What would not come back whole from the file is not saved at all.
    switch (profile.Check()) {
        case FtpProfile::Problem::None:
            break;
        case FtpProfile::Problem::Name:
        case FtpProfile::Problem::Host:
            Dialogs::show(
                QStringLiteral("Please check Site name and Server Address!\n"
                               "A site name is a file name of at most 49 characters, without "
                               "\"/\" and not starting with \".\"; a server address has at most "
                               "74 characters."),
                Dialogs::Icon::Exclamation);
            return;
        case FtpProfile::Problem::UserName:
        case FtpProfile::Problem::Password:
        case FtpProfile::Problem::Port:
            Dialogs::show(
                QStringLiteral(
                    "The user name, password or port cannot be kept in a profile: at most "
                    "49 characters, without line breaks or blanks at either end."),
                Dialogs::Icon::Exclamation);
            return;
    }
    makeFolder(PrivateFolder());
    const QString path =
        PrivateFolder() + QLatin1Char('/') + profile.sname + FtpProfile::Extension();
    if (!profile.Write(path)) {
        Dialogs::show(QStringLiteral("The profile could not be written to ") + path,
                      Dialogs::Icon::Exclamation);
        return;
    }
    BuildTrees();
    cmdDeleteSite = false;
    emit changed();
    Dialogs::show(QStringLiteral("Profile Saved"), Dialogs::Icon::Information);
}

void frmConnectionInfo::cmdDeleteSite_Click() {
    // Only the private profile the user chose, and only while its tree is in
    // front: a click on a standard profile never leads to deleting a file.
    if (!cmdDeleteSite || SelectedPrivate < 0 || SelectedPrivate >= PrivateProfiles.size()) return;
    const QString file = PrivateProfiles[SelectedPrivate];
    if (!FtpProfile::IsFileName(file)) return;
    const QString name = file.chopped(FtpProfile::Extension().size());
    if (!Dialogs::ask(QStringLiteral("Delete the site profile '") + name + QStringLiteral("'?"),
                      Dialogs::Icon::Question))
        return;
    QFile profile(PrivateFolder() + QLatin1Char('/') + file);
    if (!profile.remove()) {
        Dialogs::show(profile.errorString(), Dialogs::Icon::Information);
        return;
    }
    BuildTrees();
}

void frmConnectionInfo::cmdConnect_Click() {
    Cancelled = false;
    hideDialog();
}

void frmConnectionInfo::cmdCancel_Click() {
    Cancelled = true;
    hideDialog();
}

void frmConnectionInfo::updateDeleteSite() {
    cmdDeleteSite = TabProfiles == Private && SelectedPrivate >= 0;
}

void frmConnectionInfo::hideDialog() {
    if (hide) hide();
}

}  // namespace karvo
