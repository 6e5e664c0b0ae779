// The main window's handlers for transfers, file operations, custom commands
// and the options dialog. They are reached from the toolbar's command strings,
// the menus and the lists (a double-click on a remote file downloads it, one on
// a local file uploads it after asking).
//
// Not written yet: each handler below does nothing until the transfer and
// file-operation code is wired in here.
#include "ftpclient/main/frmMain.h"

namespace karvo {

// --- Transfers
void frmMain::Upload() {}           // "IDC_FS_Upload", cmdSend, drop on the remote list
void frmMain::Download() {}         // "IDC_FS_Download", cmdReceive, drop on the local list
void frmMain::LDirSynchronize() {}  // "IDC_FS_LDirSynchronize"
void frmMain::RDirSynchronize() {}  // "IDC_FS_RDirSynchronize"
void frmMain::FileReceive() {}      // "IDC_FS_FileReceive"
void frmMain::ManualSend() {}       // "IDC_FS_ManualSend"

// --- File operations and commands
void frmMain::Erase() {}           // "IDC_FS_Erase"
void frmMain::LDelete() {}         // "IDC_FS_LDelete"
void frmMain::LRename() {}         // "IDC_FS_LRename"
void frmMain::LCreateFolder() {}   // "IDC_FS_LCreateFolder"
void frmMain::RDelete() {}         // "IDC_FS_RDelete"
void frmMain::RRename() {}         // "IDC_FS_RRename"
void frmMain::RCreateFolder() {}   // "IDC_FS_RCreateFolder"
void frmMain::MoveFileFolder() {}  // "IDC_FS_MoveFileFolder"
void frmMain::CustomCommand() {}   // "IDC_FS_CustomCommand"
void frmMain::Recycle() {}         // "IDC_FS_Recycle"
void frmMain::Chmod() {}           // "IDC_FS_Chmod"

// --- Options
void frmMain::Options() {}  // "IDC_FS_Options"

}  // namespace karvo
