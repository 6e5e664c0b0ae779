// The main window's two file lists: listing, navigation, refresh, filters,
// view modes, and opening local files through the desktop.
#include "common/Dialogs.h"
#include "ftpclient/browsing/clsLocalPaths.h"
#include "ftpclient/main/frmMain.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace karvo {

namespace {

const QString kRemoteCommandTitle = QStringLiteral("Remote Server Custom Command");

// The path as a folder path: absolute, cleaned, ending with "/".
QString folderPath(const QString& path) {
    QString clean = QDir::cleanPath(QDir(path).absolutePath());
    if (!clean.endsWith(u'/')) clean += u'/';
    return clean;
}

// Why the folder cannot be entered and listed; empty when it can.
QString folderProblem(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) return QString::fromLocal8Bit(std::strerror(errno));
    if (!S_ISDIR(info.st_mode)) return QString::fromLocal8Bit(std::strerror(ENOTDIR));
    if (::access(path.constData(), R_OK | X_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString();
}

QString askText(const QString& prompt, const QString& title, const QString& defaultText) {
    return Dialogs::instance().inputBox(prompt, title, defaultText).value_or(QString());
}

}  // namespace

QString frmMain::StartFolder() {
    return folderPath(QDir::homePath());
}

// --- Local

bool frmMain::ChangeCurrentLocalFolder(const QString& sNewLocalPath) {
    const QString folder = folderPath(sNewLocalPath);
    const QString problem = folderProblem(folder);
    if (!problem.isEmpty()) {
        DisplayMessage(
            QStringLiteral("Error while attempting to change current local folder to '") +
            sNewLocalPath + QStringLiteral("'. Description: ") + problem);
        StatusBarInfo(QStringLiteral("Could not change current local folder."));
        return false;
    }
    sCurrentLocalPath = folder;
    cboLocalPath.AddPathToComboBox(folder);
    StatusBarInfo(QStringLiteral("Local folder changed to ") + folder);
    return true;
}

void frmMain::onLocalEntry(const QString& name, const QDateTime& date, qint64 size,
                           int attributes) {
    const bool folder =
        attributes != clsLocalPaths::kUnreadable && (attributes & clsLocalPaths::kFolderAttribute);
    lstLocalFileList.Add(folder ? FileRow::Make(name, FileRow::Folder, 0, date, false)
                                : FileRow::Make(name, FileRow::File, size, date));
}

void frmMain::listLocal(const QString& mask) {
    lstLocalFileList.Clear();
    if (localPaths_) {
        if (mask.isEmpty()) {
            localPaths_->RetrieveLocalFolderContents(sCurrentLocalPath);
        } else {
            localPaths_->RetrieveDefinedLocalFolderContents(sCurrentLocalPath, mask);
        }
    }
    UpdateLocalCommands();
}

void frmMain::RefreshLocal() {
    listLocal(QString());
}

void frmMain::cboLocalPath_Enter(const QString& path) {
    if (Closing() || path.isEmpty()) return;
    Busy busy(*this);
    if (folderPath(path) == sCurrentLocalPath) return;
    if (ChangeCurrentLocalFolder(path)) {
        RefreshLocal();
    } else {
        cboLocalPath.SetText(sCurrentLocalPath);
    }
}

void frmMain::lstLocalFileList_DblClick() {
    if (Closing()) return;
    Busy busy(*this);
    const FileRow* row = lstLocalFileList.FirstSelected();
    if (!row) return;
    if (row->isFolder()) {
        if (ChangeCurrentLocalFolder(sCurrentLocalPath + row->name + u'/')) {
            RefreshLocal();
            StatusBarInfo(QStringLiteral("Local folder changed."));
        } else {
            StatusBarInfo(QStringLiteral("Could not change local folder."));
        }
        return;
    }
    if (xFtp.state() == FtpComponent::NotConnected) {
        Dialogs::show(QStringLiteral("Cannot upload file(s) when not connected."),
                      Dialogs::Icon::Exclamation);
        return;
    }
    const QString name = row->name;
    if (Dialogs::instance().message(QStringLiteral("Upload file '") + name + QStringLiteral("'?"),
                                    Dialogs::Buttons::YesNo, Dialogs::Icon::Question,
                                    kConfirmTitle) == Dialogs::Answer::Yes) {
        RunCommand(QStringLiteral("IDC_FS_Upload"));
    } else {
        StatusBarInfo(QStringLiteral("File(s) not uploaded to FTP server."));
    }
}

void frmMain::LocalUpLevel() {
    if (sCurrentLocalPath.isEmpty()) return;
    if (QDir(sCurrentLocalPath).isRoot()) {
        StatusBarInfo(QStringLiteral("Local path already at root folder."));
        return;
    }
    const QString path = sCurrentLocalPath.chopped(1);
    if (ChangeCurrentLocalFolder(path.left(path.lastIndexOf(u'/') + 1))) RefreshLocal();
}

void frmMain::LocalAllFiles() {
    if (Closing()) return;
    Busy busy(*this);
    RefreshLocal();
}

void frmMain::LocalDefineTypes() {
    const QString mask = askText(QStringLiteral("Please enter the type ex: *.gif"),
                                 QStringLiteral("Define Type For Local Server Directory Listing"),
                                 QStringLiteral("*.*"));
    if (mask.isEmpty()) {
        Dialogs::show(QStringLiteral("No command entered, quiting"), Dialogs::Icon::Information);
        return;
    }
    listLocal(mask);
}

void frmMain::OpenFile() {
    if (const FileRow* row = lstLocalFileList.FirstSelected())
        call(hooks.openDocument, sCurrentLocalPath + row->name);
}

void frmMain::FindFile() {
    // The desktop has no find-files window of its own: the file manager, whose
    // search is there, opens on the current folder.
    call(hooks.openFolder, sCurrentLocalPath);
}

void frmMain::Properties() {
    const FileRow* row = lstLocalFileList.FirstSelected();
    if (!row) {
        Dialogs::show(QStringLiteral("Properties of what, Please select an item?"),
                      Dialogs::Icon::Information);
        return;
    }
    call(hooks.showProperties, sCurrentLocalPath + row->name);
}

// --- Remote

bool frmMain::ChangeCurrentRemoteFolder(const QString& sNewRemotePath, bool bInteractive) {
    if (const FtpResult error = xFtp.changeFolder(sNewRemotePath)) {
        if (bInteractive) {
            DisplayMessage(
                QStringLiteral("Error while attempting to change current remote folder to '") +
                sNewRemotePath + QStringLiteral("'. Description: ") + error->description);
        }
        return false;
    }
    QString folder;
    if (const FtpResult error = xFtp.currentFolder(folder)) {
        DisplayMessage(
            QStringLiteral("Error obtaining new current remote folder while attempting to change "
                           "current remote folder to '") +
            sNewRemotePath + QStringLiteral("'. Description: ") + error->description);
        return false;
    }
    sCurrentRemotePath = folder;
    cboRemotePath.AddPathToComboBox(folder);
    StatusBarInfo(QStringLiteral("Remote folder changed to ") + folder);
    return true;
}

QString frmMain::GetRemoteFolder() {
    QString folder;
    if (const FtpResult error = xFtp.currentFolder(folder)) {
        DisplayMessage(QStringLiteral("Error while querying current remote folder. Description: ") +
                       error->description);
        return QString();
    }
    sCurrentRemotePath = folder;
    return folder;
}

void frmMain::onListingItem(const QString& name, const QDateTime& dateTime, qint64 size, int type) {
    const int icon = type == FtpItem::Folder ? FileRow::Folder
                     : type == FtpItem::Link ? FileRow::Link
                                             : FileRow::File;
    lstRemoteFileList.Add(FileRow::Make(name, icon, size, dateTime));
}

void frmMain::ListFilesOnServer() {
    SetAbortEnabled(true);
    xFtp.listingOption = 1;
    const FtpResult error = xFtp.listFolder(QString());
    SetAbortEnabled(false);
    if (error) {
        DisplayMessage(
            QStringLiteral("Error while listing remote folder's contents. Description: ") +
            error->description);
    }
}

void frmMain::ListDefinedFilesOnServer(const QString& defineString) {
    StatusBarInfo(QStringLiteral("Obtaining directory listing..."));
    SetAbortEnabled(true);
    xFtp.listingOption = 1;
    const FtpResult error = xFtp.listFolder(defineString);
    SetAbortEnabled(false);
    if (error) DisplayMessage(QStringLiteral("Error ") + error->description);
}

void frmMain::relistRemote() {
    lstRemoteFileList.Clear();
    ListFilesOnServer();
    UpdateRemoteCommands();
}

void frmMain::RefreshRemote() {
    Hourglass hourglass(*this);
    lstRemoteFileList.Clear();
    ListFilesOnServer();
    // A disconnect while the list came (an abort, the server) leaves no folder to read.
    if (xFtp.state() != FtpComponent::NotConnected) {
        const QString folder = GetRemoteFolder();
        if (!folder.isEmpty()) cboRemotePath.AddPathToComboBox(folder);
    }
    UpdateRemoteCommands();
}

void frmMain::cboRemotePath_Enter(const QString& path) {
    if (Closing() || path.isEmpty() || xFtp.state() == FtpComponent::NotConnected) return;
    Busy busy(*this);
    if (path == GetRemoteFolder()) return;
    if (!ChangeCurrentRemoteFolder(path, true)) cboRemotePath.SetText(sCurrentRemotePath);
    relistRemote();
}

void frmMain::lstRemoteFileList_DblClick() {
    if (Closing() || xFtp.state() != FtpComponent::Idle) return;
    Busy busy(*this);
    const FileRow* selected = lstRemoteFileList.FirstSelected();
    if (!selected) return;
    const FileRow row = *selected;
    if (row.isFolder()) {
        if (ChangeCurrentRemoteFolder(row.name, true)) {
            relistRemote();
            StatusBarInfo(QStringLiteral("Changed current remote folder."));
        } else {
            StatusBarInfo(QStringLiteral("Unable to change current remote folder."));
        }
    } else if (row.isLink() && ChangeCurrentRemoteFolder(row.name, false)) {
        // A link that leads to a folder opens like one; any other is fetched.
        relistRemote();
        StatusBarInfo(QStringLiteral("Changed current remote folder."));
    } else {
        RunCommand(QStringLiteral("IDC_FS_Download"));
    }
}

void frmMain::RemoteUpLevel() {
    Hourglass hourglass(*this);
    QString before;
    QString after;
    FtpResult error = xFtp.currentFolder(before);
    if (!error) error = xFtp.changeToParent();
    if (!error) error = xFtp.currentFolder(after);
    if (error) {
        DisplayMessage(
            QStringLiteral(
                "Error while attempting to change current remote folder to its parent folder. "
                "Description: ") +
            error->description);
        StatusBarInfo(QStringLiteral("Could not change to remote folder's parent."));
        return;
    }
    if (after == before) {
        StatusBarInfo(QStringLiteral("Remote path already at a root folder."));
        return;
    }
    sCurrentRemotePath = after;
    cboRemotePath.AddPathToComboBox(after);
    StatusBarInfo(QStringLiteral("Remote folder changed to ") + after);
    relistRemote();
    StatusBarInfo(QStringLiteral("Remote path now up one folder."));
}

void frmMain::GoToRemoteDir() {
    const QString folder = askText(
        QStringLiteral(
            "Type Directory Name To Go TO ( WITHOUT THE WORD CD OR DIR IN THE BEGINNING! )"),
        kRemoteCommandTitle, QString());
    if (folder.isEmpty()) {
        Dialogs::show(QStringLiteral("No command entered, quiting"), Dialogs::Icon::Information);
        return;
    }
    if (ChangeCurrentRemoteFolder(folder, true)) relistRemote();
}

void frmMain::RemoteAllFiles() {
    if (Closing()) return;
    Busy busy(*this);
    relistRemote();
}

void frmMain::RemoteDefineTypes() {
    const QString mask = askText(QStringLiteral("Please enter the type ex: *.gif"),
                                 QStringLiteral("Define Type For Remote Server Directory Listing"),
                                 QStringLiteral("*.*"));
    if (mask.isEmpty()) {
        Dialogs::show(QStringLiteral("No command entered,quiting"), Dialogs::Icon::Information);
        return;
    }
    lstRemoteFileList.Clear();
    ListDefinedFilesOnServer(mask);
    UpdateRemoteCommands();
}

}  // namespace karvo
