// The main window's handlers for transfers, file operations, custom commands
// and the options dialog. They are reached from the toolbar's command strings,
// the menus and the lists (a double-click on a remote file downloads it, one on
// a local file uploads it after asking; a drop from the other list does the
// same). The work itself is done by the classes of transfers/, fileops/,
// commands/ and options/ through frmMainAccess.
#include "ftpclient/commands/FtpCommands.h"
#include "ftpclient/fileops/LocalOperations.h"
#include "ftpclient/fileops/RemoteOperations.h"
#include "ftpclient/main/frmMain.h"
#include "ftpclient/transfers/DownloadSelection.h"
#include "ftpclient/transfers/FolderSync.h"
#include "ftpclient/transfers/ManualTransfer.h"
#include "ftpclient/transfers/UploadSelection.h"

namespace karvo {

void frmMain::prepareTransfers() {
    transferMode_.setAsciiExtensions(AsciiExtensions);
    if (bAutoMode && !transferMode_.autoMode()) transferMode_.choose(TransferMode::Auto);
}

void frmMain::SetTransferType(TransferMode::Option option) {
    transferMode_.choose(option);
    bAutoMode = transferMode_.autoMode();
}

void frmMain::SetHourglass(bool on) {
    if (on) {
        if (hourglass_++ == 0) call(hooks.hourglass, true);
    } else if (hourglass_ > 0 && --hourglass_ == 0) {
        call(hooks.hourglass, false);
    }
}

void frmMain::CoverRemoteList(bool cover) {
    if (cover) {
        lstDel.Clear();
        lstDel.SetView(lstRemoteFileList.View());
        for (const FileRow& row : lstRemoteFileList.Rows()) {
            FileRow copy = row;
            copy.selected = false;
            lstDel.Add(copy);
        }
        cmbDel.Clear();
        cmbDel.SetText(cboRemotePath.Text());
    }
    DeletionCoverShown = cover;
    emit deletionCoverChanged();
}

// --- Transfers

void frmMain::Upload() {  // "IDC_FS_Upload", cmdSend, drop on the remote list
    prepareTransfers();
    UploadSelection(access_, transferMode_).Upload();
    UpdateLocalCommands();
}

void frmMain::Download() {  // "IDC_FS_Download", cmdReceive, drop on the local list
    prepareTransfers();
    DownloadSelection(access_).Download();
    UpdateRemoteCommands();
}

void frmMain::LDirSynchronize() {  // "IDC_FS_LDirSynchronize"
    prepareTransfers();
    FolderSync(access_).SynchronizeUp();
}

void frmMain::RDirSynchronize() {  // "IDC_FS_RDirSynchronize"
    prepareTransfers();
    FolderSync(access_).SynchronizeDown();
}

void frmMain::FileReceive() {  // "IDC_FS_FileReceive"
    prepareTransfers();
    ManualTransfer(access_).Receive();
}

void frmMain::ManualSend() {  // "IDC_FS_ManualSend"
    prepareTransfers();
    ManualTransfer(access_).Send();
}

void frmMain::ListDropped(ListDrag::Action action, const QStringList& files) {
    if (Closing()) return;
    switch (action) {
        case ListDrag::Action::UploadSelection:
            if (Controls.cmdSend) RunCommand(QStringLiteral("IDC_FS_Upload"));
            return;
        case ListDrag::Action::DownloadSelection:
            if (Controls.cmdReceive) RunCommand(QStringLiteral("IDC_FS_Download"));
            return;
        case ListDrag::Action::UploadFiles: {
            if (xFtp.state() != FtpComponent::Idle) {
                StatusBarInfo(QStringLiteral("File(s) not uploaded to FTP server."));
                return;
            }
            Busy busy(*this);
            prepareTransfers();
            UploadSelection(access_, transferMode_).Upload(UploadEntry::fromPaths(files));
            return;
        }
        case ListDrag::Action::None:
            return;
    }
}

// --- File operations and commands

void frmMain::Erase() {  // "IDC_FS_Erase"
    LocalOperations(access_).Erase();
}

void frmMain::LDelete() {  // "IDC_FS_LDelete"
    LocalOperations(access_).DeleteToRecycleBin();
}

void frmMain::LRename() {  // "IDC_FS_LRename"
    LocalOperations(access_).Rename();
}

void frmMain::LCreateFolder() {  // "IDC_FS_LCreateFolder"
    LocalOperations(access_).CreateFolder();
}

void frmMain::Recycle() {  // "IDC_FS_Recycle"
    LocalOperations(access_).EmptyRecycleBin();
}

void frmMain::RDelete() {  // "IDC_FS_RDelete"
    RemoteOperations(access_).Delete();
}

void frmMain::RRename() {  // "IDC_FS_RRename"
    RemoteOperations(access_).Rename();
}

void frmMain::RCreateFolder() {  // "IDC_FS_RCreateFolder"
    RemoteOperations(access_).CreateFolder();
}

void frmMain::MoveFileFolder() {  // "IDC_FS_MoveFileFolder"
    RemoteOperations(access_).Move();
}

void frmMain::Chmod() {  // "IDC_FS_Chmod", "Chmod File(s) or Folders(s)"
    if (xFtp.state() != FtpComponent::Idle || lstRemoteFileList.SelectedIndexes().isEmpty()) return;
    if (!hooks.askChmod) return;
    if (const std::optional<QString> number = hooks.askChmod(); number && !Closing())
        FtpCommands(access_).Chmod(*number);
}

void frmMain::CustomCommand() {  // "IDC_FS_CustomCommand"
    // The log takes the file lists' place, with the command field under it.
    ShowPanel(FileListPanel, false);
    ShowPanel(LogPanel, true);
    ShowPanel(CustomCommandPanel, true);
    call(hooks.focusCustomCommand);
}

void frmMain::cmdCloseCommand_Click() {
    ShowPanel(CustomCommandPanel, false);
    ShowPanel(FileListPanel, true);
    FtpCommands(access_).CloseCustomCommand();
}

void frmMain::txtCommand_Enter(const QString& text) {
    if (Closing()) return;
    Busy busy(*this);
    FtpCommands(access_).SendCustomCommand(text);
}

void frmMain::FtpCommandsMenu(const QString& entry) {
    if (Closing()) return;
    Busy busy(*this);
    prepareTransfers();
    FtpCommands(access_).MenuCommand(entry);
}

// --- Options

void frmMain::Options() {  // "IDC_FS_Options"
    prepareTransfers();
    call(hooks.showOptions, transferMode_);
    // Saving replaced the extension list; it applies at once.
    AsciiExtensions = transferMode_.asciiExtensions();
}

}  // namespace karvo
