#pragma once

namespace karvo {

// What is selected in one of the two file lists, by type.
struct Selection {
    int files = 0;
    int folders = 0;
    int links = 0;
    int count() const { return files + folders + links; }
};

// The enabled state of the main window's buttons and menus, named after them.
struct ControlStates {
    bool cmdConnect = true;
    bool cmdQConnect = true;
    bool mnuFileConnect = true;
    bool cmdDisconnect = false;
    bool mnuFileDisconnect = false;
    bool cmdAbort = false;
    bool cmdUpFtp = false;
    bool cboRemotePath = false;
    bool miRemote = false;
    bool cmdSend = false;
    bool cmdReceive = false;
    bool miDeleteRemoteFile = false;
    bool miRenameRemoteFile = false;
    bool miDeleteLocalFile = false;
    bool miRenameLocalFile = false;

    bool operator==(const ControlStates&) const = default;

    // Connected enables what works on the server and disables connecting again;
    // disconnected does the reverse.
    void SetConnectedState(bool connected);
    // After every change of the remote list's selection or content.
    void UpdateRemoteCommands(const Selection& remote);
    // After every change of the local list's selection or content, and of the
    // connection: uploading needs an idle connection (`ftpState` 2).
    void UpdateLocalCommands(const Selection& local, int ftpState);
};

}  // namespace karvo
